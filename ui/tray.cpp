// The notification-area icon and resident mode.
#include "ui/tray.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/mainwnd.h"
#include "ui/platformcalls.h"

namespace {

// The shell's broadcast after it has (re)started, when every icon has to be added again; 0 until
// the first AddTrayIcon registers it, so that no ordinary message is mistaken for it.
UINT TaskbarCreatedMessage;

// The icon's identifier among the main window's icons.
constexpr UINT TrayIconId = 1;
// The record's first form: the shell accepts it everywhere, and its tip field is 64 bytes.
constexpr DWORD TrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || TrayRecordSize == 88, "the first form of NOTIFYICONDATAA");
constexpr char TrayTip[] = "tolvex";
constexpr char TaskbarCreatedName[] = "TaskbarCreated";

// The image shown in the notification area, made for its size at the current scale; owned here
// and destroyed when it is replaced or the icon removed.
HICON TrayIconImage;

typedef HRESULT(WINAPI* LoadIconMetricFunction)(HINSTANCE module, PCWSTR name, int metric,
                                                HICON* icon);

// The program's icon at the small-icon size of the current scale, drawn from the image of that
// size in the icon resource rather than shrunk from a larger one. The common controls' own call
// knows the notification area's size best; platforms before it have only the system metric.
HICON LoadSmallIcon() {
    auto loadIconMetric =
        FindPlatformCall<LoadIconMetricFunction>("COMCTL32.DLL", "LoadIconMetric");
    HICON icon = nullptr;
    if (loadIconMetric &&
        SUCCEEDED(loadIconMetric(AppInstance, MAKEINTRESOURCEW(IDI_TOLVEX), LIM_SMALL, &icon))) {
        return icon;
    }
    return static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_TOLVEX), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

// Hands the shell a freshly loaded image with message (NIM_ADD or NIM_MODIFY) and keeps it,
// destroying the one it replaces once the shell no longer shows that.
void SendTrayIcon(HWND window, DWORD message) {
    HICON previous = TrayIconImage;
    TrayIconImage = LoadSmallIcon();
    NOTIFYICONDATAA data = {};
    data.cbSize = TrayRecordSize;
    data.hWnd = window;
    data.uID = TrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TrayCallbackMessage;
    data.hIcon = TrayIconImage;
    lstrcpynA(data.szTip, TrayTip, sizeof data.szTip);
    Shell_NotifyIconA(message, &data);
    if (previous) {
        DestroyIcon(previous);
    }
}

// The menu's owner has to be the foreground window, or a click elsewhere leaves the menu open. It
// is a window of its own that is never shown, owned by the main window so that it goes, and the
// menu with it, when the main window does. The main window itself is usually hidden here, perhaps
// only just, and a window system that reports that hide late (Wine under load) takes the report,
// once the hidden window holds the foreground again, as its loss: it closes the menu unchosen and
// puts the desktop in front. A window never shown has nothing of the kind still to come.
void ShowTrayMenu(HWND window) {
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_TRAYMENU));
    POINT cursor;
    GetCursorPos(&cursor);
    HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, window,
                                 nullptr, AppInstance, nullptr);
    if (owner == nullptr) {
        owner = window;
    }
    SetForegroundWindow(owner);
    UINT command =
        static_cast<UINT>(TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                         cursor.x, cursor.y, 0, owner, nullptr));
    // The null message lets the menu's loop see that it is over.
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
    // Sent while the owner still holds the foreground, which showing the window then takes over.
    if (command != 0) {
        SendMessageA(window, WM_COMMAND, command, 0);
    }
    // The exit has destroyed the owner along with the main window.
    if (owner != window && IsWindow(window)) {
        DestroyWindow(owner);
    }
}

} // namespace

void AddTrayIcon(HWND window) {
    if (!TaskbarCreatedMessage) {
        TaskbarCreatedMessage = RegisterWindowMessageA(TaskbarCreatedName);
    }
    SendTrayIcon(window, NIM_ADD);
}

void RefitTrayIcon(HWND window) {
    if (Settings.Resident) {
        SendTrayIcon(window, NIM_MODIFY);
    }
}

BOOL RemoveTrayIcon(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = TrayRecordSize;
    data.hWnd = window;
    data.uID = TrayIconId;
    BOOL removed = Shell_NotifyIconA(NIM_DELETE, &data);
    if (TrayIconImage) {
        DestroyIcon(TrayIconImage);
        TrayIconImage = nullptr;
    }
    return removed;
}

LRESULT OnTrayCallback(HWND window, LPARAM mouseMessage) {
    // On the press, not the release: the window is back at once, and the double click that may
    // follow is ignored like any other mouse message.
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDOWN: SendMessageA(window, WM_COMMAND, IDM_SHOW, 0); break;
    case WM_RBUTTONDOWN: ShowTrayMenu(window); break;
    default: break;
    }
    return 0;
}

LRESULT OnCloseRequest(HWND window, WPARAM wParam, LPARAM lParam) {
    if (Settings.Resident) {
        // The window, the icon and the hot key stay; only IDM_EXIT ends a resident program.
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
}

bool IsTaskbarCreated(UINT message) {
    return TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage;
}

LRESULT OnTaskbarCreated(HWND window) {
    // A restarted shell has forgotten every icon; a hidden resident window would otherwise be
    // reachable only by its hot key or a second start.
    if (Settings.Resident) {
        AddTrayIcon(window);
    }
    return 0;
}
