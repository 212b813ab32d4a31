// The build tree's paths as the tests under Wine name them: any checkout folder, blanks and
// Japanese names included.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/files.h"

namespace {

struct PathCase {
    const char* unixPath; // as CMake hands it over, in UTF-8
    const wchar_t* wide;
    const char* cp932; // the narrow form in code page 932
};

TEST(WindowsPath, TheUnixRootIsDriveZAndTheNameKeepsItsCharacters) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "the narrow forms below are those of code page 932, not " << GetACP();
    }
    const PathCase cases[] = {
        {"/usr/src/t/build", L"Z:\\usr\\src\\t\\build", "Z:\\usr\\src\\t\\build"},
        {"/root/tolvex checkout/t", L"Z:\\root\\tolvex checkout\\t",
         "Z:\\root\\tolvex checkout\\t"},
        // Katakana, whose second bytes in code page 932 are ASCII letters, and a kanji.
        {"/home/u/テスト dir/電卓.exe", L"Z:\\home\\u\\テスト dir\\電卓.exe",
         "Z:\\home\\u\\\x83\x65\x83\x58\x83\x67 dir\\\x93\x64\x91\xEC.exe"},
        {"/", L"Z:\\", "Z:\\"},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(WideWindowsPath(c.unixPath), c.wide) << c.unixPath;
        EXPECT_EQ(WindowsPath(c.unixPath), c.cp932) << c.unixPath;
    }
}

} // namespace
