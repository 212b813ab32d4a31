// The input line: the character filter on the combo box's edit field, live evaluation of the
// line on every change, the Enter key and the history list.
#pragma once

#include <windows.h>

// The edit field's own window procedure, which every message the filter lets through reaches.
extern WNDPROC PrevEditProc;

// Subclasses InputEdit with InputEditProc.
void InstallInputFilter(HWND edit);
LRESULT CALLBACK InputEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// CBN_EDITCHANGE of the input line: the live evaluation.
void OnLineChanged();
// After IDM_HEX32 or IDM_HEX64: a hexadecimal or binary line is shown in the new width at once.
void ReevaluateAfterHexSwitch();
