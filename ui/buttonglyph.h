// The pictures on the main window's three buttons, drawn at run time for the window's scale and
// the current system colours from their designs, the program's bitmap resources.
//
// A design is a small picture in three inks: black is the glyph itself, white the paper of what
// it shows (the list box of the menu glyph) and light grey the button's face. The first two become
// the button-text and window colours; every colour scheme, the high-contrast ones included, sets
// the text apart from both backgrounds, so a glyph shows in any scheme. The face is left clear, so
// the button's own face shows there, drawn by the visual style or in the button-face colour. A
// glyph is drawn again whenever the colours or the scale change.
#pragma once

#include <windows.h>

// Bitmap resource `resource` of module drawn for window's DPI in the current system colours, as an
// icon whose face is clear; the caller owns the result (DestroyIcon). Null when the design cannot
// be read (the button then shows no picture).
HICON DrawButtonGlyph(HWND window, HINSTANCE module, int resource);
