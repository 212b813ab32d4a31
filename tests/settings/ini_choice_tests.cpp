// Which file keeps the settings: the one beside the executable where its folder can be written,
// else the user's own, starting from a virtualized run's copy or the file beside the executable,
// against a made-up file system; then the user's file made and filled for real, and a read-only
// file read and left alone.
#include "tests/settings/ini_scratch.h"

#include <shlobj.h>

#include <set>
#include <string>

#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/linehistory.h"

namespace {

constexpr char BesideExe[] = "D:\\tools\\tolvex.ini";
constexpr char UserFolder[] = "C:\\Users\\hana\\AppData\\Roaming";
constexpr char UserFile[] = "C:\\Users\\hana\\AppData\\Roaming\\tolvex\\tolvex.ini";
constexpr char LocalFolder[] = "C:\\Users\\hana\\AppData\\Local";
// A copy installed where only administrators write, and what an earlier 32-bit build, run
// virtualized, left for it in the user's VirtualStore.
constexpr char InstalledExe[] = "C:\\Program Files (x86)\\tolvex\\tolvex.ini";
constexpr char VirtualCopy[] =
    "C:\\Users\\hana\\AppData\\Local\\VirtualStore\\Program Files (x86)\\tolvex\\tolvex.ini";
// A share has no drive to leave out and is never virtualized; a careless cut would find this.
constexpr char SharedExe[] = "\\\\server\\apps\\tolvex.ini";
constexpr char MisplacedCopy[] =
    "C:\\Users\\hana\\AppData\\Local\\VirtualStore\\server\\apps\\tolvex.ini";

// The made-up file system: whether the executable's folder can be written, which files exist and
// which of them are read-only.
bool FolderWritable;
std::set<std::string> ExistingFiles;
std::set<std::string> ReadOnlyFiles;
std::string ProbedFolder;

bool FakeCanCreateIn(const char* directory) {
    ProbedFolder = directory;
    return FolderWritable;
}

bool FakeExists(const char* path) {
    return ExistingFiles.count(path) != 0 || ReadOnlyFiles.count(path) != 0;
}

bool FakeReadOnly(const char* path) {
    return ReadOnlyFiles.count(path) != 0;
}

const IniFileSystem FakeFiles = {FakeCanCreateIn, FakeExists, FakeReadOnly};

struct ChoiceRow {
    const char* besideExe;
    const char* userFolder;
    const char* localFolder;
    bool folderWritable;
    std::set<std::string> existing;
    std::set<std::string> readOnly;
    const char* keptIn;
    const char* readFrom;
    bool leftAlone;
};

const ChoiceRow ChoiceRows[] = {
    // A portable copy keeps its file, whatever the user's folders hold.
    {BesideExe, UserFolder, LocalFolder, true, {}, {}, BesideExe, BesideExe, false},
    {BesideExe,
     UserFolder,
     LocalFolder,
     true,
     {UserFile, BesideExe},
     {},
     BesideExe,
     BesideExe,
     false},
    // ...unless the user has made it read-only: then it is read and left as it is.
    {BesideExe, UserFolder, LocalFolder, true, {UserFile}, {BesideExe}, BesideExe, BesideExe, true},
    // A folder that cannot be written: the user's file, once there is one, read-only or not...
    {BesideExe, UserFolder, LocalFolder, false, {UserFile}, {}, UserFile, UserFile, false},
    {BesideExe, UserFolder, LocalFolder, false, {}, {UserFile}, UserFile, UserFile, true},
    // ...and until then the file beside the executable is where the settings start from; being
    // read-only there leaves the user's file to be written.
    {BesideExe, UserFolder, LocalFolder, false, {}, {}, UserFile, BesideExe, false},
    {BesideExe, UserFolder, LocalFolder, false, {}, {BesideExe}, UserFile, BesideExe, false},
    // Installed under Program Files after a virtualized earlier run: its copy in the VirtualStore
    // holds what the user last saw, ahead of the file beside the executable...
    {InstalledExe,
     UserFolder,
     LocalFolder,
     false,
     {VirtualCopy, InstalledExe},
     {},
     UserFile,
     VirtualCopy,
     false},
    // ...but never ahead of the user's own file.
    {InstalledExe,
     UserFolder,
     LocalFolder,
     false,
     {VirtualCopy, UserFile},
     {},
     UserFile,
     UserFile,
     false},
    // No copy there, or no local folder to look in: the file beside the executable (or, without
    // one, the defaults).
    {InstalledExe, UserFolder, LocalFolder, false, {}, {}, UserFile, InstalledExe, false},
    {InstalledExe, UserFolder, "", false, {VirtualCopy}, {}, UserFile, InstalledExe, false},
    {SharedExe, UserFolder, LocalFolder, false, {MisplacedCopy}, {}, UserFile, SharedExe, false},
    // No user folder: the file beside the executable, whose failed write exit can name.
    {BesideExe, "", LocalFolder, false, {}, {}, BesideExe, BesideExe, false},
    // No file beside the executable (its path is too long): the user's file only.
    {"", UserFolder, LocalFolder, false, {}, {}, UserFile, UserFile, false},
    {"", "", "", false, {}, {}, "", "", false},
};

std::string FolderOf(const char* besideExe) {
    std::string path = besideExe;
    return path.empty() ? path : path.substr(0, path.rfind('\\') + 1);
}

TEST(IniChoice, EachCaseOfFolderAndFiles) {
    for (const ChoiceRow& row : ChoiceRows) {
        SCOPED_TRACE(std::string(row.besideExe) + " | " + row.userFolder + " | " + row.localFolder +
                     " | writable " + std::to_string(row.folderWritable) + ", " +
                     std::to_string(row.existing.size()) + " files, " +
                     std::to_string(row.readOnly.size()) + " read-only");
        FolderWritable = row.folderWritable;
        ExistingFiles = row.existing;
        ReadOnlyFiles = row.readOnly;
        ProbedFolder.clear();
        ChooseIniPath(row.besideExe, row.userFolder, row.localFolder, FakeFiles);
        EXPECT_STREQ(IniPath, row.keptIn);
        EXPECT_STREQ(IniReadPath(), row.readFrom);
        EXPECT_EQ(IniLeftAlone, row.leftAlone);
        EXPECT_EQ(ProbedFolder, FolderOf(row.besideExe));
    }
    IniPath[0] = IniSeedPath[0] = '\0';
    IniLeftAlone = false;
}

// Makes folder, an executable's, and writes text to the settings file beside it; gives the
// file's path, empty when the folder cannot be made.
std::string WriteBesideExe(const std::string& folder, const std::string& text) {
    if (!CreateDirectoryA(folder.c_str(), nullptr)) {
        return "";
    }
    std::string beside = folder + IniFileName;
    WriteTextFile(beside, text);
    return beside;
}

// A file beside the executable with two settings and one line of history.
const std::string OnTopAt55 =
    SettingsFile("AlwaysOnTop=1\r\nOpacity=55\r\n") + "[History]\r\nCount=1\r\n0=1+2=3\r\n";

using UserIniFile = IniFileTest;

TEST_F(UserIniFile, StartsFromTheFileBesideTheExecutableAndIsMadeAtExit) {
    std::string beside = WriteBesideExe(directory + "app\\", OnTopAt55);
    ASSERT_FALSE(beside.empty());
    FolderWritable = false;
    std::string userFolder = directory + "roaming";
    ASSERT_TRUE(CreateDirectoryA(userFolder.c_str(), nullptr));
    ExistingFiles.clear();
    ReadOnlyFiles.clear();
    ChooseIniPath(beside.c_str(), userFolder.c_str(), "", FakeFiles);
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
    EXPECT_EQ(ReadTextFile(beside), OnTopAt55);
}

bool CannotCreateIn(const char*) {
    return false;
}

TEST_F(UserIniFile, StartsFromAVirtualizedRunsCopyWhichItLeavesAsItIs) {
    std::string exeFolder = directory + "app\\";
    std::string beside = WriteBesideExe(exeFolder, SettingsFile("Opacity=30\r\n"));
    ASSERT_FALSE(beside.empty());
    // Where Windows put the earlier run's writes: the path beside the executable, without its
    // drive, under the local folder's VirtualStore.
    std::string localFolder = directory + "local";
    std::string copyFolder = localFolder + "\\VirtualStore\\" + exeFolder.substr(3);
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, copyFolder.c_str(), nullptr), ERROR_SUCCESS);
    std::string copy = copyFolder + IniFileName;
    const std::string copyText =
        SettingsFile("AlwaysOnTop=1\r\nOpacity=55\r\n") + "[History]\r\nCount=1\r\n0=6*7=42\r\n";
    WriteTextFile(copy, copyText);
    std::string userFolder = directory + "roaming";
    ASSERT_TRUE(CreateDirectoryA(userFolder.c_str(), nullptr));
    const IniFileSystem files = {CannotCreateIn, PlatformFileSystem.exists,
                                 PlatformFileSystem.readOnly};

    ChooseIniPath(beside.c_str(), userFolder.c_str(), localFolder.c_str(), files);
    ASSERT_STREQ(IniReadPath(), copy.c_str());
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(LoadHistory(InputHistory));
    EXPECT_EQ(Settings.AlwaysOnTop, 1);
    EXPECT_EQ(Settings.Opacity, 55);
    EXPECT_EQ(HistoryItems(), std::vector<std::string>{"6*7=42"});
    EXPECT_TRUE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));

    std::string userFile = userFolder + "\\tolvex\\tolvex.ini";
    EXPECT_EQ(GetPrivateProfileIntA("Settings", "Opacity", 0, userFile.c_str()), 55);
    EXPECT_EQ(SectionLines(ReadTextFile(userFile), "History"),
              (std::vector<std::string>{"Count=1", "0=6*7=42"}));
    EXPECT_EQ(ReadTextFile(copy), copyText);
    // The next start has the user's own file and looks no further.
    ChooseIniPath(beside.c_str(), userFolder.c_str(), localFolder.c_str(), files);
    EXPECT_STREQ(IniReadPath(), userFile.c_str());
}

using ReadOnlyIniFile = IniFileTest;

TEST_F(ReadOnlyIniFile, IsReadAndNeitherWrittenNorReportedAtExit) {
    std::string beside = WriteBesideExe(directory + "portable\\", OnTopAt55);
    ASSERT_FALSE(beside.empty());
    ASSERT_TRUE(SetFileAttributesA(beside.c_str(), FILE_ATTRIBUTE_READONLY));

    // The folder itself can be written, as the real probe finds.
    ChooseIniPath(beside.c_str(), "", "", PlatformFileSystem);
    ASSERT_STREQ(IniPath, beside.c_str());
    EXPECT_TRUE(IniLeftAlone);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(Settings.AlwaysOnTop, 1);
    EXPECT_EQ(Settings.Opacity, 55);
    Settings.HexBits = 64;
    AddHistoryItems({"2*2=4"});
    // Success: the exit has nothing to report (it warns only when a save fails).
    EXPECT_TRUE(SaveSettings(StoredWindowPlace(MainWindow), InputHistory));
    EXPECT_EQ(ReadTextFile(beside), OnTopAt55);
    EXPECT_TRUE(GetFileAttributesA(beside.c_str()) & FILE_ATTRIBUTE_READONLY);
}

} // namespace
