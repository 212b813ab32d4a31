// The main window's procedure, child controls and their layout, menus, commands and shut-down.
#include "ui/mainwnd.h"

#include <windowsx.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/announce.h"
#include "ui/appearance.h"
#include "ui/buttons.h"
#include "ui/dpi.h"
#include "ui/foreground.h"
#include "ui/frame.h"
#include "ui/hotkey.h"
#include "ui/inputline.h"
#include "ui/layering.h"
#include "ui/linehistory.h"
#include "ui/lineview.h"
#include "ui/placement.h"
#include "ui/tray.h"

HINSTANCE AppInstance;
HWND MainWindow;
MenuDialogs MainMenuDialogs;

namespace {

// Set once the settings have been written at the end of the session, so a repeated end-session
// message does not write them again.
bool SavedAtSessionEnd;

// The combo box is this much taller than the line: the rest is its drop-down list.
constexpr int DropDownListHeight = 64;

// A menu opened from the keyboard starts with its first item selected, as a menu bar's does, so
// that the arrows and Enter work at once and a screen reader names an item. TrackPopupMenu has no
// flag for it; the Home key, queued for the menu's loop, selects the first item, and does so
// the same when the platform has already selected one (a Down key would then skip it).
void SelectFirstItemOnOpen(HWND owner) {
    PostMessageA(owner, WM_KEYDOWN, VK_HOME, 0);
}

void ShowMainMenu(HWND window, bool fromKeyboard) {
    HMENU menu = LoadMainMenu();
    RECT button;
    GetWindowRect(MenuButton, &button);
    if (fromKeyboard) {
        SelectFirstItemOnOpen(window);
    }
    TrackPopupMenu(GetSubMenu(menu, 0), 0, button.left, button.bottom, 0, window, nullptr);
    DestroyMenu(menu);
}

void ShowCloseMenu(HWND window, LPARAM screenPoint) {
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_CLOSEMENU));
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, GET_X_LPARAM(screenPoint),
                   GET_Y_LPARAM(screenPoint), 0, window, nullptr);
    DestroyMenu(menu);
}

void ClearLine() {
    SetWindowTextA(InputCombo, "");
    SetFocus(InputCombo);
}

void SetHexBits(int bits) {
    Settings.HexBits = bits;
    ReevaluateAfterHexSwitch();
    AnnounceAfterPause(InputEdit);
}

// The one message at exit: the run's changes are lost, and the user should know where the program
// tried to keep them. The window is going, so the box has no owner.
void ReportSettingsNotSaved() {
    wchar_t path[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, IniPath, -1, path, MAX_PATH)) {
        path[0] = L'\0';
    }
    wchar_t text[MAX_PATH + 64];
    wsprintfW(text, L"設定を保存できませんでした。次のファイルに書き込めません:\n%s", path);
    MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONWARNING);
}

void DestroyMainWindow(HWND window) {
    DestroyButtons();
    DeleteAppearanceObjects();
    ForgetLineLiveRegion(InputEdit);
    if (Settings.Resident) {
        RemoveTrayIcon(window);
    }
    if (!SaveSettings(StoredWindowPlace(window), InputHistory)) {
        ReportSettingsNotSaved();
    }
    PostQuitMessage(0);
}

LRESULT OnEndSession(HWND window, WPARAM sessionEnds) {
    // The process is ended after this without its window being destroyed, so the exit's save
    // would never run: write now what the exit would have written.
    if (sessionEnds && !SavedAtSessionEnd) {
        SavedAtSessionEnd = true;
        SaveSettings(StoredWindowPlace(window), InputHistory);
    }
    return 0;
}

// The WM_CREATE work: font and brush, the label naming the line and the region announcing its
// result, combo box with its filtered edit field, the three buttons and, when resident, the
// notification-area icon. Always succeeds.
BOOL CreateChildControls(HWND window) {
    CreateAppearanceObjects(window);
    CreateLineLabels(window);
    CreateInputLine(window);
    MakeLineLiveRegion(InputEdit);
    SendMessageA(InputCombo, WM_SETFONT, reinterpret_cast<WPARAM>(MainFont), FALSE);
    CreateButtons(window);
    if (Settings.Resident) {
        AddTrayIcon(window);
    }
    return TRUE;
}

// Places the combo box and the buttons for a client area of width × height; nothing is clamped.
// The buttons are as wide as the line is high, so they follow the font.
void LayoutChildControls(HWND window, int width, int height) {
    int lineLeft = ScaleForWindow(window, GripStripWidth + GripGapWidth);
    MoveWindow(InputCombo, lineLeft, 0, width - 3 * height - lineLeft,
               height + ScaleForWindow(window, DropDownListHeight), TRUE);
    PlaceButtons(width, height);
}

// The window has no maximised form. Maximised, a window with a sizing frame covers the work area
// less its frame on every side: the line's top would lie off the screen, and with no caption there
// would be nothing to restore it by. So the system's maximise command (the keyboard's, a double
// click that the platform takes for the caption's) does nothing, and a maximise that comes another
// way (a show command, another program) is undone as soon as it is reported.
LRESULT OnSystemCommand(HWND window, WPARAM command, LPARAM lParam) {
    // The low four bits are the system's own.
    if ((command & 0xFFF0) == SC_MAXIMIZE) {
        return 0;
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, command, lParam);
}

void OnSize(HWND window, WPARAM kind, LPARAM size) {
    if (kind == SIZE_MAXIMIZED) {
        // Restoring reports the normal size in turn, which lays the controls out.
        ShowWindow(window, SW_RESTORE);
        return;
    }
    LayoutChildControls(window, static_cast<short>(LOWORD(size)), static_cast<short>(HIWORD(size)));
}

// Moved to a monitor of another scale: everything drawn at the new DPI, and the window placed
// where the platform suggests (it is the suggested rectangle that keeps the window under the
// pointer while it is dragged across).
LRESULT OnDpiChanged(HWND window, LPARAM suggestedRect) {
    RECT suggested = *reinterpret_cast<const RECT*>(suggestedRect);
    MinWindowWidth = CalcMinWindowWidth(window);
    ReplaceMainFont(Settings.Font);
    ReloadButtonBitmaps();
    RefitTrayIcon(window);
    int width = suggested.right - suggested.left;
    SetWindowPos(window, nullptr, suggested.left, suggested.top,
                 width < MinWindowWidth ? MinWindowWidth : width, FixedWindowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

// IDM_SHOW. While a dialog of the program is open (or a message box it owns), the main window is
// disabled behind it and the user can work only in the dialog: that is what comes to the front,
// once the window is shown and in front, when the process may hand the foreground on. The dialog
// is asked for first: bringing the window to the front makes the window itself its last active
// popup.
void ShowWindowOrItsDialog(HWND window) {
    HWND popup = GetLastActivePopup(window);
    ShowMainWindow();
    if (popup != window && IsWindow(popup) && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        SetForegroundWindow(popup);
    }
}

void OpenMenuDialog(void (*open)(HWND owner), HWND window) {
    if (open != nullptr) {
        open(window);
    }
}

// The WM_COMMAND work for one command id (low word of wParam) and notification code (high word).
void OnMainCommand(HWND window, int id, HWND, int code) {
    switch (id) {
    case IDM_CUT: SendMessageA(InputEdit, WM_CUT, 0, 0); break;
    case IDM_COPY: SendMessageA(InputEdit, WM_COPY, 0, 0); break;
    case IDM_PASTE: SendMessageA(InputEdit, WM_PASTE, 0, 0); break;
    case IDM_DELETE: SendMessageA(InputEdit, WM_CLEAR, 0, 0); break;
    case IDM_SELECTALL: SendMessageA(InputCombo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); break;
    case IDM_CLEARLINE:
    case IDC_CLEAR: ClearLine(); break;
    case IDM_TOPMOST: ToggleAlwaysOnTop(window); break;
    case IDM_TRANSLUCENT: ToggleTranslucent(window); break;
    case IDM_HEX32: SetHexBits(32); break;
    case IDM_HEX64: SetHexBits(64); break;
    case IDM_SETTINGS: OpenMenuDialog(MainMenuDialogs.settings, window); break;
    case IDM_ABOUT: OpenMenuDialog(MainMenuDialogs.about, window); break;
    case IDM_EXIT: DestroyWindow(window); break;
    case IDM_CLOSE:
    case IDC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); break;
    case IDM_SHOW: ShowWindowOrItsDialog(window); break;
    case IDC_INPUT:
        if (code == CBN_EDITCHANGE) {
            OnLineChanged();
        }
        break;
    // From the button, or from F10 on the line with the code of a command given by key.
    case IDC_MENU: ShowMainMenu(window, code == KeyboardCommandCode); break;
    default: break;
    }
}

} // namespace

HMENU LoadMainMenu() {
    HMENU menu = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_MAINMENU));
    CheckMenuItem(menu, IDM_TOPMOST,
                  MF_BYCOMMAND | (Settings.AlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
    if (LayeredAttributesProc) {
        EnableMenuItem(menu, IDM_TRANSLUCENT, MF_BYCOMMAND | MF_ENABLED);
        CheckMenuItem(menu, IDM_TRANSLUCENT,
                      MF_BYCOMMAND | (Settings.Translucent ? MF_CHECKED : MF_UNCHECKED));
    } else {
        EnableMenuItem(menu, IDM_TRANSLUCENT, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    }
    CheckMenuRadioItem(menu, IDM_HEX32, IDM_HEX64, Settings.HexBits == 32 ? IDM_HEX32 : IDM_HEX64,
                       MF_BYCOMMAND);
    return menu;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return CreateChildControls(window) ? 0 : -1;
    case WM_SIZE: OnSize(window, wParam, lParam); return 0;
    case WM_SYSCOMMAND: return OnSystemCommand(window, wParam, lParam);
    case WM_SETFOCUS: SetFocus(InputCombo); return 0;
    case WM_PAINT: PaintGripStrip(window); return 0;
    case WM_NCCALCSIZE: return CalcClientArea(window, wParam, lParam);
    case WM_NCACTIVATE: return RepaintOnActivation(window, wParam, lParam);
    case WM_NCHITTEST: return HitTestAsCaption(window, wParam, lParam);
    case WM_SETCURSOR: return SetFrameCursor(window, wParam, lParam);
    case WM_GETMINMAXINFO: LimitWindowSize(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return ColorInputLine(window, message, wParam, lParam);
    case WM_NCRBUTTONDOWN:
        if (wParam == HTCAPTION) {
            ShowCloseMenu(window, lParam);
        }
        return 0;
    case WM_COMMAND:
        OnMainCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_SYSCOLORCHANGE: ReloadButtonBitmaps(); return 0;
    case WM_SETTINGCHANGE: FollowHighContrast(); return 0;
    case WM_DPICHANGED: return OnDpiChanged(window, lParam);
    case WM_CLOSE: return OnCloseRequest(window, wParam, lParam);
    case WM_DESTROY: DestroyMainWindow(window); return 0;
    case TrayCallbackMessage: return OnTrayCallback(window, lParam);
    case WM_HOTKEY: return OnHotKey(window);
    case WM_ENDSESSION: return OnEndSession(window, wParam);
    default:
        // A registered message has no fixed number, so it cannot be a case of its own.
        if (IsTaskbarCreated(message)) {
            return OnTaskbarCreated(window);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
