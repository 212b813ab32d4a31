// A second start's hand-over in process, against a made-up running copy: one that answers and one
// whose thread has stopped. FindWindowA is redirected to it, so no real copy on the desktop is
// ever found or disturbed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "../../res/resource.h"
#include "../../settings/settings.h"
#include "../../ui/startup.h"
#include "import_patch.h"

namespace {

constexpr char CopyClassName[] = "tolvex made-up running copy";

HWND RunningCopy;
int ShowCommands;
DWORD AllowedProcess;
int MessageBoxes;
std::wstring MessageText;

HWND WINAPI FakeFindWindowA(const char*, const char*) {
    return RunningCopy;
}

BOOL WINAPI RecordingAllowSetForegroundWindow(DWORD processId) {
    AllowedProcess = processId;
    return TRUE;
}

int WINAPI RecordingMessageBoxW(HWND, const wchar_t* text, const wchar_t*, UINT) {
    ++MessageBoxes;
    MessageText = text;
    return IDOK;
}

LRESULT CALLBACK CopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_SHOW) {
        ++ShowCommands;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeCopyWindow() {
    return CreateWindowExA(0, CopyClassName, "tolvex", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A copy whose one thread has made its window and then stopped answering, until released.
struct StoppedCopy {
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    HWND window = nullptr;

    static DWORD WINAPI Run(void* self) {
        auto* copy = static_cast<StoppedCopy*>(self);
        copy->window = MakeCopyWindow();
        SetEvent(copy->made);
        WaitForSingleObject(copy->release, INFINITE);
        DestroyWindow(copy->window);
        return 0;
    }
    StoppedCopy() {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(made, INFINITE);
    }
    ~StoppedCopy() {
        SetEvent(release);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(made);
        CloseHandle(release);
    }
};

class HandOver : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = CopyProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = CopyClassName;
        RegisterClassA(&windowClass);
    }
    void SetUp() override {
        gui::Hook("USER32.dll", "FindWindowA", &FakeFindWindowA, &realFind);
        gui::Hook("USER32.dll", "AllowSetForegroundWindow", &RecordingAllowSetForegroundWindow,
                  &realAllow);
        gui::Hook("USER32.dll", "MessageBoxW", &RecordingMessageBoxW, &realMessageBox);
        ASSERT_NE(realFind, nullptr);
        ASSERT_NE(realAllow, nullptr);
        ASSERT_NE(realMessageBox, nullptr);
        saved = Settings;
        Settings.SingleInstance = 1;
        ShowCommands = MessageBoxes = 0;
        AllowedProcess = 0;
        MessageText.clear();
    }
    void TearDown() override {
        decltype(realFind) unusedFind;
        decltype(realAllow) unusedAllow;
        decltype(realMessageBox) unusedMessageBox;
        gui::Hook("USER32.dll", "FindWindowA", realFind, &unusedFind);
        gui::Hook("USER32.dll", "AllowSetForegroundWindow", realAllow, &unusedAllow);
        gui::Hook("USER32.dll", "MessageBoxW", realMessageBox, &unusedMessageBox);
        Settings = saved;
        RunningCopy = nullptr;
    }

    decltype(&FindWindowA) realFind = nullptr;
    decltype(&AllowSetForegroundWindow) realAllow = nullptr;
    decltype(&MessageBoxW) realMessageBox = nullptr;
    SettingsRecord saved;
};

TEST_F(HandOver, ACopyThatAnswersShowsItselfAndMayTakeTheForeground) {
    RunningCopy = MakeCopyWindow();
    ASSERT_NE(RunningCopy, nullptr);
    int exitCode = -1;
    EXPECT_TRUE(HandOverToRunningCopy(&exitCode));
    DestroyWindow(RunningCopy);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(ShowCommands, 1);
    EXPECT_EQ(AllowedProcess, GetCurrentProcessId());
    EXPECT_EQ(MessageBoxes, 0);
}

TEST_F(HandOver, ACopyThatDoesNotAnswerIsGivenUpWithAMessage) {
    StoppedCopy copy;
    ASSERT_NE(copy.window, nullptr);
    RunningCopy = copy.window;
    int exitCode = -1;
    EXPECT_TRUE(HandOverToRunningCopy(&exitCode));
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(ShowCommands, 0);
    EXPECT_EQ(MessageBoxes, 1);
    EXPECT_NE(MessageText.find(L"応答しません"), std::wstring::npos);
    EXPECT_NE(MessageText.find(L"タスク マネージャー"), std::wstring::npos);
}

TEST_F(HandOver, NoCopyOrSingleInstanceOffRunsOnItsOwn) {
    int exitCode = -1;
    EXPECT_FALSE(HandOverToRunningCopy(&exitCode));
    RunningCopy = MakeCopyWindow();
    Settings.SingleInstance = 0;
    EXPECT_FALSE(HandOverToRunningCopy(&exitCode));
    DestroyWindow(RunningCopy);
    EXPECT_EQ(exitCode, -1);
    EXPECT_EQ(ShowCommands, 0);
}

} // namespace
