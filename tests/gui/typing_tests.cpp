// The real tolvex.exe end to end: typed keys, live results, Enter and the history across a
// restart. The input line's rules themselves are checked in process (mainwnd_tests.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/driver.h"

using namespace gui;

namespace {

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
    // The line reads so before the keys arrive too: the caret at the end is what shows they did.
    EXPECT_TRUE(WaitUntil([&] { return Caret() == 7; }));
    EXPECT_EQ(Line(), "10+2=xC");
    EXPECT_TRUE(History().empty()); // live evaluation never files a line
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

} // namespace
