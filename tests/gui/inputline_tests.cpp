// The input line's character filter and history list, in process under Wine's code page 932.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui/asciiforms.h"
#include "ui/linechars.h"
#include "ui/linehistory.h"
#include "tests/support/driver.h"

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
        EXPECT_EQ(FilterInputChar(c.code), c.expected) << c.what;
    }
}

TEST(CharacterFilter, RefusesEverythingElseWithTheBeep) {
    // Everything refused is refused the same way: only the character and its name vary.
    const struct {
        unsigned code;
        const char* what;
    } refused[] = {
        {' ', "space"},       {',', "comma"},      {'\t', "tab"},      {'!', "exclamation"},
        {'&', "ampersand"},   {'|', "bar"},        {'~', "tilde"},     {'<', "less"},
        {'>', "greater"},     {'_', "underscore"}, {';', "semicolon"}, {'"', "quote"},
        {'\'', "apostrophe"}, {0x1B, "escape"},    {0x7F, "delete"},   {0x01, "control A"},
        {0x16, "control V"},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(FilterInputChar(c.code), FilterBeep) << c.what;
    }
}

// What the filter sees of each typed byte: a character, or nothing yet while a lead byte waits.
WPARAM Joined(WPARAM code, BYTE* pending) {
    WPARAM character = 0;
    return JoinTypedBytes(code, pending, &character) ? character : 0;
}

TEST(CharacterFilter, ADoubleByteCharacterIsJudgedWholeWithOneBeep) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run in the Japanese code page";
    // "あ" (0x82 0xA0): nothing at the lead byte, then the whole character, refused once.
    BYTE pending = 0;
    EXPECT_EQ(Joined(0x82, &pending), 0u);
    EXPECT_EQ(Joined(0xA0, &pending), 0x82A0u);
    EXPECT_EQ(FilterInputChar(TypedAsciiForm(0x82A0)), FilterBeep);
    EXPECT_EQ(Joined('5', &pending), static_cast<WPARAM>('5'));
    // A trail byte can have the value of a letter (0x83 0x41 is "ア"): it never passes alone.
    EXPECT_EQ(Joined(0x83, &pending), 0u);
    EXPECT_EQ(FilterInputChar(TypedAsciiForm(Joined('A', &pending))), FilterBeep);
    EXPECT_EQ(Joined('A', &pending), static_cast<WPARAM>('A'));
    // A whole character in one message, as Wine hands it to an ANSI window, waits for nothing.
    EXPECT_EQ(Joined(0x82A0, &pending), 0x82A0u);
    EXPECT_EQ(pending, 0);
}

struct FormCase {
    unsigned codePoint;
    unsigned ascii; // 0: no ASCII form
};

TEST(AsciiForms, FullWidthAndTypographicFormsFoldAndNothingElseDoes) {
    const FormCase cases[] = {
        {0xFF10, '0'}, {0xFF19, '9'},  {0xFF21, 'A'}, {0xFF5A, 'z'}, {0xFF0B, '+'}, {0xFF0D, '-'},
        {0xFF0A, '*'}, {0xFF0F, '/'},  {0xFF1D, '='}, {0xFF08, '('}, {0xFF3E, '^'}, {0xFF04, '$'},
        {0xFF05, '%'}, {0xFF3C, '\\'}, {0xFF01, '!'}, {0xFF5E, '~'}, {0x3000, ' '}, {0x00D7, '*'},
        {0x00F7, '/'}, {0x2212, '-'},  {'7', '7'},    {0xFF00, 0},   {0xFF5F, 0},   {0x3042, 0},
        {0x30FC, 0},   {0x6F22, 0},    {0xFF71, 0},   {0xFFE5, 0},   {0x2010, 0},   {0x00B7, 0},
    };
    for (const FormCase& c : cases) {
        EXPECT_EQ(AsciiFormOf(c.codePoint), c.ascii) << std::hex << c.codePoint;
    }
}

struct TypedFormCase {
    WPARAM character; // as the ANSI code page 932 gives it, lead byte in the high half
    WPARAM typed;     // what the filter then sees
    FilterAction action;
};

TEST(AsciiForms, TypedDoubleByteFormsReachTheFilterAsAscii) {
    const TypedFormCase cases[] = {
        {0x8250, '1', FilterPass},    {0x8260, 'A', FilterPass},    {0x817B, '+', FilterPass},
        {0x817C, '-', FilterPass},    {0x817E, '*', FilterPass},    {0x8180, '/', FilterPass},
        {0x8181, '=', FilterPass},    {0x8169, '(', FilterPass},    {0x8140, ' ', FilterBeep},
        {0x8143, ',', FilterBeep},    {0x82A0, 0x82A0, FilterBeep}, {0x8ABF, 0x8ABF, FilterBeep},
        {0x815B, 0x815B, FilterBeep}, {'x', 'x', FilterPass},
    };
    for (const TypedFormCase& c : cases) {
        EXPECT_EQ(TypedAsciiForm(c.character), c.typed) << std::hex << c.character;
        EXPECT_EQ(FilterInputChar(TypedAsciiForm(c.character)), c.action)
            << std::hex << c.character;
    }
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
