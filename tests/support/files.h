// Files and folders of the tests under Wine: the build tree's paths as Windows sees them, and
// scratch directories made and removed whole.
#pragma once

#include <string>

// A Unix path handed over by CMake (UTF-8), as Wine shows it: the Unix root is drive Z:. The narrow
// form is in the ANSI code page, as the ...A calls take it, so it holds only the path's characters
// that the code page has (with 932, kana and kanji do; the program under test has the same limit).
std::wstring WideWindowsPath(const char* unixPath);
std::string WindowsPath(const char* unixPath);

// A new empty directory of its own under the temporary directory, with a backslash at the end;
// empty when none can be made.
std::string MakeScratchDirectory();
// Deletes everything in directory (a path ending in a backslash), read-only files too, and then
// the directory itself.
void RemoveTree(const std::string& directory);
