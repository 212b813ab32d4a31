// The settings dialog: loading its controls, the swatches and labels, its commands and applying
// everything on OK.
#include "dialogs/settingsdlg.h"

#include <commctrl.h>

#include "res/dialogs.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/appearance.h"
#include "ui/dpi.h"
#include "ui/hotkey.h"
#include "ui/hotkeycode.h"
#include "ui/layering.h"
#include "ui/linehistory.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"
#include "ui/tray.h"

namespace {

constexpr int OpacityPageSize = 10;
constexpr int OpacityTickSpacing = 10;
constexpr int PointsPerInch = 72;
// "face,size" with a face of at most LF_FACESIZE - 1 bytes and any int fits.
constexpr int FontLabelSize = 48;
constexpr int OpacityLabelSize = 16;
// Enough for any digit string GetDlgItemInt could be asked to read back.
constexpr int NumberTextSize = 32;
constexpr DWORD PickFontFlags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST;

// Working copies of the colours, loaded when the dialog opens and painted by the two swatches.
COLORREF WorkTextColor;
COLORREF WorkBackColor;
// Working copy of the font, loaded when the dialog opens; the font chooser edits it.
LOGFONTA WorkFont;
// 1 once the font chooser has returned with OK during this opening: only then is the font
// replaced at OK, even when the same font was chosen again.
int FontChosen;
// The colour chooser's custom-colour row, shared by both colour buttons. Starts all white and
// keeps the user's custom colours for the life of the process (they are never stored).
constexpr int CustomColorCount = 16;
COLORREF CustomColors[CustomColorCount] = {
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};

bool IsTicked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Tick(HWND dialog, int id, int on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

// Runs the colour chooser owned by owner, starting at *color. On OK stores the choice in *color
// and returns 1; on Cancel or failure leaves it alone and returns 0.
int PickColor(HWND owner, COLORREF* color) {
    CHOOSECOLORA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.rgbResult = *color;
    chooser.lpCustColors = CustomColors;
    chooser.Flags = CC_RGBINIT;
    if (!ChooseColorA(&chooser)) {
        return 0;
    }
    *color = chooser.rgbResult;
    return 1;
}

// Runs the font chooser owned by owner on *font (initial and result font). Non-zero when the
// user pressed OK; the chooser has then written the chosen font into *font.
BOOL PickFont(HWND owner, LOGFONTA* font) {
    CHOOSEFONTA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = owner;
    chooser.lpLogFont = font;
    chooser.Flags = PickFontFlags;
    return ChooseFontA(&chooser);
}

// Shows the trackbar's position in the opacity label as "70 %".
void ShowOpacityLabel(HWND dialog) {
    char label[OpacityLabelSize];
    wsprintfA(label, "%d %%", static_cast<int>(SendItem(dialog, IDC_OPACITY, TBM_GETPOS, 0, 0)));
    SetDlgItemTextA(dialog, IDC_OPACITY_VALUE, label);
}

// Enables (enable non-zero) or disables every control from id first to id last inclusive.
void EnableControlRange(HWND dialog, int first, int last, BOOL enable) {
    for (int id = first; id <= last; ++id) {
        EnableWindow(GetDlgItem(dialog, id), enable);
    }
}

// True for a run of digits: the only text the field accepts that GetDlgItemInt can still refuse,
// because it does not fit an int.
bool IsDigitRun(const char* text) {
    if (!*text) {
        return false;
    }
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') {
            return false;
        }
    }
    return true;
}

int ReadMaxHistory(HWND dialog) {
    BOOL translated = FALSE;
    int value = static_cast<int>(GetDlgItemInt(dialog, IDC_MAXHISTORY, &translated, TRUE));
    if (!translated) {
        // A number too long for an int is still a number above the limit; taking it as 0, as
        // GetDlgItemInt reports it, would cut the history down to a single entry.
        char text[NumberTextSize] = "";
        GetDlgItemTextA(dialog, IDC_MAXHISTORY, text, sizeof text);
        value = IsDigitRun(text) ? MaxHistoryLimit : 0;
    }
    return ClampMaxHistory(value);
}

void InitHotKeyControl(HWND dialog) {
    // A key without Ctrl or Alt would steal that key, or its capital, from every program: a bare
    // key or Shift with a key becomes Ctrl+Alt with the key.
    SendItem(dialog, IDC_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
             MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendItem(dialog, IDC_HOTKEY, HKM_SETHOTKEY,
             static_cast<WPARAM>(Settings.HotKey & HotKeyCodeBits), 0);
}

void InitOpacityControls(HWND dialog) {
    SendItem(dialog, IDC_OPACITY, TBM_SETRANGE, TRUE, MAKELPARAM(MinOpacity, MaxOpacity));
    SendItem(dialog, IDC_OPACITY, TBM_SETPOS, TRUE, Settings.Opacity);
    SendItem(dialog, IDC_OPACITY, TBM_SETPAGESIZE, 0, OpacityPageSize);
    SendItem(dialog, IDC_OPACITY, TBM_SETTICFREQ, OpacityTickSpacing, 0);
    ShowOpacityLabel(dialog);
    EnableControlRange(dialog, IDC_OPACITY_GROUP, IDC_OPACITY_VALUE,
                       LayeredAttributesProc != nullptr);
}

BOOL InitSettingsDialog(HWND dialog) {
    Tick(dialog, IDC_RESIDENT, Settings.Resident);
    Tick(dialog, IDC_USEHOTKEY, Settings.UseHotKey);
    EnableWindow(GetDlgItem(dialog, IDC_HOTKEY), Settings.UseHotKey != 0);
    InitHotKeyControl(dialog);
    Tick(dialog, IDC_SINGLEINSTANCE, Settings.SingleInstance);
    SetDlgItemInt(dialog, IDC_MAXHISTORY, static_cast<UINT>(Settings.MaxHistory), TRUE);
    SendItem(dialog, IDC_MAXHISTORY_SPIN, UDM_SETRANGE, 0,
             MAKELPARAM(MaxHistoryLimit, MinHistoryLimit));
    EnableWindow(GetDlgItem(dialog, IDC_CLEARHISTORY), InputHistory.count() > 0);
    Tick(dialog, IDC_SAVEHISTORY, Settings.SaveHistory);
    Tick(dialog, IDC_USECOLORS, Settings.UseColors);
    EnableControlRange(dialog, IDC_TEXTCOLOR_LABEL, IDC_BACKCOLOR_PICK, Settings.UseColors);
    WorkTextColor = Settings.TextColor;
    WorkBackColor = Settings.BackColor;
    // The chooser turns points into pixels and back at the screen's DPI, whichever monitor the
    // window is on, so the working copy is in the screen's pixels; Settings keep the height in
    // units of 96 DPI, which every window draws at its own.
    WorkFont = Settings.Font;
    WorkFont.lfHeight = ScaleForWindow(nullptr, Settings.Font.lfHeight);
    FontChosen = 0;
    ShowFontLabel(dialog, &WorkFont);
    InitOpacityControls(dialog);
    return TRUE;
}

BOOL DrawSwatch(int id, const DRAWITEMSTRUCT* item) {
    HBRUSH brush = CreateSolidBrush(id == IDC_TEXTCOLOR ? WorkTextColor : WorkBackColor);
    FillRect(item->hDC, &item->rcItem, brush);
    DeleteObject(brush);
    return TRUE;
}

void ClearHistoryAtOnce(HWND dialog) {
    ClearHistory();
    EnableWindow(GetDlgItem(dialog, IDC_CLEARHISTORY), FALSE);
}

void PickSwatchColor(HWND dialog, COLORREF* color, int swatch) {
    if (PickColor(dialog, color)) {
        InvalidateRect(GetDlgItem(dialog, swatch), nullptr, TRUE);
    }
}

void PickWorkFont(HWND dialog) {
    if (PickFont(dialog, &WorkFont)) {
        ShowFontLabel(dialog, &WorkFont);
        FontChosen = 1;
    }
}

void ApplyResident(HWND dialog) {
    int resident = IsTicked(dialog, IDC_RESIDENT) ? 1 : 0;
    if (resident == Settings.Resident) {
        return;
    }
    if (resident) {
        AddTrayIcon(MainWindow);
    } else {
        RemoveTrayIcon(MainWindow);
    }
    Settings.Resident = resident;
}

void ApplyHotKey(HWND dialog) {
    int use = IsTicked(dialog, IDC_USEHOTKEY) ? 1 : 0;
    int code = static_cast<int>(SendItem(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0) & HotKeyCodeBits);
    if (use != Settings.UseHotKey || (use && code != Settings.HotKey)) {
        if (use) {
            // A failed registration has shown its warning by now, over this dialog; the box then
            // reads as cleared at the next opening, with the combination still in it.
            Settings.UseHotKey = SetGlobalHotKey(code, dialog) ? 1 : 0;
        } else {
            SetGlobalHotKey(0);
            Settings.UseHotKey = 0;
        }
    }
    Settings.HotKey = code;
}

void ApplyHistoryLimit(HWND dialog) {
    Settings.MaxHistory = ReadMaxHistory(dialog);
    TrimHistory(Settings.MaxHistory);
}

void ApplyColors(HWND dialog) {
    Settings.UseColors = IsTicked(dialog, IDC_USECOLORS) ? 1 : 0;
    // Stored even while unused, so that ticking the box again brings them back.
    Settings.TextColor = WorkTextColor;
    Settings.BackColor = WorkBackColor;
    ReplaceBackBrush();
}

void ApplyFont() {
    if (!FontChosen) {
        return;
    }
    LOGFONTA stored = WorkFont;
    stored.lfHeight = StoredLength(nullptr, WorkFont.lfHeight);
    // A font that cannot be made is not taken: the line keeps the readable one it has.
    if (ReplaceMainFont(stored)) {
        Settings.Font = stored;
    }
}

void ApplyOpacity(HWND dialog) {
    if (!LayeredAttributesProc) {
        return;
    }
    int opacity = static_cast<int>(SendItem(dialog, IDC_OPACITY, TBM_GETPOS, 0, 0));
    bool changed = opacity != Settings.Opacity;
    Settings.Opacity = opacity;
    if (Settings.Translucent && changed) {
        SetLayeredOpacity(MainWindow);
    }
}

void ApplySettings(HWND dialog) {
    ApplyResident(dialog);
    ApplyHotKey(dialog);
    Settings.SingleInstance = IsTicked(dialog, IDC_SINGLEINSTANCE) ? 1 : 0;
    ApplyHistoryLimit(dialog);
    Settings.SaveHistory = IsTicked(dialog, IDC_SAVEHISTORY) ? 1 : 0;
    ApplyColors(dialog);
    ApplyFont();
    InvalidateRect(InputCombo, nullptr, TRUE);
    ApplyOpacity(dialog);
}

BOOL OnSettingsCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        ApplySettings(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_USEHOTKEY:
        EnableWindow(GetDlgItem(dialog, IDC_HOTKEY), IsTicked(dialog, IDC_USEHOTKEY));
        return TRUE;
    case IDC_CLEARHISTORY: ClearHistoryAtOnce(dialog); return TRUE;
    case IDC_USECOLORS:
        EnableControlRange(dialog, IDC_TEXTCOLOR_LABEL, IDC_BACKCOLOR_PICK,
                           IsTicked(dialog, IDC_USECOLORS));
        return TRUE;
    case IDC_TEXTCOLOR_PICK: PickSwatchColor(dialog, &WorkTextColor, IDC_TEXTCOLOR); return TRUE;
    case IDC_BACKCOLOR_PICK: PickSwatchColor(dialog, &WorkBackColor, IDC_BACKCOLOR); return TRUE;
    case IDC_FONT_PICK: PickWorkFont(dialog); return TRUE;
    default: return FALSE;
    }
}

} // namespace

void ShowSettingsDialog(HWND owner) {
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDlgProc, 0);
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return InitSettingsDialog(dialog);
    case WM_DRAWITEM:
        return DrawSwatch(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_HSCROLL: ShowOpacityLabel(dialog); return TRUE;
    case WM_COMMAND: return OnSettingsCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}

void ShowFontLabel(HWND dialog, const LOGFONTA* font) {
    HDC dc = GetDC(InputEdit);
    if (!dc) {
        return;
    }
    HFONT handle = CreateFontIndirectA(font);
    if (!handle) {
        ReleaseDC(InputEdit, dc);
        return;
    }
    HGDIOBJ previous = SelectObject(dc, handle);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    // At the DPI the chooser converts at, so that the label shows the points chosen there.
    int points =
        (metrics.tmHeight - metrics.tmInternalLeading) * PointsPerInch / WindowDpi(nullptr);
    // The face name is copied bounded: a LOGFONT is not promised to hold a NUL in its array.
    char face[LF_FACESIZE];
    lstrcpynA(face, font->lfFaceName, sizeof face);
    char label[FontLabelSize];
    wsprintfA(label, "%s,%d", face, points);
    SetDlgItemTextA(dialog, IDC_FONTNAME, label);
    SelectObject(dc, previous);
    DeleteObject(handle);
    ReleaseDC(InputEdit, dc);
}
