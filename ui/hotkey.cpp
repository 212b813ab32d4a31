// The global hot key: its registration, and the warning that names a combination it cannot have.
#include "ui/hotkey.h"

#include "res/resource.h"
#include "ui/hotkeycode.h"
#include "ui/mainwnd.h"

namespace {

static_assert(HotKeyModAlt == MOD_ALT && HotKeyModControl == MOD_CONTROL &&
                  HotKeyModShift == MOD_SHIFT,
              "the translation's modifiers are RegisterHotKey's");

// The one hot key's identifier on MainWindow.
constexpr int HotKeyId = 0;
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

LRESULT OnHotKey(HWND window) {
    // Whatever its identifier: the hot key only ever shows the window, it never hides it.
    SendMessageA(window, WM_COMMAND, IDM_SHOW, 0);
    return 0;
}
