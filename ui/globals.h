// The window handles and the line buffer that the modules of the program share.
//
// One process, one thread, one main window: these are plain globals, valid while the main window
// exists (MainWindow is still null while its WM_CREATE runs).
#pragma once

#include <windows.h>

#include "../engine/line.h"

// The instance handle given to WinMain; used for every resource load and every window created.
extern HINSTANCE AppInstance;
// The one-line main window.
extern HWND MainWindow;
// The drop-down combo box (IDC_INPUT): the input line and, as its list, the history.
extern HWND InputCombo;
// The edit field inside InputCombo, subclassed by the input line's character filter.
extern HWND InputEdit;
// The three bitmap buttons at the right of the window.
extern HWND ClearButton;
extern HWND MenuButton;
extern HWND CloseButton;

// The input line as last fetched.
extern char LineBuffer[LineBufferSize];
