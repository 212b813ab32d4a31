// Redirecting imports of the test executable, and loading the program's resources.
#include "tests/support/import_patch.h"

#include "tests/support/files.h"

#include <cstring>
#include <string>

namespace gui {

int LayeredAttributesCalls;
BYTE LastLayeredAlpha;

BOOL WINAPI FakeLayeredAttributes(HWND, COLORREF, BYTE alpha, DWORD) {
    ++LayeredAttributesCalls;
    LastLayeredAlpha = alpha;
    return TRUE;
}

HMODULE LoadExeResources() {
    return LoadLibraryExA(WindowsPath(TOLVEX_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap, SIZE* size) {
    BITMAP header = {};
    if (!GetObjectA(bitmap, sizeof header, &header)) {
        return {};
    }
    *size = {header.bmWidth, header.bmHeight};
    // Top-down rows of 32-bit pixels.
    BITMAPINFO format = {};
    format.bmiHeader = {
        sizeof format.bmiHeader, header.bmWidth, -header.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(header.bmWidth) * header.bmHeight);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(header.bmHeight), pixels.data(),
                         &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != header.bmHeight) {
        pixels.clear();
    }
    return pixels;
}

void* PatchImport(const char* dll, const char* name, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

} // namespace gui
