// Calls of the platform's USER32 that older versions lack, looked up by name when they are needed
// so that the program still starts and runs there.
#pragma once

#include <windows.h>

// USER32's function name as Function, or null on a platform without it.
template <typename Function> Function FindUser32Call(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("USER32.DLL"), name)));
}
