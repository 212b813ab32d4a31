// The notification-area icon, resident mode, the global hot key and bringing the window forward.
#include "ui/tray.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/hotkeycode.h"
#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/platformcalls.h"

namespace {

// The shell's broadcast after it has (re)started, when every icon has to be added again; 0 until
// the first AddTrayIcon registers it, so that no ordinary message is mistaken for it.
UINT TaskbarCreatedMessage;

static_assert(HotKeyModAlt == MOD_ALT && HotKeyModControl == MOD_CONTROL &&
                  HotKeyModShift == MOD_SHIFT,
              "the translation's modifiers are RegisterHotKey's");

// The one hot key's identifier on MainWindow.
constexpr int HotKeyId = 0;
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

// Long enough for four key names and their separators, and for a system's error text.
constexpr int KeyNameSize = 64;
constexpr int HotKeyTextSize = 4 * KeyNameSize + 16;
constexpr int CauseTextSize = 256;
constexpr int WarningTextSize = HotKeyTextSize + CauseTextSize + 64;
constexpr int CaptionSize = 32;
// GetKeyNameText's lParam: the scan code in bits 16 to 23, the extended-key flag in bit 24.
constexpr int ScanCodeShift = 16;
constexpr LPARAM ExtendedKeyBit = 1 << 24;

// Appends the name of a key, as the keyboard layout gives it, and the separator when more follow.
void AppendKeyName(wchar_t* text, UINT virtualKey, bool extended, bool last) {
    LPARAM key = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << ScanCodeShift;
    wchar_t name[KeyNameSize] = L"";
    if (GetKeyNameTextW(key | (extended ? ExtendedKeyBit : 0), name, KeyNameSize) == 0) {
        wsprintfW(name, L"#%u", virtualKey);
    }
    lstrcatW(text, name);
    if (!last) {
        lstrcatW(text, L" + ");
    }
}

// The combination as the settings dialog's hot-key control shows it: "Ctrl + Alt + C".
void NameHotKey(int code, wchar_t* text) {
    unsigned flags = (static_cast<unsigned>(code) & HotKeyCodeBits) >> 8;
    UINT virtualKey = static_cast<UINT>(code) & 0xFF;
    text[0] = L'\0';
    if (flags & HotKeyFlagControl) {
        AppendKeyName(text, VK_CONTROL, false, false);
    }
    if (flags & HotKeyFlagShift) {
        AppendKeyName(text, VK_SHIFT, false, false);
    }
    if (flags & HotKeyFlagAlt) {
        AppendKeyName(text, VK_MENU, false, false);
    }
    AppendKeyName(text, virtualKey, (flags & HotKeyFlagExtended) != 0, true);
}

// Why the registration failed: the common case in words of the program's own, any other in the
// system's words in the user's language.
void DescribeHotKeyError(DWORD error, wchar_t* text) {
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
        lstrcpyW(text, L"ほかのプログラムがすでに使っています。");
        return;
    }
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, CauseTextSize, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n')) {
        text[--length] = L'\0';
    }
    if (length == 0) {
        wsprintfW(text, L"エラー %lu", error);
    }
}

// The warning is modal to its owner: the settings dialog while it applies a new combination, so
// its OK cannot be pressed again under the box.
void WarnHotKeyNotSet(int code, DWORD error, HWND owner) {
    wchar_t combination[HotKeyTextSize];
    NameHotKey(code, combination);
    wchar_t cause[CauseTextSize];
    DescribeHotKeyError(error, cause);
    wchar_t text[WarningTextSize];
    wsprintfW(text, L"ホットキー「%s」が設定できません。\n%s", combination, cause);
    wchar_t caption[CaptionSize];
    MultiByteToWideChar(CP_ACP, 0, MainWindowTitle, -1, caption, CaptionSize);
    // Through the wide API, so the Japanese text reads right whatever the ANSI code page is.
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
}

// Holding the combination down gives one WM_HOTKEY, not one per auto-repeat (MOD_NOREPEAT).
// Platforms before Windows 7 lack that modifier; should one refuse the registration for any cause
// but a taken combination, it is made again without it. True when registered; else the last
// error tells why.
bool RegisterWithoutRepeat(const HotKeyCombination& key) {
    if (RegisterHotKey(MainWindow, HotKeyId, key.modifiers | MOD_NOREPEAT, key.virtualKey)) {
        return true;
    }
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) {
        return false;
    }
    return RegisterHotKey(MainWindow, HotKeyId, key.modifiers, key.virtualKey) != 0;
}

void ShowTrayMenu(HWND window) {
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_TRAYMENU));
    POINT cursor;
    GetCursorPos(&cursor);
    // A popup menu only closes on a click elsewhere when its owner is the foreground window, and
    // the owner here is usually hidden behind another program; the null message afterwards lets
    // the menu's loop see that it is over.
    SetForegroundWindow(window);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

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

BOOL SetGlobalHotKey(int code, HWND warningOwner) {
    // Registering under the same window and identifier again does not give up the combination
    // registered before: both would stay captured system-wide. So the old one always goes first,
    // and a new one that fails leaves none, as the settings dialog then records.
    UnregisterHotKey(MainWindow, HotKeyId);
    if (IsNoHotKey(code)) {
        return TRUE;
    }
    if (RegisterWithoutRepeat(HotKeyModifiers(code))) {
        return TRUE;
    }
    WarnHotKeyNotSet(code, GetLastError(), warningOwner ? warningOwner : MainWindow);
    return FALSE;
}

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

LRESULT OnHotKey(HWND window) {
    // Whatever its identifier: the hot key only ever shows the window, it never hides it.
    SendMessageA(window, WM_COMMAND, IDM_SHOW, 0);
    return 0;
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
