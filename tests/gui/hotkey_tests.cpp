// The hot-key code's translation, and SetGlobalHotKey against the platform's real registry of
// hot keys, in process.
//
// A combination is seen to be captured when this thread cannot register it as well: hot keys are
// unique across the whole desktop, whoever holds them.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "ui/mainwnd.h"
#include "ui/hotkeycode.h"
#include "ui/hotkey.h"
#include "tests/support/driver.h"
#include "tests/support/import_patch.h"

namespace {

TEST(HotKeyTranslation, ControlFlagsBecomeRegisterHotKeyModifiers) {
    const struct {
        const char* name;
        int code;
        HotKeyCombination expected;
    } cases[] = {
        {"the default, Ctrl+Alt+C", 1603, {MOD_CONTROL | MOD_ALT, 'C'}},
        {"shift alone", 0x0141, {MOD_SHIFT, 'A'}},
        {"control alone", 0x0270, {MOD_CONTROL, VK_F1}},
        {"alt alone", 0x0420, {MOD_ALT, VK_SPACE}},
        // The control marks the arrows and the like as extended keys; that is no modifier.
        {"Ctrl+Alt+Left as the control reports it", 0x0E25, {MOD_CONTROL | MOD_ALT, VK_LEFT}},
        {"extended Delete with Shift", 0x092E, {MOD_SHIFT, VK_DELETE}},
        {"the extended flag alone", 0x0824, {0, VK_HOME}},
        {"all four flags", 0x0F5A, {MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'Z'}},
        {"no flags", 0x0070, {0, VK_F1}},
        {"high-byte flags beyond the four are dropped", 0xF643, {MOD_CONTROL | MOD_ALT, 'C'}},
        {"bits above the low 16 are ignored", 0x7FFF0643, {MOD_CONTROL | MOD_ALT, 'C'}},
        {"a negative code keeps only its low 16 bits",
         -1,
         {MOD_ALT | MOD_CONTROL | MOD_SHIFT, 0xFF}},
    };
    for (const auto& c : cases) {
        HotKeyCombination key = HotKeyModifiers(c.code);
        EXPECT_EQ(key.modifiers, c.expected.modifiers) << c.name;
        EXPECT_EQ(key.virtualKey, c.expected.virtualKey) << c.name;
        EXPECT_EQ(key.modifiers & MOD_WIN, 0u) << "never the Windows key: " << c.name;
    }
}

struct NoHotKeyCase {
    int code;
    bool none;
};

TEST(HotKeyTranslation, OnlyZeroLow16BitsMeanNoHotKey) {
    const NoHotKeyCase cases[] = {
        {0, true},       {0x10000, true}, {0x7FFF0000, true}, {-65536, true},
        {0x0001, false}, {0x0100, false}, {0x10643, false},   {-1, false},
    };
    for (const NoHotKeyCase& c : cases) {
        EXPECT_EQ(IsNoHotKey(c.code), c.none) << std::hex << c.code;
    }
}

// Dismisses every message box this process shows, remembering how many there were and the text
// of the last, so that a warning cannot hang the test inside SetGlobalHotKey.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher() : thread_([this] { Watch(); }) {}
    ~MessageBoxWatcher() {
        stop_ = true;
        thread_.join();
    }
    int Count() const { return count_; }
    std::wstring LastText() const { return lastText_; }
    std::wstring LastCaption() const { return lastCaption_; }
    HWND LastOwner() const { return lastOwner_; }

  private:
    void Watch() {
        while (!stop_) {
            HWND box = gui::FindTopWindow("#32770", GetCurrentProcessId(),
                                          [](HWND window) { return IsWindowVisible(window) != 0; });
            if (box) {
                wchar_t text[256] = L"";
                GetDlgItemTextW(box, 0xFFFF, text, 256); // the message box's text control
                lastText_ = text;
                GetWindowTextW(box, text, 256);
                lastCaption_ = text;
                lastOwner_ = GetWindow(box, GW_OWNER);
                ++count_;
                SendMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(10);
        }
    }
    std::atomic<bool> stop_{false};
    std::atomic<int> count_{0};
    std::wstring lastText_;
    std::wstring lastCaption_;
    HWND lastOwner_ = nullptr;
    std::thread thread_;
};

using gui::Captured;

class SetGlobalHotKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainWindow = CreateWindowExA(0, "STATIC", "hot key owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(MainWindow, nullptr);
        // Another program of the test run may hold a combination used here; that would be a
        // broken environment, not a result.
        ASSERT_FALSE(Captured(MOD_CONTROL | MOD_ALT, 'C'));
        ASSERT_FALSE(Captured(MOD_CONTROL | MOD_SHIFT, 'A'));
        ASSERT_FALSE(Captured(MOD_CONTROL | MOD_ALT, VK_LEFT));
    }
    void TearDown() override {
        UnregisterHotKey(MainWindow, 0);
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    MessageBoxWatcher boxes;
};

struct RegistrationCase {
    const char* name;
    int code;
    UINT modifiers; // the combination that must be captured afterwards
    UINT virtualKey;
};

TEST_F(SetGlobalHotKeyTest, RegistersTheTranslatedCombinationWithoutAMessage) {
    const RegistrationCase cases[] = {
        {"default code", 1603, MOD_CONTROL | MOD_ALT, 'C'},
        {"extended Ctrl+Alt+Left", 0x0E25, MOD_CONTROL | MOD_ALT, VK_LEFT},
        {"bits above 16 ignored", 0x30341, MOD_CONTROL | MOD_SHIFT, 'A'},
    };
    for (const RegistrationCase& c : cases) {
        EXPECT_TRUE(SetGlobalHotKey(c.code)) << c.name;
        EXPECT_TRUE(Captured(c.modifiers, c.virtualKey)) << c.name;
        EXPECT_FALSE(Captured(c.modifiers | MOD_WIN, c.virtualKey)) << c.name;
        EXPECT_TRUE(SetGlobalHotKey(0)) << c.name;
        EXPECT_FALSE(Captured(c.modifiers, c.virtualKey)) << c.name;
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SetGlobalHotKeyTest, ZeroLow16BitsReleaseTheHotKeyWithoutAMessage) {
    const int codes[] = {0, 0x10000, 0x7FFF0000};
    for (int code : codes) {
        ASSERT_TRUE(SetGlobalHotKey(1603));
        ASSERT_TRUE(Captured(MOD_CONTROL | MOD_ALT, 'C'));
        EXPECT_TRUE(SetGlobalHotKey(code)) << std::hex << code;
        EXPECT_FALSE(Captured(MOD_CONTROL | MOD_ALT, 'C')) << std::hex << code;
        // Releasing when nothing is registered is just as quiet.
        EXPECT_TRUE(SetGlobalHotKey(code)) << std::hex << code;
    }
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SetGlobalHotKeyTest, ANewCodeReleasesTheOldCombination) {
    ASSERT_TRUE(SetGlobalHotKey(0x0341)); // Ctrl+Shift+A
    ASSERT_TRUE(SetGlobalHotKey(1603));   // Ctrl+Alt+C
    EXPECT_TRUE(Captured(MOD_CONTROL | MOD_ALT, 'C'));
    EXPECT_FALSE(Captured(MOD_CONTROL | MOD_SHIFT, 'A'));
    EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SetGlobalHotKeyTest, ATakenCombinationWarnsAndLeavesNoHotKeyBehind) {
    constexpr int OtherId = 0xBFF1;
    HWND dialog = CreateWindowExA(0, "STATIC", "settings", WS_POPUP, 0, 0, 10, 10, MainWindow,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(nullptr, OtherId, MOD_CONTROL | MOD_ALT, 'C'));
    const struct {
        const char* name;
        HWND owner; // asked for
        HWND expected;
    } owners[] = {{"at start-up", nullptr, MainWindow},
                  {"from the settings dialog", dialog, dialog}};
    for (const auto& c : owners) {
        ASSERT_TRUE(SetGlobalHotKey(0x0341)); // Ctrl+Shift+A, held before the failing change
        EXPECT_FALSE(SetGlobalHotKey(1603, c.owner)) << c.name;
        EXPECT_EQ(boxes.LastText(), gui::TakenHotKeyWarning('C')) << c.name;
        EXPECT_EQ(boxes.LastCaption(), L"tolvex") << c.name;
        EXPECT_EQ(boxes.LastOwner(), c.expected) << c.name;
        // The earlier combination is not kept captured behind the failed one.
        EXPECT_FALSE(Captured(MOD_CONTROL | MOD_SHIFT, 'A')) << c.name;
    }
    EXPECT_EQ(boxes.Count(), 2);
    UnregisterHotKey(nullptr, OtherId);
    DestroyWindow(dialog);
}

// RegisterHotKey as a platform that knows MOD_NOREPEAT, or as one from before it that refuses it.
bool RefuseNoRepeat = false;
UINT LastModifiers = 0;
decltype(&RegisterHotKey) RealRegisterHotKey;
BOOL WINAPI FakeRegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    LastModifiers = modifiers;
    if (RefuseNoRepeat && (modifiers & MOD_NOREPEAT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return RealRegisterHotKey(window, id, modifiers, virtualKey);
}

TEST_F(SetGlobalHotKeyTest, HoldingTheKeysDoesNotRepeatWhereThePlatformKnowsHow) {
    ASSERT_TRUE(
        gui::Hook("USER32.dll", "RegisterHotKey", &FakeRegisterHotKey, &RealRegisterHotKey));
    for (bool refused : {false, true}) {
        RefuseNoRepeat = refused;
        EXPECT_TRUE(SetGlobalHotKey(1603)) << "refused " << refused;
        EXPECT_EQ(LastModifiers,
                  refused ? MOD_CONTROL | MOD_ALT : MOD_CONTROL | MOD_ALT | MOD_NOREPEAT);
        EXPECT_TRUE(Captured(MOD_CONTROL | MOD_ALT, 'C')) << "refused " << refused;
        EXPECT_TRUE(SetGlobalHotKey(0));
    }
    EXPECT_EQ(boxes.Count(), 0);
    RefuseNoRepeat = false;
    gui::Unhook("USER32.dll", "RegisterHotKey", RealRegisterHotKey);
}

} // namespace
