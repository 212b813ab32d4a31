// The program's resources as the built executable carries them, and the main menu's marks.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/layering.h"
#include "ui/mainwnd.h"
#include "ui/mainwnd.h"
#include "tests/support/import_patch.h"

namespace {

using gui::FakeLayeredAttributes;

class ExeResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = gui::LoadExeResources();
        ASSERT_NE(module, nullptr) << TOLVEX_EXE;
        AppInstance = module;
    }
    void TearDown() override {
        AppInstance = nullptr;
        FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

std::wstring ItemText(HMENU menu, UINT item, UINT flags) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, item, text, 128, flags);
    return text;
}

struct MenuTextCase {
    int menu;
    int command; // 0: the popup at position
    int position;
    const wchar_t* text;
};

TEST_F(ExeResources, MenuTextsAreTheJapaneseOnesWhateverTheBuildLocale) {
    const MenuTextCase cases[] = {
        {IDR_MAINMENU, IDM_TOPMOST, 0, L"常に前面に表示(&T)"},
        {IDR_MAINMENU, IDM_TRANSLUCENT, 0, L"半透明表示(&R)"},
        {IDR_MAINMENU, 0, 3, L"16/2進数の精度(&H)"},
        {IDR_MAINMENU, IDM_HEX32, 0, L"&32ビット"},
        {IDR_MAINMENU, IDM_HEX64, 0, L"&64ビット"},
        {IDR_MAINMENU, IDM_SETTINGS, 0, L"設定(&P)..."},
        {IDR_MAINMENU, IDM_ABOUT, 0, L"バージョン情報(&A)..."},
        {IDR_MAINMENU, IDM_EXIT, 0, L"終了(&X)"},
        {IDR_CLOSEMENU, IDM_CLOSE, 0, L"閉じる(&C)"},
        {IDR_TRAYMENU, IDM_SHOW, 0, L"表示(&S)"},
        {IDR_TRAYMENU, IDM_EXIT, 0, L"終了(&X)"},
    };
    for (const MenuTextCase& c : cases) {
        HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(c.menu));
        ASSERT_NE(menu, nullptr) << c.menu;
        HMENU popup = GetSubMenu(menu, 0);
        std::wstring text = c.command ? ItemText(popup, c.command, MF_BYCOMMAND)
                                      : ItemText(popup, c.position, MF_BYPOSITION);
        EXPECT_EQ(text, c.text) << "menu " << c.menu << " item " << c.command;
        DestroyMenu(menu);
    }
}

struct MenuStateCase {
    const char* name;
    int alwaysOnTop, translucent, layeredAvailable, hexBits;
    bool topmostChecked, translucentChecked, translucentGreyed, hex32Marked;
};

TEST_F(ExeResources, MainMenuMarksFollowSettings) {
    const MenuStateCase cases[] = {
        {"defaults", 0, 0, 1, 32, false, false, false, true},
        {"on top", 1, 0, 1, 32, true, false, false, true},
        {"translucent", 0, 1, 1, 64, false, true, false, false},
        {"no layered windows", 1, 1, 0, 64, true, false, true, false},
        {"no layered windows, off", 0, 0, 0, 32, false, false, true, true},
    };
    SettingsRecord saved = Settings;
    for (const MenuStateCase& c : cases) {
        Settings.AlwaysOnTop = c.alwaysOnTop;
        Settings.Translucent = c.translucent;
        Settings.HexBits = c.hexBits;
        LayeredAttributesProc = c.layeredAvailable ? FakeLayeredAttributes : nullptr;
        HMENU menu = LoadMainMenu();
        ASSERT_NE(menu, nullptr);
        UINT topmost = GetMenuState(menu, IDM_TOPMOST, MF_BYCOMMAND);
        UINT translucent = GetMenuState(menu, IDM_TRANSLUCENT, MF_BYCOMMAND);
        EXPECT_EQ((topmost & MF_CHECKED) != 0, c.topmostChecked) << c.name;
        EXPECT_EQ((translucent & MF_CHECKED) != 0, c.translucentChecked) << c.name;
        EXPECT_EQ((translucent & MF_GRAYED) != 0, c.translucentGreyed) << c.name;
        MENUITEMINFOA hex32 = {}, hex64 = {};
        hex32.cbSize = hex64.cbSize = sizeof hex32;
        hex32.fMask = hex64.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoA(menu, IDM_HEX32, FALSE, &hex32);
        GetMenuItemInfoA(menu, IDM_HEX64, FALSE, &hex64);
        // The marked item of the group is the radio item.
        EXPECT_TRUE((c.hex32Marked ? hex32 : hex64).fType & MFT_RADIOCHECK) << c.name;
        EXPECT_EQ((hex32.fState & MFS_CHECKED) != 0, c.hex32Marked) << c.name;
        EXPECT_EQ((hex64.fState & MFS_CHECKED) != 0, !c.hex32Marked) << c.name;
        DestroyMenu(menu);
    }
    LayeredAttributesProc = nullptr;
    Settings = saved;
}

TEST_F(ExeResources, AcceleratorsMapControlCharactersAndEscape) {
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[16];
    int count = CopyAcceleratorTableA(table, entries, 16);
    struct {
        WORD key;
        bool virtualKey;
        WORD command;
    } expected[] = {{0x18, false, IDM_CUT},
                    {0x03, false, IDM_COPY},
                    {0x16, false, IDM_PASTE},
                    {0x01, false, IDM_SELECTALL},
                    {VK_ESCAPE, true, IDM_CLEARLINE}};
    ASSERT_EQ(count, 5);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ((entries[i].fVirt & FVIRTKEY) != 0, expected[i].virtualKey) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
    }
    DestroyAcceleratorTable(table);
}

TEST_F(ExeResources, GlyphDesignsAreSixteenColourBitmapsOfTheirSizes) {
    struct {
        int id;
        int size;
    } bitmaps[] = {{IDB_MENU, 12}, {IDB_CLEAR, 8}, {IDB_CLOSE, 8}};
    for (auto& b : bitmaps) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(b.id), MAKEINTRESOURCEA(2));
        ASSERT_NE(found, nullptr) << b.id;
        const BITMAPINFOHEADER* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(header->biWidth, b.size) << b.id;
        EXPECT_EQ(header->biHeight, b.size) << b.id;
        EXPECT_EQ(header->biBitCount, 4) << b.id;
        // Palette entry 7 is the light grey that stands for the button face.
        const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(header + 1);
        EXPECT_EQ(palette[7].rgbRed, 192);
        EXPECT_EQ(palette[7].rgbGreen, 192);
        EXPECT_EQ(palette[7].rgbBlue, 192);
    }
}

// The alpha of the pixel at x, y of an icon's colour image.
int IconAlpha(HICON icon, int x, int y) {
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    SIZE size = {};
    std::vector<DWORD> pixels = gui::BitmapPixels(info.hbmColor, &size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels.empty() ? -1 : static_cast<int>(pixels[y * size.cx + x] >> 24);
}

// The icon has its own image for every size the platform asks for at some scale, each in 32-bit
// colour with alpha, stored as PNG. Each one loads at its size, transparent around the
// calculator and opaque on it.
TEST_F(ExeResources, IconHasEverySizeInThirtyTwoBitColourWithAlpha) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_TOLVEX), MAKEINTRESOURCEA(14));
    ASSERT_NE(group, nullptr);
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    ASSERT_EQ(*reinterpret_cast<const WORD*>(directory + 4), 8);
    const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(directory + 6);
    for (int i = 0; i < 8; ++i) {
        int size = sizes[i];
        SCOPED_TRACE(size);
        EXPECT_EQ(entries[i].width, size % 256);
        EXPECT_EQ(entries[i].height, size % 256);
        EXPECT_EQ(entries[i].bitCount, 32);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(entries[i].id), MAKEINTRESOURCEA(3));
        ASSERT_NE(found, nullptr);
        const void* image = LockResource(LoadResource(module, found));
        EXPECT_EQ(std::memcmp(image, "\x89PNG", 4), 0);
        HICON icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(IDI_TOLVEX), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(IconAlpha(icon, 0, 0), 0);
        EXPECT_EQ(IconAlpha(icon, size / 2, size / 2), 255);
        DestroyIcon(icon);
    }
}

} // namespace
