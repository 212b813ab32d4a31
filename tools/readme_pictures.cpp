// The README's pictures, taken from the real tolvex.exe: the window with a live result, its
// history list open, its main menu open, the frames of typing a calculation, one a keystroke, and
// the window in a dark high-contrast scheme.
// Each step waits for the line the program must show, so a wrong result fails instead of being
// pictured. tools/readme-pictures.sh runs it and turns the frames into the animation.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "res/resource.h"
#include "tests/support/driver.h"
#include "tests/support/picture.h"

const char gui::PictureDirectory[] = TOLVEX_PICTURE_DIR;

namespace {

using namespace gui;

// A larger font than the default makes pictures that read well at the README's width.
constexpr char PictureSettings[] =
    "[Settings]\r\nWindowLeft=8\r\nWindowTop=8\r\nWindowWidth=360\r\n"
    "FontSize=-20\r\nSingleInstance=0\r\nMaxHistory=8\r\n";

// The window and a popup of it in one picture.
bool SaveWithPopup(const Tolvex& tolvex, HWND popup, const std::string& name) {
    RECT area = WindowRect(tolvex.window), popupRect = WindowRect(popup);
    UnionRect(&area, &area, &popupRect);
    return SavePicture(area, name);
}

class ReadmePictures : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string dir = FreshDirectory("readme-pictures");
        WriteTextFile(dir + "tolvex.ini", PictureSettings);
        ASSERT_TRUE(StartTolvex(dir, &tolvex));
        ASSERT_TRUE(Focus(tolvex));
    }
    void TearDown() override { SendCommand(tolvex, IDM_EXIT); }

    bool LineBecomes(const std::string& text) {
        return WaitUntil([&] { return WindowText(tolvex.combo) == text; });
    }
    // Types text and waits for the line the program then shows.
    void Type(const wchar_t* text, const std::string& shown) {
        TypeText(text);
        ASSERT_TRUE(LineBecomes(shown)) << WindowText(tolvex.combo);
    }
    void Key(WORD virtualKey, const std::string& shown) {
        TypeKey(virtualKey);
        ASSERT_TRUE(LineBecomes(shown)) << WindowText(tolvex.combo);
    }
    void Frame() {
        char name[32];
        std::snprintf(name, sizeof name, "typing-%02d", frames++);
        SettleSelection(tolvex);
        ASSERT_TRUE(SavePicture(tolvex.window, name));
    }

    Tolvex tolvex;
    int frames = 0;
};

TEST_F(ReadmePictures, TypingHistoryAndMenu) {
    // The animation: the result follows every keystroke, and the letter behind "=" changes the
    // notation of the same value.
    Frame();
    struct Step {
        const wchar_t* typed; // nullptr: the key instead
        WORD key;
        const char* shown;
    };
    const Step typing[] = {
        {L"1", 0, "1"},
        {L"2", 0, "12"},
        {L"*", 0, "12*"},
        {L"3", 0, "12*3"},
        {L"=", 0, "12*3=36"},
        {nullptr, VK_LEFT, "12*3=36"}, // the caret goes back in front of the "="
        {L"+", 0, "12*3+=?"},
        {L"5", 0, "12*3+5=41"},
        {L"*", 0, "12*3+5*=?"},
        {L"7", 0, "12*3+5*7=71"},
        {nullptr, VK_RIGHT, "12*3+5*7=71"},
        {L"x", 0, "12*3+5*7=x47"},
        {nullptr, VK_BACK, "12*3+5*7=71"},
        {L"b", 0, "12*3+5*7=b1000111"},
    };
    for (const Step& step : typing) {
        if (step.typed != nullptr) {
            Type(step.typed, step.shown);
            Frame();
        } else {
            Key(step.key, step.shown);
        }
    }

    // A few lines in the history, and the window with a live result.
    Key(VK_RETURN, "12*3+5*7=b1000111");
    Key(VK_ESCAPE, "");
    Type(L"255=x", "255=xFF");
    Key(VK_RETURN, "255=xFF");
    Key(VK_ESCAPE, "");
    Type(L"sqrt(2)", "sqrt(2)");
    Key(VK_RETURN, "sqrt(2)=1.4142135623731");
    Key(VK_ESCAPE, "");
    Type(L"2^10/3=", "2^10/3=341.33333333333");
    SettleSelection(tolvex);
    ASSERT_TRUE(SavePicture(tolvex.window, "window"));

    SendMessageA(tolvex.combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = OpenPopup(tolvex, "ComboLBox")) != nullptr; }));
    ASSERT_EQ(ListItems(tolvex.combo).size(), 3u);
    ASSERT_TRUE(SaveWithPopup(tolvex, list, "history"));
    SendMessageA(tolvex.combo, CB_SHOWDROPDOWN, FALSE, 0);
    ASSERT_TRUE(WaitUntil([&] { return OpenPopup(tolvex, "ComboLBox") == nullptr; }));

    PostMessageA(tolvex.menuButton, BM_CLICK, 0, 0);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = OpenPopup(tolvex, "#32768")) != nullptr; }));
    ASSERT_TRUE(SaveWithPopup(tolvex, menu, "menu"));
    TypeKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return OpenPopup(tolvex, "#32768") == nullptr; }));
}

// High contrast on, with a dark scheme's colours: white text on black windows and buttons, a cyan
// selection and caption, yellow links. The platform's own schemes differ only in the accents.
class DarkHighContrast {
  public:
    DarkHighContrast() { SetHighContrast(HCF_HIGHCONTRASTON); }
    ~DarkHighContrast() { SetHighContrast(0); }

  private:
    static void SetHighContrast(DWORD flags) {
        HIGHCONTRASTA state = {sizeof state, flags | HCF_AVAILABLE, nullptr};
        SystemParametersInfoA(SPI_SETHIGHCONTRAST, sizeof state, &state, 0);
    }
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), cyan = RGB(26, 235, 255);
    SystemColours colours{
        {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_3DHILIGHT,
         COLOR_3DLIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
         COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_HOTLIGHT, COLOR_WINDOWFRAME,
         COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER},
        {black, white, black, white, white, black, RGB(128, 128, 128), white, cyan, black, cyan,
         RGB(63, 242, 63), RGB(255, 255, 0), white, black, black}};
};

TEST(ReadmePicturesInHighContrast, WindowInADarkScheme) {
    DarkHighContrast scheme;
    std::string dir = FreshDirectory("readme-pictures-high-contrast");
    WriteTextFile(dir + "tolvex.ini", PictureSettings);
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    ASSERT_TRUE(Focus(tolvex));
    TypeText(L"2^10/3=");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo) == "2^10/3=341.33333333333"; }));
    SettleSelection(tolvex);
    ASSERT_TRUE(SavePicture(tolvex.window, "window-high-contrast"));
    SendCommand(tolvex, IDM_EXIT);
}

} // namespace
