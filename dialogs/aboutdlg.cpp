// The about dialog: its link in the link colour, the hand cursor and the click that opens it, and
// the line that tells where the settings are kept.
#include "dialogs/aboutdlg.h"

#include <objbase.h>
#include <shellapi.h>

#include "res/dialogs.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/mainwnd.h"

HFONT LinkFont;

namespace {

// "設定: " and IniPath, through the wide API like the notice line: the label is Japanese whatever
// the ANSI code page, and the path is text of that code page.
void ShowSettingsPlace(HWND dialog) {
    wchar_t text[MAX_PATH + 8] = L"設定: ";
    int label = lstrlenW(text);
    if (!MultiByteToWideChar(CP_ACP, 0, IniPath, -1, text + label, MAX_PATH)) {
        text[label] = L'\0';
    }
    SetDlgItemTextW(dialog, IDC_SETTINGSPLACE, text);
}

BOOL InitAboutDialog(HWND dialog) {
    LOGFONTA font = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    // Without a font of its own the dialog draws in the system font, which has no LOGFONT to
    // read; the GUI font is the nearest thing to underline then.
    if (!dialogFont || GetObjectA(dialogFont, sizeof font, &font) != sizeof font) {
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    }
    font.lfUnderline = TRUE;
    LinkFont = CreateFontIndirectA(&font);
    HWND link = GetDlgItem(dialog, IDC_LINK);
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont), FALSE);
    // The notice text has no id of its own; it is the control just before the link.
    SetWindowTextW(GetWindow(link, GW_HWNDPREV), L"" ABOUT_TEXT);
    ShowSettingsPlace(dialog);
    return TRUE;
}

void DeleteLinkFont() {
    if (LinkFont) {
        DeleteObject(LinkFont);
        LinkFont = nullptr;
    }
}

BOOL SetLinkCursor(HWND dialog, HWND under) {
    // The link is the only static that notifies, and so the only one the pointer can be over:
    // the others are transparent to hit tests and report the dialog itself.
    if (under != GetDlgItem(dialog, IDC_LINK)) {
        return FALSE;
    }
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR ColorLink(HWND dialog, HDC dc, HWND control) {
    if (control != GetDlgItem(dialog, IDC_LINK)) {
        return FALSE;
    }
    // The scheme's own colour for links, which high-contrast schemes set apart from the text.
    SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
    SetBkMode(dc, TRANSPARENT);
    // A hollow brush leaves the dialog's own background under the text.
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// The shell may hand the address to extensions that are COM objects, some of which need a
// single-threaded apartment, so the thread joins one first, as ShellExecute's documentation asks.
// In such an apartment the shell finishes its work before it returns, so the thread leaves again
// at once: a run that never opens the link never starts COM. Each successful join, the one that
// finds the thread in an apartment already included (S_FALSE), is matched by one leave; a thread
// in an apartment of the other kind (RPC_E_CHANGED_MODE) has not joined and must not leave.
// Nothing to report when no browser can be started; the dialog stays open either way.
void OpenHomePage() {
    HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteA(nullptr, "open", HOME_PAGE_ADDRESS, nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(joined)) {
        CoUninitialize();
    }
}

BOOL OnAboutCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, id); break;
    case IDC_LINK:
        if (code == STN_CLICKED) {
            OpenHomePage();
        }
        break;
    default: break;
    }
    return TRUE;
}

} // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return InitAboutDialog(dialog);
    case WM_DESTROY: DeleteLinkFont(); return TRUE;
    case WM_SETCURSOR: return SetLinkCursor(dialog, reinterpret_cast<HWND>(wParam));
    case WM_CTLCOLORSTATIC:
        return ColorLink(dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return OnAboutCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void ShowAboutDialog(HWND owner) {
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, 0);
}
