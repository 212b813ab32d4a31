// The settings dialog (resource IDD_SETTINGS), run modally from the main menu: it edits copies of
// the settings and, on OK, writes them into Settings and applies them to the running program
// (tray icon, hot key, history length, colours, font and window height, opacity). Nothing is
// written to tolvex.ini here; that happens at exit. Only the history's clear button acts at once.
#pragma once

#include <windows.h>

// Working copies of the colours, loaded when the dialog opens and painted by the two swatches.
extern COLORREF WorkTextColor;
extern COLORREF WorkBackColor;
// Working copy of the font, loaded when the dialog opens; the font chooser edits it.
extern LOGFONTA WorkFont;
// 1 once the font chooser has returned with OK during this opening: only then is the font
// replaced at OK, even when the same font was chosen again.
extern int FontChosen;
// The colour chooser's custom-colour row, shared by both colour buttons. Starts all white and
// keeps the user's custom colours for the life of the process (they are never stored).
constexpr int CustomColorCount = 16;
extern COLORREF CustomColors[CustomColorCount];

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the colour chooser owned by owner, starting at *color. On OK stores the choice in *color
// and returns 1; on Cancel or failure leaves it alone and returns 0.
int PickColor(HWND owner, COLORREF* color);
// Runs the font chooser owned by owner on *font (initial and result font). Non-zero when the
// user pressed OK; the chooser has then written the chosen font into *font.
BOOL PickFont(HWND owner, LOGFONTA* font);
// Shows the face name and point size of font in the dialog's font label as "face,size". Keeps the
// previous text when no device context or font can be had.
void ShowFontLabel(HWND dialog, const LOGFONTA* font);
// Shows the trackbar's position in the opacity label as "70 %".
void ShowOpacityLabel(HWND dialog);
// Enables (enable non-zero) or disables every control from id first to id last inclusive.
void EnableControlRange(HWND dialog, int first, int last, BOOL enable);
