// Pictures of windows as the screen shows them, for people to look at after a GUI test run.
#pragma once

#include <windows.h>

#include <string>

namespace gui {

// Where the pictures go, a Unix path in the build tree: defined by each program that takes them.
extern const char PictureDirectory[];

// Writes what the screen shows of window as name.png into the build tree's picture directory.
// False when nothing could be captured or written.
bool SavePicture(HWND window, const std::string& name);
// The same for a rectangle of the screen, such as a window with its open menu or list; the windows
// in it must be painted already.
bool SavePicture(const RECT& area, const std::string& name);

} // namespace gui
