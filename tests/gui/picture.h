// Pictures of windows as the screen shows them, for people to look at after a GUI test run.
#pragma once

#include <windows.h>

#include <string>

namespace gui {

// Writes what the screen shows of window as name.png into the build tree's picture directory.
// False when nothing could be captured or written.
bool SavePicture(HWND window, const std::string& name);

} // namespace gui
