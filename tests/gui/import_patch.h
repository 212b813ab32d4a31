// Test helpers for dialogs run in process: the executable's resources, and counting the
// platform calls the code under test makes by redirecting this executable's imports.
#pragma once

#include <windows.h>

namespace gui {

// tolvex.exe loaded as a data file, for its dialog templates and icon; null on failure.
HMODULE LoadExeResources();

// Points this executable's import of dll!name at replacement; returns the previous target, or
// null when the executable does not import it (nothing of the code under test calls it).
void* PatchImport(const char* dll, const char* name, void* replacement);

template <typename Function>
void Hook(const char* dll, const char* name, Function replacement, Function* real) {
    *real =
        reinterpret_cast<Function>(PatchImport(dll, name, reinterpret_cast<void*>(replacement)));
}

} // namespace gui
