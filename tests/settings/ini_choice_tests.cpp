// Which file keeps the settings: the one beside the executable where its folder can be written,
// else the user's own, against a made-up file system; then the user's file made and filled for
// real.
#include "tests/settings/ini_scratch.h"

#include <string>

#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/linehistory.h"

namespace {

constexpr char BesideExe[] = "D:\\tools\\tolvex.ini";
constexpr char ExeFolder[] = "D:\\tools\\";
constexpr char UserFolder[] = "C:\\Users\\hana\\AppData\\Roaming";
constexpr char UserFile[] = "C:\\Users\\hana\\AppData\\Roaming\\tolvex\\tolvex.ini";

// The made-up file system: whether the executable's folder can be written and which files exist.
bool FolderWritable;
bool UserFileExists;
std::string ProbedFolder;

bool FakeCanCreateIn(const char* directory) {
    ProbedFolder = directory;
    return FolderWritable;
}

bool FakeExists(const char* path) {
    return std::string(path) == UserFile && UserFileExists;
}

const IniFileSystem FakeFiles = {FakeCanCreateIn, FakeExists};

struct ChoiceRow {
    const char* besideExe;
    const char* userFolder;
    bool folderWritable;
    bool userFileExists;
    const char* keptIn;
    const char* readFrom;
};

const ChoiceRow ChoiceRows[] = {
    // A portable copy keeps its file, whatever the user's folder holds.
    {BesideExe, UserFolder, true, false, BesideExe, BesideExe},
    {BesideExe, UserFolder, true, true, BesideExe, BesideExe},
    // A folder that cannot be written: the user's file, once there is one...
    {BesideExe, UserFolder, false, true, UserFile, UserFile},
    // ...and until then the file beside the executable is where the settings start from.
    {BesideExe, UserFolder, false, false, UserFile, BesideExe},
    // No user folder: the file beside the executable, whose failed write exit can name.
    {BesideExe, "", false, false, BesideExe, BesideExe},
    // No file beside the executable (its path is too long): the user's file only.
    {"", UserFolder, false, false, UserFile, UserFile},
    {"", "", false, false, "", ""},
};

TEST(IniChoice, EachCaseOfFolderAndFiles) {
    for (const ChoiceRow& row : ChoiceRows) {
        SCOPED_TRACE(std::string(row.besideExe) + " | " + row.userFolder + " | writable " +
                     std::to_string(row.folderWritable) + ", user file " +
                     std::to_string(row.userFileExists));
        FolderWritable = row.folderWritable;
        UserFileExists = row.userFileExists;
        ProbedFolder.clear();
        ChooseIniPath(row.besideExe, row.userFolder, FakeFiles);
        EXPECT_STREQ(IniPath, row.keptIn);
        EXPECT_STREQ(IniReadPath(), row.readFrom);
        EXPECT_EQ(ProbedFolder, row.besideExe[0] != '\0' ? ExeFolder : "");
    }
    IniPath[0] = IniSeedPath[0] = '\0';
}

using UserIniFile = IniFileTest;

TEST_F(UserIniFile, StartsFromTheFileBesideTheExecutableAndIsMadeAtExit) {
    std::string exeFolder = directory + "app\\";
    ASSERT_TRUE(CreateDirectoryA(exeFolder.c_str(), nullptr));
    std::string beside = exeFolder + IniFileName;
    const std::string seed =
        SettingsFile("AlwaysOnTop=1\r\nOpacity=55\r\n") + "[History]\r\nCount=1\r\n0=1+2=3\r\n";
    WriteTextFile(beside, seed);
    FolderWritable = false;
    std::string userFolder = directory + "roaming";
    ASSERT_TRUE(CreateDirectoryA(userFolder.c_str(), nullptr));
    ChooseIniPath(beside.c_str(), userFolder.c_str(), FakeFiles);
    std::string userFile = userFolder + "\\tolvex\\tolvex.ini";
    ASSERT_STREQ(IniPath, userFile.c_str());

    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(LoadHistory(InputHistory));
    EXPECT_EQ(Settings.AlwaysOnTop, 1);
    EXPECT_EQ(Settings.Opacity, 55);
    EXPECT_EQ(HistoryItems(), std::vector<std::string>{"1+2=3"});
    Settings.HexBits = 64;
    EXPECT_TRUE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));

    std::string kept = ReadTextFile(userFile);
    std::vector<std::string> lines = SectionLines(kept, "Settings");
    EXPECT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[3], "AlwaysOnTop=1");
    EXPECT_EQ(lines[5], "HexBits=64");
    EXPECT_EQ(SectionLines(kept, "History"), (std::vector<std::string>{"Count=1", "0=1+2=3"}));
    EXPECT_EQ(ReadTextFile(beside), seed);
}

} // namespace
