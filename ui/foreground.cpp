// Showing the main window and bringing it to the front, past the platform's foreground rules.
#include "ui/foreground.h"

#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/platformcalls.h"

namespace {

// Makes window the foreground window, even when another process owns the foreground.
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
    // A window that has stopped answering never takes the deactivation that sharing its input
    // state sends it, and the calculator would hang with it. Then it only asks for the foreground
    // (the platform flashes its button instead). The check is looked up: older platforms lack it.
    HWND foreground = GetForegroundWindow();
    auto isHung = FindUser32Call<BOOL(WINAPI*)(HWND)>("IsHungAppWindow");
    if (foreground && isHung && isHung(foreground)) {
        SetForegroundWindow(window);
        return;
    }
    // Newer platforms refuse the foreground to a process that does not own it; for the moment of
    // the call this thread shares the input state of the thread that does.
    DWORD foregroundThread = GetWindowThreadProcessId(foreground, nullptr);
    DWORD ownThread = GetWindowThreadProcessId(window, nullptr);
    AttachThreadInput(ownThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(ownThread, foregroundThread, FALSE);
    // Detaching may leave the foreground with the input state the window has just left, so that no
    // window at all is in front (Wine does so, now and then); the window then asks once more from
    // its own. Where it is in front already, as Windows leaves it, nothing is called.
    if (GetForegroundWindow() != window) {
        SetForegroundWindow(window);
    }
}

} // namespace

void ShowMainWindow() {
    BringIntoReach(MainWindow);
    if (!IsWindowVisible(MainWindow)) {
        ShowWindow(MainWindow, SW_SHOW);
    }
    if (IsIconic(MainWindow)) {
        ShowWindow(MainWindow, SW_RESTORE);
    }
    BringToFront(MainWindow);
}
