// The stored position and the show command against faked monitor layouts, in process.
//
// The display the tests run on has one monitor whose work area is the whole screen, and its window
// placement answers in screen coordinates, so neither a taskbar nor a second monitor can be shown
// for real. The monitor calls and the window placement are redirected through this executable's
// imports to a layout of the test's own, and the placement answers in workspace coordinates as
// Windows documents it: relative to the work area of the monitor the rectangle lies on.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "ui/placement.h"
#include "settings/settings.h"
#include "ui/mainwnd.h"
#include "ui/foreground.h"
#include "tests/support/import_patch.h"

namespace {

struct FakeMonitor {
    RECT monitor;
    RECT work;
};

// The first monitor is the primary one.
std::vector<FakeMonitor> Layout;

HMONITOR HandleOf(size_t index) {
    return reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(index + 1));
}

long Overlap(const RECT& a, const RECT& b) {
    RECT common;
    if (!IntersectRect(&common, &a, &b)) {
        return 0;
    }
    return (common.right - common.left) * (common.bottom - common.top);
}

// How far apart two rectangles lie, squared; 0 when they touch or overlap.
long long DistanceSquared(const RECT& a, const RECT& b) {
    long long dx = a.right < b.left ? b.left - a.right : b.right < a.left ? a.left - b.right : 0;
    long long dy = a.bottom < b.top ? b.top - a.bottom : b.bottom < a.top ? a.top - b.bottom : 0;
    return dx * dx + dy * dy;
}

HMONITOR WINAPI FakeMonitorFromRect(LPCRECT rect, DWORD flags) {
    size_t best = 0;
    long bestOverlap = 0;
    for (size_t i = 0; i < Layout.size(); ++i) {
        long overlap = Overlap(*rect, Layout[i].monitor);
        if (overlap > bestOverlap) {
            best = i;
            bestOverlap = overlap;
        }
    }
    if (bestOverlap > 0) {
        return HandleOf(best);
    }
    if (flags == MONITOR_DEFAULTTONULL) {
        return nullptr;
    }
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
        return HandleOf(0);
    }
    for (size_t i = 1; i < Layout.size(); ++i) {
        if (DistanceSquared(*rect, Layout[i].monitor) <
            DistanceSquared(*rect, Layout[best].monitor)) {
            best = i;
        }
    }
    return HandleOf(best);
}

BOOL WINAPI FakeGetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info) {
    size_t index = static_cast<size_t>(reinterpret_cast<INT_PTR>(monitor)) - 1;
    if (index >= Layout.size() || info->cbSize < sizeof(MONITORINFO)) {
        return FALSE;
    }
    info->rcMonitor = Layout[index].monitor;
    info->rcWork = Layout[index].work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

// With no layout of the test's own, the placement answers in screen coordinates as here.
POINT FakeWorkAreaOffset(const RECT& rect) {
    if (Layout.empty()) {
        return {0, 0};
    }
    INT_PTR index = reinterpret_cast<INT_PTR>(FakeMonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY));
    const FakeMonitor& m = Layout[index - 1];
    return {m.work.left - m.monitor.left, m.work.top - m.monitor.top};
}

decltype(&GetWindowPlacement) RealGetWindowPlacement;
decltype(&SetWindowPlacement) RealSetWindowPlacement;
decltype(&GetProcAddress) RealGetProcAddress;

// The platform's answer turned into workspace coordinates.
BOOL WINAPI FakeGetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    if (!RealGetWindowPlacement(window, placement)) {
        return FALSE;
    }
    POINT offset = FakeWorkAreaOffset(placement->rcNormalPosition);
    OffsetRect(&placement->rcNormalPosition, -offset.x, -offset.y);
    return TRUE;
}

BOOL WINAPI FakeSetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    WINDOWPLACEMENT screen = *placement;
    POINT offset = FakeWorkAreaOffset(screen.rcNormalPosition);
    OffsetRect(&screen.rcNormalPosition, offset.x, offset.y);
    return RealSetWindowPlacement(window, &screen);
}

// False for a platform from before several monitors, which has no monitor calls to look up.
bool MonitorCallsExist = true;

// What the platform says of the foreground window: answering, or stopped.
bool ForegroundHung = false;
BOOL WINAPI FakeIsHungAppWindow(HWND) {
    return ForegroundHung;
}

// Sharing input state is only counted: the foreground here is this thread's own.
int AttachCalls = 0;
BOOL WINAPI FakeAttachThreadInput(DWORD, DWORD, BOOL) {
    ++AttachCalls;
    return TRUE;
}
decltype(&AttachThreadInput) RealAttachThreadInput;

// The program looks the monitor calls up by name; they are handed the fakes.
FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0) {
        void* fake = nullptr;
        if (std::strcmp(name, "MonitorFromRect") == 0) {
            fake = reinterpret_cast<void*>(FakeMonitorFromRect);
        } else if (std::strcmp(name, "GetMonitorInfoA") == 0) {
            fake = reinterpret_cast<void*>(FakeGetMonitorInfoA);
        } else if (std::strcmp(name, "IsHungAppWindow") == 0) {
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeIsHungAppWindow));
        } else {
            return RealGetProcAddress(module, name);
        }
        return MonitorCallsExist ? reinterpret_cast<FARPROC>(fake) : nullptr;
    }
    return RealGetProcAddress(module, name);
}

struct LayoutCase {
    const char* name;
    std::vector<FakeMonitor> monitors;
};

// The first two cover the display's own screen, so that the platform underneath keeps every
// window put where a fake monitor is; the platform moves a window placed wholly off its screen.
const FakeMonitor TaskbarAtTop = {{0, 0, 1024, 768}, {0, 30, 1024, 768}};
const FakeMonitor TaskbarAtLeft = {{0, 0, 1024, 768}, {40, 0, 1024, 768}};
// The same screen as two monitors: the primary one with its taskbar at the bottom, and a second
// one to its right with a taskbar of its own at its left edge.
const FakeMonitor LeftHalf = {{0, 0, 600, 768}, {0, 0, 600, 738}};
const FakeMonitor RightHalf = {{600, 0, 1024, 768}, {648, 0, 1024, 768}};

const LayoutCase Layouts[] = {
    {"taskbar at the top", {TaskbarAtTop}},
    {"taskbar at the left", {TaskbarAtLeft}},
    {"two monitors, taskbars at the bottom and the left", {LeftHalf, RightHalf}},
};

class FakedMonitors : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gui::Hook("USER32.dll", "GetWindowPlacement", FakeGetWindowPlacement,
                              &RealGetWindowPlacement));
        ASSERT_TRUE(gui::Hook("USER32.dll", "SetWindowPlacement", FakeSetWindowPlacement,
                              &RealSetWindowPlacement));
        ASSERT_TRUE(
            gui::Hook("KERNEL32.dll", "GetProcAddress", FakeGetProcAddress, &RealGetProcAddress));
        MainWindow = CreateWindowExA(0, "STATIC", "placement", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(MainWindow, nullptr);
    }
    void TearDown() override {
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
        gui::Unhook("USER32.dll", "GetWindowPlacement", RealGetWindowPlacement);
        gui::Unhook("USER32.dll", "SetWindowPlacement", RealSetWindowPlacement);
        gui::Unhook("KERNEL32.dll", "GetProcAddress", RealGetProcAddress);
        Layout.clear();
        MonitorCallsExist = true;
    }
    // Where the window really is, in screen coordinates.
    static RECT ScreenRect() {
        RECT rect;
        GetWindowRect(MainWindow, &rect);
        return rect;
    }
    static void PlaceAt(const RECT& rect) {
        SetWindowPos(MainWindow, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// A window in each corner of each monitor's work area.
std::vector<RECT> PlacesOn(const std::vector<FakeMonitor>& monitors) {
    std::vector<RECT> places;
    for (const FakeMonitor& m : monitors) {
        places.push_back({m.work.left, m.work.top, m.work.left + 300, m.work.top + 24});
        places.push_back({m.work.right - 300, m.work.bottom - 24, m.work.right, m.work.bottom});
    }
    return places;
}

const HistoryList NoHistory = {[] { return 0; }, [](int, char*) { return false; },
                               [](const char*) {}};

TEST_F(FakedMonitors, TheSavedPositionIsTheWindowsScreenPositionShownOrMinimised) {
    char directory[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, directory), 0u);
    lstrcpynA(IniPath, (std::string(directory) + "tolvex-placement-test.ini").c_str(), MAX_PATH);
    for (const LayoutCase& layout : Layouts) {
        Layout = layout.monitors;
        for (const RECT& place : PlacesOn(layout.monitors)) {
            for (bool minimised : {false, true}) {
                ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
                PlaceAt(place);
                if (minimised) {
                    ShowWindow(MainWindow, SW_SHOWMINNOACTIVE);
                    ASSERT_TRUE(IsIconic(MainWindow));
                }
                Settings.WindowLeft = Settings.WindowTop = Settings.WindowWidth = 0;
                SaveSettings(StoredWindowPlace(MainWindow), NoHistory);
                EXPECT_EQ(Settings.WindowLeft, place.left) << layout.name << " " << Text(place);
                EXPECT_EQ(Settings.WindowTop, place.top) << layout.name << " " << Text(place);
                EXPECT_EQ(Settings.WindowWidth, 300) << layout.name << " " << Text(place);
                ShowWindow(MainWindow, SW_HIDE);
                ShowWindow(MainWindow, SW_RESTORE);
                ShowWindow(MainWindow, SW_HIDE);
            }
        }
    }
    DeleteFileA(IniPath);
    IniPath[0] = '\0';
}

TEST_F(FakedMonitors, ARectangleSetInScreenCoordinatesReadsBackTheSameInEveryState) {
    for (const LayoutCase& layout : Layouts) {
        Layout = layout.monitors;
        for (const RECT& place : PlacesOn(layout.monitors)) {
            const struct {
                const char* name;
                int show;
            } states[] = {{"shown", SW_SHOWNOACTIVATE},
                          {"hidden", SW_HIDE},
                          {"minimised", SW_SHOWMINNOACTIVE}};
            for (const auto& state : states) {
                ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
                PlaceAt({5, 5, 105, 29});
                ShowWindow(MainWindow, state.show);
                ASSERT_TRUE(SetRestoredScreenRect(MainWindow, place));
                RECT read = {};
                ASSERT_TRUE(GetRestoredScreenRect(MainWindow, &read));
                EXPECT_EQ(Text(read), Text(place)) << layout.name << ", " << state.name;
                EXPECT_EQ(IsWindowVisible(MainWindow) != 0, state.show != SW_HIDE)
                    << layout.name << ", " << state.name;
                EXPECT_EQ(IsIconic(MainWindow) != 0, state.show == SW_SHOWMINNOACTIVE)
                    << layout.name << ", " << state.name;
                ShowWindow(MainWindow, SW_RESTORE);
                EXPECT_EQ(Text(ScreenRect()), Text(place)) << layout.name << ", " << state.name;
                ShowWindow(MainWindow, SW_HIDE);
            }
        }
    }
}

struct ReachCase {
    const char* name;
    RECT before;
    RECT after; // in screen coordinates
};

TEST_F(FakedMonitors, ShowBringsAWindowOnNoMonitorIntoTheNearestWorkAreaAndLeavesOthersAlone) {
    Layout = {LeftHalf, RightHalf};
    // The work areas: the primary one 0..600 × 0..738, the second one 648..1024 × 0..768.
    const ReachCase cases[] = {
        {"far to the right", {5000, 300, 5300, 324}, {724, 300, 1024, 324}},
        {"far below", {100, 4000, 400, 4024}, {100, 714, 400, 738}},
        {"below and right", {1100, 800, 1400, 824}, {724, 744, 1024, 768}},
        {"far to the left", {-5000, 50, -4700, 74}, {0, 50, 300, 74}},
        {"above the second monitor", {700, -900, 1000, -876}, {700, 0, 1000, 24}},
        {"wider than the work area", {3000, 10, 6000, 34}, {648, 10, 1024, 34}},
        // At least one pixel on a monitor: not moved, even when most of it is off.
        {"one pixel on the second monitor", {1023, 100, 1323, 124}, {1023, 100, 1323, 124}},
        {"one pixel on the primary", {-299, 100, 1, 124}, {-299, 100, 1, 124}},
        {"under the primary's taskbar", {100, 750, 400, 774}, {100, 750, 400, 774}},
        {"across both monitors", {450, 20, 750, 44}, {450, 20, 750, 44}},
    };
    for (const ReachCase& c : cases) {
        const struct {
            const char* name;
            int show;
        } states[] = {{"hidden", SW_HIDE}, {"minimised", SW_SHOWMINNOACTIVE}, {"shown", SW_SHOWNA}};
        for (const auto& state : states) {
            ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
            PlaceAt(c.before);
            ShowWindow(MainWindow, state.show);
            ShowMainWindow();
            EXPECT_TRUE(IsWindowVisible(MainWindow)) << c.name << ", " << state.name;
            EXPECT_FALSE(IsIconic(MainWindow)) << c.name << ", " << state.name;
            EXPECT_EQ(Text(ScreenRect()), Text(c.after)) << c.name << ", " << state.name;
            ShowWindow(MainWindow, SW_HIDE);
        }
    }
}

TEST_F(FakedMonitors, AtStartAWindowStoredOnNoMonitorOpensInTheNearestWorkArea) {
    Layout = {LeftHalf, RightHalf};
    const ReachCase cases[] = {
        {"unplugged monitor far off", {5000, 4000, 5300, 4024}, {724, 744, 1024, 768}},
        {"partly on the second monitor", {1000, 100, 1300, 124}, {1000, 100, 1300, 124}},
    };
    for (const ReachCase& c : cases) {
        // As start-up makes it: created hidden at the stored place, sized, never shown yet.
        HWND window =
            CreateWindowExA(0, "STATIC", "start", WS_POPUP, c.before.left, c.before.top,
                            c.before.right - c.before.left, c.before.bottom - c.before.top, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        BringIntoReach(window);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        RECT shown;
        GetWindowRect(window, &shown);
        EXPECT_EQ(Text(shown), Text(c.after)) << c.name;
        DestroyWindow(window);
    }
}

TEST_F(FakedMonitors, WithoutTheMonitorCallsTheScreenIsTheOnlyMonitor) {
    MonitorCallsExist = false;
    RECT area = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(IsOnAnyMonitor({screen.right - 1, 10, screen.right + 300, 34}));
    EXPECT_FALSE(IsOnAnyMonitor({screen.right, 10, screen.right + 300, 34}));
    EXPECT_EQ(Text(NearestWorkArea({-5000, -5000, -4000, -4900})), Text(area));
    ShowWindow(MainWindow, SW_SHOWNOACTIVATE);
    PlaceAt({screen.right + 500, 10, screen.right + 800, 34});
    ShowWindow(MainWindow, SW_HIDE);
    ShowMainWindow();
    EXPECT_EQ(Text(ScreenRect()), Text({area.right - 300, 10, area.right, 34}));
}

TEST_F(FakedMonitors, ShowNeverSharesTheInputOfAForegroundWindowThatStoppedAnswering) {
    ASSERT_TRUE(gui::Hook("USER32.dll", "AttachThreadInput", FakeAttachThreadInput,
                          &RealAttachThreadInput));
    HWND other = CreateWindowExA(0, "STATIC", "in front", WS_POPUP | WS_VISIBLE, 200, 200, 50, 20,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    for (bool hung : {false, true}) {
        SetForegroundWindow(other);
        ASSERT_EQ(GetForegroundWindow(), other);
        ForegroundHung = hung;
        AttachCalls = 0;
        ShowMainWindow();
        EXPECT_TRUE(IsWindowVisible(MainWindow)) << "hung " << hung;
        // Shared for the moment of the call and given back: twice, or not at all.
        EXPECT_EQ(AttachCalls, hung ? 0 : 2);
        ShowWindow(MainWindow, SW_HIDE);
    }
    ForegroundHung = false;
    DestroyWindow(other);
    gui::Unhook("USER32.dll", "AttachThreadInput", RealAttachThreadInput);
}

} // namespace
