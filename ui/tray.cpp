// The notification-area icon, resident mode, the global hot key and bringing the window forward.
#include "tray.h"

#include "../res/resource.h"
#include "../settings/settings.h"
#include "globals.h"

// The hot key and the icon come with resident mode; until then these keep their contracts'
// results and do nothing.
BOOL SetGlobalHotKey(int) {
    return TRUE;
}

void AddTrayIcon(HWND) {}

BOOL RemoveTrayIcon(HWND) {
    return TRUE;
}

LRESULT OnTrayCallback(HWND, LPARAM) {
    return 0;
}

void BringToFront(HWND window) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    bool guardedForeground =
        (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinorVersion >= 10) ||
        (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5);
    if (!guardedForeground) {
        SetForegroundWindow(window);
        return;
    }
    // Newer platforms refuse the foreground to a process that does not own it; for the moment of
    // the call this thread shares the input state of the thread that does.
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    DWORD ownThread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(ownThread, foregroundThread, FALSE);
}

void ShowMainWindow() {
    if (!IsWindowVisible(MainWindow)) {
        ShowWindow(MainWindow, SW_SHOW);
    }
    if (IsIconic(MainWindow)) {
        ShowWindow(MainWindow, SW_RESTORE);
    }
    BringToFront(MainWindow);
}

LRESULT OnHotKey(HWND window) {
    SendMessageA(window, WM_COMMAND, IDM_SHOW, 0);
    return 0;
}

LRESULT OnCloseRequest(HWND window, WPARAM wParam, LPARAM lParam) {
    // Resident mode hides the window here instead; until the icon exists, closing always ends
    // the program so that it can never be left running without a way back.
    return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
}
