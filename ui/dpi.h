// The DPI a window is drawn at, the lengths of the design and of the settings file, which are in
// units of 96 DPI, turned into that window's pixels and back, and the platform's frame and edge
// sizes for that DPI.
//
// Both directions round to the nearest pixel: at any DPI from 96 up, a length scaled to pixels and
// back is the length itself, so saving and loading again and again never drifts.
#pragma once

#include <windows.h>

// The DPI window is drawn at; a null window means the screen, whose DPI is also the one at which
// device contexts and the font chooser convert between points and pixels.
int WindowDpi(HWND window);
// length (units of 96 DPI) in pixels of window; a null window means the screen.
int ScaleForWindow(HWND window, int length);
// pixels of window in units of 96 DPI, as the settings file keeps them.
int StoredLength(HWND window, int pixels);

// The platform's metric index (SM_...) for window's DPI. Monitors can differ in scale, and the
// plain GetSystemMetrics answers for the primary monitor's, so a window on another monitor asks
// for its own; without per-monitor scaling every window has the one DPI that call answers for.
int SystemMetricForWindow(HWND window, int index);
// Grows *rect from a client rectangle to the outer rectangle that the platform's frame for
// window's styles and no menu gives it at window's DPI.
void AdjustRectForWindow(HWND window, RECT* rect);
