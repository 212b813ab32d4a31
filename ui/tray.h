// The ways back to a hidden or buried main window: the notification-area icon, resident mode,
// the global hot key, and the show-and-raise work of IDM_SHOW that all of them end in; also what
// a long-running copy does when the shell restarts.
//
// Every routine runs on the GUI thread. The hot key lives on MainWindow under the identifier 0;
// the icon is uID 1 of whichever window is passed. Its image, loaded at the small-icon size of the
// current scale, belongs to this module: replaced when the scale changes or the shell restarts,
// destroyed when the icon is removed.
#pragma once

#include <windows.h>

// The icon's callback message to the main window; its lParam is the mouse message.
constexpr UINT TrayCallbackMessage = WM_USER;

// Registers the hot key for code (low 16 bits, the hot-key control's encoding) on MainWindow,
// releasing any earlier one first, or only releases it when those bits are 0 (then TRUE). Holding
// the combination down does not repeat it. On a failed registration a warning naming the
// combination and the cause is shown, modal to warningOwner (MainWindow when null), and the
// result is FALSE; no hot key is left then.
BOOL SetGlobalHotKey(int code, HWND warningOwner = nullptr);
// Adds the notification-area icon for window; the shell's answer is ignored.
void AddTrayIcon(HWND window);
// Gives window's icon an image made for the current scale (after it has changed), when resident.
void RefitTrayIcon(HWND window);
// Deletes window's icon; returns the shell's answer, which no caller needs.
BOOL RemoveTrayIcon(HWND window);

// IDM_SHOW: shows MainWindow, restores it when minimised and brings it to the front; never hides.
// A window lying on no monitor is first moved into the nearest monitor's work area.
void ShowMainWindow();

// Message work of MainWndProc: WM_HOTKEY, the icon's callback, WM_CLOSE (hides the window in
// resident mode) and the shell's restart broadcast.
LRESULT OnHotKey(HWND window);
LRESULT OnTrayCallback(HWND window, LPARAM mouseMessage);
LRESULT OnCloseRequest(HWND window, WPARAM wParam, LPARAM lParam);
bool IsTaskbarCreated(UINT message);
LRESULT OnTaskbarCreated(HWND window);
