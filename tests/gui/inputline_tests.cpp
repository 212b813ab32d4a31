// The input line's character filter and history list, in process under Wine's code page 932.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../../ui/inputline.h"
#include "driver.h"

namespace {

struct FilterCase {
    unsigned code;
    FilterAction expected;
    const char* what;
};

TEST(CharacterFilter, PassesLettersDigitsAndTheFourteenExpressionCodes) {
    const FilterCase cases[] = {
        {'a', FilterPass, "letter"},        {'Z', FilterPass, "capital"},
        {'0', FilterPass, "digit"},         {'9', FilterPass, "digit"},
        {'\b', FilterPass, "backspace"},    {'$', FilterPass, "dollar"},
        {'%', FilterPass, "percent"},       {'(', FilterPass, "open"},
        {')', FilterPass, "close"},         {'*', FilterPass, "times"},
        {'+', FilterPass, "plus"},          {'-', FilterPass, "minus"},
        {'.', FilterPass, "point"},         {'/', FilterPass, "slash"},
        {':', FilterPass, "colon"},         {'=', FilterPass, "equals"},
        {'\\', FilterPass, "backslash"},    {'^', FilterPass, "caret"},
        {'\n', FilterSwallow, "line feed"}, {'\r', FilterSwallow, "carriage return"},
    };
    for (const FilterCase& c : cases) {
        bool skip = false;
        EXPECT_EQ(FilterInputChar(c.code, &skip), c.expected) << c.what;
        EXPECT_FALSE(skip) << c.what;
    }
}

TEST(CharacterFilter, RefusesEverythingElseWithTheBeep) {
    const FilterCase cases[] = {
        {' ', FilterBeep, "space"},       {',', FilterBeep, "comma"},
        {'\t', FilterBeep, "tab"},        {'!', FilterBeep, "exclamation"},
        {'&', FilterBeep, "ampersand"},   {'|', FilterBeep, "bar"},
        {'~', FilterBeep, "tilde"},       {'<', FilterBeep, "less"},
        {'>', FilterBeep, "greater"},     {'_', FilterBeep, "underscore"},
        {';', FilterBeep, "semicolon"},   {'"', FilterBeep, "quote"},
        {'\'', FilterBeep, "apostrophe"}, {0x1B, FilterBeep, "escape"},
        {0x7F, FilterBeep, "delete"},     {0x01, FilterBeep, "control A"},
        {0x16, FilterBeep, "control V"},
    };
    for (const FilterCase& c : cases) {
        bool skip = false;
        EXPECT_EQ(FilterInputChar(c.code, &skip), c.expected) << c.what;
        EXPECT_FALSE(skip) << c.what;
    }
}

TEST(CharacterFilter, RefusedLeadByteSwallowsItsTrailByteSilently) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run in the Japanese code page";
    // The lead byte of "あ" (0x82 0xA0), then its trail byte, then an ordinary digit.
    bool skip = false;
    EXPECT_EQ(FilterInputChar(0x82, &skip), FilterBeep);
    EXPECT_TRUE(skip);
    EXPECT_EQ(FilterInputChar(0xA0, &skip), FilterSwallow);
    EXPECT_FALSE(skip);
    EXPECT_EQ(FilterInputChar('5', &skip), FilterPass);
    // Whatever follows a lead byte is swallowed, even a character that would pass: a trail byte
    // can have the value of a letter (0x83 0x41 is "ア").
    EXPECT_EQ(FilterInputChar(0x83, &skip), FilterBeep);
    EXPECT_EQ(FilterInputChar('A', &skip), FilterSwallow);
    EXPECT_EQ(FilterInputChar('A', &skip), FilterPass);
}

TEST(CharacterFilter, WholeDoubleByteCharacterInOneMessageIsRefusedWithoutWaiting) {
    bool skip = false;
    EXPECT_EQ(FilterInputChar(0x82A0, &skip), FilterBeep);
    EXPECT_FALSE(skip);
    EXPECT_EQ(FilterInputChar('1', &skip), FilterPass);
}

class HistoryList : public ::testing::Test {
  protected:
    void SetUp() override {
        combo = CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWN, 0, 0, 100, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(combo, nullptr);
    }
    void TearDown() override { DestroyWindow(combo); }
    void Fill(const std::vector<std::string>& items) {
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items) {
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
    }
    std::vector<std::string> Items() { return gui::ListItems(combo); }
    HWND combo = nullptr;
};

struct HistoryCase {
    const char* what;
    std::vector<std::string> before;
    const char* line;
    int maxHistory;
    std::vector<std::string> after;
};

TEST_F(HistoryList, NewLinesGoOnTopAndRepeatsMoveUpAsWrittenNow) {
    const HistoryCase cases[] = {
        {"first line", {}, "1+2=3", 10, {"1+2=3"}},
        {"new line on top", {"2=2"}, "1+2=3", 10, {"1+2=3", "2=2"}},
        {"top repeated in other case stays as written",
         {"0xff=255", "2=2"},
         "0XFF=255",
         10,
         {"0xff=255", "2=2"}},
        {"repeat further down moves up as entered now",
         {"2=2", "0xff=255"},
         "0XFF=255",
         10,
         {"0XFF=255", "2=2"}},
        {"a prefix is no repeat", {"1+2=3"}, "1+2=", 10, {"1+2=", "1+2=3"}},
        {"full list loses its last item", {"3=3", "2=2", "1=1"}, "4=4", 3, {"4=4", "3=3", "2=2"}},
        {"full list keeps all on a repeat", {"3=3", "2=2", "1=1"}, "1=1", 3, {"1=1", "3=3", "2=2"}},
        {"one-item list", {"1=1"}, "2=2", 1, {"2=2"}},
    };
    for (const HistoryCase& c : cases) {
        Fill(c.before);
        PushHistory(combo, c.line, c.maxHistory);
        EXPECT_EQ(Items(), c.after) << c.what;
    }
}

} // namespace
