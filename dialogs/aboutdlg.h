// The about dialog (resource IDD_ABOUT), run modally from the main menu: the icon, name and
// version, the notice line and a link that opens the home page with the system's browser. It
// reads and changes no settings.
#pragma once

#include <windows.h>

// The dialog's own font with the underline set, for the link; created when the dialog opens and
// deleted when it is destroyed, so exactly one exists while the dialog does.
extern HFONT LinkFont;

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// IDM_ABOUT: runs the dialog modally over owner.
void ShowAboutDialog(HWND owner);
