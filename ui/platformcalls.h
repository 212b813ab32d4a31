// Calls of the platform that older versions lack, looked up by name when they are needed so that
// the program still starts and runs there.
#pragma once

#include <windows.h>

// The function name of module as Function, or null when either is missing.
template <typename Function> Function FindCallIn(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // GetProcAddress returns a generic FARPROC; the cast through void* keeps the compiler from
    // warning about the incompatible function type, which is the documented one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The same for a module the program has loaded already (it imports USER32 and COMCTL32), so
// nothing is loaded or freed here.
template <typename Function> Function FindPlatformCall(const char* module, const char* name) {
    return FindCallIn<Function>(GetModuleHandleA(module), name);
}

template <typename Function> Function FindUser32Call(const char* name) {
    return FindPlatformCall<Function>("USER32.DLL", name);
}

// Loads name (such as "DWMAPI.DLL") from the system directory, for a library the program does not
// import and so loads itself; null when it is missing. The caller frees it (FreeLibrary) once the
// calls found in it are no longer used. By its full path: a library that is not one of the
// loader's known ones would otherwise be searched for beside the executable first, where anyone
// who can write there could put one of their own.
inline HMODULE LoadSystemLibrary(const char* name) {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) {
        return nullptr;
    }
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    return LoadLibraryA(path);
}
