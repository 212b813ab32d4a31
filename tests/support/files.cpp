// Windows paths of the build tree and scratch directories for the tests under Wine.
#include "tests/support/files.h"

#include <windows.h>

// CMake hands the path over as the compiler read it, in UTF-8, and Wine names a Unix file by the
// characters of its UTF-8 name; so the bytes are decoded as UTF-8, never taken as they are.
std::wstring WideWindowsPath(const char* unixPath) {
    int size = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring path(size > 0 ? static_cast<size_t>(size) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, &path[0], size);
    path.resize(path.size() - 1);
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return L"Z:" + path;
}

std::string WindowsPath(const char* unixPath) {
    std::wstring wide = WideWindowsPath(unixPath);
    int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string path(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &path[0], size, nullptr, nullptr);
    path.resize(path.size() - 1);
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
