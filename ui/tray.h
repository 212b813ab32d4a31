// The notification-area icon and resident mode, the ways back to a hidden main window besides the
// hot key (hotkey.h); also what a long-running copy does when the shell restarts.
//
// Every routine runs on the GUI thread. The icon is uID 1 of whichever window is passed. Its
// image, loaded at the small-icon size of the current scale, belongs to this module: replaced when
// the scale changes or the shell restarts, destroyed when the icon is removed.
#pragma once

#include <windows.h>

// The icon's callback message to the main window; its lParam is the mouse message.
constexpr UINT TrayCallbackMessage = WM_USER;

// Adds the notification-area icon for window; the shell's answer is ignored.
void AddTrayIcon(HWND window);
// Gives window's icon an image made for the current scale (after it has changed), when resident.
void RefitTrayIcon(HWND window);
// Deletes window's icon; returns the shell's answer, which no caller needs.
BOOL RemoveTrayIcon(HWND window);

// Message work of MainWndProc: the icon's callback, WM_CLOSE (hides the window in resident mode)
// and the shell's restart broadcast.
LRESULT OnTrayCallback(HWND window, LPARAM mouseMessage);
LRESULT OnCloseRequest(HWND window, WPARAM wParam, LPARAM lParam);
bool IsTaskbarCreated(UINT message);
LRESULT OnTaskbarCreated(HWND window);
