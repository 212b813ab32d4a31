// The settings and about dialogs of the real tolvex.exe, opened with their menu commands and
// operated through their controls' messages, with the effects read back from the window and the
// saved tolvex.ini.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "res/dialogs.h"
#include "res/resource.h"
#include "tests/support/driver.h"
#include "tests/support/picture.h"

const char gui::PictureDirectory[] = TOLVEX_PICTURE_DIR;

using namespace gui;

namespace {

const wchar_t SettingsCaption[] = L"設定";
const wchar_t AboutCaption[] = L"バージョン情報";
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

std::wstring WideText(HWND window) {
    wchar_t text[512] = L"";
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        MessageTimeoutMs, &result);
    return text;
}

LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, MessageTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// A visible dialog of tolvex with that caption (or any other than except), once it appears.
HWND WaitForDialog(const Tolvex& tolvex, const wchar_t* caption, HWND except = nullptr) {
    auto wanted = [&](HWND window) {
        return window != except && IsWindowVisible(window) &&
               (!caption || WideText(window) == caption);
    };
    HWND found = nullptr;
    WaitUntil([&] {
        return (found = FindTopWindow("#32770", tolvex.process.dwProcessId, wanted)) != nullptr;
    });
    return found;
}

// Posted: the dialogs are modal, and a sent command would not return until they close.
HWND OpenDialog(const Tolvex& tolvex, int command, const wchar_t* caption) {
    PostMessageA(tolvex.window, WM_COMMAND, static_cast<WPARAM>(command), 0);
    return WaitForDialog(tolvex, caption);
}

bool Closes(HWND dialog) {
    return WaitUntil([&] { return !IsWindow(dialog); });
}

HWND Item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

void Click(HWND dialog, int id) {
    SendTo(Item(dialog, id), BM_CLICK);
}

// For buttons that start something modal (a chooser, or a warning during OK).
void PostClick(HWND dialog, int id) {
    PostMessageA(Item(dialog, id), BM_CLICK, 0, 0);
}

bool Ticked(HWND dialog, int id) {
    return SendTo(Item(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

void SetText(HWND dialog, int id, const char* text) {
    SendTo(Item(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

bool HasChildText(HWND window, const std::wstring& text) {
    for (HWND child : Children(window)) {
        if (WideText(child) == text) {
            return true;
        }
    }
    return false;
}

// A template at 0, 0 places the dialog's client area, not its frame, on the owner's client origin.
::testing::AssertionResult OpensAtOwnerOrigin(HWND dialog, HWND owner) {
    POINT inner = {0, 0}, outer = {0, 0};
    ClientToScreen(dialog, &inner);
    ClientToScreen(owner, &outer);
    if (inner.x == outer.x && inner.y == outer.y) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "dialog client at " << inner.x << "," << inner.y
                                         << ", owner client at " << outer.x << "," << outer.y;
}

// The colour the screen shows near the right end of the input line, clear of its text.
COLORREF LineColour(const Tolvex& tolvex) {
    RECT edit = WindowRect(tolvex.edit);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, edit.right - 3, (edit.top + edit.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::string HistoryIni(int count) {
    std::string text = "[History]\r\nCount=" + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) {
        text += std::to_string(i) + "=" + std::to_string(i) + "+0=" + std::to_string(i) + "\r\n";
    }
    return text;
}

// The dialogs' face may be missing from the test prefix; the nearest installed face stands in,
// so that the pictures show the layout as intended. Only the test prefix is changed.
class FontSubstitute : public ::testing::Environment {
  public:
    void SetUp() override {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            const wchar_t face[] = L"IPAPGothic";
            RegSetValueExW(key, L"ＭＳ Ｐゴシック", 0, REG_SZ, reinterpret_cast<const BYTE*>(face),
                           sizeof face);
            RegCloseKey(key);
        }
    }
};

::testing::Environment* const FontSubstituteEnvironment =
    ::testing::AddGlobalTestEnvironment(new FontSubstitute);

// Without a window manager on the test display nobody draws the frames of captioned windows. For
// a picture, the one copy being photographed draws its own: the setting is read when the copy's
// display driver starts, and removed again as soon as its window is up.
class OwnFrames {
  public:
    OwnFrames() {
        RegCreateKeyExW(HKEY_CURRENT_USER, FrameKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        const wchar_t no[] = L"N";
        RegSetValueExW(key, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof no);
    }
    ~OwnFrames() {
        RegDeleteValueW(key, L"Decorated");
        RegCloseKey(key);
    }

  private:
    static constexpr const wchar_t* FrameKey =
        L"Software\\Wine\\AppDefaults\\tolvex.exe\\X11 Driver";
    HKEY key = nullptr;
};

class Dialogs : public ::testing::Test {
  protected:
    // Starts a fresh copy with these [Settings] lines (and any further sections) in its file;
    // a second copy is never wanted here.
    void Start(const std::string& settings, const std::string& more = "", int run = 0) {
        dir = FreshDirectory(TestName() + (run ? "." + std::to_string(run) : ""));
        ini = dir + "tolvex.ini";
        // The first of two equal keys counts: the case's own lines come before the common ones.
        WriteTextFile(ini, "[Settings]\r\n" + settings +
                               "SingleInstance=0\r\nWindowLeft=40\r\nWindowTop=60\r\n"
                               "WindowWidth=300\r\n" +
                               more);
        tolvex.reset(new Tolvex);
        ASSERT_TRUE(StartTolvex(dir, tolvex.get()));
    }
    // Ends the program as the menu does and waits until tolvex.ini is written.
    void Exit() {
        SendCommand(*tolvex, IDM_EXIT);
        DWORD code = 0xDEAD;
        ASSERT_TRUE(WaitForExit(tolvex.get(), &code));
    }
    std::string Saved(const char* key) { return IniValue(ini, "Settings", key); }
    HWND OpenSettings() { return OpenDialog(*tolvex, IDM_SETTINGS, SettingsCaption); }

    std::string dir, ini;
    std::unique_ptr<Tolvex> tolvex;
};

struct OpeningCase {
    const char* name;
    std::string settings;
    int historyCount;
    bool resident, useHotKey, singleInstance, saveHistory;
    int hotKey;
    const wchar_t* maxHistory;
    const wchar_t* opacityLabel;
};

TEST_F(Dialogs, SettingsOpenAtOwnerOriginShowingCurrentSettings) {
    const OpeningCase cases[] = {
        {"defaults, no history", "", 0, false, false, false, true, 0x0643, L"10", L"70 %"},
        {"all flags turned",
         "Resident=1\r\nUseHotKey=1\r\nHotKey=1604\r\nSaveHistory=0\r\n"
         "MaxHistory=37\r\nOpacity=20\r\n",
         3, true, true, false, false, 1604, L"37", L"20 %"},
        {"single instance, top of the scale", "SingleInstance=1\r\nOpacity=99\r\n", 1, false, false,
         true, true, 0x0643, L"10", L"99 %"},
    };
    int run = 0;
    for (const OpeningCase& c : cases) {
        SCOPED_TRACE(c.name);
        {
            OwnFrames frames;
            Start(c.settings, c.historyCount ? HistoryIni(c.historyCount) : "", ++run);
        }
        HWND dialog = OpenSettings();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(OpensAtOwnerOrigin(dialog, tolvex->window));
        EXPECT_EQ(Ticked(dialog, IDC_RESIDENT), c.resident);
        EXPECT_EQ(Ticked(dialog, IDC_USEHOTKEY), c.useHotKey);
        EXPECT_EQ(IsWindowEnabled(Item(dialog, IDC_HOTKEY)) != 0, c.useHotKey);
        EXPECT_EQ(SendTo(Item(dialog, IDC_HOTKEY), HKM_GETHOTKEY), c.hotKey);
        EXPECT_EQ(Ticked(dialog, IDC_SINGLEINSTANCE), c.singleInstance);
        EXPECT_EQ(WideText(Item(dialog, IDC_MAXHISTORY)), c.maxHistory);
        EXPECT_EQ(IsWindowEnabled(Item(dialog, IDC_CLEARHISTORY)) != 0, c.historyCount > 0);
        EXPECT_EQ(Ticked(dialog, IDC_SAVEHISTORY), c.saveHistory);
        EXPECT_TRUE(Ticked(dialog, IDC_USECOLORS)); // every start begins with the colours on
        for (int id = IDC_TEXTCOLOR_LABEL; id <= IDC_BACKCOLOR_PICK; ++id) {
            EXPECT_TRUE(IsWindowEnabled(Item(dialog, id))) << id;
        }
        EXPECT_EQ(WideText(Item(dialog, IDC_OPACITY_VALUE)), c.opacityLabel);
        // "face,points": whatever the default font is, it has a name and a size.
        std::wstring font = WideText(Item(dialog, IDC_FONTNAME));
        EXPECT_GT(font.find(L','), 0u) << font.c_str();
        EXPECT_LT(font.find(L','), font.size() - 1) << font.c_str();
        if (run == 1) {
            SavePicture(dialog, "settings-dialog");
        }
        Click(dialog, IDCANCEL);
        EXPECT_TRUE(Closes(dialog));
        tolvex.reset();
    }
}

TEST_F(Dialogs, ResidentTurnedOnAtOkMakesCloseOnlyHide) {
    Start("Resident=0\r\n");
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_RESIDENT);
    Click(dialog, IDOK);
    ASSERT_TRUE(Closes(dialog));
    PostMessageA(tolvex->window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex->window); }));
    EXPECT_EQ(WaitForSingleObject(tolvex->process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // And off again: closing ends the program.
    SendCommand(*tolvex, IDM_SHOW);
    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Ticked(dialog, IDC_RESIDENT));
    Click(dialog, IDC_RESIDENT);
    Click(dialog, IDOK);
    ASSERT_TRUE(Closes(dialog));
    PostMessageA(tolvex->window, WM_CLOSE, 0, 0);
    DWORD code = 0xDEAD;
    EXPECT_TRUE(WaitForExit(tolvex.get(), &code));
    EXPECT_EQ(Saved("Resident"), "0");
}

TEST_F(Dialogs, HotKeyAtOkRegistersOrWarnsAndKeepsTheCombination) {
    const struct {
        const char* name;
        bool takenElsewhere;
        const char* savedUse;
    } cases[] = {
        {"free combination", false, "1"},
        {"combination another program holds", true, "0"},
    };
    const UINT virtualKey = 'K';
    const int code = MAKEWORD(virtualKey, HOTKEYF_CONTROL | HOTKEYF_ALT);
    constexpr int TestHotKeyId = 1;
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.takenElsewhere) {
            ASSERT_TRUE(RegisterHotKey(nullptr, TestHotKeyId, MOD_CONTROL | MOD_ALT, virtualKey));
        }
        Start("UseHotKey=0\r\n", "", ++run);
        HWND dialog = OpenSettings();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_USEHOTKEY);
        EXPECT_TRUE(IsWindowEnabled(Item(dialog, IDC_HOTKEY)));
        SendTo(Item(dialog, IDC_HOTKEY), HKM_SETHOTKEY, static_cast<WPARAM>(code));
        PostClick(dialog, IDOK);
        if (c.takenElsewhere) {
            HWND warning = WaitForDialog(*tolvex, nullptr, dialog);
            ASSERT_NE(warning, nullptr);
            EXPECT_TRUE(HasChildText(warning, TakenHotKeyWarning(virtualKey)));
            // Modal to the dialog, whose OK cannot be pressed again under it.
            EXPECT_EQ(GetWindow(warning, GW_OWNER), dialog);
            EXPECT_FALSE(IsWindowEnabled(dialog));
            PostMessageA(warning, WM_COMMAND, IDOK, 0);
            UnregisterHotKey(nullptr, TestHotKeyId);
        }
        ASSERT_TRUE(Closes(dialog));
        // Held by tolvex now exactly when it was free.
        bool registered = RegisterHotKey(nullptr, TestHotKeyId, MOD_CONTROL | MOD_ALT, virtualKey);
        UnregisterHotKey(nullptr, TestHotKeyId);
        EXPECT_EQ(registered, c.takenElsewhere);

        dialog = OpenSettings();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Ticked(dialog, IDC_USEHOTKEY), !c.takenElsewhere);
        EXPECT_EQ(SendTo(Item(dialog, IDC_HOTKEY), HKM_GETHOTKEY), code);
        Click(dialog, IDCANCEL);
        ASSERT_TRUE(Closes(dialog));
        Exit();
        EXPECT_EQ(Saved("UseHotKey"), c.savedUse);
        EXPECT_EQ(Saved("HotKey"), std::to_string(code));
    }
}

TEST_F(Dialogs, ColoursOffDeleteTheBrushAndOnAgainBringTheStoredColoursBack) {
    const COLORREF red = RGB(255, 0, 0);
    Start("TextColor=0\r\nBackColor=" + std::to_string(red) + "\r\n");
    EXPECT_TRUE(WaitUntil([&] { return LineColour(*tolvex) == red; }));

    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_USECOLORS);
    for (int id = IDC_TEXTCOLOR_LABEL; id <= IDC_BACKCOLOR_PICK; ++id) {
        EXPECT_FALSE(IsWindowEnabled(Item(dialog, id))) << id;
    }
    Click(dialog, IDOK);
    ASSERT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitUntil([&] { return LineColour(*tolvex) == GetSysColor(COLOR_WINDOW); }));

    dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Ticked(dialog, IDC_USECOLORS));
    for (int id = IDC_TEXTCOLOR_LABEL; id <= IDC_BACKCOLOR_PICK; ++id) {
        EXPECT_FALSE(IsWindowEnabled(Item(dialog, id))) << id;
    }
    Click(dialog, IDC_USECOLORS);
    EXPECT_TRUE(IsWindowEnabled(Item(dialog, IDC_BACKCOLOR_PICK)));
    Click(dialog, IDOK);
    ASSERT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitUntil([&] { return LineColour(*tolvex) == red; }));
    Exit();
    EXPECT_EQ(Saved("BackColor"), std::to_string(red));
    EXPECT_EQ(Saved("TextColor"), "0");
}

HWND OpenAbout(const Tolvex& tolvex) {
    return OpenDialog(tolvex, IDM_ABOUT, AboutCaption);
}

TEST_F(Dialogs, AboutOpensAtOwnerOriginWithItsTextsAndLink) {
    {
        OwnFrames frames;
        Start("");
    }
    HWND dialog = OpenAbout(*tolvex);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(OpensAtOwnerOrigin(dialog, tolvex->window));
    EXPECT_TRUE(HasChildText(dialog, L"tolvex ver.0.1.2\n© 2026 tolvex developers"));
    EXPECT_EQ(WideText(Item(dialog, IDC_LINK)), L"" HOME_PAGE_ADDRESS);
    EXPECT_TRUE(GetWindowLongA(Item(dialog, IDC_LINK), GWL_STYLE) & SS_NOTIFY);
    SavePicture(dialog, "about-dialog");
    Click(dialog, IDOK);
    EXPECT_TRUE(Closes(dialog));
}

TEST_F(Dialogs, AboutClosesWithOkEnterEscAndTheCloseBox) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool toButton;
    } cases[] = {
        {"OK clicked", BM_CLICK, 0, true},
        {"Enter", WM_KEYDOWN, VK_RETURN, true},
        {"Esc", WM_KEYDOWN, VK_ESCAPE, true},
        {"close box", WM_SYSCOMMAND, SC_CLOSE, false},
    };
    Start("");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND dialog = OpenAbout(*tolvex);
        ASSERT_NE(dialog, nullptr);
        // Posted, so that keys pass through the dialog's own message loop as typed ones do.
        PostMessageA(c.toButton ? Item(dialog, IDOK) : dialog, c.message, c.wParam, 0);
        EXPECT_TRUE(Closes(dialog));
        EXPECT_TRUE(IsWindowEnabled(tolvex->window));
    }
    Exit();
}

struct FontCase {
    const char* name;
    int closeWith; // of the settings dialog, after the font was chosen
    bool applied;
};

TEST_F(Dialogs, ChosenFontChangesTheWindowHeightAtOkOnly) {
    const FontCase cases[] = {
        {"OK", IDOK, true},
        {"Cancel", IDCANCEL, false},
    };
    constexpr int ChosenPoints = 20;
    // The font chooser's size box.
    constexpr int SizeBox = 1138;
    int run = 0;
    for (const FontCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start("FontSize=-12\r\n", "", ++run);
        int heightBefore = WindowRect(tolvex->window).bottom - WindowRect(tolvex->window).top;
        HWND dialog = OpenSettings();
        ASSERT_NE(dialog, nullptr);
        PostClick(dialog, IDC_FONT_PICK);
        HWND chooser = WaitForDialog(*tolvex, nullptr, dialog);
        ASSERT_NE(chooser, nullptr);
        HWND sizes = Item(chooser, SizeBox);
        ASSERT_NE(SendMessageW(sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(L"20")),
                  CB_ERR);
        SendTo(chooser, WM_COMMAND, MAKEWPARAM(SizeBox, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(sizes));
        Click(chooser, IDOK);
        ASSERT_TRUE(Closes(chooser));
        std::wstring label = WideText(Item(dialog, IDC_FONTNAME));
        EXPECT_EQ(label.substr(label.find(L',')), L",20") << label.c_str();
        // Nothing changes before the dialog's own OK.
        EXPECT_EQ(WindowRect(tolvex->window).bottom - WindowRect(tolvex->window).top, heightBefore);
        Click(dialog, c.closeWith);
        ASSERT_TRUE(Closes(dialog));
        int heightAfter = WindowRect(tolvex->window).bottom - WindowRect(tolvex->window).top;
        EXPECT_EQ(heightAfter > heightBefore, c.applied) << heightBefore << " -> " << heightAfter;
        EXPECT_EQ(WindowRect(tolvex->window).top, 60); // the same place, only taller
        Exit();
        HDC screen = GetDC(nullptr);
        int expected = -MulDiv(ChosenPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(Saved("FontSize"), std::to_string(c.applied ? expected : -12));
    }
}

COLORREF ScreenColour(HWND control) {
    RECT rect = WindowRect(control);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Runs the colour chooser of a "..." button with red, green and blue typed in, closing it with
// closeWith.
void ChooseColour(const Tolvex& tolvex, HWND dialog, int button, const char* const rgb[3],
                  int closeWith) {
    // The chooser's red, green and blue boxes.
    constexpr int RedBox = 706;
    PostClick(dialog, button);
    HWND chooser = WaitForDialog(tolvex, nullptr, dialog);
    ASSERT_NE(chooser, nullptr);
    for (int i = 0; i < 3; ++i) {
        SetText(chooser, RedBox + i, rgb[i]);
    }
    Click(chooser, closeWith);
    ASSERT_TRUE(Closes(chooser));
}

TEST_F(Dialogs, ChosenColoursRepaintTheSwatchesAndReachTheLineAtOk) {
    Start("TextColor=16777215\r\nBackColor=0\r\n");
    EXPECT_TRUE(WaitUntil([&] { return LineColour(*tolvex) == Black; }));
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    const char* const red[3] = {"255", "0", "0"};
    const char* const green[3] = {"0", "255", "0"};
    ChooseColour(*tolvex, dialog, IDC_BACKCOLOR_PICK, red, IDOK);
    EXPECT_TRUE(
        WaitUntil([&] { return ScreenColour(Item(dialog, IDC_BACKCOLOR)) == RGB(255, 0, 0); }));
    ChooseColour(*tolvex, dialog, IDC_TEXTCOLOR_PICK, green, IDCANCEL);
    // The swatch lay under the chooser: until its paint comes (after any message a sync could
    // wait for) the screen there shows the dialog's face, so the check waits for the paint. A
    // cancel that took the colour would show green, and the wait would end unmet.
    EXPECT_TRUE(WaitUntil([&] { return ScreenColour(Item(dialog, IDC_TEXTCOLOR)) == White; }));
    Click(dialog, IDOK);
    ASSERT_TRUE(Closes(dialog));
    EXPECT_TRUE(WaitUntil([&] { return LineColour(*tolvex) == RGB(255, 0, 0); }));
    Exit();
    EXPECT_EQ(Saved("BackColor"), std::to_string(RGB(255, 0, 0)));
    EXPECT_EQ(Saved("TextColor"), std::to_string(White));
}

} // namespace
