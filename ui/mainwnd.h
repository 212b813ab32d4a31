// The main window: its procedure, child controls and their layout, button bitmaps, menus and the
// program's whole command set.
//
// The three bitmaps belong to this module; they are replaced on every system colour change and
// deleted when the window is destroyed.
#pragma once

#include <windows.h>

// The class a second start looks for, and the title shown on the task bar.
constexpr char MainClassName[] = "tolvex class";
constexpr char MainWindowTitle[] = "tolvex";

// The bitmaps shown on ClearButton, MenuButton and CloseButton.
extern HBITMAP ClearBitmap;
extern HBITMAP MenuBitmap;
extern HBITMAP CloseBitmap;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The WM_CREATE work: font and brush, combo box with its filtered edit field, the three buttons
// and, when resident, the notification-area icon. Always succeeds.
BOOL CreateChildControls(HWND window);
// Places the combo box and the buttons for a client area of width × height; nothing is clamped.
void LayoutChildControls(int width, int height);
// Loads the bitmap of button (one of the three), keeps it in its variable and shows it.
void LoadButtonBitmaps(HWND button);
// Menu 10, loaded afresh, its check and radio marks set from Settings; the caller destroys it.
HMENU LoadMainMenu();
// The WM_COMMAND work for one command id (low word of wParam) and notification code (high word).
void OnMainCommand(HWND window, int id, HWND control, int code);
