// The main window: its procedure, child controls and their layout, menus, the program's whole
// command set and its shut-down work (at exit and at the end of a session).
#pragma once

#include <windows.h>

// The instance handle given to WinMain; used for every resource load and every window created.
extern HINSTANCE AppInstance;
// The one-line main window; null until CreateWindowExA returns (also while its WM_CREATE runs).
extern HWND MainWindow;

// The dialogs the main menu opens, each run modally over its owner. They sit in the layer above
// this one, which hands them in before the window is created; a null entry opens nothing.
struct MenuDialogs {
    void (*settings)(HWND owner);
    void (*about)(HWND owner);
};
extern MenuDialogs MainMenuDialogs;

// The class a second start looks for, and the title shown on the task bar.
constexpr char MainClassName[] = "tolvex class";
constexpr char MainWindowTitle[] = "tolvex";

// The procedure of the class MainClassName, registered by WinMain.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Menu 10, loaded afresh, its check and radio marks set from Settings; the caller destroys it.
// Offered for its tests.
HMENU LoadMainMenu();
