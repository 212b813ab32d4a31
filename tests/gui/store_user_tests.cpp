// The real program run by an ordinary user: the settings kept in the user's own file when the
// executable's folder cannot be written and beside the executable when it can, and a second start
// that gives up on a running copy stopped by a signal. Run by store_user.sh in that user's own Wine
// prefix, which names the folders (Windows paths with a trailing backslash, each holding
// tolvex.exe) in TOLVEX_READONLY_DIR, TOLVEX_WRITABLE_DIR and TOLVEX_STOPPED_DIR.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "res/dialogs.h"
#include "res/resource.h"
#include "tests/support/driver.h"

namespace {

std::string Folder(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? value : "";
}

std::string UserIniFile() {
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::string(folder) + "\\tolvex\\tolvex.ini";
}

std::wstring Wide(const std::string& text) {
    wchar_t wide[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH * 2);
    return wide;
}

// The about box's line that names the settings file.
std::wstring AboutSettingsLine(const gui::Tolvex& tolvex) {
    // Posted: the dialog is modal, and a sent command would return only once it closes.
    PostMessageA(tolvex.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND dialog = nullptr;
    gui::WaitUntil([&] {
        return (dialog = gui::FindTopWindow("#32770", tolvex.process.dwProcessId, [](HWND w) {
                    return IsWindowVisible(w) != 0;
                })) != nullptr;
    });
    if (!dialog) {
        return L"(no about box)";
    }
    wchar_t text[MAX_PATH * 2] = L"";
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, IDC_SETTINGSPLACE), WM_GETTEXT, MAX_PATH * 2,
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, gui::MessageTimeoutMs,
                        &result);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    gui::WaitUntil([&] { return !IsWindow(dialog); });
    return text;
}

// Starts the copy in folder, switches always-on-top on and ends it through its menu command.
void ChangeASettingAndExit(const std::string& folder) {
    gui::Tolvex tolvex;
    ASSERT_TRUE(gui::StartTolvex(folder, &tolvex));
    gui::SendCommand(tolvex, IDM_TOPMOST);
    PostMessageA(tolvex.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(gui::Ends(&tolvex));
}

TEST(OrdinaryUser, APortableCopyKeepsItsFileAndLeavesTheUsersFolderAlone) {
    const std::string folder = Folder("TOLVEX_WRITABLE_DIR");
    ASSERT_FALSE(folder.empty());
    const std::string userFile = UserIniFile();
    const bool userFileBefore = gui::FileExists(userFile);
    const std::string userTextBefore = ReadTextFile(userFile);

    ChangeASettingAndExit(folder);
    EXPECT_EQ(gui::IniValue(folder + "tolvex.ini", "Settings", "AlwaysOnTop"), "1");
    EXPECT_EQ(gui::IniKeys(folder + "tolvex.ini", "Settings").size(), 19u);
    EXPECT_EQ(gui::FileExists(userFile), userFileBefore);
    EXPECT_EQ(ReadTextFile(userFile), userTextBefore);
}

TEST(OrdinaryUser, AFolderThatCannotBeWrittenKeepsTheSettingsInTheUsersFile) {
    const std::string folder = Folder("TOLVEX_READONLY_DIR");
    ASSERT_FALSE(folder.empty());
    const std::string userFile = UserIniFile();
    DeleteFileA(userFile.c_str());

    ChangeASettingAndExit(folder);
    EXPECT_FALSE(gui::FileExists(folder + "tolvex.ini"));
    EXPECT_EQ(gui::IniValue(userFile, "Settings", "AlwaysOnTop"), "1");

    gui::Tolvex tolvex;
    ASSERT_TRUE(gui::StartTolvex(folder, &tolvex));
    EXPECT_TRUE(GetWindowLongA(tolvex.window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(AboutSettingsLine(tolvex), L"設定: " + Wide(userFile));
    PostMessageA(tolvex.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(gui::Ends(&tolvex));
}

// Starts a program of the system beneath Wine (through Wine's start /unix), by way of env: started
// directly it would see the Windows form of its own path as its name, and pkill takes any other
// name than its own for pgrep's. It runs on its own: start cannot wait for a program that is not a
// Windows one, so the caller waits for its effect.
bool StartUnix(const std::string& commandLine) {
    std::string line = "start.exe /unix /usr/bin/env " + commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "store tests: cannot start %s: error %lu\n", line.c_str(),
                     GetLastError());
        return false;
    }
    WaitForSingleObject(process.hProcess, gui::DefaultTimeoutMs);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
}

// Stops the copy of tolvex.exe in folder with SIGSTOP, as a copy that hangs would be, and lets it
// go on again when this goes out of scope, however the test ends.
struct SignalStop {
    HWND window;
    std::string pattern;
    bool stopped = false;
    SignalStop(const std::string& folder, HWND running) : window(running) {
        // The copy's whole path, which the test run's own folder makes unique, with any character
        // for a backslash; its last letter bracketed, so that the command line of start.exe,
        // which carries the pattern, does not match it.
        pattern = folder + "tolvex.ex[e]";
        for (char& c : pattern) {
            c = c == '\\' ? '.' : c;
        }
        stopped = StartUnix("/usr/bin/pkill --signal STOP -f " + pattern) &&
                  gui::WaitUntil([&] { return !Answers(window); });
    }
    ~SignalStop() {
        StartUnix("/usr/bin/pkill --signal CONT -f " + pattern);
        gui::WaitUntil([&] { return Answers(window); });
    }
};

TEST(StoppedCopy, ASecondStartSaysSoAndEndsInsteadOfWaitingForEver) {
    const std::string folder = Folder("TOLVEX_STOPPED_DIR");
    ASSERT_FALSE(folder.empty());
    gui::Tolvex running;
    ASSERT_TRUE(gui::StartTolvex(folder, &running));
    SignalStop stop(folder, running.window);
    ASSERT_TRUE(stop.stopped);

    gui::Tolvex second;
    ASSERT_TRUE(gui::LaunchTolvex(folder, &second));
    HWND box = nullptr;
    // A few seconds for the running copy's answer, then the box; ten in all are plenty.
    ASSERT_TRUE(gui::WaitUntil(
        [&] {
            return (box = gui::FindTopWindow("#32770", second.process.dwProcessId)) != nullptr ||
                   WaitForSingleObject(second.process.hProcess, 0) == WAIT_OBJECT_0;
        },
        10000))
        << "the second start still waits";
    ASSERT_NE(box, nullptr) << "the second start ended without a word";
    // The box is found as soon as it exists; its text comes with its controls, a moment later.
    auto boxText = [&] {
        std::wstring text;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t part[512] = L"";
            DWORD_PTR result = 0;
            SendMessageTimeoutW(child, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(part),
                                SMTO_ABORTIFHUNG, gui::MessageTimeoutMs, &result);
            text += part;
        }
        return text;
    };
    EXPECT_TRUE(gui::WaitUntil([&] {
        return boxText().find(L"応答しません") != std::wstring::npos;
    })) << "the box says: "
        << boxText().size() << " characters";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(gui::Ends(&second, 1));
}

} // namespace
