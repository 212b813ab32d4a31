// Bringing the main window forward: the show-and-raise work of IDM_SHOW, in which the icon, the
// hot key and a second start all end.
#pragma once

#include <windows.h>

// IDM_SHOW: shows MainWindow, restores it when minimised and brings it to the front; never hides.
// A window lying on no monitor is first moved into the nearest monitor's work area.
void ShowMainWindow();
