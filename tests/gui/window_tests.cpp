// The real tolvex.exe end to end: its window, start-up rules, shut-down and keyboard commands.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/clipboard_text.h"
#include "tests/support/driver.h"

using namespace gui;

namespace {

const std::vector<std::string> SettingsKeys = {
    "WindowLeft", "WindowTop",   "WindowWidth", "AlwaysOnTop", "Translucent",
    "HexBits",    "Resident",    "UseHotKey",   "HotKey",      "SingleInstance",
    "MaxHistory", "SaveHistory", "TextColor",   "BackColor",   "FontName",
    "FontSize",   "FontBold",    "FontItalic",  "Opacity"};

int MinimumWidth() {
    return 2 * GetSystemMetrics(SM_CXFRAME) + 48;
}

TEST(MainWindow, FirstStartShowsOneLineWindowWithControlsLaidOut) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    EXPECT_EQ(WindowText(tolvex.window), "tolvex");
    EXPECT_EQ(AllTolvexWindows().size(), 1u);
    LONG style = GetWindowLongA(tolvex.window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);

    RECT client = ClientRect(tolvex.window);
    int w = client.right, h = client.bottom;
    EXPECT_EQ(h, LineClientHeight(0));
    RECT outer = WindowRect(tolvex.window);
    EXPECT_EQ(outer.right - outer.left, 200); // the default width
    // The client area reaches the window's top and bottom edges; the sides keep the frame.
    RECT frame = {0, 0, 100, h};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(style), FALSE,
                       static_cast<DWORD>(GetWindowLongA(tolvex.window, GWL_EXSTYLE)));
    POINT origin = {0, 0};
    ClientToScreen(tolvex.window, &origin);
    EXPECT_EQ(origin.y, outer.top);
    EXPECT_EQ(outer.bottom - outer.top, h);
    EXPECT_EQ(origin.x - outer.left, -frame.left);
    EXPECT_EQ(outer.right - outer.left - w, frame.right - frame.left - 100);

    struct {
        const char* name;
        HWND control;
        int left, width, height; // height 0: not checked (a combo box's is its field's)
    } layout[] = {
        {"input line", tolvex.combo, 16, w - 3 * h - 16, 0},
        {"clear", tolvex.clearButton, w - 3 * h, h, h},
        {"menu", tolvex.menuButton, w - 2 * h, h, h},
        {"close", tolvex.closeButton, w - h, h, h},
    };
    for (auto& item : layout) {
        ASSERT_NE(item.control, nullptr) << item.name;
        RECT rect = ChildRect(tolvex.window, item.control);
        EXPECT_EQ(rect.left, item.left) << item.name;
        EXPECT_EQ(rect.top, 0) << item.name;
        EXPECT_EQ(rect.right - rect.left, item.width) << item.name;
        if (item.height) {
            EXPECT_EQ(rect.bottom - rect.top, item.height) << item.name;
        }
    }
    SendCommand(tolvex, IDM_EXIT);
    EXPECT_TRUE(Ends(&tolvex, 0));
}

TEST(MainWindow, HeightIsFixedAndWidthHasAFloor) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    RECT outer = WindowRect(tolvex.window);
    MINMAXINFO limits = {};
    limits.ptMaxTrackSize = {5000, 5000};
    // The message carries its record across processes; the window fills in its limits.
    SendMessageA(tolvex.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, MinimumWidth());
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(limits.ptMaxTrackSize.y, outer.bottom - outer.top);
    EXPECT_EQ(limits.ptMaxTrackSize.x, 5000); // left as it was
    SendCommand(tolvex, IDM_EXIT);
    EXPECT_TRUE(Ends(&tolvex, 0));
}

// Drags with the left button from one point to another through the input queue. Each end waits
// for the program's move or size loop, which takes the input only while it runs.
bool Drag(const Tolvex& tolvex, POINT from, POINT to) {
    auto mouse = [](POINT at, DWORD button) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        SendInput(1, &input, sizeof input);
    };
    auto moveOrSize = [&](bool running) {
        return WaitUntil([&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            GetGUIThreadInfo(tolvex.process.dwThreadId, &info);
            return ((info.flags & GUI_INMOVESIZE) != 0) == running;
        });
    };
    mouse(from, MOUSEEVENTF_LEFTDOWN);
    bool started = moveOrSize(true);
    mouse(to, 0);
    mouse(to, MOUSEEVENTF_LEFTUP);
    return started && moveOrSize(false);
}

// Only the sides keep a sizing frame: each sizes the width alone, and the grip strip moves the
// window from the top row on. The sides are grabbed at their bottom row: from the corners at the
// top Wine's size loop sets the fixed height a pixel higher, which Windows does not.
TEST(MainWindow, SideEdgesSizeTheWidthAndTheGripMovesTheWindow) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    SetWindowPos(tolvex.window, nullptr, 100, 100, 300, 10, SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(tolvex.window).left == 100; }));
    ASSERT_TRUE(Focus(tolvex));
    struct {
        const char* name;
        int x, y;   // where the drag starts from the window's top left; negative: bottom right
        int dx, dy; // how far it goes
        RECT moved; // how far that moves the window's left, top, right and bottom
    } const cases[] = {{"right edge", -1, -1, 40, 5, {0, 0, 40, 0}},
                       {"left edge", 0, -1, -30, -5, {-30, 0, 0, 0}},
                       {"grip strip", 10, 0, 25, 15, {25, 15, 25, 15}}};
    for (const auto& c : cases) {
        RECT before = WindowRect(tolvex.window);
        POINT from = {c.x < 0 ? before.right + c.x : before.left + c.x,
                      c.y < 0 ? before.bottom + c.y : before.top + c.y};
        EXPECT_TRUE(Drag(tolvex, from, {from.x + c.dx, from.y + c.dy})) << c.name;
        RECT expected = {before.left + c.moved.left, before.top + c.moved.top,
                         before.right + c.moved.right, before.bottom + c.moved.bottom};
        EXPECT_TRUE(WaitUntil([&] {
            RECT now = WindowRect(tolvex.window);
            return EqualRect(&now, &expected) != 0;
        })) << c.name;
    }
    SendCommand(tolvex, IDM_EXIT);
    EXPECT_TRUE(Ends(&tolvex, 0));
}

struct ExitCase {
    const char* name;
    bool byCloseButton;
};

TEST(Shutdown, ExitAndCloseButtonEndWithZeroAndWriteEveryKeyInOrder) {
    const ExitCase cases[] = {{"exit command", false}, {"close button", true}};
    for (const ExitCase& c : cases) {
        std::string dir = FreshDirectory(TestName() + "." + (c.byCloseButton ? "close" : "exit"));
        std::string ini = dir + "tolvex.ini";
        Tolvex tolvex;
        ASSERT_TRUE(StartTolvex(dir, &tolvex)) << c.name;
        ASSERT_FALSE(FileExists(ini)) << "nothing is written before exit";
        SetWindowPos(tolvex.window, nullptr, 40, 50, 260, 10, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return WindowRect(tolvex.window).left == 40; })) << c.name;
        RECT outer = WindowRect(tolvex.window);
        if (c.byCloseButton) {
            // A click of the button's own, so the command comes from the button.
            PostMessageA(tolvex.closeButton, BM_CLICK, 0, 0);
        } else {
            SendCommand(tolvex, IDM_EXIT);
        }
        ASSERT_TRUE(Ends(&tolvex, 0)) << c.name;
        EXPECT_EQ(IniKeys(ini, "Settings"), SettingsKeys) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowLeft"), std::to_string(outer.left)) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowTop"), std::to_string(outer.top)) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"),
                  std::to_string(outer.right - outer.left))
            << c.name;
        EXPECT_EQ(IniKeys(ini, "History"), std::vector<std::string>{"Count"}) << c.name;
    }
}

struct PlacementCase {
    const char* name;
    int left, top, width;
    int expectedWidth; // -1: the minimum width
    bool offScreen;    // stored where no monitor is: opens at the work area's nearest corner
};

TEST(StartUp, StoredPositionIsUsedAsStoredUnlessOffEveryMonitorAndNarrowWidthIsRaised) {
    const PlacementCase cases[] = {
        {"ordinary", 120, 80, 300, 300, false},
        {"too narrow", 10, 10, 20, -1, false},
        {"negative width", 0, 0, -100, -1, false},
        {"partly off the screen", -100, 700, 150, 150, false},
        {"below and right of the screen", 5000, 4000, 150, 150, true},
    };
    RECT area = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    for (const PlacementCase& c : cases) {
        std::string dir = FreshDirectory(TestName() + "." + c.name);
        std::string ini = dir + "tolvex.ini";
        WriteTextFile(ini, "[Settings]\r\nWindowLeft=" + std::to_string(c.left) +
                               "\r\nWindowTop=" + std::to_string(c.top) +
                               "\r\nWindowWidth=" + std::to_string(c.width) + "\r\n");
        int width = c.expectedWidth < 0 ? MinimumWidth() : c.expectedWidth;
        Tolvex tolvex;
        ASSERT_TRUE(StartTolvex(dir, &tolvex)) << c.name;
        RECT outer = WindowRect(tolvex.window);
        int left = c.offScreen ? area.right - width : c.left;
        EXPECT_EQ(outer.left, left) << c.name;
        if (c.offScreen) {
            EXPECT_EQ(outer.bottom, area.bottom) << c.name;
        } else {
            EXPECT_EQ(outer.top, c.top) << c.name;
        }
        EXPECT_EQ(outer.right - outer.left, width) << c.name;
        SendCommand(tolvex, IDM_EXIT);
        ASSERT_TRUE(Ends(&tolvex, 0)) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"), std::to_string(width)) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowLeft"), std::to_string(left)) << c.name;
    }
}

TEST(StartUp, APositionSurvivesTenRestartsUnchanged) {
    std::string dir = FreshDirectory(TestName());
    std::string ini = dir + "tolvex.ini";
    WriteTextFile(ini, "[Settings]\r\nWindowLeft=123\r\nWindowTop=45\r\nWindowWidth=321\r\n");
    for (int run = 1; run <= 10; ++run) {
        Tolvex tolvex;
        ASSERT_TRUE(StartTolvex(dir, &tolvex)) << "run " << run;
        RECT outer = WindowRect(tolvex.window);
        EXPECT_EQ(outer.left, 123) << "run " << run;
        EXPECT_EQ(outer.top, 45) << "run " << run;
        EXPECT_EQ(outer.right - outer.left, 321) << "run " << run;
        SendCommand(tolvex, IDM_EXIT);
        ASSERT_TRUE(Ends(&tolvex, 0)) << "run " << run;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowLeft"), "123") << "run " << run;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowTop"), "45") << "run " << run;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"), "321") << "run " << run;
    }
}

BYTE LayeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) {
        return 0;
    }
    return alpha;
}

TEST(Appearance, TopmostAndTranslucencyToggleAndAreSaved) {
    std::string dir = FreshDirectory(TestName());
    std::string ini = dir + "tolvex.ini";
    WriteTextFile(ini, "[Settings]\r\nOpacity=50\r\n");
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    auto exStyle = [&] { return GetWindowLongA(tolvex.window, GWL_EXSTYLE); };
    EXPECT_FALSE(exStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(exStyle() & WS_EX_LAYERED);

    SendCommand(tolvex, IDM_TOPMOST);
    EXPECT_TRUE(WaitUntil([&] { return (exStyle() & WS_EX_TOPMOST) != 0; }));
    SendCommand(tolvex, IDM_TRANSLUCENT);
    EXPECT_TRUE(exStyle() & WS_EX_LAYERED);
    EXPECT_EQ(LayeredAlpha(tolvex.window), 127); // 50 % of 255, truncated
    SendCommand(tolvex, IDM_EXIT);
    ASSERT_TRUE(Ends(&tolvex, 0));
    EXPECT_EQ(IniValue(ini, "Settings", "AlwaysOnTop"), "1");
    EXPECT_EQ(IniValue(ini, "Settings", "Translucent"), "1");

    // The next start takes both from the file, with the stored opacity.
    Tolvex again;
    ASSERT_TRUE(StartTolvex(dir, &again));
    LONG style = GetWindowLongA(again.window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_EX_TOPMOST);
    EXPECT_TRUE(style & WS_EX_LAYERED);
    EXPECT_EQ(LayeredAlpha(again.window), 127);
    SendCommand(again, IDM_TOPMOST);
    SendCommand(again, IDM_TRANSLUCENT);
    SendCommand(again, IDM_EXIT);
    ASSERT_TRUE(Ends(&again, 0));
    EXPECT_EQ(IniValue(ini, "Settings", "AlwaysOnTop"), "0");
    EXPECT_EQ(IniValue(ini, "Settings", "Translucent"), "0");
}

COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A plain visible window of this process at (left, top), for putting something in front of the
// calculator.
HWND OpenFrontWindow(int left, int top, int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "tolvex test front window";
    RegisterClassA(&windowClass); // fails harmlessly when an earlier test registered it
    return CreateWindowExA(0, windowClass.lpszClassName, "front", WS_POPUP | WS_VISIBLE, left, top,
                           width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

TEST(Appearance, GripStripShowsActivationAndTheLineIsWhiteOnBlack) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    ASSERT_TRUE(Focus(tolvex));
    COLORREF active = GetSysColor(COLOR_ACTIVECAPTION);
    COLORREF inactive = GetSysColor(COLOR_INACTIVECAPTION);
    ASSERT_NE(active, inactive);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(tolvex.window, 3, 3) == active; }));
    // The gap beside the strip shows the button face.
    EXPECT_EQ(ScreenPixel(tolvex.window, 15, 3), GetSysColor(COLOR_BTNFACE));
    // Inside the input line, right of any text: the default background, black.
    RECT edit = ChildRect(tolvex.window, tolvex.edit);
    EXPECT_EQ(ScreenPixel(tolvex.window, edit.right - 3, (edit.top + edit.bottom) / 2),
              RGB(0, 0, 0));

    // Another window in front: the strip turns to the inactive caption colour, and back.
    HWND front = OpenFrontWindow(500, 500, 50, 50);
    SetForegroundWindow(front);
    auto pumpUntil = [&](COLORREF colour) {
        return WaitUntil([&] {
            PumpMessages();
            return ScreenPixel(tolvex.window, 3, 3) == colour;
        });
    };
    EXPECT_TRUE(pumpUntil(inactive));
    DestroyWindow(front);
    SendCommand(tolvex, IDM_SHOW);
    EXPECT_TRUE(pumpUntil(active));
    // Taking the foreground may still be waiting on this thread's answers: keep answering them
    // while the calculator exits, or both sides wait on each other.
    PostMessageA(tolvex.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages();
        return WaitForSingleObject(tolvex.process.hProcess, 0) == WAIT_OBJECT_0;
    }));
    EXPECT_TRUE(Ends(&tolvex, 0));
}

// Whether the middle of a button (inside its edges) shows colour somewhere.
bool ButtonShows(const Tolvex& tolvex, HWND button, COLORREF colour) {
    RECT rect = ChildRect(tolvex.window, button);
    int edge = (rect.bottom - rect.top) / 4;
    for (int y = rect.top + edge; y < rect.bottom - edge; ++y) {
        for (int x = rect.left + edge; x < rect.right - edge; ++x) {
            if (ScreenPixel(tolvex.window, x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

// A scheme with a black button face, as high contrast black has: every button shows its glyph in
// the button-text colour. (The redrawing on a change of colours is shown in process.)
TEST(Appearance, ButtonGlyphsShowOnABlackButtonFace) {
    const COLORREF text = RGB(0, 255, 255);
    SystemColours dark({COLOR_BTNFACE, COLOR_BTNTEXT}, {RGB(0, 0, 0), text});
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    for (HWND button : {tolvex.clearButton, tolvex.menuButton, tolvex.closeButton}) {
        EXPECT_TRUE(WaitUntil([&] { return ButtonShows(tolvex, button, text); }))
            << GetDlgCtrlID(button);
    }
    SendCommand(tolvex, IDM_EXIT);
    EXPECT_TRUE(Ends(&tolvex, 0));
}

// A popup menu that the process shows, found by the menu window class.
bool MenuIsOpen(const Tolvex& tolvex) {
    return OpenPopup(tolvex, "#32768") != nullptr;
}

TEST(Menus, MenuButtonAndGripStripMenusWorkFromTheKeyboard) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    ASSERT_TRUE(Focus(tolvex));
    // The menu button, then the mnemonic of "常に前面に表示(&T)".
    PostMessageA(tolvex.menuButton, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return MenuIsOpen(tolvex); }));
    TypeKey('T');
    EXPECT_TRUE(WaitUntil(
        [&] { return (GetWindowLongA(tolvex.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    EXPECT_TRUE(WaitUntil([&] { return !MenuIsOpen(tolvex); }));

    // "16/2進数の精度(&H)", then "&64ビット": a hexadecimal line shows all 64 bits at once.
    SendMessageA(tolvex.combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("-1=x"));
    PostMessageA(tolvex.menuButton, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return MenuIsOpen(tolvex); }));
    TypeKey('H');
    TypeKey('6');
    EXPECT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo) == "-1=xFFFFFFFFFFFFFFFF"; }));

    // A right click on the grip strip opens the close menu; "閉じる(&C)" ends the program.
    POINT grip = {5, 5};
    ClientToScreen(tolvex.window, &grip);
    PostMessageA(tolvex.window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(grip.x, grip.y));
    ASSERT_TRUE(WaitUntil([&] { return MenuIsOpen(tolvex); }));
    TypeKey('C');
    ASSERT_TRUE(Ends(&tolvex, 0));
    std::string ini = dir + "tolvex.ini";
    EXPECT_EQ(IniValue(ini, "Settings", "AlwaysOnTop"), "1");
    EXPECT_EQ(IniValue(ini, "Settings", "HexBits"), "64");
}

struct HandOverCase {
    const char* name;
    int state; // what the first window is put into before the second start
};

TEST(SingleInstance, SecondStartShowsAndRaisesTheFirstAndLeavesTheFileAlone) {
    const HandOverCase cases[] = {
        {"hidden", SW_HIDE}, {"minimised", SW_MINIMIZE}, {"shown", SW_SHOWNOACTIVATE}};
    for (const HandOverCase& c : cases) {
        std::string dir = FreshDirectory(TestName() + "." + c.name);
        std::string ini = dir + "tolvex.ini";
        const std::string stored = "[Settings]\r\nSingleInstance=1\r\nMaxHistory=7\r\n";
        WriteTextFile(ini, stored);
        Tolvex first;
        ASSERT_TRUE(StartTolvex(dir, &first)) << c.name;
        ShowWindow(first.window, c.state);
        ASSERT_TRUE(WaitUntil([&] {
            return c.state == SW_HIDE       ? !IsWindowVisible(first.window)
                   : c.state == SW_MINIMIZE ? IsIconic(first.window) != 0
                                            : true;
        })) << c.name;

        Tolvex second;
        ASSERT_TRUE(LaunchTolvex(dir, &second)) << c.name;
        EXPECT_TRUE(Ends(&second, 0)) << c.name;
        EXPECT_TRUE(IsWindowVisible(first.window)) << c.name;
        EXPECT_FALSE(IsIconic(first.window)) << c.name;
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.window; })) << c.name;
        EXPECT_EQ(AllTolvexWindows().size(), 1u) << c.name;
        EXPECT_EQ(ReadTextFile(ini), stored) << c.name;
        SendCommand(first, IDM_EXIT);
        EXPECT_TRUE(Ends(&first, 0)) << c.name;
    }
}

TEST(SingleInstance, ASecondStartBringsAWindowStoredOffEveryMonitorIntoView) {
    std::string dir = FreshDirectory(TestName());
    std::string ini = dir + "tolvex.ini";
    WriteTextFile(ini, "[Settings]\r\nSingleInstance=1\r\nWindowLeft=-5000\r\n"
                       "WindowTop=4000\r\nWindowWidth=300\r\n");
    Tolvex first;
    ASSERT_TRUE(StartTolvex(dir, &first));
    // Sent off every monitor while it runs (start-up brought it into reach already).
    SetWindowPos(first.window, nullptr, -5000, 4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(first.window).left == -5000; }));
    Tolvex second;
    ASSERT_TRUE(LaunchTolvex(dir, &second));
    EXPECT_TRUE(Ends(&second, 0));
    RECT area = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    RECT outer = WindowRect(first.window);
    EXPECT_EQ(outer.left, area.left);
    EXPECT_EQ(outer.bottom, area.bottom);
    EXPECT_EQ(outer.right - outer.left, 300);
    EXPECT_TRUE(IsWindowVisible(first.window));
    // Once on a monitor it stays where it is.
    SetWindowPos(first.window, nullptr, -100, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Tolvex third;
    ASSERT_TRUE(LaunchTolvex(dir, &third));
    EXPECT_TRUE(Ends(&third, 0));
    EXPECT_EQ(WindowRect(first.window).left, -100);
    SendCommand(first, IDM_EXIT);
    ASSERT_TRUE(Ends(&first, 0));
    EXPECT_EQ(IniValue(ini, "Settings", "WindowLeft"), "-100");
    EXPECT_EQ(IniValue(ini, "Settings", "WindowTop"), "200");
}

// With a dialog open the main window is disabled behind it: a second start brings the dialog to
// the front, where the user can work, not the window that refuses input.
TEST(SingleInstance, ASecondStartBringsAnOpenDialogToTheFront) {
    std::string dir = FreshDirectory(TestName());
    WriteTextFile(dir + "tolvex.ini", "[Settings]\r\nSingleInstance=1\r\n");
    Tolvex first;
    ASSERT_TRUE(StartTolvex(dir, &first));
    PostMessageA(first.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = FindTopWindow("#32770", first.process.dwProcessId)) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(first.window); }));
    HWND front = OpenFrontWindow(300, 300, 80, 40);
    ASSERT_TRUE(TakeForeground(front));

    Tolvex second;
    ASSERT_TRUE(LaunchTolvex(dir, &second));
    EXPECT_TRUE(Ends(&second, 0));
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages();
        return GetForegroundWindow() == dialog;
    }));
    DestroyWindow(front);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(first.window) != 0; }));
    SendCommand(first, IDM_EXIT);
    EXPECT_TRUE(Ends(&first, 0));
}

TEST(SingleInstance, SwitchedOffASecondWindowOpens) {
    std::string dir = FreshDirectory(TestName());
    WriteTextFile(dir + "tolvex.ini", "[Settings]\r\nSingleInstance=0\r\n");
    Tolvex first, second;
    ASSERT_TRUE(StartTolvex(dir, &first));
    ASSERT_TRUE(StartTolvex(dir, &second));
    EXPECT_NE(first.window, second.window);
    EXPECT_EQ(AllTolvexWindows().size(), 2u);
    SendCommand(second, IDM_EXIT);
    SendCommand(first, IDM_EXIT);
    EXPECT_TRUE(Ends(&second, 0));
    EXPECT_TRUE(Ends(&first, 0));
}

TEST(StartUp, MinimisedShowCommandStartsIconicAndShowRestores) {
    std::string dir = FreshDirectory(TestName());
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex, SW_SHOWMINNOACTIVE));
    EXPECT_TRUE(IsIconic(tolvex.window));
    SendCommand(tolvex, IDM_SHOW);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(tolvex.window); }));
    SendCommand(tolvex, IDM_EXIT);
    ASSERT_TRUE(Ends(&tolvex, 0));
    // The restored width is saved, not the icon's.
    EXPECT_EQ(IniValue(dir + "tolvex.ini", "Settings", "WindowWidth"), "200");
}

struct MaximiseCase {
    const char* name;
    std::function<void(HWND)> request;
};

// Maximised, the one-line window would lose its top to the screen's edge and have no caption to
// be restored by: a start with a maximise show command (a shortcut set to run maximised, start
// /max) shows the normal window, and no later request maximises it either.
TEST(StartUp, AMaximiseShowCommandOrRequestLeavesTheWindowAsItIs) {
    std::string dir = FreshDirectory(TestName());
    WriteTextFile(dir + "tolvex.ini", "[Settings]\r\nWindowLeft=100\r\nWindowTop=50\r\n");
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex, SW_SHOWMAXIMIZED));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(tolvex.window) != 0; }));
    // Where the file puts it, 200 pixels wide and one line high.
    auto isNormal = [&] {
        RECT outer = WindowRect(tolvex.window);
        return !IsZoomed(tolvex.window) && outer.left == 100 && outer.top == 50 &&
               outer.right - outer.left == 200 &&
               ClientRect(tolvex.window).bottom == LineClientHeight(0);
    };
    EXPECT_TRUE(WaitUntil(isNormal)) << "started";
    const MaximiseCase cases[] = {
        {"system command", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }},
        {"double click on the grip",
         [](HWND w) {
             POINT grip = {5, 5};
             ClientToScreen(w, &grip);
             SendMessageA(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(grip.x, grip.y));
         }},
        {"another program", [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }},
    };
    for (const MaximiseCase& c : cases) {
        c.request(tolvex.window);
        ASSERT_TRUE(Sync(tolvex)) << c.name;
        EXPECT_TRUE(WaitUntil(isNormal)) << c.name;
    }
    SendCommand(tolvex, IDM_EXIT);
    ASSERT_TRUE(Ends(&tolvex, 0));
    EXPECT_EQ(IniValue(dir + "tolvex.ini", "Settings", "WindowTop"), "50");
}

std::string ClipboardText() {
    return gui::ClipboardTextIn(CF_TEXT, "");
}

// Waits until another process has put text on the clipboard since the sequence number before.
// The clipboard is opened only once its content has changed: opening it while the calculator is
// about to copy would make the calculator's own OpenClipboard fail, and the copy be lost.
bool ClipboardBecomes(DWORD before, const std::string& text) {
    return WaitUntil(
        [&] { return GetClipboardSequenceNumber() != before && ClipboardText() == text; });
}

class RunningTolvex : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string dir = FreshDirectory(TestName());
        ASSERT_TRUE(StartTolvex(dir, &tolvex));
    }
    void TearDown() override {
        if (tolvex.window) {
            SendCommand(tolvex, IDM_EXIT);
            EXPECT_TRUE(Ends(&tolvex, 0));
        }
    }
    void SetLine(const std::string& text) {
        SendMessageA(tolvex.combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    bool LineBecomes(const std::string& text) {
        return WaitUntil([&] { return WindowText(tolvex.combo) == text; });
    }
    Tolvex tolvex;
};

TEST_F(RunningTolvex, ClipboardKeysReachTheLineThroughTheAccelerators) {
    SetLine("12+3");
    PostChar(tolvex, 0x01); // Ctrl+A
    // A sent message overtakes the posted key, so wait for the selection itself.
    EXPECT_TRUE(WaitUntil([&] {
        int start = -1, end = -1;
        Selection(tolvex.edit, &start, &end);
        return start == 0 && end == 4;
    }));
    EXPECT_TRUE(SetClipboardText(std::string("")));
    DWORD before = GetClipboardSequenceNumber();
    PostChar(tolvex, 0x03); // Ctrl+C
    EXPECT_TRUE(ClipboardBecomes(before, "12+3"));
    EXPECT_EQ(WindowText(tolvex.combo), "12+3");
    EXPECT_TRUE(SetClipboardText(std::string("")));
    before = GetClipboardSequenceNumber();
    PostChar(tolvex, 0x18); // Ctrl+X
    EXPECT_TRUE(LineBecomes(""));
    EXPECT_TRUE(ClipboardBecomes(before, "12+3"));
    EXPECT_TRUE(SetClipboardText(std::string("7*6")));
    PostChar(tolvex, 0x16); // Ctrl+V
    EXPECT_TRUE(LineBecomes("7*6"));
}

TEST_F(RunningTolvex, RealControlKeystrokesSelectCopyAndPaste) {
    ASSERT_TRUE(Focus(tolvex));
    SetLine("8-5");
    TypeKey('A', true);
    ASSERT_TRUE(WaitUntil([&] {
        int start, end;
        Selection(tolvex.edit, &start, &end);
        return start == 0 && end == 3;
    }));
    EXPECT_TRUE(SetClipboardText(std::string("")));
    DWORD before = GetClipboardSequenceNumber();
    TypeKey('C', true);
    EXPECT_TRUE(ClipboardBecomes(before, "8-5"));
    TypeKey(VK_END);
    TypeKey('V', true);
    EXPECT_TRUE(LineBecomes("8-58-5"));
    TypeKey(VK_ESCAPE);
    EXPECT_TRUE(LineBecomes(""));
}

TEST_F(RunningTolvex, FullWidthFormsFromAnInputMethodOrThePasteBecomeAscii) {
    PostMessageA(tolvex.edit, WM_IME_CHAR, 0x8250, 1); // "１" committed
    EXPECT_TRUE(LineBecomes("1"));
    SetLine("");
    ASSERT_TRUE(SetClipboardText(std::wstring(L"１２＊３＝")));
    PostChar(tolvex, 0x16); // Ctrl+V
    EXPECT_TRUE(LineBecomes("12*3=36"));
}

TEST_F(RunningTolvex, F10OnTheLineOpensTheMainMenuAndEscClosesItLeavingTheLine) {
    ASSERT_TRUE(Focus(tolvex));
    SetLine("1+1=2");
    auto pressF10 = [&] {
        TypeKey(VK_F10);
        return WaitUntil([&] { return MenuIsOpen(tolvex); });
    };
    // The main menu opens with its first item, "常に前面に表示(&T)", selected: Enter chooses it.
    ASSERT_TRUE(pressF10());
    TypeKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil(
        [&] { return (GetWindowLongA(tolvex.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    EXPECT_TRUE(WaitUntil([&] { return !MenuIsOpen(tolvex); }));
    ASSERT_TRUE(pressF10());
    TypeKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuIsOpen(tolvex); }));
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    ASSERT_TRUE(GetGUIThreadInfo(tolvex.process.dwThreadId, &thread));
    EXPECT_EQ(thread.hwndFocus, tolvex.edit);
    EXPECT_EQ(WindowText(tolvex.combo), "1+1=2") << "Esc closed the menu, not the line";
}

TEST_F(RunningTolvex, TheButtonsReportTheirNames) {
    const struct {
        HWND button;
        const wchar_t* name;
    } buttons[] = {{tolvex.clearButton, L"クリア"},
                   {tolvex.menuButton, L"メニュー"},
                   {tolvex.closeButton, L"閉じる"}};
    for (const auto& b : buttons) {
        wchar_t text[32] = L"";
        // Sent in the wide form, as a screen reader asks another process's control.
        SendMessageW(b.button, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, b.name);
    }
}

} // namespace
