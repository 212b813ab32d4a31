// The main window's restored rectangle in screen coordinates, which the stored position is in, and
// the monitors it may lie on.
//
// The platform's window placement answers in workspace coordinates: relative to the work area of
// the window's monitor, so a taskbar at the top or the left shifts them against the screen
// coordinates a window is created at. Every reading and setting of the restored rectangle goes
// through here. Platforms without several monitors have one: the screen, with its work area.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The restored rectangle (neither minimised nor maximised) of window in screen coordinates;
// false, with rect untouched, when the platform gives no placement.
bool GetRestoredScreenRect(HWND window, RECT* rect);
// Makes rect (screen coordinates) the restored rectangle of window; a shown window moves there,
// a hidden or minimised one stays as it is until it is shown or restored.
bool SetRestoredScreenRect(HWND window, const RECT& rect);

// The restored place of window as the settings file keeps it (the width in units of 96 DPI at the
// window's DPI); the place Settings holds now when the platform gives no placement.
WindowPlace StoredWindowPlace(HWND window);

// True when rect shares at least one pixel with some monitor.
bool IsOnAnyMonitor(const RECT& rect);
// The work area of the monitor nearest to rect.
RECT NearestWorkArea(const RECT& rect);

// A window whose restored rectangle lies on no monitor (its monitor unplugged, or the file edited)
// has no caption and no system menu to be fetched back by: it moves fully into the work area of
// the nearest monitor, as wide as it was unless the work area is narrower. A window with any part
// on a monitor stays exactly where the user put it. Applied at start-up and by IDM_SHOW.
void BringIntoReach(HWND window);
