// Loading and writing the [History] section against a real combo box and real profile files.
#include "tests/settings/ini_scratch.h"

#include <string>
#include <vector>

#include "ui/lineview.h"
#include "ui/linehistory.h"
#include "ui/mainwnd.h"

namespace {

using Items = std::vector<std::string>;

// "[History]" with Count=count and the keys 0 .. entries-1 holding "e0", "e1", ...
std::string NumberedHistory(const char* count, int entries) {
    std::string text = std::string("[History]\r\nCount=") + count + "\r\n";
    for (int i = 0; i < entries; ++i) {
        text += std::to_string(i) + "=e" + std::to_string(i) + "\r\n";
    }
    return text;
}

Items NumberedItems(int count) {
    Items items;
    for (int i = 0; i < count; ++i) {
        items.push_back("e" + std::to_string(i));
    }
    return items;
}

struct LoadRow {
    const char* what;
    std::string file;
    int maxHistory;
    Items expected;
};

const std::string LongLine(300, '7');

const LoadRow LoadRows[] = {
    {"three entries",
     "[History]\r\nCount=3\r\n0=1+1=2\r\n1=2*3=6\r\n2=9-1=8\r\n",
     10,
     {"1+1=2", "2*3=6", "9-1=8"}},
    {"gaps are skipped",
     "[History]\r\nCount=5\r\n0=a=1\r\n2=c=3\r\n4=e=5\r\n",
     10,
     {"a=1", "c=3", "e=5"}},
    {"empty entry skipped", "[History]\r\nCount=3\r\n0=a=1\r\n1=\r\n2=c=3\r\n", 10, {"a=1", "c=3"}},
    {"bounded by MaxHistory", NumberedHistory("50", 50), 10, NumberedItems(10)},
    {"Count below the entries", NumberedHistory("2", 5), 10, NumberedItems(2)},
    {"huge Count", NumberedHistory("2147483647", 3), 100, NumberedItems(3)},
    {"Count=0", NumberedHistory("0", 2), 10, {}},
    {"Count=-1", NumberedHistory("-1", 2), 10, {}},
    {"Count=abc", NumberedHistory("abc", 2), 10, {}},
    {"no Count", "[History]\r\n0=e0\r\n", 10, {}},
    {"no section", "[Settings]\r\nCount=2\r\n0=e0\r\n", 10, {}},
    {"no file", "", 10, {}},
    {"lines holding =",
     "[History]\r\nCount=2\r\n0=1+2=3\r\n1=255=xFF\r\n",
     10,
     {"1+2=3", "255=xFF"}},
    {"300 characters",
     "[History]\r\nCount=1\r\n0=" + LongLine + "\r\n",
     10,
     {LongLine.substr(0, MaxLineLength)}},
};

using HistoryLoad = IniFileTest;

TEST_F(HistoryLoad, EntriesLoadInFileOrderWithinTheLimits) {
    for (const LoadRow& row : LoadRows) {
        SendMessageA(InputCombo, CB_RESETCONTENT, 0, 0);
        Settings.MaxHistory = row.maxHistory;
        UseNewIniFile(row.file);
        EXPECT_TRUE(LoadHistory(InputHistory));
        EXPECT_EQ(HistoryItems(), row.expected) << row.what;
    }
}

struct WriteRow {
    const char* what;
    std::string oldFile;
    int saveHistory;
    Items items;
    Items expectedLines;
};

const WriteRow WriteRows[] = {
    {"four items replace six",
     NumberedHistory("6", 6),
     1,
     {"4=4", "3=3", "2=2", "1=1"},
     {"Count=4", "0=4=4", "1=3=3", "2=2=2", "3=1=1"}},
    {"saving off", NumberedHistory("2", 2), 0, {"1+2=3", "4"}, {"Count=0"}},
    {"empty list", NumberedHistory("2", 2), 1, {}, {"Count=0"}},
    {"no file yet", "", 1, {"255=xFF"}, {"Count=1", "0=255=xFF"}},
    {"item too long for the line",
     "",
     1,
     {std::string(300, 'x')},
     {"Count=1", "0=" + std::string(MaxLineLength, 'x')}},
    // The cut does not split the double-byte character that would straddle it.
    {"double-byte item too long",
     "",
     1,
     {std::string(254, 'x') + "\x95\x5c" + "yy"},
     {"Count=1", "0=" + std::string(254, 'x')}},
};

using HistoryWrite = IniFileTest;

TEST_F(HistoryWrite, TheSectionHoldsCountAndTheListTopFirst) {
    for (const WriteRow& row : WriteRows) {
        SendMessageA(InputCombo, CB_RESETCONTENT, 0, 0);
        AddHistoryItems(row.items);
        Settings.SaveHistory = row.saveHistory;
        UseNewIniFile(row.oldFile);
        EXPECT_TRUE(WriteHistory(InputHistory));
        EXPECT_EQ(SectionLines(IniText(), "History"), row.expectedLines) << row.what;
    }
}

TEST_F(HistoryWrite, OtherSectionsAreLeftAsTheyWere) {
    UseNewIniFile("[Settings]\r\nOpacity=55\r\n[History]\r\nCount=2\r\n0=a\r\n1=b\r\n"
                  "[Other]\r\nx=1\r\n");
    AddHistoryItems({"c=1"});
    WriteHistory(InputHistory);
    std::string text = IniText();
    EXPECT_EQ(SectionNames(text), (Items{"Settings", "History", "Other"}));
    EXPECT_EQ(SectionLines(text, "Settings"), Items{"Opacity=55"});
    EXPECT_EQ(SectionLines(text, "Other"), Items{"x=1"});
}

TEST_F(HistoryWrite, WrittenLinesLoadBackUnchanged) {
    const Items lines = {"1+2=3", "255=xFF", "10=b1010", "(1+2)*3=9", "\x95\x5c=?"};
    AddHistoryItems(lines);
    WriteHistory(InputHistory);
    SendMessageA(InputCombo, CB_RESETCONTENT, 0, 0);
    LoadHistory(InputHistory);
    EXPECT_EQ(HistoryItems(), lines);
}

TEST_F(HistoryWrite, ASectionThatCannotBeWrittenIsReportedAndSkipped) {
    std::string blocked = directory + "blocked.ini";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    lstrcpyA(IniPath, blocked.c_str());
    AddHistoryItems({"1+2=3", "4"});
    EXPECT_FALSE(WriteHistory(InputHistory));
    EXPECT_TRUE(GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(LoadHistory(InputHistory));
    EXPECT_EQ(HistoryItems(), (Items{"1+2=3", "4"}));
}

} // namespace
