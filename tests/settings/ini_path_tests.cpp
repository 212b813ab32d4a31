// Where tolvex.ini goes: beside the executable, whatever its name, under code page 932.
#include "tests/settings/ini_scratch.h"

#include <cstring>
#include <string>

#include "ui/mainwnd.h"
#include "ui/placement.h"
#include "ui/linehistory.h"

namespace {

constexpr UINT JapaneseCodePage = 932;
constexpr char GuardByte = '\x7E';

// The path buffer with bytes behind it, to see that nothing is written past MAX_PATH.
struct GuardedPath {
    char path[MAX_PATH];
    char guard[16];
};

bool GuardIntact(const GuardedPath& buffer) {
    for (char byte : buffer.guard) {
        if (byte != GuardByte) {
            return false;
        }
    }
    return true;
}

std::string Build(const std::string& exePath) {
    GuardedPath buffer;
    std::memset(&buffer, GuardByte, sizeof buffer);
    lstrcpynA(buffer.path, exePath.c_str(), MAX_PATH);
    char* result = BuildIniPath(buffer.path, IniFileName);
    EXPECT_EQ(result, buffer.path);
    EXPECT_TRUE(GuardIntact(buffer));
    return buffer.path;
}

struct PathRow {
    const char* exePath;
    const char* iniPath;
};

const PathRow PathRows[] = {
    {"C:\\apps\\tolvex.exe", "C:\\apps\\tolvex.ini"},
    {"C:\\apps\\calc-renamed.exe", "C:\\apps\\tolvex.ini"},
    {"\\\\server\\share\\t.exe", "\\\\server\\share\\tolvex.ini"},
    {"tolvex.exe", "tolvex.ini"},
    // 0x95 0x5C is one character; its second byte is no separator.
    {"C:\\\x95\x5c\\tolvex.exe", "C:\\\x95\x5c\\tolvex.ini"},
    {"C:\\apps\\\x95\x5c.exe", "C:\\apps\\tolvex.ini"},
    {"C:\\dir\x95\\name.exe", "C:\\tolvex.ini"},
    {"C:\\\x81\x40\\a\\x.exe", "C:\\\x81\x40\\a\\tolvex.ini"},
    // A half-width katakana byte is a character of its own, not a lead byte.
    {"C:\\\xb1\\x.exe", "C:\\\xb1\\tolvex.ini"},
    // A lead byte with nothing behind it ends the walk.
    {"C:\\apps\\name\x95", "C:\\apps\\tolvex.ini"},
};

TEST(BuildIniPath, ReplacesTheFileNameStepingOverDoubleByteCharacters) {
    ASSERT_EQ(GetACP(), JapaneseCodePage) << "run under LANG=ja_JP.UTF-8";
    for (const PathRow& row : PathRows) {
        EXPECT_EQ(Build(row.exePath), row.iniPath) << row.exePath;
    }
}

// "C:\ddd...d\" with the given length, backslash included.
std::string DirectoryOfLength(size_t length) {
    return "C:\\" + std::string(length - 4, 'd') + "\\";
}

TEST(BuildIniPath, APathThatWouldNotFitIsLeftEmpty) {
    const size_t fullestDirectory = MAX_PATH - 1 - lstrlenA(IniFileName);
    std::string fits = DirectoryOfLength(fullestDirectory);
    EXPECT_EQ(Build(fits + "t.exe"), fits + IniFileName);
    EXPECT_EQ(Build(DirectoryOfLength(fullestDirectory + 1) + "t.exe"), "");
    EXPECT_EQ(Build(DirectoryOfLength(MAX_PATH - 4) + "a.e"), "");
}

TEST(BuildIniPath, APathFillingTheWholeBufferStillFindsItsDirectory) {
    std::string directory = DirectoryOfLength(MAX_PATH - 1 - lstrlenA("tolvex.exe"));
    std::string full = directory + "tolvex.exe";
    ASSERT_EQ(full.size(), static_cast<size_t>(MAX_PATH - 1));
    EXPECT_EQ(Build(full), directory + IniFileName);
}

TEST(BuildIniPath, ABufferWithoutItsNulIsLeftEmpty) {
    // What older systems leave when the module name does not fit: no NUL anywhere.
    GuardedPath unterminated;
    std::memset(&unterminated, GuardByte, sizeof unterminated);
    std::memcpy(unterminated.path, "C:\\a\\", 5);
    EXPECT_STREQ(BuildIniPath(unterminated.path, IniFileName), "");
    EXPECT_TRUE(GuardIntact(unterminated));
}

TEST(BuildIniPath, TheRunningExecutablesNameIsIgnored) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    std::string exe = path;
    std::string directory = exe.substr(0, exe.rfind('\\') + 1);
    ASSERT_NE(exe.substr(directory.size()), "tolvex.exe");
    EXPECT_EQ(BuildIniPath(path, IniFileName), directory + IniFileName);
}

using IniPathInUse = IniFileTest;

TEST_F(IniPathInUse, TheFileLandsInADirectoryNamedWithTrailByte5C) {
    ASSERT_EQ(GetACP(), JapaneseCodePage) << "run under LANG=ja_JP.UTF-8";
    std::string dbcsDirectory = directory + "\x95\x5c\\";
    ASSERT_TRUE(CreateDirectoryA(dbcsDirectory.c_str(), nullptr));
    lstrcpyA(IniPath, (dbcsDirectory + "\x95\x5c.exe").c_str());
    BuildIniPath(IniPath, IniFileName);
    ASSERT_EQ(std::string(IniPath), dbcsDirectory + IniFileName);
    Settings.Opacity = 33;
    SaveSettings(StoredWindowPlace(MainWindow), InputHistory);
    std::string text = ReadTextFile(dbcsDirectory + IniFileName);
    EXPECT_EQ(SectionNames(text), (std::vector<std::string>{"Settings", "History"}));
    EXPECT_EQ(GetFileAttributesA((directory + IniFileName).c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
