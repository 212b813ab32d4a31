// The real tolvex.exe end to end: resident mode, the notification-area icon, the global hot key,
// a shell restart and the end of the session.
//
// The icon is observed through the shell itself: modifying an icon with no flags changes nothing
// and succeeds exactly when the shell holds an icon for that window and identifier.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/driver.h"

using namespace gui;

namespace {

constexpr UINT TrayIconId = 1;
constexpr UINT IconCallback = WM_USER;
constexpr int ProbeHotKeyId = 0xBFE0;

bool Running(const Tolvex& tolvex) {
    return WaitForSingleObject(tolvex.process.hProcess, 0) == WAIT_TIMEOUT;
}

bool IconPresent(HWND window) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TrayIconId;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

// A message box of the process, shown or about to be.
HWND MessageBoxOf(const Tolvex& tolvex) {
    return FindTopWindow("#32770", tolvex.process.dwProcessId);
}

std::wstring MessageBoxText(HWND box) {
    wchar_t text[256] = L"";
    // Sent in the wide form: the text lives in another process.
    SendDlgItemMessageW(box, 0xFFFF, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND VisiblePopupMenu() {
    HWND menu = FindTopWindow("#32768", 0);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

void ClickAt(int x, int y) {
    INPUT input[3] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input[0].mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].type = INPUT_MOUSE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof input[0]);
}

// Opens the icon's menu with the cursor at a known place and returns the menu's window.
HWND OpenIconMenu(const Tolvex& tolvex, POINT cursor) {
    // Wine passes a cursor move on to the X server only when it changes the position Wine holds,
    // and moves made on the X side (the screenshot test's xdotool) can leave that behind; the
    // session now lasts the whole run, so it may hold this very point from an earlier test. A step
    // aside first makes sure the pointer ends here, wherever earlier tests left it.
    SetCursorPos(cursor.x + 1, cursor.y + 1);
    SetCursorPos(cursor.x, cursor.y);
    PostMessageA(tolvex.window, IconCallback, TrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = VisiblePopupMenu()) != nullptr; });
    return menu;
}

// The item rows of menu 12 from top to bottom: show, a separator, exit.
void ChooseIconMenuItem(HWND menu, bool exitItem) {
    constexpr int InsideRow = 6; // pixels from the menu's edge into the first or last row
    RECT rect = WindowRect(menu);
    ClickAt((rect.left + rect.right) / 2,
            exitItem ? rect.bottom - InsideRow : rect.top + InsideRow);
}

// The 'C' key presses that reached the front window, counted by its subclass: a combination the
// program holds as its hot key never gets there.
int FrontWindowKeyPressesOfC;
WNDPROC FrontWindowStaticProc;

LRESULT CALLBACK CountKeyPressesOfC(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam == 'C') {
        ++FrontWindowKeyPressesOfC;
    }
    return CallWindowProcA(FrontWindowStaticProc, window, message, wParam, lParam);
}

// A window of the test's own in front of everything, so a way back has to take the foreground
// from another process.
struct FrontWindow {
    HWND window;
    explicit FrontWindow(const std::string& title) {
        window =
            CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300,
                            240, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        FrontWindowKeyPressesOfC = 0;
        FrontWindowStaticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountKeyPressesOfC)));
    }
    ~FrontWindow() { DestroyWindow(window); }
    bool TakeForeground() { return gui::TakeForeground(window); }
};

// True when the program answers at once, so it is back in its message loop.
bool AnswersAtOnce(const Tolvex& tolvex) {
    constexpr UINT AtOnceMs = 50;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(tolvex.window, WM_NULL, 0, 0, SMTO_NORMAL, AtOnceMs, &result) != 0;
}

// Waits until the calculator is the foreground window and done with getting there, handling this
// thread's messages all the while. To take the foreground from the test's window the program
// shares this thread's input state for the moment of the call and sends the window its
// deactivation and loss of focus, each waiting for the answer; the foreground reads as the
// program's before the last of them. Stopping to handle messages then leaves the program stuck
// in that call, and whatever is sent to it next waits too (the exit, most often).
bool ComesToFront(const Tolvex& tolvex) {
    return WaitUntil([&] {
        PumpMessages();
        return GetForegroundWindow() == tolvex.window && AnswersAtOnce(tolvex);
    });
}

void Hide(const Tolvex& tolvex) {
    SendCommand(tolvex, IDM_CLOSE);
}

bool Shown(const Tolvex& tolvex) {
    return IsWindowVisible(tolvex.window) && !IsIconic(tolvex.window);
}

// Starts the program in a fresh directory for the running test (or one of its cases, by name)
// whose tolvex.ini holds the settings lines; *ini, when asked for, gets that file's path.
bool StartWithSettings(const std::string& lines, Tolvex* tolvex, std::string* ini = nullptr,
                       const std::string& caseName = "") {
    std::string dir = FreshDirectory(caseName.empty() ? TestName() : TestName() + "." + caseName);
    std::string path = dir + "tolvex.ini";
    WriteTextFile(path, SettingsFile(lines));
    if (ini != nullptr) {
        *ini = path;
    }
    return StartTolvex(dir, tolvex);
}

// Ends the program through its exit command; true when it ended with code 0.
bool ExitsByCommand(Tolvex* tolvex) {
    SendCommand(*tolvex, IDM_EXIT);
    return Ends(tolvex);
}

struct CloseCase {
    const char* name;
    void (*close)(const Tolvex&);
};

TEST(ResidentMode, CloseRequestsHideTheWindowAndKeepTheProgramAndItsIcon) {
    const CloseCase cases[] = {
        {"close button", [](const Tolvex& t) { PostMessageA(t.closeButton, BM_CLICK, 0, 0); }},
        {"close command", [](const Tolvex& t) { SendCommand(t, IDM_CLOSE); }},
        {"system close",
         [](const Tolvex& t) { PostMessageA(t.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const CloseCase& c : cases) {
        Tolvex tolvex;
        std::string ini;
        ASSERT_TRUE(StartWithSettings("Resident=1\r\n", &tolvex, &ini, c.name)) << c.name;
        EXPECT_TRUE(IconPresent(tolvex.window)) << c.name;
        c.close(tolvex);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); })) << c.name;
        ASSERT_TRUE(Sync(tolvex)) << c.name;
        EXPECT_TRUE(Running(tolvex)) << c.name;
        EXPECT_TRUE(IsWindow(tolvex.window)) << c.name;
        EXPECT_TRUE(IconPresent(tolvex.window)) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"), "")
            << "nothing written yet: " << c.name;
        EXPECT_TRUE(ExitsByCommand(&tolvex)) << c.name;
        EXPECT_FALSE(IconPresent(tolvex.window)) << "the exit removes the icon: " << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "Resident"), "1") << c.name;
    }
}

TEST(ResidentMode, OffClosingEndsTheProgramAndThereIsNoIcon) {
    Tolvex tolvex;
    std::string ini;
    ASSERT_TRUE(StartWithSettings("Resident=0\r\n", &tolvex, &ini));
    EXPECT_FALSE(IconPresent(tolvex.window));
    SendCommand(tolvex, IDM_CLOSE);
    ASSERT_TRUE(Ends(&tolvex));
    EXPECT_EQ(IniValue(ini, "Settings", "Resident"), "0");
}

struct WayBackCase {
    const char* name;
    void (*bringBack)(const Tolvex&, const std::string& dir);
};

void LeftPressOnIcon(const Tolvex& t, const std::string&) {
    PostMessageA(t.window, IconCallback, TrayIconId, WM_LBUTTONDOWN);
}

void HotKeyMessage(const Tolvex& t, const std::string&) {
    PostMessageA(t.window, WM_HOTKEY, 0, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'C'));
}

void ShowCommand(const Tolvex& t, const std::string&) {
    SendCommand(t, IDM_SHOW);
}

void SecondStart(const Tolvex&, const std::string& dir) {
    Tolvex second;
    ASSERT_TRUE(LaunchTolvex(dir, &second));
    EXPECT_TRUE(Ends(&second)) << "the second copy hands over and exits with 0";
}

void ShowItemOfIconMenu(const Tolvex& t, const std::string&) {
    HWND menu = OpenIconMenu(t, {420, 320});
    ASSERT_NE(menu, nullptr);
    ChooseIconMenuItem(menu, false);
    // The click is input, which the program takes only after the messages sent to it: without
    // this wait the next step could reach it while the menu is still open.
    EXPECT_TRUE(WaitUntil([] { return VisiblePopupMenu() == nullptr; }));
}

TEST(ResidentMode, EveryWayBackShowsRestoresAndRaisesTheWindow) {
    const WayBackCase cases[] = {
        {"left press on the icon", LeftPressOnIcon},
        {"hot key message", HotKeyMessage},
        {"show command", ShowCommand},
        {"second start", SecondStart},
        {"show item of the icon menu", ShowItemOfIconMenu},
    };
    for (const WayBackCase& c : cases) {
        std::string dir = FreshDirectory(TestName() + "." + c.name);
        std::string ini = dir + "tolvex.ini";
        WriteTextFile(ini, SettingsFile("Resident=1\r\nSingleInstance=1\r\n"));
        Tolvex tolvex;
        ASSERT_TRUE(StartTolvex(dir, &tolvex)) << c.name;
        FrontWindow front("tolvex tray test front");
        const struct {
            const char* name;
            bool minimise;
        } states[] = {{"hidden", false}, {"minimised", true}};
        for (const auto& state : states) {
            if (state.minimise) {
                ShowWindow(tolvex.window, SW_MINIMIZE);
                ASSERT_TRUE(WaitUntil([&] { return IsIconic(tolvex.window) != 0; }));
            } else {
                Hide(tolvex);
                ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); }));
            }
            ASSERT_TRUE(front.TakeForeground()) << c.name;
            c.bringBack(tolvex, dir);
            EXPECT_TRUE(WaitUntil([&] { return Shown(tolvex); })) << c.name << ", " << state.name;
            EXPECT_TRUE(ComesToFront(tolvex)) << c.name << ", " << state.name;
        }
        // Already shown and in front: the way back leaves it so, it never hides.
        c.bringBack(tolvex, dir);
        ASSERT_TRUE(Sync(tolvex));
        EXPECT_TRUE(Shown(tolvex)) << c.name;
        EXPECT_EQ(AllTolvexWindows().size(), 1u) << c.name;
        EXPECT_TRUE(ExitsByCommand(&tolvex)) << c.name;
    }
}

// The icon's menu opened as the window hides: both requests are posted together, so the program
// takes the second before it has waited for anything, and so before the window system's own
// report of the hide has reached it. That report must neither close the menu nor cost the window
// the foreground.
TEST(ResidentMode, IconMenuOpenedAsTheWindowHidesStaysOpenAndItsShowItemWorks) {
    Tolvex tolvex;
    ASSERT_TRUE(StartWithSettings("Resident=1\r\n", &tolvex));
    ASSERT_TRUE(ComesToFront(tolvex));
    const POINT cursor = {420, 320};
    SetCursorPos(cursor.x + 1, cursor.y + 1);
    SetCursorPos(cursor.x, cursor.y);
    PostMessageA(tolvex.window, WM_COMMAND, IDM_CLOSE, 0);
    PostMessageA(tolvex.window, IconCallback, TrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = VisiblePopupMenu()) != nullptr; }));
    ASSERT_TRUE(Sync(tolvex));
    EXPECT_FALSE(IsWindowVisible(tolvex.window));
    ASSERT_NE(VisiblePopupMenu(), nullptr) << "the menu was closed unchosen";
    ChooseIconMenuItem(menu, false);
    EXPECT_TRUE(WaitUntil([&] { return Shown(tolvex); }));
    EXPECT_TRUE(ComesToFront(tolvex));
    EXPECT_TRUE(ExitsByCommand(&tolvex));
}

TEST(ResidentMode, OtherMouseMessagesOverTheIconDoNothing) {
    Tolvex tolvex;
    ASSERT_TRUE(StartWithSettings("Resident=1\r\n", &tolvex));
    Hide(tolvex);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); }));
    const UINT messages[] = {WM_LBUTTONUP,     WM_LBUTTONDBLCLK, WM_RBUTTONUP,
                             WM_RBUTTONDBLCLK, WM_MOUSEMOVE,     WM_MBUTTONDOWN};
    for (UINT message : messages) {
        PostMessageA(tolvex.window, IconCallback, TrayIconId, message);
        ASSERT_TRUE(Sync(tolvex));
        EXPECT_FALSE(IsWindowVisible(tolvex.window)) << std::hex << message;
        EXPECT_EQ(VisiblePopupMenu(), nullptr) << std::hex << message;
    }
    EXPECT_TRUE(ExitsByCommand(&tolvex));
}

TEST(ResidentMode, IconMenuOpensAtTheCursorAndItsExitEndsTheProgram) {
    Tolvex tolvex;
    std::string ini;
    ASSERT_TRUE(StartWithSettings("Resident=1\r\n", &tolvex, &ini));
    SendMessageA(tolvex.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("6*7=42"));
    Hide(tolvex);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); }));
    const POINT cursor = {380, 260};
    HWND menu = OpenIconMenu(tolvex, cursor);
    ASSERT_NE(menu, nullptr);
    RECT rect = WindowRect(menu);
    EXPECT_EQ(rect.left, cursor.x);
    EXPECT_EQ(rect.top, cursor.y);
    ChooseIconMenuItem(menu, true);
    ASSERT_TRUE(Ends(&tolvex));
    EXPECT_FALSE(IconPresent(tolvex.window));
    EXPECT_EQ(IniValue(ini, "Settings", "Resident"), "1");
    EXPECT_EQ(IniValue(ini, "History", "0"), "6*7=42");
}

// Each of the program's popup menus, opened as a user would and left open.
struct OpenMenuCase {
    const char* name;
    void (*open)(const Tolvex&);
};

void OpenIconMenuAtTheCursor(const Tolvex& t) {
    OpenIconMenu(t, {380, 260});
}

void OpenMainMenu(const Tolvex& t) {
    // Posted: the menu's loop runs inside the command, which a sent message would wait for.
    PostMessageA(t.window, WM_COMMAND, MAKEWPARAM(IDC_MENU, BN_CLICKED),
                 reinterpret_cast<LPARAM>(t.menuButton));
}

void OpenCloseMenu(const Tolvex& t) {
    RECT rect = WindowRect(t.window);
    PostMessageA(t.window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(rect.left + 2, rect.top + 2));
}

void EndSession(const Tolvex& t) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(t.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                        DefaultTimeoutMs, &answer);
    SendMessageTimeoutA(t.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                        DefaultTimeoutMs, &answer);
}

struct ExitCase {
    const char* name;
    int resident;
    void (*exit)(const Tolvex&);
    bool programEnds; // false: at the end of the session the platform ends the process
};

// A sent exit runs inside the open menu's own loop, which used to swallow the quit message: the
// window was gone and the settings written, but the process waited for ever.
TEST(ResidentMode, EveryWayToExitEndsTheProgramWhateverMenuIsOpen) {
    const OpenMenuCase menus[] = {{"icon menu", OpenIconMenuAtTheCursor},
                                  {"main menu", OpenMainMenu},
                                  {"close menu", OpenCloseMenu}};
    const ExitCase exits[] = {
        {"exit command, sent", 1, [](const Tolvex& t) { SendCommand(t, IDM_EXIT); }, true},
        {"exit command, posted", 1,
         [](const Tolvex& t) { PostMessageA(t.window, WM_COMMAND, IDM_EXIT, 0); }, true},
        {"close without resident mode", 0, [](const Tolvex& t) { SendCommand(t, IDM_CLOSE); },
         true},
        {"end of the session", 1, EndSession, false},
    };
    for (const OpenMenuCase& m : menus) {
        for (const ExitCase& e : exits) {
            std::string name = std::string(m.name) + ", " + e.name;
            Tolvex tolvex;
            std::string ini;
            ASSERT_TRUE(StartWithSettings("Resident=" + std::to_string(e.resident) + "\r\n",
                                          &tolvex, &ini, name))
                << name;
            SendMessageA(tolvex.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("2*3=6"));
            m.open(tolvex);
            ASSERT_TRUE(WaitUntil([] { return VisiblePopupMenu() != nullptr; })) << name;
            e.exit(tolvex);
            if (e.programEnds) {
                EXPECT_TRUE(Ends(&tolvex)) << name;
                EXPECT_TRUE(WaitUntil([] { return VisiblePopupMenu() == nullptr; })) << name;
            }
            EXPECT_EQ(IniValue(ini, "History", "0"), "2*3=6") << name;
            EXPECT_EQ(IniValue(ini, "Settings", "Resident"), std::to_string(e.resident)) << name;
        }
    }
}

struct HotKeyCase {
    const char* name;
    const char* settings;
    bool captured; // whether Ctrl+Alt+C is held while the program runs
};

TEST(GlobalHotKey, StartUpRegistersTheStoredCodeOnlyWhenOnAndWarnsOfNothingElse) {
    const HotKeyCase cases[] = {
        {"default code", "UseHotKey=1\r\nHotKey=1603\r\n", true},
        {"bits above the low 16", "UseHotKey=1\r\nHotKey=132675\r\n", true}, // 0x20643
        {"low 16 bits zero", "UseHotKey=1\r\nHotKey=65536\r\n", false},
        {"hot key off", "UseHotKey=0\r\nHotKey=1603\r\n", false},
    };
    for (const HotKeyCase& c : cases) {
        std::string dir = FreshDirectory(TestName() + "." + c.name);
        WriteTextFile(dir + "tolvex.ini", SettingsFile(c.settings));
        ASSERT_FALSE(Captured(MOD_CONTROL | MOD_ALT, 'C')) << "held before the start: " << c.name;
        Tolvex tolvex;
        ASSERT_TRUE(StartTolvex(dir, &tolvex)) << c.name;
        EXPECT_EQ(MessageBoxOf(tolvex), nullptr) << c.name;
        EXPECT_EQ(Captured(MOD_CONTROL | MOD_ALT, 'C'), c.captured) << c.name;
        EXPECT_TRUE(ExitsByCommand(&tolvex)) << c.name;
        // Not released at exit: the end of the process releases it.
        EXPECT_TRUE(WaitUntil([] { return !Captured(MOD_CONTROL | MOD_ALT, 'C'); })) << c.name;
    }
}

TEST(GlobalHotKey, ATakenCombinationWarnsOnceAndStartUpGoesOnWithTheSettingKept) {
    std::string dir = FreshDirectory(TestName());
    std::string ini = dir + "tolvex.ini";
    WriteTextFile(ini, SettingsFile("UseHotKey=1\r\nHotKey=1603\r\n"));
    ASSERT_TRUE(RegisterHotKey(nullptr, ProbeHotKeyId, MOD_CONTROL | MOD_ALT, 'C'));
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(tolvex)) != nullptr; }));
    EXPECT_EQ(MessageBoxText(box), TakenHotKeyWarning('C'));
    EXPECT_EQ(WindowText(box), "tolvex");
    EXPECT_EQ(GetWindow(box, GW_OWNER), tolvex.window);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    // Past the box, start-up runs on into the message loop: the accelerators are in force.
    SendMessageA(tolvex.combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("5"));
    PostKey(tolvex, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(tolvex.combo).empty(); }));
    EXPECT_EQ(MessageBoxOf(tolvex), nullptr) << "one warning only";
    ASSERT_TRUE(ExitsByCommand(&tolvex));
    UnregisterHotKey(nullptr, ProbeHotKeyId);
    EXPECT_EQ(IniValue(ini, "Settings", "UseHotKey"), "1");
    EXPECT_EQ(IniValue(ini, "Settings", "HotKey"), "1603");
}

// The Unix path of a directory that FreshDirectory made ("Z:\\a\\b\\" is "/a/b/").
std::string UnixPath(const std::string& windowsPath) {
    std::string path;
    for (size_t i = 2; i < windowsPath.size(); ++i) {
        path += windowsPath[i] == '\\' ? '/' : windowsPath[i];
    }
    return path;
}

// Runs a shell command on the X side (Wine starts Unix programs directly, but gives no exit code
// of theirs): the command leaves its status in a file of dir, which is waited for.
bool RunOnXServer(const std::string& dir, const std::string& command) {
    const std::string statusFile = "xside.status";
    std::string commandLine =
        "/bin/sh -c \"" + command + "; echo $? > '" + UnixPath(dir) + statusFile + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "tray tests: cannot start %s: error %lu\n", commandLine.c_str(),
                     GetLastError());
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::string status = dir + statusFile;
    bool done = WaitUntil([&] { return ReadTextFile(status).find('\n') != std::string::npos; });
    bool succeeded = done && ReadTextFile(status) == "0\n";
    DeleteFileA(status.c_str());
    return succeeded;
}

// Real key events from the X side to the window that has its keyboard focus: the test's own, in
// front, since the platform hands hot keys over only while one of its windows has the keyboard.
// The focus is set and confirmed first (--sync waits until the server reports it).
bool PressKeysOnXServer(const std::string& dir, const std::string& frontTitle,
                        const std::string& keys) {
    return RunOnXServer(dir, "xdotool search --name '^" + frontTitle +
                                 "$' windowfocus --sync && xdotool key " + keys);
}

bool PressCtrlAltCOnXServer(const std::string& dir, const std::string& frontTitle) {
    return PressKeysOnXServer(dir, frontTitle, "ctrl+alt+c");
}

std::string FrontTitle() {
    return "tolvex hot key test " + std::to_string(GetCurrentProcessId());
}

// The program started resident with the default hot key switched on or off, in the running
// test's fresh directory, which *dir gets: the X side leaves its status there.
bool StartResidentWithHotKey(bool on, Tolvex* tolvex, std::string* dir) {
    *dir = FreshDirectory(TestName());
    std::string use = on ? "1" : "0";
    WriteTextFile(*dir + "tolvex.ini",
                  SettingsFile("Resident=1\r\nUseHotKey=" + use + "\r\nHotKey=1603\r\n"));
    return StartTolvex(*dir, tolvex);
}

TEST(GlobalHotKey, KeysPressedOnTheXServerBringTheCalculatorForward) {
    Tolvex tolvex;
    std::string dir;
    ASSERT_TRUE(StartResidentWithHotKey(true, &tolvex, &dir));
    FrontWindow front(FrontTitle());
    const struct {
        const char* name;
        int showCommand; // what the calculator is put into first
    } states[] = {{"hidden", SW_HIDE}, {"minimised", SW_MINIMIZE}, {"behind", SW_SHOWNOACTIVATE}};
    for (const auto& state : states) {
        ShowWindow(tolvex.window, state.showCommand);
        ASSERT_TRUE(front.TakeForeground()) << state.name;
        ASSERT_TRUE(PressCtrlAltCOnXServer(dir, FrontTitle())) << state.name;
        EXPECT_TRUE(ComesToFront(tolvex)) << state.name;
        EXPECT_TRUE(Shown(tolvex)) << state.name;
    }
    EXPECT_EQ(FrontWindowKeyPressesOfC, 0) << "the hot key is taken before any window sees it";
    EXPECT_TRUE(ExitsByCommand(&tolvex));
}

// The hot-key control reports Left as an extended key (3621: Ctrl, Alt and the extended flag over
// VK_LEFT); registered with the Windows key added, these keys would never reach the program.
TEST(GlobalHotKey, AnExtendedKeyChosenWithCtrlAltFiresWithoutTheWindowsKey) {
    std::string dir = FreshDirectory(TestName());
    std::string ini = dir + "tolvex.ini";
    WriteTextFile(ini, SettingsFile("Resident=1\r\nUseHotKey=1\r\nHotKey=3621\r\n"));
    Tolvex tolvex;
    ASSERT_TRUE(StartTolvex(dir, &tolvex));
    EXPECT_EQ(MessageBoxOf(tolvex), nullptr);
    EXPECT_TRUE(Captured(MOD_CONTROL | MOD_ALT, VK_LEFT));
    FrontWindow front(FrontTitle());
    Hide(tolvex);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); }));
    ASSERT_TRUE(front.TakeForeground());
    ASSERT_TRUE(PressKeysOnXServer(dir, FrontTitle(), "ctrl+alt+Left"));
    EXPECT_TRUE(ComesToFront(tolvex));
    EXPECT_TRUE(Shown(tolvex));
    EXPECT_TRUE(ExitsByCommand(&tolvex));
    EXPECT_EQ(IniValue(ini, "Settings", "HotKey"), "3621") << "the stored code keeps its flag";
}

TEST(GlobalHotKey, WithTheHotKeyOffTheSameKeysGoToTheWindowInFrontAndNothingComesForward) {
    Tolvex tolvex;
    std::string dir;
    ASSERT_TRUE(StartResidentWithHotKey(false, &tolvex, &dir));
    FrontWindow front(FrontTitle());
    Hide(tolvex);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); }));
    ASSERT_TRUE(front.TakeForeground());
    ASSERT_TRUE(PressCtrlAltCOnXServer(dir, FrontTitle()));
    // The keys arriving here show that they reached the platform, which had nobody to hand them to.
    ASSERT_TRUE(WaitUntil([] {
        PumpMessages();
        return FrontWindowKeyPressesOfC > 0;
    }));
    ASSERT_TRUE(Sync(tolvex));
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(tolvex.window));
    EXPECT_EQ(GetForegroundWindow(), front.window);
    EXPECT_TRUE(ExitsByCommand(&tolvex));
}

struct RestartCase {
    const char* name;
    int resident;
};

TEST(ShellRestart, TaskbarCreatedAddsTheIconAgainOnlyWhenResident) {
    const RestartCase cases[] = {{"resident", 1}, {"not resident", 0}};
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (const RestartCase& c : cases) {
        Tolvex tolvex;
        ASSERT_TRUE(StartWithSettings("Resident=" + std::to_string(c.resident) + "\r\n", &tolvex,
                                      nullptr, c.name))
            << c.name;
        ASSERT_EQ(IconPresent(tolvex.window), c.resident == 1) << c.name;
        if (c.resident) {
            Hide(tolvex);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(tolvex.window); })) << c.name;
        }
        // What a restarted shell does: it has forgotten the icon.
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = tolvex.window;
        data.uID = TrayIconId;
        Shell_NotifyIconA(NIM_DELETE, &data);
        ASSERT_FALSE(IconPresent(tolvex.window)) << c.name;
        DWORD_PTR result = 0;
        SendMessageTimeoutA(tolvex.window, taskbarCreated, 0, 0, SMTO_NORMAL, DefaultTimeoutMs,
                            &result);
        EXPECT_EQ(IconPresent(tolvex.window), c.resident == 1) << c.name;
        EXPECT_EQ(IsWindowVisible(tolvex.window) != 0, c.resident == 0) << "as it was: " << c.name;
        if (c.resident) {
            // The icon added again answers to its callback as before.
            PostMessageA(tolvex.window, IconCallback, TrayIconId, WM_LBUTTONDOWN);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tolvex.window) != 0; })) << c.name;
        }
        EXPECT_TRUE(ExitsByCommand(&tolvex)) << c.name;
    }
}

struct SessionCase {
    const char* name;
    int resident;
    bool hidden;
};

TEST(SessionEnd, EndingSessionSavesSettingsAndHistoryOnceInEveryMode) {
    const SessionCase cases[] = {
        {"not resident", 0, false}, {"resident, shown", 1, false}, {"resident, hidden", 1, true}};
    for (const SessionCase& c : cases) {
        Tolvex tolvex;
        std::string ini;
        ASSERT_TRUE(StartWithSettings(
            "Resident=" + std::to_string(c.resident) + "\r\nHexBits=64\r\n", &tolvex, &ini, c.name))
            << c.name;
        SendMessageA(tolvex.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1+2=3"));
        SetWindowPos(tolvex.window, nullptr, 40, 50, 260, 10, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return WindowRect(tolvex.window).left == 40; })) << c.name;
        if (c.hidden) {
            Hide(tolvex);
        }
        DeleteFileA(ini.c_str());
        DWORD_PTR answer = 0;
        ASSERT_TRUE(SendMessageTimeoutA(tolvex.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                        SMTO_NORMAL, DefaultTimeoutMs, &answer))
            << c.name;
        EXPECT_NE(answer, 0u) << "the session may end: " << c.name;
        // A cancelled ending writes nothing.
        SendMessageTimeoutA(tolvex.window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                            DefaultTimeoutMs, &answer);
        EXPECT_FALSE(FileExists(ini)) << c.name;

        SendMessageTimeoutA(tolvex.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                            DefaultTimeoutMs, &answer);
        ASSERT_TRUE(FileExists(ini)) << c.name;
        EXPECT_EQ(IniKeys(ini, "Settings").size(), 19u) << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowLeft"), "40") << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "WindowWidth"), "260") << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "HexBits"), "64") << c.name;
        EXPECT_EQ(IniValue(ini, "Settings", "Resident"), std::to_string(c.resident)) << c.name;
        EXPECT_EQ(IniValue(ini, "History", "Count"), "1") << c.name;
        EXPECT_EQ(IniValue(ini, "History", "0"), "1+2=3") << c.name;

        // Once: a repeated message writes nothing more.
        DeleteFileA(ini.c_str());
        SendMessageTimeoutA(tolvex.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                            DefaultTimeoutMs, &answer);
        EXPECT_FALSE(FileExists(ini)) << c.name;
        EXPECT_TRUE(Running(tolvex)) << "the platform, not the program, ends it: " << c.name;
        EXPECT_TRUE(ExitsByCommand(&tolvex)) << c.name;
    }
}

} // namespace
