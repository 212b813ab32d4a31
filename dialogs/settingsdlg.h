// The settings dialog (resource IDD_SETTINGS), run modally from the main menu.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
