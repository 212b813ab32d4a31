// The real tolvex.exe end to end: typing into the input line, live results, Enter and history.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../../engine/line.h"
#include "../../res/resource.h"
#include "driver.h"

using namespace gui;

namespace {

// What the line logic makes of a line; the window must show exactly that.
std::string Rewritten(const std::string& line, int hexBits = 32) {
    char out[LineBufferSize];
    ApplyLineUpdate(line.c_str(), ComputeLineUpdate(line.c_str(), hexBits), out);
    return out;
}

class Typing : public ::testing::Test {
  protected:
    void SetUp() override { Start(""); }
    void TearDown() override { Stop(); }

    void Start(const std::string& ini) {
        if (dir.empty()) {
            dir = FreshDirectory(TestName());
            if (!ini.empty()) {
                WriteTextFile(dir + "tolvex.ini", ini);
            }
        }
        tolvex.reset(new Tolvex);
        ASSERT_TRUE(StartTolvex(dir, tolvex.get()));
        ASSERT_TRUE(Focus(*tolvex));
    }
    void Stop() {
        if (tolvex && tolvex->window) {
            SendCommand(*tolvex, IDM_EXIT);
            EXPECT_TRUE(Ends(tolvex.get()));
        }
        tolvex.reset();
    }
    void Restart(const std::string& ini) {
        Stop();
        dir.clear();
        Start(ini);
    }

    std::string Line() { return WindowText(tolvex->combo); }
    bool LineBecomes(const std::string& text) {
        return WaitUntil([&] { return Line() == text; });
    }
    int Caret() {
        int start, end;
        Selection(tolvex->edit, &start, &end);
        return start == end ? start : -1;
    }
    std::vector<std::string> History() { return ListItems(tolvex->combo); }
    // Empties the line with Esc, as a user starts afresh.
    void Clear() {
        TypeKey(VK_ESCAPE);
        ASSERT_TRUE(LineBecomes(""));
    }
    void SetLine(const std::string& text) {
        SendMessageA(tolvex->combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(tolvex->edit, EM_SETSEL, text.size(), text.size());
    }

    std::string dir;
    std::unique_ptr<Tolvex> tolvex;
};

TEST_F(Typing, EnterAppendsEqualsShowsResultAndFilesTheLine) {
    TypeText(L"1+2");
    ASSERT_TRUE(LineBecomes("1+2"));
    TypeKey(VK_RETURN);
    EXPECT_TRUE(LineBecomes("1+2=3"));
    EXPECT_EQ(Caret(), 4); // between "=" and the result
    EXPECT_EQ(History(), std::vector<std::string>{"1+2=3"});
}

TEST_F(Typing, ResultFollowsEveryKeystrokeAndTheCaretStaysWhereTheUserTyped) {
    TypeText(L"1+2=");
    EXPECT_TRUE(LineBecomes("1+2=3"));
    EXPECT_EQ(Caret(), 4);
    TypeText(L"x");
    EXPECT_TRUE(LineBecomes("1+2=x3"));
    EXPECT_EQ(Caret(), 5);
    TypeKey(VK_HOME);
    TypeKey(VK_RIGHT);
    TypeText(L"0");
    EXPECT_TRUE(LineBecomes("10+2=xC"));
    EXPECT_EQ(Caret(), 2);
    // Typing behind the result: the result comes back at once, the caret at the end.
    TypeKey(VK_END);
    TypeText(L"9");
    ASSERT_TRUE(Sync(*tolvex));
    TypeText(L"+"); // the next keystroke proves the "9" was handled
    EXPECT_TRUE(LineBecomes("10+2=xC"));
    EXPECT_EQ(Caret(), 7);
    EXPECT_TRUE(History().empty()); // live evaluation never files a line
}

struct EnterCase {
    const wchar_t* typed;
    const char* expected; // the line after Enter
    bool filed;           // whether it entered the history
};

TEST_F(Typing, EnterOnEachKindOfLine) {
    const EnterCase cases[] = {
        {L"255=X0", "255=XFF", true}, {L"5=b", "5=b101", true}, {L"1+2==", "1+2=3", true},
        {L"1+", "1+=?", false},       {L"1/0", "1/0=?", false}, {L"=5", "=5", false},
        {L"=", "=", false},           {L"", "", false},
    };
    for (const EnterCase& c : cases) {
        Clear();
        size_t before = History().size();
        TypeText(c.typed);
        TypeKey(VK_RETURN);
        // A digit typed behind proves the Enter was handled before the line is read back.
        TypeKey(VK_END);
        TypeText(L"7");
        std::string expected = std::string(c.expected) + "7";
        if (std::string(c.expected).find('=') != std::string::npos && c.expected[0] != '=') {
            expected = c.expected; // the result is written again over the digit
        }
        EXPECT_TRUE(LineBecomes(expected)) << "typed " << c.expected << ", line " << Line();
        // Live evaluation may show the final line before Enter is handled; the list tells.
        size_t after = before + (c.filed ? 1 : 0);
        EXPECT_TRUE(WaitUntil([&] { return History().size() == after; })) << c.expected;
        if (c.filed) {
            EXPECT_EQ(History()[0], c.expected);
        }
    }
}

TEST_F(Typing, RefusedCharactersChangeNothing) {
    const wchar_t* refused[] = {L" ",  L",",  L"\t", L"!",  L"_", L"<",
                                L"\"", L"あ", L"＋", L"漢", L"ア"};
    for (const wchar_t* c : refused) {
        Clear();
        TypeText(std::wstring(L"1") + c + L"2");
        EXPECT_TRUE(LineBecomes("12")) << "line " << Line();
        EXPECT_EQ(Caret(), 2);
    }
}

std::string Ansi(const std::wstring& text) {
    char out[LineBufferSize * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

TEST_F(Typing, PastedTextIsNotFilteredAndIsRewrittenInPlace) {
    // Spaces and commas are refused when typed, not when pasted; a pasted double-byte character
    // in front of the "=" must not shift where the result goes.
    const wchar_t* pasted[] = {L"1 + 2=", L"1,5=", L"\x3042=1yz", L"\x3042+1=x0"};
    for (const wchar_t* text : pasted) {
        Clear();
        EXPECT_TRUE(SetClipboardText(std::wstring(text)));
        TypeKey('V', true);
        std::string expected = Rewritten(Ansi(text));
        EXPECT_TRUE(LineBecomes(expected)) << Ansi(text) << " gave " << Line();
    }
}

TEST_F(Typing, RepeatedLinesInTheHistory) {
    TypeText(L"0xff");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return History().size() == 1; }));
    // The same line at the top, in other letter case: the top item stays as it was written.
    Clear();
    TypeText(L"0XFF");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(LineBecomes("0XFF=255"));
    EXPECT_EQ(History(), (std::vector<std::string>{"0xff=255"}));
    // Further down: it moves to the top as entered now.
    Clear();
    TypeText(L"2");
    TypeKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return History().size() == 2; }));
    Clear();
    TypeText(L"0XFF");
    TypeKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return History()[0] == "0XFF=255"; }));
    EXPECT_EQ(History(), (std::vector<std::string>{"0XFF=255", "2=2"}));
}

TEST_F(Typing, HistoryKeepsMaxHistoryLinesAndSurvivesARestart) {
    Restart("[Settings]\r\nMaxHistory=3\r\n[History]\r\nCount=3\r\n0=3=3\r\n1=2=2\r\n2=1=1\r\n");
    ASSERT_EQ(History(), (std::vector<std::string>{"3=3", "2=2", "1=1"}));
    TypeText(L"4");
    TypeKey(VK_RETURN);
    const std::vector<std::string> expected = {"4=4", "3=3", "2=2"};
    EXPECT_TRUE(WaitUntil([&] { return History() == expected; }));
    std::string kept = dir;
    Stop();
    EXPECT_EQ(IniKeys(kept + "tolvex.ini", "History"),
              (std::vector<std::string>{"Count", "0", "1", "2"}));
    dir = kept;
    Start("");
    EXPECT_EQ(History(), expected);
}

TEST_F(Typing, LongLinesNeverGrowBeyondTheLimit) {
    // 253 characters, then "=" typed: a result of three digits has room for one.
    std::string line = std::string(249, '0') + "1+99";
    SetLine(line);
    TypeText(L"=");
    std::string expected = Rewritten(line + "=");
    EXPECT_TRUE(LineBecomes(expected)) << Line();
    EXPECT_LE(Line().size(), static_cast<size_t>(MaxLineLength));

    // A full line without "=": Enter has no room for it and evaluates nothing.
    std::string full = "1" + std::string(MaxLineLength - 1, '0');
    SetLine(full);
    TypeKey(VK_RETURN);
    TypeKey(VK_BACK); // proves the Enter was handled
    EXPECT_TRUE(LineBecomes(full.substr(0, MaxLineLength - 1))) << Line();
    EXPECT_TRUE(History().empty());
}

// The x position of a character in the edit field, which moves exactly when the field scrolls.
int CharX(HWND edit, int index) {
    return static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, index, 0)));
}

TEST_F(Typing, ALongLineKeepsStillWhileItsResultIsRewritten) {
    // Far wider than the window; the caret goes into the middle, where the user is typing.
    std::string line;
    for (int i = 0; i < 60; ++i) {
        line += "1+";
    }
    line += "1=";
    SetLine(Rewritten(line));
    const int caret = 60;
    SendMessageA(tolvex->edit, EM_SETSEL, caret, caret);
    int before = CharX(tolvex->edit, caret - 1);
    RECT client = ClientRect(tolvex->edit);
    ASSERT_GT(before, 0) << "the character in front of the caret is shown";
    ASSERT_LT(before, client.right);
    ASSERT_LT(CharX(tolvex->edit, 0), 0) << "the line starts scrolled out to the left";
    TypeText(L"9"); // "1" becomes "91"
    EXPECT_TRUE(LineBecomes(Rewritten(line.substr(0, caret) + "9" + line.substr(caret)))) << Line();
    EXPECT_EQ(Caret(), caret + 1);
    EXPECT_EQ(CharX(tolvex->edit, caret - 1), before) << "the view has not moved";
    // So too when the result grows or shrinks by some characters.
    TypeText(L"99");
    EXPECT_TRUE(LineBecomes(Rewritten(line.substr(0, caret) + "999" + line.substr(caret))));
    EXPECT_EQ(CharX(tolvex->edit, caret - 1), before);
    TypeKey(VK_BACK);
    TypeKey(VK_BACK);
    TypeKey(VK_BACK);
    EXPECT_TRUE(LineBecomes(Rewritten(line))) << Line();
    EXPECT_EQ(CharX(tolvex->edit, caret - 1), before);
}

struct HexSwitchCase {
    const char* line;
    int command;
    const char* expected;
};

TEST_F(Typing, NotationWidthSwitchReevaluatesOnlyHexadecimalAndBinaryLines) {
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
        SendCommand(*tolvex, c.command);
        EXPECT_EQ(Line(), c.expected) << c.line;
    }
}

} // namespace
