// Windows paths of the build tree and scratch directories for the tests under Wine.
#include "tests/support/files.h"

#include <windows.h>

std::string WindowsPath(const char* unixPath) {
    std::string path = "Z:";
    for (const char* p = unixPath; *p; ++p) {
        path += *p == '/' ? '\\' : *p;
    }
    return path;
}

std::string MakeScratchDirectory() {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        return std::string();
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH];
        wsprintfA(name, "%stolvex-test-%lu-%d", temp, GetCurrentProcessId(), attempt);
        if (CreateDirectoryA(name, nullptr)) {
            return std::string(name) + "\\";
        }
    }
    return std::string();
}

void RemoveTree(const std::string& directory) {
    if (directory.empty()) {
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string path = directory + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}
