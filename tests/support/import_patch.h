// Test helpers for the program's code run in process: the executable's resources, counting the
// platform calls the code under test makes by redirecting this executable's imports, a fake of
// the layered-window call, and the pixels of the bitmaps the code draws.
#pragma once

#include <windows.h>

#include <vector>

namespace gui {

// tolvex.exe loaded as a data file, for its dialog templates and icon; null on failure.
HMODULE LoadExeResources();

// The pixels of bitmap as top-down rows of 32-bit values (blue in the low byte, then green, red
// and alpha), with its size; empty when it cannot be read.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, SIZE* size);

// Points this executable's import of dll!name at replacement; returns the previous target, or
// null when the executable does not import it (nothing of the code under test calls it).
void* PatchImport(const char* dll, const char* name, void* replacement);

// PatchImport for a function type, keeping the real target in *real. Hooked again (a suite set up
// once more when the tests are repeated), the import already leads to replacement: *real keeps
// the real target, instead of becoming the replacement, which would then call itself for ever.
// True when there is a real target, that is when the code under test imports the call.
template <typename Function>
bool Hook(const char* dll, const char* name, Function replacement, Function* real) {
    void* previous = PatchImport(dll, name, reinterpret_cast<void*>(replacement));
    if (previous != reinterpret_cast<void*>(replacement)) {
        *real = reinterpret_cast<Function>(previous);
    }
    return *real != nullptr;
}

// Points dll!name back at real, the target Hook kept; a null real (the call was never hooked,
// or is not imported) leaves the import alone rather than pointing it at nothing.
template <typename Function> void Unhook(const char* dll, const char* name, Function real) {
    if (real != nullptr) {
        PatchImport(dll, name, reinterpret_cast<void*>(real));
    }
}

// A stand-in for SetLayeredWindowAttributes: it counts its calls and keeps the last alpha.
extern int LayeredAttributesCalls;
extern BYTE LastLayeredAlpha;
BOOL WINAPI FakeLayeredAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);

} // namespace gui
