// The settings dialog (resource IDD_SETTINGS), run modally from the main menu: it edits copies of
// the settings and, on OK, writes them into Settings and applies them to the running program
// (tray icon, hot key, history length, colours, font and window height, opacity). Nothing is
// written to tolvex.ini here; that happens at exit. Only the history's clear button acts at once.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// IDM_SETTINGS: runs the dialog modally over owner.
void ShowSettingsDialog(HWND owner);

// Shows the face name and point size of font in the dialog's font label as "face,size". Keeps the
// previous text when no device context or font can be had. Offered for its tests: the sizes the
// font chooser gives come out of it.
void ShowFontLabel(HWND dialog, const LOGFONTA* font);
