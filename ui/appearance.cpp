// The main window's font, colours, size limits, grip strip, always-on-top and translucency.
#include "ui/appearance.h"

#include "settings/settings.h"
#include "ui/dpi.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"
#include "ui/platformcalls.h"

HFONT MainFont;
HBRUSH BackBrush;
int FixedWindowHeight;
int MinWindowWidth;
LayeredAttributesFunction LayeredAttributesProc;

namespace {

// USER32.DLL loaded by name, so that a platform without layered windows still starts.
HMODULE User32Module;

constexpr BYTE FullAlpha = 255;
constexpr int PercentScale = 100;
// Room above and below the text inside the input line, on top of the two edges.
constexpr int LinePadding = 2;
// What the minimum width leaves of the input line beside the frame.
constexpr int MinLineWidth = 48;

// Whether the platform's high-contrast mode was on when last looked; the input line then shows
// the scheme's window colours.
bool HighContrastOn;

bool ReadHighContrast() {
    HIGHCONTRASTA state = {};
    state.cbSize = sizeof state;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) &&
           (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HFONT CreateFontForWindow(HWND window, const LOGFONTA& font) {
    LOGFONTA scaled = font;
    scaled.lfHeight = ScaleForWindow(window, font.lfHeight);
    return CreateFontIndirectA(&scaled);
}

} // namespace

void FindLayeredAttributes() {
    User32Module = LoadLibraryA("USER32.DLL");
    LayeredAttributesProc =
        FindCallIn<LayeredAttributesFunction>(User32Module, "SetLayeredWindowAttributes");
    if (!LayeredAttributesProc) {
        Settings.Translucent = 0;
    }
}

void ReleaseLayeredAttributes() {
    if (User32Module) {
        FreeLibrary(User32Module);
        User32Module = nullptr;
        LayeredAttributesProc = nullptr;
    }
}

void CreateAppearanceObjects(HWND window) {
    MainFont = CreateFontForWindow(window, Settings.Font);
    ReplaceBackBrush();
    HighContrastOn = ReadHighContrast();
}

void FollowHighContrast() {
    bool on = ReadHighContrast();
    if (on == HighContrastOn) {
        return;
    }
    HighContrastOn = on;
    // The list is drawn afresh each time it opens; the edit field and the combo's frame now.
    RedrawWindow(InputCombo, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void DeleteAppearanceObjects() {
    if (BackBrush) {
        DeleteObject(BackBrush);
        BackBrush = nullptr;
    }
    if (MainFont) {
        DeleteObject(MainFont);
        MainFont = nullptr;
    }
}

void ReplaceBackBrush() {
    if (BackBrush) {
        DeleteObject(BackBrush);
        BackBrush = nullptr;
    }
    if (Settings.UseColors) {
        BackBrush = CreateSolidBrush(Settings.BackColor);
    }
}

bool ReplaceMainFont(const LOGFONTA& font) {
    HFONT created = CreateFontForWindow(MainWindow, font);
    if (!created) {
        return false;
    }
    // The new font goes to the combo box before the old one is deleted, so it never holds a
    // deleted handle.
    HFONT previous = MainFont;
    MainFont = created;
    SendMessageA(InputCombo, WM_SETFONT, reinterpret_cast<WPARAM>(MainFont), FALSE);
    if (previous) {
        DeleteObject(previous);
    }
    RECT window;
    GetWindowRect(MainWindow, &window);
    // FixedWindowHeight is also the window's tracking limit, so it must change before the move.
    FixedWindowHeight = CalcWindowHeight();
    MoveWindow(MainWindow, window.left, window.top, window.right - window.left, FixedWindowHeight,
               TRUE);
    return true;
}

int CalcWindowHeight() {
    HDC dc = GetDC(InputCombo);
    HGDIOBJ previous = SelectObject(dc, MainFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(InputCombo, dc);

    int line = metrics.tmHeight + 2 * SystemMetricForWindow(MainWindow, SM_CYEDGE) + LinePadding;
    RECT frame = CalcFrameMargins(MainWindow);
    return frame.top + line + frame.bottom;
}

int CalcMinWindowWidth(HWND window) {
    return 2 * SystemMetricForWindow(window, SM_CXFRAME) + ScaleForWindow(window, MinLineWidth);
}

RECT CalcFrameMargins(HWND window) {
    RECT outer = {0, 0, 0, 0};
    AdjustRectForWindow(window, &outer);
    // Since Windows 10 a sizing frame without a caption is invisible at the sides and the bottom
    // but shows across the top as a light band, a quarter of a window one line high. The height
    // is fixed, so frames above and below the line would size nothing: only the sides keep theirs.
    return {-outer.left, 0, outer.right, 0};
}

LRESULT CalcClientArea(HWND window, WPARAM wParam, LPARAM lParam) {
    // A minimised window is the platform's own, with no client area to speak of.
    if (IsIconic(window)) {
        return DefWindowProcA(window, WM_NCCALCSIZE, wParam, lParam);
    }
    // With wParam TRUE the first rectangle of the block is the window's new rectangle and turns
    // into its new client area; with FALSE lParam is that one rectangle.
    RECT* area = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc
                        : reinterpret_cast<RECT*>(lParam);
    RECT frame = CalcFrameMargins(window);
    area->left += frame.left;
    area->top += frame.top;
    area->right -= frame.right;
    area->bottom -= frame.bottom;
    // Narrower than its two side frames (it is created with zero size) the window has an empty
    // client area, never an inverted one.
    if (area->right < area->left) {
        area->right = area->left;
    }
    return 0;
}

void SizeMainWindow() {
    MinWindowWidth = CalcMinWindowWidth(MainWindow);
    int width = ScaleForWindow(MainWindow, Settings.WindowWidth);
    FixedWindowHeight = CalcWindowHeight();
    SetWindowPos(MainWindow, nullptr, 0, 0, width < MinWindowWidth ? MinWindowWidth : width,
                 FixedWindowHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void SetLayeredOpacity(HWND window) {
    BYTE alpha = static_cast<BYTE>(Settings.Opacity * FullAlpha / PercentScale);
    LayeredAttributesProc(window, 0, alpha, LWA_ALPHA);
}

void LimitWindowSize(MINMAXINFO* limits) {
    limits->ptMinTrackSize.x = MinWindowWidth;
    limits->ptMinTrackSize.y = FixedWindowHeight;
    limits->ptMaxTrackSize.y = FixedWindowHeight;
}

LRESULT SetFrameCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case HTTOP:
    case HTBOTTOM:
        // The height is fixed, so the vertical sizing arrows would promise what cannot happen.
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursorA(nullptr, IDC_SIZEWE)); return TRUE;
    default: return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
    }
}

LRESULT HitTestAsCaption(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    // The only client area not covered by a control is the grip strip and its gap: the window
    // has no caption bar, so that is where it is dragged.
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void PaintGripStrip(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int stripWidth = ScaleForWindow(window, GripStripWidth);
    if (paint.rcPaint.left < stripWidth) {
        int colour = GetForegroundWindow() == window ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
        HBRUSH brush = CreateSolidBrush(GetSysColor(colour));
        RECT strip = paint.rcPaint;
        if (strip.right > stripWidth) {
            strip.right = stripWidth;
        }
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &paint);
}

LRESULT RepaintOnActivation(HWND window, WPARAM wParam, LPARAM lParam) {
    InvalidateRect(window, nullptr, TRUE);
    return DefWindowProcA(window, WM_NCACTIVATE, wParam, lParam);
}

LRESULT ColorInputLine(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // In high contrast the user's scheme decides the colours of every window, this line's too;
    // the chosen ones stay in Settings and come back when it goes off.
    if (!Settings.UseColors || !BackBrush || HighContrastOn) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, Settings.TextColor);
    SetBkColor(dc, Settings.BackColor);
    return reinterpret_cast<LRESULT>(BackBrush);
}

void ToggleAlwaysOnTop(HWND window) {
    Settings.AlwaysOnTop = !Settings.AlwaysOnTop;
    SetWindowPos(window, Settings.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void ToggleTranslucent(HWND window) {
    if (!LayeredAttributesProc) {
        return;
    }
    Settings.Translucent = !Settings.Translucent;
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, exStyle ^ WS_EX_LAYERED);
    if (Settings.Translucent) {
        SetLayeredOpacity(window);
    } else {
        // No longer layered, the window is no longer composed from the picture the system kept
        // of it: it is drawn again whole, frame and children included, or parts of it stay
        // unpainted until something else covers and uncovers them.
        RedrawWindow(window, nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
