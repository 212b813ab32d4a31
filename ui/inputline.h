// The input line's control: the combo box with its edit field, whose procedure routes the keys,
// characters and pastes it gets to the line's character rules (linechars.h), its evaluation
// (lineview.h) and its history (linehistory.h).
//
// F10 on the line asks the main window for its main menu, as an accelerator would (IDC_MENU,
// code 1). The line takes no input-method composition.
#pragma once

#include <windows.h>

// WM_COMMAND's notification code for a command given from the keyboard, as an accelerator's: F10
// on the line sends IDC_MENU with it to the main window.
constexpr WORD KeyboardCommandCode = 1;

// Creates InputCombo on window (the main window's WM_CREATE) and filters its edit field.
void CreateInputLine(HWND window);
// Subclasses the edit field with the character filter and the Enter key (WM_CREATE of the main
// window).
void InstallInputFilter(HWND edit);
