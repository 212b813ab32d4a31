// The pictures on the main window's three buttons, drawn at run time for the window's scale and
// the current system colours from their designs, the program's bitmap resources.
//
// A design is a small picture in three inks: black is the glyph itself, white the paper of what
// it shows (the list box of the menu glyph) and light grey the button's face. They become the
// button-text, window and button-face colours; every colour scheme, the high-contrast ones
// included, sets the text apart from both backgrounds, so a glyph shows in any scheme. It is
// drawn again whenever the colours or the scale change.
#pragma once

#include <windows.h>

// Bitmap resource `resource` of module drawn for window's DPI in the current system colours; the
// caller owns the result. Null when the design cannot be read (the button then shows no picture).
HBITMAP DrawButtonGlyph(HWND window, HINSTANCE module, int resource);
