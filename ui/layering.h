// Where the main window lies among the others and how much of it shows through: always-on-top,
// and translucency through layered windows, which older platforms lack.
//
// USER32.DLL is loaded by FindLayeredAttributes at start-up and freed by ReleaseLayeredAttributes
// at the end, so that a platform without layered windows still starts.
#pragma once

#include <windows.h>

// The signature of SetLayeredWindowAttributes, which is looked up at run time.
typedef BOOL(WINAPI* LayeredAttributesFunction)(HWND window, COLORREF key, BYTE alpha, DWORD flags);

// SetLayeredWindowAttributes, or null for the whole run when the platform has none.
extern LayeredAttributesFunction LayeredAttributesProc;

// Loads USER32.DLL and looks up the layered-window call; clears Settings.Translucent without it.
void FindLayeredAttributes();
// Frees what FindLayeredAttributes loaded.
void ReleaseLayeredAttributes();

// Applies Settings.Opacity to a window that has WS_EX_LAYERED; LayeredAttributesProc must exist.
void SetLayeredOpacity(HWND window);

// IDM_TOPMOST and IDM_TRANSLUCENT.
void ToggleAlwaysOnTop(HWND window);
void ToggleTranslucent(HWND window);
