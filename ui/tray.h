// The ways back to a hidden or buried main window: the notification-area icon, resident mode,
// the global hot key, and the show-and-raise work of IDM_SHOW that all of them end in.
#pragma once

#include <windows.h>

// The icon's callback message to the main window.
constexpr UINT TrayCallbackMessage = WM_USER;

// Registers the hot key (low 16 bits of code, the hot-key control's encoding) on MainWindow, or
// unregisters it when those bits are 0. False when the registration failed.
BOOL SetGlobalHotKey(int code);
void AddTrayIcon(HWND window);
BOOL RemoveTrayIcon(HWND window);

// Makes window the foreground window, even when another process owns the foreground.
void BringToFront(HWND window);
// IDM_SHOW: shows MainWindow, restores it when minimised and brings it to the front.
void ShowMainWindow();

// Message work of MainWndProc: WM_HOTKEY, the icon's callback and WM_CLOSE.
LRESULT OnHotKey(HWND window);
LRESULT OnTrayCallback(HWND window, LPARAM mouseMessage);
LRESULT OnCloseRequest(HWND window, WPARAM wParam, LPARAM lParam);
