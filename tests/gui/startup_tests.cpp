// A second start's hand-over in process, against a made-up running copy: one that answers and one
// whose thread has stopped. FindWindowA is redirected to it, so no real copy on the desktop is
// ever found or disturbed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/corners.h"
#include "ui/mainwnd.h"
#include "ui/startup.h"
#include "tests/support/import_patch.h"

namespace {

constexpr char CopyClassName[] = "tolvex made-up running copy";

HWND RunningCopy;
int ShowCommands;
DWORD AllowedProcess;
std::wstring MessageText;

HWND WINAPI FakeFindWindowA(const char*, const char*) {
    return RunningCopy;
}

BOOL WINAPI RecordingAllowSetForegroundWindow(DWORD processId) {
    AllowedProcess = processId;
    return TRUE;
}

int WINAPI RecordingMessageBoxW(HWND, const wchar_t* text, const wchar_t*, UINT) {
    MessageText += text;
    return IDOK;
}

LRESULT CALLBACK CopyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_SHOW) {
        ++ShowCommands;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeCopyWindow() {
    return CreateWindowExA(0, CopyClassName, "tolvex", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// The window of a thread that stops answering once it has made it (Made); Release lets it end.
HANDLE Made;
HANDLE Release;

DWORD WINAPI RunStoppedCopy(void*) {
    RunningCopy = MakeCopyWindow();
    SetEvent(Made);
    WaitForSingleObject(Release, INFINITE);
    DestroyWindow(RunningCopy);
    return 0;
}

class HandOver : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = CopyProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = CopyClassName;
        RegisterClassA(&windowClass);
        for (Hooked& hook : hooks) {
            hook.real = gui::PatchImport("USER32.dll", hook.name, hook.fake);
            ASSERT_NE(hook.real, nullptr) << hook.name;
        }
        saved = Settings;
        Settings.SingleInstance = 1;
        ShowCommands = 0;
        AllowedProcess = 0;
        MessageText.clear();
    }
    void TearDown() override {
        for (Hooked& hook : hooks) {
            gui::PatchImport("USER32.dll", hook.name, hook.real);
        }
        Settings = saved;
    }

    struct Hooked {
        const char* name;
        void* fake;
        void* real;
    } hooks[3] = {
        {"FindWindowA", reinterpret_cast<void*>(FakeFindWindowA), nullptr},
        {"AllowSetForegroundWindow", reinterpret_cast<void*>(RecordingAllowSetForegroundWindow),
         nullptr},
        {"MessageBoxW", reinterpret_cast<void*>(RecordingMessageBoxW), nullptr},
    };
    SettingsRecord saved;
};

TEST_F(HandOver, ACopyThatAnswersShowsItselfAndMayTakeTheForeground) {
    RunningCopy = MakeCopyWindow();
    int exitCode = -1;
    EXPECT_TRUE(HandOverToRunningCopy(&exitCode));
    DestroyWindow(RunningCopy);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(ShowCommands, 1);
    EXPECT_EQ(AllowedProcess, GetCurrentProcessId());
    EXPECT_EQ(MessageText, L"");
}

TEST_F(HandOver, ACopyThatDoesNotAnswerIsGivenUpWithAMessage) {
    Made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RunStoppedCopy, nullptr, 0, nullptr);
    WaitForSingleObject(Made, INFINITE);
    int exitCode = -1;
    EXPECT_TRUE(HandOverToRunningCopy(&exitCode));
    SetEvent(Release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(Made);
    CloseHandle(Release);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(ShowCommands, 0);
    EXPECT_NE(MessageText.find(L"応答しません"), std::wstring::npos);
    EXPECT_NE(MessageText.find(L"タスク マネージャー"), std::wstring::npos);
}

// How the platform refuses the hand-over message: the error it leaves.
DWORD RefusalError;

LRESULT WINAPI RefusingSendMessageTimeoutA(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR) {
    SetLastError(RefusalError);
    return 0;
}

struct RefusalCase {
    const char* name;
    DWORD error;
    const wchar_t* said;    // a phrase the message has
    const wchar_t* notSaid; // and one it must not have
};

// A copy running as administrator refuses the message at once with access denied (UIPI), which
// is told apart from a copy that does not answer: the user learns why, and what to do.
TEST_F(HandOver, ACopyRunningAsAdministratorIsToldApartFromOneThatDoesNotAnswer) {
    const RefusalCase cases[] = {
        {"elevated copy", ERROR_ACCESS_DENIED, L"管理者として実行", L"応答しません"},
        {"timed out", ERROR_TIMEOUT, L"応答しません", L"管理者"},
    };
    decltype(&SendMessageTimeoutA) real = nullptr;
    ASSERT_TRUE(
        gui::Hook("USER32.dll", "SendMessageTimeoutA", &RefusingSendMessageTimeoutA, &real));
    RunningCopy = MakeCopyWindow();
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        RefusalError = c.error;
        MessageText.clear();
        int exitCode = -1;
        EXPECT_TRUE(HandOverToRunningCopy(&exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_NE(MessageText.find(c.said), std::wstring::npos);
        EXPECT_EQ(MessageText.find(c.notSaid), std::wstring::npos);
    }
    gui::Unhook("USER32.dll", "SendMessageTimeoutA", real);
    DestroyWindow(RunningCopy);
    EXPECT_EQ(ShowCommands, 0);
}

} // namespace

namespace {

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return {0, 0};
    }
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // A monochrome icon keeps its image and mask one above the other in its mask.
    return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

// The class's small icon is the resource's own small image, not the large one it was loaded
// beside (which a shared load would hand back), and it lives exactly as long as the class.
TEST(MainClass, TheSmallIconIsTheSmallImageAndGoesWithTheClass) {
    HMODULE module = gui::LoadExeResources();
    ASSERT_NE(module, nullptr);
    AppInstance = module;
    ASSERT_TRUE(RegisterMainClass());
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExA(module, MainClassName, &windowClass));
    SIZE large = IconSize(windowClass.hIcon);
    HICON smallIcon = windowClass.hIconSm;
    SIZE small = IconSize(smallIcon);
    EXPECT_EQ(large.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(small.cy, GetSystemMetrics(SM_CYSMICON));
    UnregisterMainClass();
    EXPECT_FALSE(GetClassInfoExA(module, MainClassName, &windowClass));
    ICONINFO gone = {};
    EXPECT_FALSE(GetIconInfo(smallIcon, &gone));
    AppInstance = nullptr;
    FreeLibrary(module);
}

} // namespace

namespace {

// The desktop window manager's library as the platform offers it: present or not, with the call
// or without; what was loaded, asked for and freed, and the attribute calls made.
struct FakeDwm {
    bool library;
    bool call;
};
FakeDwm Platform;
std::string LoadedPath;
int Frees;
struct AttributeCall {
    HWND window;
    DWORD attribute;
    DWORD value;
    DWORD size;
};
std::vector<AttributeCall> AttributeCalls;
// A handle no real module has.
HMODULE const DwmHandle = reinterpret_cast<HMODULE>(static_cast<INT_PTR>(0x7FFF0000));

decltype(&LoadLibraryA) RealLoadLibraryA;
decltype(&GetProcAddress) RealGetProcAddressForDwm;
decltype(&FreeLibrary) RealFreeLibrary;

HRESULT WINAPI FakeDwmSetWindowAttribute(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
    DWORD read = size == sizeof(DWORD) ? *static_cast<const DWORD*>(value) : 0xFFFFFFFF;
    AttributeCalls.push_back({window, attribute, read, size});
    return S_OK;
}

HMODULE WINAPI FakeLoadLibraryA(LPCSTR name) {
    if (std::strstr(name, "DWMAPI") == nullptr && std::strstr(name, "dwmapi") == nullptr) {
        return RealLoadLibraryA(name);
    }
    LoadedPath = name;
    return Platform.library ? DwmHandle : nullptr;
}

FARPROC WINAPI FakeGetProcAddressForDwm(HMODULE module, LPCSTR name) {
    if (module != DwmHandle) {
        return RealGetProcAddressForDwm(module, name);
    }
    bool wanted = HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 &&
                  std::strcmp(name, "DwmSetWindowAttribute") == 0 && Platform.call;
    return wanted ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeDwmSetWindowAttribute))
                  : nullptr;
}

BOOL WINAPI FakeFreeLibrary(HMODULE module) {
    if (module != DwmHandle) {
        return RealFreeLibrary(module);
    }
    ++Frees;
    return TRUE;
}

struct CornerCase {
    const char* name;
    FakeDwm platform;
    int calls;
    int frees;
};

// Windows 11 is asked for small corners (DWMWA_WINDOW_CORNER_PREFERENCE 33, DWMWCP_ROUNDSMALL 3),
// in the library of the system directory, which is freed again; a platform without the call or
// the library is asked nothing.
TEST(Corners, SmallRoundingIsAskedWhereTheCallExistsAndTheLibraryIsFreed) {
    const CornerCase cases[] = {
        {"with the call", {true, true}, 1, 1},
        {"library without the call", {true, false}, 0, 1},
        {"no library", {false, false}, 0, 0},
    };
    ASSERT_TRUE(gui::Hook("KERNEL32.dll", "LoadLibraryA", FakeLoadLibraryA, &RealLoadLibraryA));
    ASSERT_TRUE(gui::Hook("KERNEL32.dll", "GetProcAddress", FakeGetProcAddressForDwm,
                          &RealGetProcAddressForDwm));
    ASSERT_TRUE(gui::Hook("KERNEL32.dll", "FreeLibrary", FakeFreeLibrary, &RealFreeLibrary));
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    for (const CornerCase& c : cases) {
        SCOPED_TRACE(c.name);
        Platform = c.platform;
        LoadedPath.clear();
        Frees = 0;
        AttributeCalls.clear();
        AskForSmallCorners(window);
        EXPECT_EQ(LoadedPath, std::string(system) + "\\DWMAPI.DLL");
        ASSERT_EQ(static_cast<int>(AttributeCalls.size()), c.calls);
        for (const AttributeCall& call : AttributeCalls) {
            EXPECT_EQ(call.window, window);
            EXPECT_EQ(call.attribute, 33u);
            EXPECT_EQ(call.size, 4u);
            EXPECT_EQ(call.value, 3u);
        }
        EXPECT_EQ(Frees, c.frees);
    }
    gui::Unhook("KERNEL32.dll", "LoadLibraryA", RealLoadLibraryA);
    gui::Unhook("KERNEL32.dll", "GetProcAddress", RealGetProcAddressForDwm);
    gui::Unhook("KERNEL32.dll", "FreeLibrary", RealFreeLibrary);
}

} // namespace
