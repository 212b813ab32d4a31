// The main window's look and size rules: the input line's font and colours (high contrast
// included), the height that follows the font and the width limit. The design's lengths are in
// units of 96 DPI and drawn scaled to the window's DPI (ui/dpi.h).
//
// MainFont, BackBrush and FixedWindowHeight belong to this module: created by
// CreateAppearanceObjects while the window is created, replaced by ReplaceBackBrush and
// ReplaceMainFont when the settings dialog applies another colour or font, deleted by
// DeleteAppearanceObjects when the window is destroyed.
#pragma once

#include <windows.h>

// The font of the input line; its height sets the window's height.
extern HFONT MainFont;
// The input line's background brush; exists exactly while Settings.UseColors is on.
extern HBRUSH BackBrush;
// The main window's outer height, both its minimum and maximum tracking height.
extern int FixedWindowHeight;
// The main window's minimum tracking width, from CalcMinWindowWidth.
extern int MinWindowWidth;

// MainFont from Settings.Font at window's DPI, and BackBrush from Settings.BackColor when
// UseColors is on; notes whether high contrast is on.
void CreateAppearanceObjects(HWND window);
// Takes up a switch of the platform's high-contrast mode (WM_SETTINGCHANGE): while it is on, the
// input line and its list show the scheme's window colours instead of the chosen ones.
void FollowHighContrast();
void DeleteAppearanceObjects();
// Makes BackBrush follow Settings.UseColors and Settings.BackColor: a brush of that colour
// replaces the old one, and none is left while colours are off.
void ReplaceBackBrush();
// Replaces MainFont by one made from font (its height in units of 96 DPI, as Settings.Font) at
// MainWindow's DPI, gives it to InputCombo and fits MainWindow's height to it. False, with
// everything left as it was, when no such font can be made.
bool ReplaceMainFont(const LOGFONTA& font);

// The outer height that gives InputCombo exactly one line of MainFont, for MainWindow's styles.
int CalcWindowHeight();
// Gives the new MainWindow its size: Settings.WindowWidth at its DPI, no narrower than the
// minimum, and one line of MainFont high.
void SizeMainWindow();
// The narrowest the main window may be made, at window's DPI.
int CalcMinWindowWidth(HWND window);

// Message work of MainWndProc.
void LimitWindowSize(MINMAXINFO* limits);
LRESULT ColorInputLine(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
