// The input line: the character filter on the combo box's edit field, live evaluation of the
// line on every change, the Enter key and the history list (the combo box's own item list).
//
// The line takes no input-method composition; full-width and typographic forms that still reach
// it (typed, committed by an input method, pasted, or in a history line) become ASCII. F10 on the
// line asks the main window for its main menu, as an accelerator would (IDC_MENU, code 1).
//
// Everything runs on the GUI thread. The only re-entry is the edit field's change report while
// EvaluateLine rewrites the line, which SuppressEditChange turns into nothing.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The drop-down combo box (IDC_INPUT): the input line and, as its list, the history.
extern HWND InputCombo;
// The edit field inside InputCombo, subclassed by the character filter.
extern HWND InputEdit;

// WM_COMMAND's notification code for a command given from the keyboard, as an accelerator's: F10
// on the line sends IDC_MENU with it to the main window.
constexpr WORD KeyboardCommandCode = 1;

// Creates InputCombo on window (the main window's WM_CREATE) and filters its edit field.
void CreateInputLine(HWND window);
// Subclasses the edit field with the character filter and the Enter key (WM_CREATE of the main
// window).
void InstallInputFilter(HWND edit);

// Evaluates the line in front of its first "=" and writes the result behind it, keeping the
// user's selection. True when a result was written without error. Offered for the measurement of
// a keystroke's cost.
bool EvaluateLine();

// The steps of a typed character, offered for their tests.
//
// Joins the bytes of a double-byte character typed in the ANSI code page: its lead byte is held in
// *pendingLead and gives no character yet (false); the next code is its trail byte and completes
// it, the lead byte in the high half, as an input method hands a character over (WM_IME_CHAR).
// Every other code is a character by itself (true, *character set).
bool JoinTypedBytes(WPARAM code, BYTE* pendingLead, WPARAM* character);
// The ASCII form of a typed character, single-byte or double-byte whole: "１" becomes "1", "×" a
// "*" (see asciiforms.h); a character without one is returned as it is.
WPARAM TypedAsciiForm(WPARAM character);
// The filter's decision on a character: passed to the edit field, swallowed silently, or refused
// with the simple beep. A double-byte character is refused as a whole.
enum FilterAction { FilterPass, FilterSwallow, FilterBeep };
FilterAction FilterInputChar(WPARAM code);

// The history as the settings store reads and fills it: the item list of InputCombo. An item
// longer than the line is handed out cut to MaxLineLength bytes, never inside a double-byte
// character.
extern const HistoryList InputHistory;

// What the settings dialog does to the history: empties it (the line goes with it), and cuts it
// to its newest maxHistory entries.
void ClearHistory();
void TrimHistory(int maxHistory);

// Offered for its tests. Puts line at the top of the combo box list: an equal item (ignoring case)
// further down moves up, as written now; an equal top item stays as it is; a new line may push out
// the last item.
void PushHistory(HWND list, const char* line, int maxHistory);

// CBN_EDITCHANGE of the input line: the live evaluation.
void OnLineChanged();
// After IDM_HEX32 or IDM_HEX64: a hexadecimal or binary line is shown in the new width at once.
void ReevaluateAfterHexSwitch();
