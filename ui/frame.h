// The main window's frame, which has no caption: the client area inside the side frames alone,
// the cursors over its edges, and the grip strip at the left that it is dragged by.
#pragma once

#include <windows.h>

// The band at the client area's left edge painted in the caption colour, and the gap beside it.
constexpr int GripStripWidth = 14;
constexpr int GripGapWidth = 2;

// How far window's frame reaches in from each edge of its outer rectangle, at its DPI: the
// sizing frame at the sides, nothing above or below the line.
RECT CalcFrameMargins(HWND window);

// Message work of MainWndProc: WM_NCCALCSIZE, WM_SETCURSOR, WM_NCHITTEST, WM_PAINT and
// WM_NCACTIVATE.
LRESULT CalcClientArea(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT SetFrameCursor(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT HitTestAsCaption(HWND window, WPARAM wParam, LPARAM lParam);
void PaintGripStrip(HWND window);
LRESULT RepaintOnActivation(HWND window, WPARAM wParam, LPARAM lParam);
