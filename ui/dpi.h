// The DPI a window is drawn at, and the lengths of the design and of the settings file, which are
// in units of 96 DPI, turned into that window's pixels and back.
//
// Both directions round to the nearest pixel: at any DPI from 96 up, a length scaled to pixels and
// back is the length itself, so saving and loading again and again never drifts.
#pragma once

#include <windows.h>

// length (units of 96 DPI) in pixels of window; a null window means the screen.
int ScaleForWindow(HWND window, int length);
// pixels of window in units of 96 DPI, as the settings file keeps them.
int StoredLength(HWND window, int pixels);
