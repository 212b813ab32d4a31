// The rounding of the main window's corners on platforms that round framed windows (Windows 11).
#pragma once

#include <windows.h>

// Asks the desktop window manager to round window's corners only a little, so the rounding stays
// clear of the grip strip and the close button of a window one line high. Does nothing where the
// platform has no such preference; the window keeps it for its whole life.
void AskForSmallCorners(HWND window);
