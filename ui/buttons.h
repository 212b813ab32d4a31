// The three picture buttons at the right of the main window: clear, menu and close. Their
// glyphs (icons) and their tooltip control belong to this module: the glyphs are drawn again on
// every change of the system colours or of the window's scale, and both are destroyed with the
// window.
#pragma once

#include <windows.h>

// The menu button, under which the main menu opens.
extern HWND MenuButton;

// Creates the three buttons in window, with their glyphs, names and tooltips (WM_CREATE).
void CreateButtons(HWND window);
// Places them at the right end of a client area of width × height, each height wide.
void PlaceButtons(int width, int height);
// Draws their glyphs again for the current colours and the window's scale.
void ReloadButtonBitmaps();
// Destroys the glyphs and the tooltip control (the main window's WM_DESTROY).
void DestroyButtons();
