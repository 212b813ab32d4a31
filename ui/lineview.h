// The input line's text in its control: the live evaluation on every change, and the view the
// user had, kept through the program's own rewrites.
//
// Everything runs on the GUI thread. The only re-entry is the edit field's change report while
// EvaluateLine rewrites the line, which is turned into nothing.
#pragma once

#include <windows.h>

// The drop-down combo box (IDC_INPUT): the input line and, as its list, the history.
extern HWND InputCombo;
// The edit field inside InputCombo, subclassed by the character filter.
extern HWND InputEdit;

// Evaluates the line in front of its first "=" and writes the result behind it, keeping the
// user's selection. True when a result was written without error. Offered for the measurement of
// a keystroke's cost.
bool EvaluateLine();
// Enter: completes the line with "=" where it lacks one and evaluates it. The line as it then
// stands when that succeeded, for the history; null otherwise.
const char* FinishEnteredLine();

// CBN_EDITCHANGE of the input line: the live evaluation.
void OnLineChanged();
// After IDM_HEX32 or IDM_HEX64: a hexadecimal or binary line is shown in the new width at once.
void ReevaluateAfterHexSwitch();
