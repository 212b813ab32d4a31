// The main window's font and colours, and the size rules that follow from them.
#include "ui/appearance.h"

#include "settings/settings.h"
#include "ui/dpi.h"
#include "ui/frame.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"

HFONT MainFont;
HBRUSH BackBrush;
int FixedWindowHeight;
int MinWindowWidth;

namespace {

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

void SizeMainWindow() {
    MinWindowWidth = CalcMinWindowWidth(MainWindow);
    int width = ScaleForWindow(MainWindow, Settings.WindowWidth);
    FixedWindowHeight = CalcWindowHeight();
    SetWindowPos(MainWindow, nullptr, 0, 0, width < MinWindowWidth ? MinWindowWidth : width,
                 FixedWindowHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void LimitWindowSize(MINMAXINFO* limits) {
    limits->ptMinTrackSize.x = MinWindowWidth;
    limits->ptMinTrackSize.y = FixedWindowHeight;
    limits->ptMaxTrackSize.y = FixedWindowHeight;
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
