// The line's character rules: which typed characters the input line takes, and the folding of
// full-width and typographic forms to ASCII in what is typed, pasted or listed.
//
// The line takes no input-method composition; full-width and typographic forms that still reach
// it (typed, committed by an input method, pasted, or in a history line) become ASCII.
#pragma once

#include <windows.h>

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

// Folds the characters of a line's text in UTF-16 to their ASCII forms where they have one; true
// when any was.
bool FoldToAsciiForms(WCHAR* text);
// WM_PASTE on edit: a clipboard text with full-width or typographic forms goes in as ASCII. False
// when there was nothing to fold: the edit field then pastes by itself.
bool PasteAsciiForms(HWND edit);
