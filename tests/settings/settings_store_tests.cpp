// Loading and saving the [Settings] section through the real profile functions.
#include "tests/settings/ini_scratch.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/linehistory.h"

namespace {

std::string Line(const char* key, long value) {
    return std::string(key) + "=" + std::to_string(value);
}

TEST(SettingsDefaults, StartValuesAreTheDocumentedDefaults) {
    const SettingsRecord& start = StartSettings();
    EXPECT_EQ(start.WindowLeft, 0);
    EXPECT_EQ(start.WindowTop, 0);
    EXPECT_EQ(start.WindowWidth, 200);
    EXPECT_EQ(start.AlwaysOnTop, 0);
    EXPECT_EQ(start.Translucent, 0);
    EXPECT_EQ(start.HexBits, 32);
    EXPECT_EQ(start.Resident, 0);
    EXPECT_EQ(start.UseHotKey, 0);
    EXPECT_EQ(start.HotKey, 1603);
    EXPECT_EQ(start.SingleInstance, 1);
    EXPECT_EQ(start.MaxHistory, 10);
    EXPECT_EQ(start.SaveHistory, 1);
    EXPECT_EQ(start.UseColors, 1);
    EXPECT_EQ(start.TextColor, 16777215u);
    EXPECT_EQ(start.BackColor, 0u);
    EXPECT_EQ(start.Opacity, 70);
}

using SettingsLoad = IniFileTest;

TEST_F(SettingsLoad, WithoutAFileEveryFieldKeepsItsStartValue) {
    LOGFONTA guiFont = Settings.Font;
    ASSERT_TRUE(LoadSettings());
    const SettingsRecord& start = StartSettings();
    EXPECT_EQ(Settings.WindowWidth, start.WindowWidth);
    EXPECT_EQ(Settings.HexBits, start.HexBits);
    EXPECT_EQ(Settings.HotKey, start.HotKey);
    EXPECT_EQ(Settings.SingleInstance, start.SingleInstance);
    EXPECT_EQ(Settings.MaxHistory, start.MaxHistory);
    EXPECT_EQ(Settings.SaveHistory, start.SaveHistory);
    EXPECT_EQ(Settings.TextColor, start.TextColor);
    EXPECT_EQ(Settings.Opacity, start.Opacity);
    EXPECT_STREQ(Settings.Font.lfFaceName, guiFont.lfFaceName);
    EXPECT_EQ(Settings.Font.lfHeight, guiFont.lfHeight);
    EXPECT_EQ(Settings.Font.lfCharSet, guiFont.lfCharSet);
}

struct LoadRuleRow {
    const char* key;
    const char* value;
    int SettingsRecord::*field;
    int expected;
};

const LoadRuleRow LoadRuleRows[] = {
    {"HexBits", "16", &SettingsRecord::HexBits, 32},
    {"HexBits", "-5", &SettingsRecord::HexBits, 32},
    {"HexBits", "32", &SettingsRecord::HexBits, 32},
    {"HexBits", "33", &SettingsRecord::HexBits, 64},
    {"HexBits", "48", &SettingsRecord::HexBits, 64},
    {"HexBits", "64", &SettingsRecord::HexBits, 64},
    {"HexBits", "100", &SettingsRecord::HexBits, 64},
    {"HexBits", "abc", &SettingsRecord::HexBits, 32},
    {"MaxHistory", "0", &SettingsRecord::MaxHistory, 1},
    {"MaxHistory", "-3", &SettingsRecord::MaxHistory, 1},
    {"MaxHistory", "1", &SettingsRecord::MaxHistory, 1},
    {"MaxHistory", "100", &SettingsRecord::MaxHistory, 100},
    {"MaxHistory", "101", &SettingsRecord::MaxHistory, 100},
    {"MaxHistory", "abc", &SettingsRecord::MaxHistory, 1},
    {"Opacity", "19", &SettingsRecord::Opacity, 20},
    {"Opacity", "20", &SettingsRecord::Opacity, 20},
    {"Opacity", "99", &SettingsRecord::Opacity, 99},
    {"Opacity", "100", &SettingsRecord::Opacity, 99},
    {"Opacity", "abc", &SettingsRecord::Opacity, 20},
    {"AlwaysOnTop", "5", &SettingsRecord::AlwaysOnTop, 1},
    {"Translucent", "-1", &SettingsRecord::Translucent, 1},
    {"Resident", "2", &SettingsRecord::Resident, 1},
    {"UseHotKey", "7", &SettingsRecord::UseHotKey, 1},
    {"SingleInstance", "0", &SettingsRecord::SingleInstance, 0},
    {"SaveHistory", "0", &SettingsRecord::SaveHistory, 0},
    {"SaveHistory", "3", &SettingsRecord::SaveHistory, 1},
    {"WindowLeft", "-40", &SettingsRecord::WindowLeft, -40},
    {"WindowTop", "12345", &SettingsRecord::WindowTop, 12345},
    {"WindowWidth", "-7", &SettingsRecord::WindowWidth, -7},
    {"HotKey", "66371", &SettingsRecord::HotKey, 66371},
};

TEST_F(SettingsLoad, EachKeyPassesItsLoadRule) {
    for (const LoadRuleRow& row : LoadRuleRows) {
        ResetSettings();
        UseNewIniFile(SettingsFile(std::string(row.key) + "=" + row.value + "\r\n"));
        LoadSettings();
        EXPECT_EQ(Settings.*row.field, row.expected) << row.key << "=" << row.value;
    }
}

TEST_F(SettingsLoad, ColoursAreTakenWholeIncludingNegativeText) {
    UseNewIniFile(SettingsFile("TextColor=255\r\nBackColor=-1\r\n"));
    LoadSettings();
    EXPECT_EQ(Settings.TextColor, 255u);
    EXPECT_EQ(Settings.BackColor, 0xFFFFFFFFu);
}

struct FontRow {
    const char* lines;
    LONG startWeight;
    BYTE startItalic;
    LONG height;
    LONG weight;
    BYTE italic;
};

const LONG StartHeight = -12;

const FontRow FontRows[] = {
    {"FontBold=2\r\n", 400, 0, StartHeight, 700, 0},
    {"FontBold=1\r\n", 600, 0, StartHeight, 700, 0},
    {"FontBold=0\r\n", 700, 0, StartHeight, 400, 0},
    {"", 700, 0, StartHeight, 700, 0},
    {"", 600, 0, StartHeight, 400, 0},
    {"FontItalic=256\r\n", 400, 1, StartHeight, 400, 0},
    {"FontItalic=3\r\n", 400, 0, StartHeight, 400, 3},
    {"", 400, 1, StartHeight, 400, 1},
    {"FontSize=-20\r\n", 400, 0, -20, 400, 0},
    {"FontSize=abc\r\n", 400, 0, 0, 400, 0},
};

TEST_F(SettingsLoad, FontSizeBoldAndItalicFollowTheirRules) {
    for (const FontRow& row : FontRows) {
        ResetSettings();
        Settings.Font.lfHeight = StartHeight;
        Settings.Font.lfWidth = 7;
        Settings.Font.lfWeight = row.startWeight;
        Settings.Font.lfItalic = row.startItalic;
        UseNewIniFile(SettingsFile(row.lines) + "Opacity=50\r\n");
        LoadSettings();
        SCOPED_TRACE(testing::Message()
                     << "lines: " << row.lines << " start weight " << row.startWeight);
        EXPECT_EQ(Settings.Font.lfHeight, row.height);
        EXPECT_EQ(Settings.Font.lfWidth, 0);
        EXPECT_EQ(Settings.Font.lfWeight, row.weight);
        EXPECT_EQ(Settings.Font.lfItalic, row.italic);
    }
}

// A start font whose every field a stored face name must reset differs from the reset value.
void MarkFontFields(LOGFONTA& font) {
    font.lfEscapement = 900;
    font.lfOrientation = 900;
    font.lfUnderline = 1;
    font.lfStrikeOut = 1;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = ANTIALIASED_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
}

TEST_F(SettingsLoad, AStoredFaceNameResetsTheRestOfTheFont) {
    MarkFontFields(Settings.Font);
    UseNewIniFile(SettingsFile("FontName=Courier New\r\n"));
    LoadSettings();
    const LOGFONTA& font = Settings.Font;
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfEscapement, 0);
    EXPECT_EQ(font.lfOrientation, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_DEFAULT_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_DEFAULT_PRECIS);
    EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, 0);
}

TEST_F(SettingsLoad, WithoutAFaceNameTheDefaultFaceKeepsItsFields) {
    for (const char* lines : {"FontSize=-20\r\n", "FontName=\r\nFontSize=-20\r\n"}) {
        ResetSettings();
        MarkFontFields(Settings.Font);
        LOGFONTA before = Settings.Font;
        UseNewIniFile(SettingsFile(lines));
        LoadSettings();
        SCOPED_TRACE(lines);
        EXPECT_STREQ(Settings.Font.lfFaceName, before.lfFaceName);
        EXPECT_EQ(Settings.Font.lfHeight, -20);
        EXPECT_EQ(Settings.Font.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(Settings.Font.lfUnderline, 1);
        EXPECT_EQ(Settings.Font.lfQuality, ANTIALIASED_QUALITY);
    }
}

TEST_F(SettingsLoad, AFaceNameLongerThanThirtyOneCharactersIsCut) {
    const std::string longName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdef";
    UseNewIniFile(SettingsFile("FontName=" + longName + "\r\nFontSize=-9\r\n"));
    LoadSettings();
    EXPECT_EQ(std::string(Settings.Font.lfFaceName), longName.substr(0, LF_FACESIZE - 1));
    EXPECT_EQ(Settings.Font.lfHeight, -9);
}

TEST_F(SettingsLoad, AHandEditedFileIsReadWhateverItsOrder) {
    UseNewIniFile("; written by hand\r\n[Other]\r\nHexBits=32\r\n\r\n[Settings]\r\n"
                  "Opacity=55\r\nComment=keep me\r\nHexBits=64\r\nwindowleft=9\r\n"
                  "MaxHistory=25\r\n[Extra]\r\nMaxHistory=3\r\n");
    LoadSettings();
    EXPECT_EQ(Settings.Opacity, 55);
    EXPECT_EQ(Settings.HexBits, 64);
    EXPECT_EQ(Settings.WindowLeft, 9);
    EXPECT_EQ(Settings.MaxHistory, 25);
}

using SettingsSave = IniFileTest;

TEST_F(SettingsSave, AFirstSaveWritesTheNineteenKeysInOrderThenTheHistory) {
    LoadSettings();
    ASSERT_TRUE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));
    const LOGFONTA& font = Settings.Font;
    std::vector<std::string> expected = {
        "WindowLeft=33",
        "WindowTop=44",
        "WindowWidth=321",
        "AlwaysOnTop=0",
        "Translucent=0",
        "HexBits=32",
        "Resident=0",
        "UseHotKey=0",
        "HotKey=1603",
        "SingleInstance=1",
        "MaxHistory=10",
        "SaveHistory=1",
        "TextColor=16777215",
        "BackColor=0",
        std::string("FontName=") + font.lfFaceName,
        Line("FontSize", font.lfHeight),
        Line("FontBold", font.lfWeight == 700 ? 1 : 0),
        Line("FontItalic", font.lfItalic != 0 ? 1 : 0),
        "Opacity=70",
    };
    std::string text = IniText();
    EXPECT_EQ(SectionNames(text), (std::vector<std::string>{"Settings", "History"}));
    EXPECT_EQ(SectionLines(text, "Settings"), expected);
    EXPECT_EQ(SectionLines(text, "History"), std::vector<std::string>{"Count=0"});
}

struct SavedValueRow {
    const char* fileLines; // loaded before the change, if any
    void (*change)();
    const char* expectedLine;
};

const SavedValueRow SavedValueRows[] = {
    {"AlwaysOnTop=5\r\n", [] {}, "AlwaysOnTop=1"},
    {"", [] { Settings.HexBits = 48; }, "HexBits=48"},
    {"", [] { Settings.Font.lfWeight = 600; }, "FontBold=0"},
    {"", [] { Settings.Font.lfWeight = 700; }, "FontBold=1"},
    {"FontItalic=3\r\n", [] {}, "FontItalic=1"},
    {"", [] { Settings.TextColor = 0xFFFFFFFF; }, "TextColor=-1"},
    {"", [] { Settings.HotKey = 0x0234; }, "HotKey=564"},
    {"", [] { Settings.Font.lfHeight = -20; }, "FontSize=-20"},
    // A face in the ANSI code page goes out byte for byte.
    {"", [] { lstrcpyA(Settings.Font.lfFaceName, "\x82\x6c\x82\x72 \x83\x53\x83\x56"); },
     "FontName=\x82\x6c\x82\x72 \x83\x53\x83\x56"},
};

TEST_F(SettingsSave, EachFieldIsWrittenAsItStandsInMemory) {
    for (const SavedValueRow& row : SavedValueRows) {
        ResetSettings();
        UseNewIniFile(row.fileLines[0] != '\0' ? SettingsFile(row.fileLines) : std::string());
        LoadSettings();
        row.change();
        SaveSettings(StoredWindowPlace(MainWindow), InputHistory);
        std::vector<std::string> lines = SectionLines(IniText(), "Settings");
        EXPECT_NE(std::find(lines.begin(), lines.end(), row.expectedLine), lines.end())
            << row.expectedLine;
    }
}

TEST_F(SettingsSave, ASavedFileLoadsBackEveryStoredField) {
    MoveWindow(MainWindow, -150, 75, 640, 30, FALSE);
    Settings.AlwaysOnTop = 1;
    Settings.Translucent = 1;
    Settings.HexBits = 64;
    Settings.Resident = 1;
    Settings.UseHotKey = 1;
    Settings.HotKey = 0x0741;
    Settings.SingleInstance = 0;
    Settings.MaxHistory = 37;
    Settings.SaveHistory = 0;
    Settings.TextColor = 0x00123456;
    Settings.BackColor = 0x00ABCDEF;
    lstrcpyA(Settings.Font.lfFaceName, "Lucida Console");
    Settings.Font.lfHeight = -17;
    Settings.Font.lfWeight = 700;
    Settings.Font.lfItalic = 1;
    Settings.Opacity = 42;
    SaveSettings(StoredWindowPlace(MainWindow), InputHistory);
    SettingsRecord saved = Settings;

    ResetSettings();
    LoadSettings();
    EXPECT_EQ(Settings.WindowLeft, -150);
    EXPECT_EQ(Settings.WindowTop, 75);
    EXPECT_EQ(Settings.WindowWidth, 640);
    EXPECT_EQ(Settings.AlwaysOnTop, saved.AlwaysOnTop);
    EXPECT_EQ(Settings.Translucent, saved.Translucent);
    EXPECT_EQ(Settings.HexBits, saved.HexBits);
    EXPECT_EQ(Settings.Resident, saved.Resident);
    EXPECT_EQ(Settings.UseHotKey, saved.UseHotKey);
    EXPECT_EQ(Settings.HotKey, saved.HotKey);
    EXPECT_EQ(Settings.SingleInstance, saved.SingleInstance);
    EXPECT_EQ(Settings.MaxHistory, saved.MaxHistory);
    EXPECT_EQ(Settings.SaveHistory, saved.SaveHistory);
    EXPECT_EQ(Settings.TextColor, saved.TextColor);
    EXPECT_EQ(Settings.BackColor, saved.BackColor);
    EXPECT_STREQ(Settings.Font.lfFaceName, saved.Font.lfFaceName);
    EXPECT_EQ(Settings.Font.lfHeight, saved.Font.lfHeight);
    EXPECT_EQ(Settings.Font.lfWeight, saved.Font.lfWeight);
    EXPECT_EQ(Settings.Font.lfItalic, saved.Font.lfItalic);
    EXPECT_EQ(Settings.Opacity, saved.Opacity);
}

TEST_F(SettingsSave, AMinimisedWindowSavesItsRestoredRectangle) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    placement.showCmd = SW_SHOWMINNOACTIVE;
    placement.rcNormalPosition = RECT{50, 60, 450, 90};
    ASSERT_TRUE(SetWindowPlacement(MainWindow, &placement));
    ASSERT_TRUE(IsIconic(MainWindow));
    SaveSettings(StoredWindowPlace(MainWindow), InputHistory);
    std::vector<std::string> lines = SectionLines(IniText(), "Settings");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"WindowLeft=50", "WindowTop=60", "WindowWidth=400"}));
}

TEST_F(SettingsSave, KeysAndSectionsItDoesNotOwnAreKept) {
    UseNewIniFile("[Other]\r\nHexBits=32\r\n\r\n[Settings]\r\nOpacity=55\r\nComment=keep me\r\n"
                  "HexBits=64\r\n\r\n[Extra]\r\nx=1\r\n");
    LoadSettings();
    Settings.Opacity = 80;
    SaveSettings(StoredWindowPlace(MainWindow), InputHistory);
    std::string text = IniText();
    EXPECT_EQ(SectionNames(text),
              (std::vector<std::string>{"Other", "Settings", "Extra", "History"}));
    EXPECT_EQ(SectionLines(text, "Other"), std::vector<std::string>{"HexBits=32"});
    EXPECT_EQ(SectionLines(text, "Extra"), std::vector<std::string>{"x=1"});
    std::vector<std::string> lines = SectionLines(text, "Settings");
    ASSERT_GE(lines.size(), 3u);
    // Keys already there keep their places; the missing ones follow in the save order.
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"Opacity=80", "Comment=keep me", "HexBits=64"}));
    EXPECT_EQ(lines.size(), 20u);
}

TEST_F(SettingsSave, AFileThatCannotBeCreatedIsReportedAndLeftAlone) {
    // A directory where the file would go: creating the file fails whoever runs the test.
    std::string blocked = directory + "blocked.ini";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    lstrcpyA(IniPath, blocked.c_str());
    AddHistoryItems({"1+2=3"});
    EXPECT_FALSE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));
    EXPECT_TRUE(GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((blocked + "\\*.*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpA(found.cFileName, ".") != 0 && lstrcmpA(found.cFileName, "..") != 0) {
                ++entries;
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(entries, 0);
}

TEST_F(SettingsSave, AFileHeldOpenByAnotherProgramKeepsItsOldText) {
    const std::string old = SettingsFile("Opacity=55\r\n") + "[History]\r\nCount=1\r\n0=1+2=3\r\n";
    std::string path = UseNewIniFile(old);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Settings.Opacity = 90;
    EXPECT_FALSE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));
    CloseHandle(held);
    EXPECT_EQ(ReadTextFile(path), old);
}

} // namespace
