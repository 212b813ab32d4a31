// The about dialog's procedure in process, on the template the built executable carries: the
// link font's life, the hand cursor and the click, with the platform calls counted on the way.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

#include "dialogs/aboutdlg.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "tests/support/import_patch.h"

using namespace gui;

namespace {

constexpr int OpenCloseCycles = 50;
constexpr int OffScreen = -4000;

// What the dialog asked of the platform, through this executable's import table.
std::set<HGDIOBJ> FontsCreated;
int FontsCreatedCount;
int FontsDeletedCount;
int ShellOpens;
std::string ShellVerb, ShellTarget;
HWND ShellOwner;
int ShellShow;

decltype(&CreateFontIndirectA) RealCreateFontIndirectA;
decltype(&DeleteObject) RealDeleteObject;

HFONT WINAPI CountingCreateFontIndirectA(const LOGFONTA* font) {
    HFONT handle = RealCreateFontIndirectA(font);
    if (handle) {
        FontsCreated.insert(handle);
        ++FontsCreatedCount;
    }
    return handle;
}

BOOL WINAPI CountingDeleteObject(HGDIOBJ object) {
    if (FontsCreated.erase(object)) {
        ++FontsDeletedCount;
    }
    return RealDeleteObject(object);
}

// The thread's COM apartment around the shell call: what joining answers, and the calls in order.
HRESULT JoinResult = S_OK;
std::vector<std::string> ApartmentCalls;

HRESULT WINAPI RecordingCoInitializeEx(void*, DWORD flags) {
    ApartmentCalls.push_back("join " + std::to_string(flags));
    return JoinResult;
}

void WINAPI RecordingCoUninitialize() {
    ApartmentCalls.push_back("leave");
}

HINSTANCE WINAPI RecordingShellExecuteA(HWND owner, LPCSTR verb, LPCSTR target, LPCSTR parameters,
                                        LPCSTR directory, INT show) {
    ApartmentCalls.push_back("shell");
    ++ShellOpens;
    ShellOwner = owner;
    ShellVerb = verb ? verb : "";
    ShellTarget = target ? target : "";
    ShellShow = parameters || directory ? -1 : show;
    // Nothing is started: a test run has no browser to open.
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
}

// The link colour of a high-contrast black scheme, yellow, instead of the platform's own.
constexpr COLORREF SchemeLinkColour = RGB(255, 255, 0);
decltype(&GetSysColor) RealGetSysColor;
DWORD WINAPI SchemeGetSysColor(int index) {
    return index == COLOR_HOTLIGHT ? SchemeLinkColour : RealGetSysColor(index);
}

class AboutDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Hook("gdi32.dll", "CreateFontIndirectA", &CountingCreateFontIndirectA,
             &RealCreateFontIndirectA);
        Hook("gdi32.dll", "DeleteObject", &CountingDeleteObject, &RealDeleteObject);
        decltype(&ShellExecuteA) unused = nullptr;
        Hook("shell32.dll", "ShellExecuteA", &RecordingShellExecuteA, &unused);
        Hook("user32.dll", "GetSysColor", &SchemeGetSysColor, &RealGetSysColor);
        decltype(&CoInitializeEx) unusedJoin = nullptr;
        Hook("ole32.dll", "CoInitializeEx", &RecordingCoInitializeEx, &unusedJoin);
        decltype(&CoUninitialize) unusedLeave = nullptr;
        Hook("ole32.dll", "CoUninitialize", &RecordingCoUninitialize, &unusedLeave);
    }
    void SetUp() override {
        ASSERT_NE(RealCreateFontIndirectA, nullptr);
        ASSERT_NE(RealDeleteObject, nullptr);
        module = LoadExeResources();
        ASSERT_NE(module, nullptr);
        // Far off the screen: the dialog opens at its owner, and must not cover the windows of
        // GUI tests that may be running beside this one.
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, OffScreen, OffScreen,
                                300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        FreeLibrary(module);
    }
    // The same template and procedure the menu command runs, without a modal loop of its own,
    // so the test can look at it while it is open.
    HWND Open() {
        return CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, 0);
    }
    HMODULE module = nullptr;
    HWND owner = nullptr;
};

TEST_F(AboutDialog, EachOpeningCreatesAndDeletesExactlyOneUnderlinedLinkFont) {
    for (int cycle = 1; cycle <= OpenCloseCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(FontsCreatedCount, cycle);
        HFONT linkFont =
            reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDC_LINK, WM_GETFONT, 0, 0));
        EXPECT_EQ(linkFont, LinkFont);
        EXPECT_EQ(FontsCreated.count(linkFont), 1u);
        LOGFONTA link = {}, own = {};
        ASSERT_EQ(GetObjectA(linkFont, sizeof link, &link), static_cast<int>(sizeof link));
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_EQ(GetObjectA(dialogFont, sizeof own, &own), static_cast<int>(sizeof own));
        EXPECT_TRUE(link.lfUnderline);
        EXPECT_FALSE(own.lfUnderline);
        EXPECT_EQ(link.lfHeight, own.lfHeight);
        EXPECT_STREQ(link.lfFaceName, own.lfFaceName);

        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        DestroyWindow(dialog);
        ASSERT_EQ(FontsDeletedCount, cycle);
        EXPECT_EQ(GetObjectType(linkFont), 0u); // gone, not merely forgotten
    }
    EXPECT_TRUE(FontsCreated.empty());
}

struct CursorCase {
    const char* name;
    int id;    // 0: the dialog itself
    int after; // for controls without an id of their own: the one after it
    bool hand;
};

TEST_F(AboutDialog, HandCursorOnlyOverTheLink) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    const CursorCase cases[] = {
        {"link", IDC_LINK, 0, true},
        {"OK button", IDOK, 0, false},
        {"notice text", 0, IDC_LINK, false},
        {"dialog background", 0, 0, false},
    };
    for (const CursorCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND under = c.id      ? GetDlgItem(dialog, c.id)
                     : c.after ? GetWindow(GetDlgItem(dialog, c.after), GW_HWNDPREV)
                               : dialog;
        ASSERT_NE(under, nullptr);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == hand, c.hand);
    }
    DestroyWindow(dialog);
}

TEST_F(AboutDialog, LinkClickOpensTheAddressAndLeavesTheDialogOpen) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    // Shown far off the screen and without the focus: GUI tests may be running beside this one.
    SetWindowPos(dialog, nullptr, OffScreen, OffScreen, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    HWND link = GetDlgItem(dialog, IDC_LINK);
    char text[64] = "";
    GetWindowTextA(link, text, sizeof text);
    EXPECT_STREQ(text, HOME_PAGE_ADDRESS);

    ShellOpens = 0;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LINK, STN_DBLCLK),
                 reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(ShellOpens, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LINK, STN_CLICKED),
                 reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(ShellOpens, 1);
    EXPECT_EQ(ShellOwner, nullptr);
    EXPECT_EQ(ShellVerb, "open");
    EXPECT_EQ(ShellTarget, text); // the shown text is the address opened
    EXPECT_EQ(ShellShow, SW_SHOWNORMAL);
    EXPECT_TRUE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

// The shell call runs in a single-threaded apartment without the old DDE of OLE 1, and every
// successful joining is matched by one leaving, that which finds one joined already too; a thread
// in the other kind of apartment has not joined and leaves nothing.
TEST_F(AboutDialog, TheLinkIsOpenedInASingleThreadedApartmentLeftAgainAfterwards) {
    const struct {
        const char* name;
        HRESULT join;
        bool leaves;
    } cases[] = {
        {"joined", S_OK, true},
        {"already in one", S_FALSE, true},
        {"in the other kind", RPC_E_CHANGED_MODE, false},
    };
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND link = GetDlgItem(dialog, IDC_LINK);
    const std::string join =
        "join " + std::to_string(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JoinResult = c.join;
        ApartmentCalls.clear();
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LINK, STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        std::vector<std::string> expected = {join, "shell"};
        if (c.leaves) {
            expected.push_back("leave");
        }
        EXPECT_EQ(ApartmentCalls, expected);
    }
    JoinResult = S_OK;
    DestroyWindow(dialog);
}

TEST_F(AboutDialog, LinkIsDrawnInTheSchemesLinkColourOnTheDialogsBackground) {
    ASSERT_NE(RealGetSysColor, nullptr);
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    INT_PTR brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LINK)));
    EXPECT_EQ(GetTextColor(dc), SchemeLinkColour);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    DeleteDC(dc);
    DestroyWindow(dialog);
}

} // namespace
