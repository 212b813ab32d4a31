// The main window at display scales other than 100 % and in other colour schemes, in process: the
// platform's DPI of the window, its system colours and its high-contrast switch are faked through
// this executable's imports (the program looks GetDpiForWindow up by name, and is handed a fake of
// the test's own), since the test display has one DPI and one scheme for everything.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/settingsdlg.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/appearance.h"
#include "ui/mainwnd.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"
#include "tests/support/import_patch.h"

namespace {

constexpr char TestClassName[] = "tolvex dpi window";

// The DPI the fake reports for every window; 0 makes it report failure, as for a window of
// another process.
int FakeDpi = 96;
UINT WINAPI FakeGetDpiForWindow(HWND) {
    return static_cast<UINT>(FakeDpi);
}

int Scaled(int length, int dpi) {
    return MulDiv(length, dpi, 96);
}

// Frame and edge sizes for a DPI as Windows 10 gives them (at 96 DPI a sizing frame of 4 and 4 of
// padding). The plain calls keep the bench's own sizes, which match none of these, as they answer
// for the primary monitor: a size taken from them shows.
constexpr int FrameAt96 = 8;
int FakeMetric(int index, int dpi) {
    return index == SM_CXFRAME  ? Scaled(4, dpi)
           : index == SM_CYEDGE ? Scaled(2, dpi)
                                : GetSystemMetrics(index);
}
int WINAPI FakeGetSystemMetricsForDpi(int index, UINT dpi) {
    return FakeMetric(index, static_cast<int>(dpi));
}
BOOL WINAPI FakeAdjustWindowRectExForDpi(RECT* rect, DWORD, BOOL, DWORD, UINT dpi) {
    int frame = Scaled(FrameAt96, static_cast<int>(dpi));
    return InflateRect(rect, frame, frame);
}

// The small-icon size follows the fake DPI, as the platform's does.
decltype(&GetSystemMetrics) RealGetSystemMetrics;
int WINAPI FakeGetSystemMetrics(int index) {
    if (index == SM_CXSMICON || index == SM_CYSMICON) {
        return Scaled(16, FakeDpi);
    }
    return RealGetSystemMetrics(index);
}

// A dark scheme (as high contrast black) when switched on: the button face black, the button text
// white and the window colour a grey distinct from both; otherwise the platform's colours.
constexpr COLORREF DarkFace = RGB(0, 0, 0);
constexpr COLORREF DarkText = RGB(255, 255, 255);
constexpr COLORREF DarkWindow = RGB(64, 64, 64);
bool DarkScheme;
decltype(&GetSysColor) RealGetSysColor;
DWORD WINAPI FakeGetSysColor(int index) {
    if (DarkScheme) {
        switch (index) {
        case COLOR_BTNFACE: return DarkFace;
        case COLOR_BTNTEXT: return DarkText;
        case COLOR_WINDOW: return DarkWindow;
        default: break;
        }
    }
    return RealGetSysColor(index);
}

bool HighContrast;
decltype(&SystemParametersInfoA) RealSystemParametersInfoA;
BOOL WINAPI FakeSystemParametersInfoA(UINT action, UINT size, PVOID data, UINT flags) {
    if (action != SPI_GETHIGHCONTRAST) {
        return RealSystemParametersInfoA(action, size, data, flags);
    }
    auto* state = static_cast<HIGHCONTRASTA*>(data);
    state->dwFlags = HCF_AVAILABLE | (HighContrast ? HCF_HIGHCONTRASTON : 0);
    state->lpszDefaultScheme = nullptr;
    return TRUE;
}

// What the shell was asked: each message with the side of the icon's image (0 without one).
std::vector<std::pair<DWORD, int>> TrayRequests;
BOOL WINAPI FakeShellNotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    int side = 0;
    ICONINFO info = {};
    if ((data->uFlags & NIF_ICON) && GetIconInfo(data->hIcon, &info)) {
        BITMAP image = {};
        GetObjectA(info.hbmColor, sizeof image, &image);
        side = image.bmWidth;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    TrayRequests.push_back({message, side});
    return TRUE;
}

// The screen's DPI, at which device contexts measure and the font chooser converts: the primary
// monitor's, at a scale of its own.
constexpr int PrimaryDpi = 216;
decltype(&GetDeviceCaps) RealGetDeviceCaps;
int WINAPI FakeGetDeviceCaps(HDC dc, int index) {
    return index == LOGPIXELSX || index == LOGPIXELSY ? PrimaryDpi : RealGetDeviceCaps(dc, index);
}

// The font chooser as the platform's works: it shows the offered height in points at the screen's
// DPI, and the user's choice comes back in the screen's pixels.
constexpr int ChosenPoints = 9;
int OfferedPoints;
BOOL WINAPI FakeChooseFontA(LPCHOOSEFONTA chooser) {
    OfferedPoints = MulDiv(-chooser->lpLogFont->lfHeight, 72, PrimaryDpi);
    chooser->lpLogFont->lfHeight = -MulDiv(ChosenPoints, PrimaryDpi, 72);
    return TRUE;
}
decltype(&ChooseFontA) RealChooseFontA;

decltype(&GetProcAddress) RealGetProcAddress;
FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {
    struct {
        const char* name;
        void* fake;
    } const fakes[] = {
        {"GetDpiForWindow", reinterpret_cast<void*>(FakeGetDpiForWindow)},
        {"GetSystemMetricsForDpi", reinterpret_cast<void*>(FakeGetSystemMetricsForDpi)},
        {"AdjustWindowRectExForDpi", reinterpret_cast<void*>(FakeAdjustWindowRectExForDpi)},
        // Without the common controls' icon loader, the icon's size comes from the faked metric.
        {"LoadIconMetric", nullptr},
    };
    for (const auto& fake : fakes) {
        if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::strcmp(name, fake.name) == 0) {
            return reinterpret_cast<FARPROC>(fake.fake);
        }
    }
    return RealGetProcAddress(module, name);
}

int Width(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

int Height(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

// The pixels of a button's glyph (its icon's image, with alpha) and of the icon's mask, white
// where the screen stays; empty when the button shows no icon.
struct GlyphPicture {
    SIZE size = {};
    std::vector<DWORD> image;
    std::vector<DWORD> mask;
};

GlyphPicture ReadGlyph(HWND button) {
    GlyphPicture picture;
    HICON icon = reinterpret_cast<HICON>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0));
    ICONINFO parts = {};
    if (!icon || !GetIconInfo(icon, &parts)) {
        return picture;
    }
    SIZE maskSize = {};
    picture.image = gui::BitmapPixels(parts.hbmColor, &picture.size);
    picture.mask = gui::BitmapPixels(parts.hbmMask, &maskSize);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    if (maskSize.cx != picture.size.cx || maskSize.cy != picture.size.cy) {
        picture.mask.clear();
    }
    return picture;
}

SIZE BitmapSize(HWND button) {
    return ReadGlyph(button).size;
}

// The scale of the button glyphs: the DPI's share of 96, rounded, halves up.
int PixelsPerDesignPixel(int dpi) {
    return (dpi + 48) / 96;
}

class ScaledWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MainWndProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TestClassName;
        RegisterClassA(&windowClass);
        gui::Hook("KERNEL32.dll", "GetProcAddress", FakeGetProcAddress, &RealGetProcAddress);
        gui::Hook("comdlg32.dll", "ChooseFontA", FakeChooseFontA, &RealChooseFontA);
        gui::Hook("GDI32.dll", "GetDeviceCaps", FakeGetDeviceCaps, &RealGetDeviceCaps);
        gui::Hook("USER32.dll", "GetSystemMetrics", FakeGetSystemMetrics, &RealGetSystemMetrics);
        gui::Hook("USER32.dll", "GetSysColor", FakeGetSysColor, &RealGetSysColor);
        gui::Hook("USER32.dll", "SystemParametersInfoA", FakeSystemParametersInfoA,
                  &RealSystemParametersInfoA);
        decltype(&Shell_NotifyIconA) unused = nullptr;
        gui::Hook("SHELL32.dll", "Shell_NotifyIconA", FakeShellNotifyIconA, &unused);
    }
    void SetUp() override {
        ASSERT_NE(RealGetProcAddress, nullptr);
        ASSERT_NE(RealChooseFontA, nullptr);
        ASSERT_NE(RealGetDeviceCaps, nullptr);
        ASSERT_NE(RealGetSystemMetrics, nullptr);
        ASSERT_NE(RealGetSysColor, nullptr);
        ASSERT_NE(RealSystemParametersInfoA, nullptr);
        module = gui::LoadExeResources();
        ASSERT_NE(module, nullptr);
        AppInstance = module;
        saved = Settings;
        savedHeight = FixedWindowHeight;
        savedMinWidth = MinWindowWidth;
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
        IniPath[0] = '\0';
        FakeDpi = 96;
    }
    void TearDown() override {
        Close();
        Settings = saved;
        FixedWindowHeight = savedHeight;
        MinWindowWidth = savedMinWidth;
        AppInstance = nullptr;
        FreeLibrary(module);
        FakeDpi = 96;
        DarkScheme = HighContrast = false;
    }
    // The main window as start-up makes it, at the fake DPI.
    void Open() {
        window =
            CreateWindowExA(0, TestClassName, "", WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME, 10,
                            10, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        MainWindow = window;
        SizeMainWindow();
    }
    void Close() {
        if (window) {
            DestroyWindow(window);
            window = nullptr;
        }
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        MainWindow = InputCombo = InputEdit = nullptr;
    }
    int TextHeight() {
        HDC dc = GetDC(window);
        HGDIOBJ previous = SelectObject(dc, MainFont);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        ReleaseDC(window, dc);
        return metrics.tmHeight;
    }
    int ClientHeight() {
        RECT client;
        GetClientRect(window, &client);
        return client.bottom;
    }
    // Everything that follows the DPI, against what it must be at dpi.
    void ExpectDrawnAt(int dpi) {
        // Only the sides keep a sizing frame: the line reaches the window's top and bottom edges.
        int frame = Scaled(FrameAt96, dpi);
        RECT asked = {100, 200, 400, 230};
        NCCALCSIZE_PARAMS params = {{asked, asked, asked}, nullptr};
        SendMessageA(window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        RECT expected = {100 + frame, 200, 400 - frame, 230};
        EXPECT_TRUE(EqualRect(&params.rgrc[0], &expected));
        RECT outer;
        GetWindowRect(window, &outer);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        EXPECT_EQ(origin.x - outer.left, frame);
        EXPECT_EQ(origin.y, outer.top);
        EXPECT_EQ(ClientHeight(), outer.bottom - outer.top);
        EXPECT_EQ(ClientHeight(), TextHeight() + 2 * FakeMetric(SM_CYEDGE, dpi) + 2);

        RECT line;
        GetWindowRect(InputCombo, &line);
        POINT lineCorner = {line.left, line.top};
        ScreenToClient(window, &lineCorner);
        EXPECT_EQ(lineCorner.x, Scaled(14 + 2, dpi)); // the grip strip and its gap
        RECT dropped;
        SendMessageA(InputCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        // The combo box is made 64 scaled pixels taller than the client area; the bench's platform
        // answers with the list's own rectangle, which is that height less the edit field's.
        EXPECT_EQ(dropped.bottom - dropped.top + Height(InputCombo),
                  ClientHeight() + Scaled(64, dpi));
        for (int id : {IDC_CLEAR, IDC_MENU, IDC_CLOSE}) {
            HWND button = GetDlgItem(window, id);
            EXPECT_EQ(Width(button), ClientHeight());
            EXPECT_EQ(Height(button), ClientHeight());
        }
        // The menu's picture is 12 design pixels square, the other two 8, each design pixel a
        // square of whole pixels.
        for (int id : {IDC_CLEAR, IDC_MENU, IDC_CLOSE}) {
            HWND button = GetDlgItem(window, id);
            int side = (id == IDC_MENU ? 12 : 8) * PixelsPerDesignPixel(dpi);
            SIZE bitmap = BitmapSize(button);
            EXPECT_EQ(bitmap.cx, side);
            EXPECT_EQ(bitmap.cy, side);
        }
        MINMAXINFO limits = {};
        SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, 2 * FakeMetric(SM_CXFRAME, dpi) + Scaled(48, dpi));
        LOGFONTA font = {};
        GetObjectA(MainFont, sizeof font, &font);
        EXPECT_EQ(font.lfHeight, Scaled(Settings.Font.lfHeight, dpi));
        EXPECT_EQ(Height(window), FixedWindowHeight);
    }

    HMODULE module = nullptr;
    HWND window = nullptr;
    SettingsRecord saved;
    int savedHeight = 0;
    int savedMinWidth = 0;
};

TEST_F(ScaledWindow, DesignSizesFollowTheDpiAndTheHeightFollowsTheFont) {
    int heightAt96 = 0;
    for (int dpi : {96, 120, 144, 168, 192}) {
        SCOPED_TRACE(dpi);
        FakeDpi = dpi;
        Settings.WindowWidth = 200;
        Open();
        ExpectDrawnAt(dpi);
        EXPECT_EQ(Width(window), Scaled(200, dpi));
        if (dpi == 96) {
            heightAt96 = Height(window);
        } else {
            EXPECT_GT(Height(window), heightAt96);
        }
        Close();
    }
}

TEST_F(ScaledWindow, WithoutThePlatformsAnswerTheScreensDpiIsUsed) {
    FakeDpi = 0;
    Open();
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ExpectDrawnAt(dpi);
}

TEST_F(ScaledWindow, MovingToAnotherScaleRefitsEverythingAndTakesTheSuggestedPlace) {
    Open();
    int oldHeight = Height(window);
    for (int dpi : {144, 120, 192, 96}) {
        SCOPED_TRACE(dpi);
        FakeDpi = dpi;
        RECT suggested = {40, 50, 40 + Scaled(200, dpi), 50 + Scaled(oldHeight, dpi)};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        RECT now;
        GetWindowRect(window, &now);
        EXPECT_EQ(now.left, 40);
        EXPECT_EQ(now.top, 50);
        EXPECT_EQ(now.right - now.left, Scaled(200, dpi));
        ExpectDrawnAt(dpi);
    }
    EXPECT_EQ(Height(window), oldHeight);
}

// Stored lengths at 96 DPI give the same apparent size at any scale, and saving them again and
// again keeps them: the width through the window, the font height through the font chooser, which
// offers, shows and takes 9 points as 9 points on a monitor of any scale.
TEST_F(ScaledWindow, StoredWidthAndFontSizeSurviveRepeatedSavesAtEveryScale) {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    auto fontLabel = [](HWND dialog) {
        char label[64] = "";
        GetDlgItemTextA(dialog, IDC_FONTNAME, label, sizeof label);
        return std::string(std::strchr(label, ',') ? std::strchr(label, ',') : label);
    };
    for (int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        GetTempFileNameA(directory, "dpi", 0, IniPath);
        WritePrivateProfileStringA("Settings", "WindowWidth", "201", IniPath);
        WritePrivateProfileStringA("Settings", "FontSize", "-12", IniPath); // 9 points
        FakeDpi = dpi;
        for (int cycle = 0; cycle < 10; ++cycle) {
            SCOPED_TRACE(cycle);
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
            LoadSettings();
            Open();
            EXPECT_EQ(Width(window), Scaled(201, dpi));
            if (cycle == 5) {
                HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_SETTINGS), window,
                                                 SettingsDlgProc, 0);
                ASSERT_NE(dialog, nullptr);
                EXPECT_EQ(fontLabel(dialog), ",9");
                SendMessageA(dialog, WM_COMMAND, IDC_FONT_PICK, 0);
                EXPECT_EQ(OfferedPoints, 9);
                EXPECT_EQ(fontLabel(dialog), ",9");
                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                DestroyWindow(dialog);
            }
            Close(); // saves
            EXPECT_EQ(GetPrivateProfileIntA("Settings", "WindowWidth", 0, IniPath), 201);
            EXPECT_EQ(GetPrivateProfileIntA("Settings", "FontSize", 0, IniPath), -12);
        }
        DeleteFileA(IniPath);
    }
    IniPath[0] = '\0';
}

// The glyphs' designs: '#' the glyph, 'o' its paper, '.' the button face.
struct GlyphCase {
    int id;
    std::vector<std::string> design;
};
const GlyphCase Glyphs[] = {
    {IDC_CLEAR,
     {"..####..", ".######.", "###..##.", "##......", "##......", "###..##.", ".######.",
      "..####.."}},
    {IDC_MENU,
     {"............", "########....", "#oooooo#....", "#o####o#....", "#oooooo#....",
      "#o####o#....", "#oooooo#oooo", "#o####oo####", "#ooooooo####", "########o##o",
      ".......o..o.", "........oo.."}},
    {IDC_CLOSE,
     {"##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###",
      "##....##"}},
};

// A button's picture as rows of design characters: '#' and 'o' for pixels fully covered in the
// dark scheme's text and window colours and kept by the mask, '.' for pixels fully clear (all
// zero, as premultiplied alpha has them) that the mask leaves to the screen, '?' for anything else.
std::vector<std::string> GlyphRows(HWND button) {
    GlyphPicture picture = ReadGlyph(button);
    auto covered = [](COLORREF c) {
        return static_cast<DWORD>(0xFF000000u | GetRValue(c) << 16 | GetGValue(c) << 8 |
                                  GetBValue(c));
    };
    std::vector<std::string> rows;
    if (picture.mask.empty()) {
        return rows;
    }
    for (int y = 0; y < picture.size.cy; ++y) {
        std::string row;
        for (int x = 0; x < picture.size.cx; ++x) {
            DWORD pixel = picture.image[y * picture.size.cx + x];
            bool screenStays = (picture.mask[y * picture.size.cx + x] & 0xFFFFFF) == 0xFFFFFF;
            char c = pixel == covered(DarkText)     ? '#'
                     : pixel == covered(DarkWindow) ? 'o'
                     : pixel == 0                   ? '.'
                                                    : '?';
            row += (c == '.') == screenStays ? c : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// Every design pixel becomes the same square of whole pixels at every scale, so a stroke keeps
// its thickness all along; and a change to a dark scheme redraws the glyphs in its button-text
// colour, the menu's paper in its window colour, around them the button's own face left clear.
TEST_F(ScaledWindow, GlyphsAreEvenAtEveryScaleAndFollowTheColourScheme) {
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        SCOPED_TRACE(dpi);
        FakeDpi = dpi;
        Open();
        DarkScheme = true;
        SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
        int scale = PixelsPerDesignPixel(dpi);
        for (const GlyphCase& glyph : Glyphs) {
            SCOPED_TRACE(glyph.id);
            std::vector<std::string> expected;
            for (const std::string& designRow : glyph.design) {
                std::string row;
                for (char c : designRow) {
                    row.append(static_cast<size_t>(scale), c);
                }
                expected.insert(expected.end(), static_cast<size_t>(scale), row);
            }
            EXPECT_EQ(GlyphRows(GetDlgItem(window, glyph.id)), expected);
        }
        DarkScheme = false;
        Close();
    }
}

// While high contrast is on, the input line and its list show the scheme's window colours, at
// start and after each switch; the chosen colours stay stored and come back when it goes off.
TEST_F(ScaledWindow, HighContrastShowsTheSchemesColoursInTheLineAndKeepsTheChosenOnes) {
    const COLORREF chosenText = RGB(1, 2, 3);
    const COLORREF chosenBack = RGB(4, 5, 6);
    Settings.UseColors = 1;
    Settings.TextColor = chosenText;
    Settings.BackColor = chosenBack;
    HighContrast = true;
    Open();
    HDC dc = CreateCompatibleDC(nullptr);
    for (bool on : {true, false, true, false}) {
        SCOPED_TRACE(on);
        HighContrast = on;
        SendMessageA(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX}) {
            SetTextColor(dc, RGB(7, 7, 7));
            SetBkColor(dc, RGB(8, 8, 8));
            LRESULT brush = SendMessageA(window, message, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(InputEdit));
            EXPECT_EQ(GetTextColor(dc), on ? GetSysColor(COLOR_WINDOWTEXT) : chosenText);
            EXPECT_EQ(GetBkColor(dc), on ? GetSysColor(COLOR_WINDOW) : chosenBack);
            EXPECT_EQ(brush == reinterpret_cast<LRESULT>(BackBrush), !on);
        }
        EXPECT_EQ(Settings.TextColor, chosenText);
        EXPECT_EQ(Settings.BackColor, chosenBack);
    }
    DeleteDC(dc);
}

// The notification-area icon gets the icon's image of the small-icon size of the current scale:
// when it is added, after a change of scale and after the shell has restarted.
TEST_F(ScaledWindow, TrayIconIsLoadedAtTheSmallIconSizeOfTheCurrentScale) {
    TrayRequests.clear();
    Settings.Resident = 1;
    FakeDpi = 120;
    Open();
    FakeDpi = 144;
    RECT suggested = {10, 10, 10 + Scaled(200, 144), 10 + Height(window)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    Close();
    std::vector<std::pair<DWORD, int>> expected = {
        {NIM_ADD, 20}, {NIM_MODIFY, 24}, {NIM_ADD, 24}, {NIM_DELETE, 0}};
    EXPECT_EQ(TrayRequests, expected);
}

} // namespace
