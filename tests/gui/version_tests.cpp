// The version information and the manifest that both built programs carry, read as Windows reads
// them (Properties → Details, the loader's compatibility decision).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/version.h"
#include "tests/support/files.h"

namespace {

// CMake hands over a Unix path; Wine shows the Unix root as drive Z:.
std::wstring WinePath(const char* unixPath) {
    return WideWindowsPath(unixPath);
}

struct Program {
    const char* path;
    const wchar_t* description;
    const wchar_t* originalName;
};

const Program Programs[] = {
    {TOLVEX_EXE, L"tolvex 電卓", L"tolvex.exe"},
    {TOLVEXC_EXE, L"tolvex 電卓 (コンソール版)", L"tolvexc.exe"},
};

std::vector<BYTE> VersionBlock(const std::wstring& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

// The string named key of the Japanese Unicode block; "<missing>" when there is none.
std::wstring VersionString(std::vector<BYTE>& block, const wchar_t* key) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || value == nullptr) {
        return L"<missing>";
    }
    return static_cast<const wchar_t*>(value);
}

TEST(VersionResource, BothProgramsNameThemselvesAndTheBuildsVersion) {
    for (const Program& program : Programs) {
        SCOPED_TRACE(program.path);
        std::wstring path = WinePath(program.path);
        std::vector<BYTE> block = VersionBlock(path);
        ASSERT_FALSE(block.empty());

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_GE(length, sizeof *fixed);
        EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u)
            << "no debug or pre-release flag";
        const DWORD high = MAKELONG(TOLVEX_VERSION_MINOR, TOLVEX_VERSION_MAJOR);
        const DWORD low = MAKELONG(0, TOLVEX_VERSION_PATCH);
        EXPECT_EQ(fixed->dwFileVersionMS, high);
        EXPECT_EQ(fixed->dwFileVersionLS, low);
        EXPECT_EQ(fixed->dwProductVersionMS, high);
        EXPECT_EQ(fixed->dwProductVersionLS, low);

        // The text versions say what the numbers say: the numbers are what Windows compares, the
        // texts what Properties shows, and both come from the about box's version.
        wchar_t fromNumbers[32];
        swprintf(fromNumbers, 32, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(VersionString(block, L"FileVersion"), fromNumbers);
        EXPECT_EQ(VersionString(block, L"ProductVersion"), fromNumbers);
        EXPECT_EQ(VersionString(block, L"FileVersion"), L"" TOLVEX_VERSION_TEXT);

        EXPECT_EQ(VersionString(block, L"ProductName"), L"tolvex");
        EXPECT_EQ(VersionString(block, L"FileDescription"), program.description);
        EXPECT_EQ(VersionString(block, L"OriginalFilename"), program.originalName);
        // Written out here rather than taken from version.h: a wrong code page on the way into the
        // resource would mangle the sign and still compare equal to itself.
        EXPECT_EQ(VersionString(block, L"LegalCopyright"), L"\u00A9 2026 tolvex developers");

        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                   reinterpret_cast<void**>(&translation), &length));
        ASSERT_EQ(length, 2 * sizeof(WORD));
        EXPECT_EQ(translation[0], 0x0411);
        EXPECT_EQ(translation[1], 1200);
    }
}

std::string Manifest(const std::wstring& path) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) {
        return "<not loaded>";
    }
    std::string text = "<no manifest>";
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (loaded) {
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Manifest, BothProgramsDeclareWindows7To11RunAsInvokerAndNameTheirArchitecture) {
    const char* supported[] = {
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // Windows 10 and 11
    };
    for (const Program& program : Programs) {
        SCOPED_TRACE(program.path);
        std::string manifest = Manifest(WinePath(program.path));
        ASSERT_TRUE(Contains(manifest, "<assembly ")) << manifest;
        EXPECT_TRUE(Contains(manifest, "urn:schemas-microsoft-com:compatibility.v1"));
        for (const char* id : supported) {
            EXPECT_TRUE(Contains(manifest, std::string("<supportedOS Id=\"") + id + "\"/>")) << id;
        }
        // Never virtualized: a settings file that cannot be written beside the exe goes to the
        // user's own file, whichever word size the program is.
        EXPECT_TRUE(Contains(manifest, "<requestedExecutionLevel level=\"asInvoker\" "
                                       "uiAccess=\"false\"/>"))
            << manifest;
        // The program's own architecture, which a 64-bit program must not give as x86.
        EXPECT_TRUE(Contains(manifest, std::string("processorArchitecture=\"") +
                                           (sizeof(void*) == 8 ? "amd64" : "x86") + "\""))
            << manifest;
    }
    // Only the window program draws common controls and needs their version 6, of whatever
    // architecture it is itself.
    EXPECT_TRUE(Contains(Manifest(WinePath(TOLVEX_EXE)), "Microsoft.Windows.Common-Controls"));
    EXPECT_TRUE(Contains(Manifest(WinePath(TOLVEX_EXE)),
                         "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\""));
    EXPECT_FALSE(Contains(Manifest(WinePath(TOLVEXC_EXE)), "Microsoft.Windows.Common-Controls"));
}

TEST(Manifest, TheWindowProgramIsDpiAwarePerMonitorWithTheSystemAwareFallback) {
    std::string manifest = Manifest(WinePath(TOLVEX_EXE));
    EXPECT_TRUE(Contains(manifest, "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"));
    // The older platforms read dpiAware ("true": system-aware); those since the 2016 update read
    // dpiAwareness, which names v2 and then system-aware, never v1, which scales no dialogs.
    EXPECT_TRUE(Contains(manifest, "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                                   "WindowsSettings\">true</dpiAware>"))
        << manifest;
    EXPECT_TRUE(Contains(manifest, "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                                   "WindowsSettings\">PerMonitorV2, System</dpiAwareness>"))
        << manifest;
    // The console tool draws nothing; its console host scales on its own.
    EXPECT_FALSE(Contains(Manifest(WinePath(TOLVEXC_EXE)), "dpiAware"));
}

} // namespace
