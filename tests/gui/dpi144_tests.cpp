// The real tolvex.exe at 150 % (144 DPI), end to end: run by dpi144.sh in a Wine prefix of its own
// whose display DPI (LogPixels) is 144, so the rest of the test run keeps 96.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "res/resource.h"
#include "tests/support/driver.h"
#include "tests/support/picture.h"

const char gui::PictureDirectory[] = TOLVEX_PICTURE_DIR;

using namespace gui;

namespace {

constexpr int Dpi = 144;

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(At144Dpi, TheWindowIsDrawnAtTheScaleAndStoresSizesIn96DpiUnits) {
    // This process reads the other's window in real pixels, as an aware program sees them.
    SetProcessDPIAware();
    ASSERT_EQ(ScreenDpi(), Dpi) << "the prefix's LogPixels did not take";
    std::string dir = FreshDirectory("At144Dpi");
    std::string ini = dir + "tolvex.ini";
    // A file written at 100 %: the width and font size must look the same here.
    WritePrivateProfileStringA("Settings", "WindowWidth", "250", ini.c_str());
    WritePrivateProfileStringA("Settings", "WindowLeft", "0", ini.c_str());
    WritePrivateProfileStringA("Settings", "WindowTop", "0", ini.c_str());
    WritePrivateProfileStringA("Settings", "FontSize", "-12", ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));

    RECT outer = WindowRect(tolvex.window);
    RECT client = ClientRect(tolvex.window);
    int h = client.bottom;
    EXPECT_EQ(outer.right - outer.left, 375); // 250 at 150 %
    EXPECT_EQ(h, LineClientHeight(-18));      // the font size -12 at 150 %
    RECT line = ChildRect(tolvex.window, tolvex.combo);
    EXPECT_EQ(line.left, 24); // the grip strip 14 and its gap 2, at 150 %
    for (HWND button : {tolvex.clearButton, tolvex.menuButton, tolvex.closeButton}) {
        RECT rect = ChildRect(tolvex.window, button);
        EXPECT_EQ(rect.right - rect.left, h);
        EXPECT_EQ(rect.bottom - rect.top, h);
    }
    EXPECT_EQ(line.right, client.right - 3 * h);

    for (char c : std::string("12*3+sqrt(2)=")) {
        PostChar(tolvex, static_cast<unsigned char>(c));
    }
    ASSERT_TRUE(Sync(tolvex));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo).size() > 13; }));
    SettleSelection(tolvex);
    EXPECT_TRUE(SavePicture(tolvex.window, "window-144dpi"));

    SendCommand(tolvex, IDM_EXIT);
    ASSERT_TRUE(Ends(&tolvex, 0));
    EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"), "250");
    EXPECT_EQ(IniValue(ini, "Settings", "FontSize"), "-12");
}

} // namespace
