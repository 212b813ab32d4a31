// The three picture buttons: creation, glyphs, names, tooltips and place.
#include "ui/buttons.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/buttonglyph.h"
#include "ui/mainwnd.h"

HWND MenuButton;

namespace {

// The three picture buttons at the right of the window.
HWND ClearButton;
HWND CloseButton;
// The glyphs shown on ClearButton, MenuButton and CloseButton.
HICON ClearGlyph;
HICON MenuGlyph;
HICON CloseGlyph;
// The buttons' tooltip control; owned by no window, so destroyed with the main window by hand.
HWND ButtonTips;

// The glyphs are icons, for their clear surround: the button shows the icon alone, never its text
// (which names it to screen readers).
constexpr DWORD ButtonStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_ICON;

HWND CreateButton(HWND parent, int id) {
    return CreateWindowExA(0, "BUTTON", "", ButtonStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), AppInstance, nullptr);
}

// Draws the glyph of button (one of the three) for its window's scale and the current colours,
// shows it and keeps it in its variable, destroying the one it replaces once the button no longer
// shows that.
void LoadButtonBitmaps(HWND button) {
    // By control id, since the button's handle variable is not yet set while it is created.
    int resource = IDB_CLOSE;
    HICON* glyph = &CloseGlyph;
    switch (GetDlgCtrlID(button)) {
    case IDC_CLEAR:
        resource = IDB_CLEAR;
        glyph = &ClearGlyph;
        break;
    case IDC_MENU:
        resource = IDB_MENU;
        glyph = &MenuGlyph;
        break;
    default: break;
    }
    HICON previous = *glyph;
    *glyph = DrawButtonGlyph(GetParent(button), AppInstance, resource);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(*glyph));
    if (previous) {
        DestroyIcon(previous);
    }
}

HWND CreateBitmapButton(HWND parent, int id) {
    HWND button = CreateButton(parent, id);
    LoadButtonBitmaps(button);
    return button;
}

// The names of the three buttons, which a screen reader reads as their texts. A BS_ICON button
// that has its image shows the image alone, so the text is never drawn.
struct ButtonName {
    int id;
    const wchar_t* name;
};
constexpr ButtonName ButtonNames[] = {
    {IDC_CLEAR, L"クリア"}, {IDC_MENU, L"メニュー"}, {IDC_CLOSE, L"閉じる"}};

// One tooltip control for the three buttons, shown also while the window is inactive: a
// calculator called up beside other work is often not in front. It is owned by no window: a
// topmost window (as a tooltip is) owned by the main window keeps Wine from making the main
// window topmost; so the main window destroys it itself.
HWND CreateButtonTips() {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, AppInstance, nullptr);
}

// The tooltip watches the button's own mouse messages (TTF_SUBCLASS) and covers all of it.
void AddButtonTip(HWND tips, HWND window, HWND button, const wchar_t* name) {
    TTTOOLINFOW tool = {};
    // The size every version of the control accepts: the full record only version 6 does.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<wchar_t*>(name);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Set through the wide call like the program's other Japanese texts. The buttons are ANSI windows,
// so their texts are held in the ANSI code page, which has them in the Japanese one.
void NameButtons(HWND window) {
    ButtonTips = CreateButtonTips();
    for (const ButtonName& button : ButtonNames) {
        HWND control = GetDlgItem(window, button.id);
        SetWindowTextW(control, button.name);
        AddButtonTip(ButtonTips, window, control, button.name);
    }
}

} // namespace

void CreateButtons(HWND window) {
    ClearButton = CreateBitmapButton(window, IDC_CLEAR);
    MenuButton = CreateBitmapButton(window, IDC_MENU);
    CloseButton = CreateBitmapButton(window, IDC_CLOSE);
    NameButtons(window);
}

void PlaceButtons(int width, int height) {
    MoveWindow(ClearButton, width - 3 * height, 0, height, height, TRUE);
    MoveWindow(MenuButton, width - 2 * height, 0, height, height, TRUE);
    MoveWindow(CloseButton, width - height, 0, height, height, TRUE);
}

void ReloadButtonBitmaps() {
    const HWND buttons[] = {ClearButton, MenuButton, CloseButton};
    for (HWND button : buttons) {
        LoadButtonBitmaps(button);
    }
}

void DestroyButtons() {
    DestroyWindow(ButtonTips);
    ButtonTips = nullptr;
    HICON* const glyphs[] = {&ClearGlyph, &MenuGlyph, &CloseGlyph};
    for (HICON* glyph : glyphs) {
        if (*glyph) {
            DestroyIcon(*glyph);
            *glyph = nullptr;
        }
    }
}
