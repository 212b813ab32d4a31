// The main window's procedure in process, built on the executable's own resources: the rules of
// the input line (Enter, refused and pasted characters, long lines, the history, the notation
// width, emptying it) and of the frame and translucency, driven with the messages the program's
// message loop would hand it.
//
// The window is never shown and has a class name of its own, so it takes no foreground and no
// second start of the real program can mistake it for a running copy. Typed characters are sent
// wide, so the platform turns them into the ANSI code page's bytes as it does typed keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/line.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/appearance.h"
#include "ui/lineview.h"
#include "ui/linehistory.h"
#include "ui/mainwnd.h"
#include "ui/layering.h"
#include "tests/support/driver.h"
#include "tests/support/import_patch.h"

namespace {

constexpr char TestClassName[] = "tolvex in-process window";
// The program's default width.
constexpr int WindowWidth = 200;

// What the line logic makes of a line; the window must show exactly that.
std::string Rewritten(const std::string& line, int hexBits = 32) {
    char out[LineBufferSize];
    ApplyLineUpdate(line.c_str(), ComputeLineUpdate(line.c_str(), hexBits), out);
    return out;
}

std::string Ansi(const std::wstring& text) {
    char out[LineBufferSize * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// The flags of the last RedrawWindow the code under test made, through this executable's import.
UINT RedrawFlags;
decltype(&RedrawWindow) RealRedrawWindow;
BOOL WINAPI FakeRedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    RedrawFlags = flags;
    return RealRedrawWindow(window, rect, region, flags);
}

class InProcessWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gui::Hook("USER32.dll", "RedrawWindow", FakeRedrawWindow, &RealRedrawWindow);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MainWndProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TestClassName;
        RegisterClassA(&windowClass);
    }
    void SetUp() override {
        module = gui::LoadExeResources();
        ASSERT_NE(module, nullptr);
        AppInstance = module;
        saved = Settings;
        savedHeight = FixedWindowHeight;
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
        // No file: the window's end writes nothing.
        IniPath[0] = '\0';
        window = CreateWindowExA(0, TestClassName, "", WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME,
                                 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        MainWindow = window;
        FixedWindowHeight = CalcWindowHeight();
        SetWindowPos(window, nullptr, 0, 0, WindowWidth, FixedWindowHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override {
        if (window) {
            DestroyWindow(window);
        }
        // The window's end asks for the quit of a message loop that this test does not run.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        MainWindow = InputCombo = InputEdit = nullptr;
        FixedWindowHeight = savedHeight;
        Settings = saved;
        AppInstance = nullptr;
        FreeLibrary(module);
    }

    void Command(int id) { SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // Characters as the keyboard gives them, through the input line's filter.
    void Type(const std::wstring& text) {
        for (wchar_t c : text) {
            SendMessageW(InputEdit, WM_CHAR, c, 1);
        }
    }
    void Key(UINT virtualKey) {
        SendMessageA(InputEdit, WM_KEYDOWN, virtualKey, 1);
        SendMessageA(InputEdit, WM_KEYUP, virtualKey, 0xC0000001);
    }
    void Backspace() { SendMessageA(InputEdit, WM_CHAR, '\b', 1); }
    // Empties the line as Esc does.
    void Clear() {
        Command(IDM_CLEARLINE);
        ASSERT_EQ(Line(), "");
    }
    void SetLine(const std::string& text) {
        SendMessageA(InputCombo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(InputEdit, EM_SETSEL, text.size(), text.size());
    }
    std::string Line() { return gui::WindowText(InputCombo); }
    int Caret() {
        int start, end;
        gui::Selection(InputEdit, &start, &end);
        return start == end ? start : -1;
    }
    std::vector<std::string> History() { return gui::ListItems(InputCombo); }

    HMODULE module = nullptr;
    HWND window = nullptr;
    SettingsRecord saved;
    int savedHeight = 0;
};

struct EnterCase {
    const wchar_t* typed;
    const char* expected; // the line after Enter
    bool filed;           // whether it entered the history
};

TEST_F(InProcessWindow, EnterOnEachKindOfLine) {
    const EnterCase cases[] = {
        {L"255=X0", "255=XFF", true}, {L"5=b", "5=b101", true}, {L"1+2==", "1+2=3", true},
        {L"1+", "1+=?", false},       {L"1/0", "1/0=?", false}, {L"=5", "=5", false},
        {L"=", "=", false},           {L"", "", false},
    };
    for (const EnterCase& c : cases) {
        Clear();
        size_t before = History().size();
        Type(c.typed);
        Key(VK_RETURN);
        // A digit typed behind: the result is written again over it, where there is one.
        Key(VK_END);
        Type(L"7");
        std::string expected = std::string(c.expected) + "7";
        if (std::string(c.expected).find('=') != std::string::npos && c.expected[0] != '=') {
            expected = c.expected;
        }
        EXPECT_EQ(Line(), expected) << "typed " << c.expected;
        EXPECT_EQ(History().size(), before + (c.filed ? 1 : 0)) << c.expected;
        if (c.filed) {
            EXPECT_EQ(History()[0], c.expected);
        }
    }
}

int Beeps;
decltype(&MessageBeep) RealMessageBeep;

BOOL WINAPI CountingMessageBeep(UINT) {
    ++Beeps;
    return TRUE;
}

TEST_F(InProcessWindow, RefusedCharactersChangeNothing) {
    ASSERT_TRUE(gui::Hook("USER32.dll", "MessageBeep", &CountingMessageBeep, &RealMessageBeep));
    const wchar_t* refused[] = {L" ",  L",",  L"\t", L"!",  L"_",  L"<", L"\"",
                                L"あ", L"ー", L"漢", L"ア", L"　", L"，"};
    for (const wchar_t* c : refused) {
        Clear();
        Beeps = 0;
        Type(std::wstring(L"1") + c + L"2");
        EXPECT_EQ(Line(), "12") << Ansi(c);
        EXPECT_EQ(Caret(), 2) << Ansi(c);
        EXPECT_EQ(Beeps, 1) << Ansi(c); // a double-byte character is refused once, as one
    }
    gui::Unhook("USER32.dll", "MessageBeep", RealMessageBeep);
}

TEST_F(InProcessWindow, PastedTextIsNotFilteredAndIsRewrittenInPlace) {
    // Spaces and commas are refused when typed, not when pasted; a pasted double-byte character
    // in front of the "=" must not shift where the result goes.
    const wchar_t* pasted[] = {L"1 + 2=", L"1,5=", L"\x3042=1yz", L"\x3042+1=x0"};
    for (const wchar_t* text : pasted) {
        Clear();
        ASSERT_TRUE(gui::SetClipboardText(std::wstring(text)));
        Command(IDM_PASTE);
        EXPECT_EQ(Line(), Rewritten(Ansi(text))) << Ansi(text);
    }
}

TEST_F(InProcessWindow, FullWidthFormsTypedCommittedPastedOrStoredBecomeAscii) {
    gui::Hook("USER32.dll", "MessageBeep", &CountingMessageBeep, &RealMessageBeep);
    Beeps = 0;
    Type(L"１２×３＝");
    EXPECT_EQ(Line(), "12*3=36");
    // Committed by an input method that ignores the line's missing input context.
    Clear();
    SendMessageA(InputEdit, WM_IME_CHAR, 0x8250, 1); // "１"
    SendMessageA(InputEdit, WM_IME_CHAR, 0x82A0, 1); // "あ": refused
    SendMessageA(InputEdit, WM_IME_CHAR, 0x817B, 1); // "＋"
    EXPECT_EQ(Line(), "1+");
    EXPECT_EQ(Beeps, 1);
    gui::Unhook("USER32.dll", "MessageBeep", RealMessageBeep);

    // Pasted: folded where a form has an ASCII one, the rest kept, the first line only; then
    // evaluated as any line is.
    const struct {
        const wchar_t* pasted;
        const wchar_t* line;
    } pastes[] = {{L"１２＊３＝", L"12*3="},
                  {L"（２−１）÷４＝", L"(2-1)/4="},
                  {L"１万＋１＝", L"1万+1="},
                  {L"７＝\r\n８", L"7="}};
    for (const auto& paste : pastes) {
        Clear();
        ASSERT_TRUE(gui::SetClipboardText(std::wstring(paste.pasted)));
        Command(IDM_PASTE);
        EXPECT_EQ(Line(), Rewritten(Ansi(paste.line))) << Ansi(paste.pasted);
    }
    EXPECT_EQ(Rewritten("12*3="), "12*3=36");
    // A history line written by hand into the file.
    InputHistory.append(Ansi(L"２＾１０＝１０２４").c_str());
    EXPECT_EQ(History(), std::vector<std::string>{"2^10=1024"});
}

TEST_F(InProcessWindow, TheLineHasNoInputContext) {
    EXPECT_EQ(ImmGetContext(InputEdit), nullptr);
}

// The tooltip control that holds a tool for button, among this thread's.
HWND ToolTipOf(HWND window, HWND button) {
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    for (HWND w = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr); w;
         w = FindWindowExA(nullptr, w, "tooltips_class32", nullptr)) {
        if (SendMessageW(w, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) {
            return w;
        }
    }
    return nullptr;
}

TEST_F(InProcessWindow, TheButtonsAreNamedByTheirTextsAndTooltips) {
    HWND tips = ToolTipOf(window, GetDlgItem(window, IDC_CLEAR));
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 3);
    const struct {
        int id;
        const wchar_t* name;
    } buttons[] = {{IDC_CLEAR, L"クリア"}, {IDC_MENU, L"メニュー"}, {IDC_CLOSE, L"閉じる"}};
    for (const auto& b : buttons) {
        HWND button = GetDlgItem(window, b.id);
        wchar_t text[32] = L"";
        GetWindowTextW(button, text, 32);
        EXPECT_STREQ(text, b.name) << b.id;
        wchar_t tip[32] = L"";
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = tip;
        SendMessageW(tips, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(tip, b.name) << b.id;
    }
    // Owned by no window, it goes with the main window all the same.
    DestroyWindow(window);
    window = nullptr;
    EXPECT_FALSE(IsWindow(tips));
}

TEST_F(InProcessWindow, RepeatedLinesInTheHistory) {
    Type(L"0xff");
    Key(VK_RETURN);
    ASSERT_EQ(History().size(), 1u);
    // The same line at the top, in other letter case: the top item stays as it was written.
    Clear();
    Type(L"0XFF");
    Key(VK_RETURN);
    ASSERT_EQ(Line(), "0XFF=255");
    EXPECT_EQ(History(), (std::vector<std::string>{"0xff=255"}));
    // Further down: it moves to the top as entered now.
    Clear();
    Type(L"2");
    Key(VK_RETURN);
    ASSERT_EQ(History().size(), 2u);
    Clear();
    Type(L"0XFF");
    Key(VK_RETURN);
    EXPECT_EQ(History(), (std::vector<std::string>{"0XFF=255", "2=2"}));
}

TEST_F(InProcessWindow, LongLinesNeverGrowBeyondTheLimit) {
    // 253 characters, then "=" typed: a result of three digits has room for one.
    std::string line = std::string(249, '0') + "1+99";
    SetLine(line);
    Type(L"=");
    EXPECT_EQ(Line(), Rewritten(line + "="));
    EXPECT_LE(Line().size(), static_cast<size_t>(MaxLineLength));

    // A full line without "=": Enter has no room for it and evaluates nothing.
    std::string full = "1" + std::string(MaxLineLength - 1, '0');
    SetLine(full);
    Key(VK_RETURN);
    EXPECT_EQ(Line(), full);
    Backspace();
    EXPECT_EQ(Line(), full.substr(0, MaxLineLength - 1));
    EXPECT_TRUE(History().empty());
}

// The x position of a character in the edit field, which moves exactly when the field scrolls.
int CharX(HWND edit, int index) {
    return static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, index, 0)));
}

TEST_F(InProcessWindow, ALongLineKeepsStillWhileItsResultIsRewritten) {
    // Far wider than the window; the caret goes into the middle, where the user is typing.
    std::string line;
    for (int i = 0; i < 60; ++i) {
        line += "1+";
    }
    line += "1=";
    SetLine(Rewritten(line));
    const int caret = 60;
    SendMessageA(InputEdit, EM_SETSEL, caret, caret);
    int before = CharX(InputEdit, caret - 1);
    RECT client;
    GetClientRect(InputEdit, &client);
    ASSERT_GT(before, 0) << "the character in front of the caret is shown";
    ASSERT_LT(before, client.right);
    ASSERT_LT(CharX(InputEdit, 0), 0) << "the line starts scrolled out to the left";
    Type(L"9"); // "1" becomes "91"
    EXPECT_EQ(Line(), Rewritten(line.substr(0, caret) + "9" + line.substr(caret)));
    EXPECT_EQ(Caret(), caret + 1);
    EXPECT_EQ(CharX(InputEdit, caret - 1), before) << "the view has not moved";
    // So too when the result grows or shrinks by some characters.
    Type(L"99");
    EXPECT_EQ(Line(), Rewritten(line.substr(0, caret) + "999" + line.substr(caret)));
    EXPECT_EQ(CharX(InputEdit, caret - 1), before);
    Backspace();
    Backspace();
    Backspace();
    EXPECT_EQ(Line(), Rewritten(line));
    EXPECT_EQ(CharX(InputEdit, caret - 1), before);
}

TEST_F(InProcessWindow, EscapeAndClearButtonEmptyTheLineAndKeepTheHistory) {
    HACCEL accelerators = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(accelerators, nullptr);
    SendMessageA(InputCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1+2=3"));
    SetLine("12*3");
    // Esc as the message loop hands it on: to the accelerators before any window sees it.
    MSG escape = {InputEdit, WM_KEYDOWN, VK_ESCAPE, 1, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorA(window, accelerators, &escape));
    EXPECT_EQ(Line(), "");
    SetLine("4/5");
    ASSERT_EQ(Line(), "4/5");
    SetFocus(nullptr);
    SendMessageA(GetDlgItem(window, IDC_CLEAR), BM_CLICK, 0, 0);
    EXPECT_EQ(Line(), "");
    EXPECT_EQ(GetFocus(), InputEdit); // the line keeps the focus for the next input
    EXPECT_EQ(History(), std::vector<std::string>{"1+2=3"});
    DestroyAcceleratorTable(accelerators);
}

TEST_F(InProcessWindow, FrameEdgesGiveNoVerticalSizingAndTheGripStripDragsTheWindow) {
    // The top and bottom edges give no sizing cursor and the corners size horizontally only.
    for (int hit : {HTTOP, HTBOTTOM, HTTOPLEFT, HTBOTTOMRIGHT}) {
        EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                               MAKELPARAM(hit, WM_MOUSEMOVE)),
                  TRUE)
            << hit;
    }
    // The grip strip drags the window like a caption from its top row on, where no frame is left;
    // the sides keep theirs.
    RECT outer;
    GetWindowRect(window, &outer);
    const struct {
        int x, y;
        std::vector<LRESULT> hits;
    } cases[] = {{outer.left + GetSystemMetrics(SM_CXFRAME) + 5, outer.top, {HTCAPTION}},
                 {outer.left, outer.bottom - 1, {HTLEFT, HTTOPLEFT, HTBOTTOMLEFT}},
                 {outer.right - 1, outer.bottom - 1, {HTRIGHT, HTTOPRIGHT, HTBOTTOMRIGHT}}};
    for (const auto& c : cases) {
        LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y));
        EXPECT_NE(std::find(c.hits.begin(), c.hits.end(), hit), c.hits.end()) << c.x << "," << hit;
    }
}

TEST_F(InProcessWindow, TranslucencyOffAndOnAgainAppliesTheOpacityAfresh) {
    ASSERT_NE(RealRedrawWindow, nullptr);
    LayeredAttributesProc = gui::FakeLayeredAttributes;
    Settings.Opacity = 50;
    Settings.Translucent = 0;
    gui::LayeredAttributesCalls = 0;
    auto layered = [&] { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
    Command(IDM_TRANSLUCENT);
    EXPECT_TRUE(layered());
    EXPECT_EQ(gui::LastLayeredAlpha, 127); // 50 % of 255, truncated
    RedrawFlags = 0;
    Command(IDM_TRANSLUCENT);
    EXPECT_FALSE(layered());
    // No longer layered, it is drawn again whole, frame and children included.
    EXPECT_EQ(RedrawFlags,
              static_cast<UINT>(RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN));
    gui::LastLayeredAlpha = 0;
    Command(IDM_TRANSLUCENT);
    EXPECT_TRUE(layered());
    EXPECT_EQ(gui::LayeredAttributesCalls, 2);
    EXPECT_EQ(gui::LastLayeredAlpha, 127);
    LayeredAttributesProc = nullptr;
}

struct HexSwitchCase {
    const char* line;
    int command;
    const char* expected;
};

TEST_F(InProcessWindow, NotationWidthSwitchReevaluatesOnlyHexadecimalAndBinaryLines) {
    const HexSwitchCase cases[] = {
        {"-1=x", IDM_HEX64, "-1=xFFFFFFFFFFFFFFFF"},
        {"-1=xFFFFFFFFFFFFFFFF", IDM_HEX32, "-1=xFFFFFFFF"},
        {"2=b7", IDM_HEX32, "2=b10"},
        {"-1=$0", IDM_HEX32, "-1=$FFFFFFFF"},
        {"2=b10", IDM_HEX64, "2=b10"},
        {"2=5", IDM_HEX64, "2=5"}, // decimal: left alone
        {"1=x", IDM_HEX64, "1=x"}, // shorter than four: left alone
    };
    for (const HexSwitchCase& c : cases) {
        SetLine(c.line);
        Command(c.command);
        EXPECT_EQ(Line(), c.expected) << c.line;
    }
}

int MessageBoxes;
std::wstring MessageText;

int WINAPI RecordingMessageBoxW(HWND, const wchar_t* text, const wchar_t*, UINT) {
    ++MessageBoxes;
    MessageText = text;
    return IDOK;
}

// The window's end writes the settings; a failed write is worth a word, and one is enough. (A
// save that succeeds says nothing: the programs that the GUI tests end would wait on a box.)
TEST_F(InProcessWindow, AFailedSaveAtExitIsReportedOnceNamingTheFile) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // The folder of the file is made when missing, but not the folders above it.
    const std::string path = std::string(temp) + "tolvex-missing\\tolvex\\tolvex.ini";
    lstrcpyA(IniPath, path.c_str());
    decltype(&MessageBoxW) realMessageBox = nullptr;
    ASSERT_TRUE(gui::Hook("USER32.dll", "MessageBoxW", &RecordingMessageBoxW, &realMessageBox));
    DestroyWindow(window);
    window = nullptr;
    gui::Unhook("USER32.dll", "MessageBoxW", realMessageBox);
    IniPath[0] = '\0';
    EXPECT_EQ(MessageBoxes, 1);
    EXPECT_NE(Ansi(MessageText).find(path), std::string::npos);
}

} // namespace
