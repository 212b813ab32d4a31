// The settings dialog's procedure in process, on the executable's own template: what OK asks of
// the notification area, the hot-key service and the layered-window call, counted on the way, and
// what OK and Cancel leave in the settings and the history list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "dialogs/settingsdlg.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/appearance.h"
#include "ui/lineview.h"
#include "ui/mainwnd.h"
#include "ui/layering.h"
#include "tests/support/driver.h"
#include "tests/support/import_patch.h"

using namespace gui;

namespace {

int IconsAdded, IconsDeleted, HotKeysRegistered, HotKeysUnregistered;
UINT RegisteredKey;

decltype(&Shell_NotifyIconA) RealNotifyIcon;
decltype(&RegisterHotKey) RealRegisterHotKey;
decltype(&UnregisterHotKey) RealUnregisterHotKey;

BOOL WINAPI CountingNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
    IconsAdded += message == NIM_ADD;
    IconsDeleted += message == NIM_DELETE;
    (void)data;
    return TRUE; // no shell to talk to in a test run
}

BOOL WINAPI CountingRegisterHotKey(HWND window, int id, UINT modifiers, UINT key) {
    ++HotKeysRegistered;
    RegisteredKey = key;
    (void)window, (void)id, (void)modifiers;
    return TRUE;
}

BOOL WINAPI CountingUnregisterHotKey(HWND window, int id) {
    ++HotKeysUnregistered;
    (void)window, (void)id;
    return TRUE;
}

class SettingsDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls,
                                         ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        Hook("shell32.dll", "Shell_NotifyIconA", &CountingNotifyIcon, &RealNotifyIcon);
        Hook("user32.dll", "RegisterHotKey", &CountingRegisterHotKey, &RealRegisterHotKey);
        Hook("user32.dll", "UnregisterHotKey", &CountingUnregisterHotKey, &RealUnregisterHotKey);
    }
    void SetUp() override {
        ASSERT_NE(RealNotifyIcon, nullptr);
        ASSERT_NE(RealRegisterHotKey, nullptr);
        ASSERT_NE(RealUnregisterHotKey, nullptr);
        module = LoadExeResources();
        ASSERT_NE(module, nullptr);
        saved = Settings;
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
        MainWindow = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 300, 30, nullptr, nullptr,
                                     nullptr, nullptr);
        InputCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 80,
                                     MainWindow, nullptr, nullptr, nullptr);
        InputEdit = GetWindow(InputCombo, GW_CHILD);
        ASSERT_NE(InputEdit, nullptr);
        LayeredAttributesProc = FakeLayeredAttributes;
        IconsAdded = IconsDeleted = HotKeysRegistered = HotKeysUnregistered =
            LayeredAttributesCalls = 0;
    }
    void TearDown() override {
        DestroyWindow(MainWindow);
        MainWindow = InputCombo = InputEdit = nullptr;
        LayeredAttributesProc = nullptr;
        if (BackBrush) {
            DeleteObject(BackBrush);
            BackBrush = nullptr;
        }
        Settings = saved;
        FreeLibrary(module);
    }
    HWND Open() {
        HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_SETTINGS), MainWindow,
                                         SettingsDlgProc, 0);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    void Click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }
    void Ok(HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        DestroyWindow(dialog);
    }
    // The input line's history, newest first: count entries "i+0=i" from 0 on.
    void FillHistory(int count) {
        for (int i = 0; i < count; ++i) {
            std::string line = std::to_string(i) + "+0=" + std::to_string(i);
            SendMessageA(InputCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
    }
    std::vector<std::string> History() { return ListItems(InputCombo); }
    HMODULE module = nullptr;
    SettingsRecord saved;
};

struct ResidentCase {
    const char* name;
    int resident;
    bool click;
    int added, deleted;
};

TEST_F(SettingsDialog, ResidentIconIsAddedOrRemovedOnlyWhenTheBoxChanged) {
    const ResidentCase cases[] = {
        {"off, untouched", 0, false, 0, 0},
        {"turned on", 0, true, 1, 0},
        {"turned off", 1, true, 0, 1},
        {"on, untouched", 1, false, 0, 0},
    };
    for (const ResidentCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings.Resident = c.resident;
        IconsAdded = IconsDeleted = 0;
        HWND dialog = Open();
        if (c.click) {
            Click(dialog, IDC_RESIDENT);
        }
        Ok(dialog);
        EXPECT_EQ(IconsAdded, c.added);
        EXPECT_EQ(IconsDeleted, c.deleted);
        EXPECT_EQ(Settings.Resident, c.click ? !c.resident : c.resident);
    }
}

struct HotKeyCase {
    const char* name;
    int use, code; // before
    bool clickUse;
    int newCode; // put into the control; -1: left as shown
    int registered;
    int use_after, code_after;
};

TEST_F(SettingsDialog, HotKeyIsRegisteredAgainOnlyWhenItChanged) {
    const int ctrlAltC = MAKEWORD('C', HOTKEYF_CONTROL | HOTKEYF_ALT);
    const int shiftF5 = MAKEWORD(VK_F5, HOTKEYF_SHIFT);
    const HotKeyCase cases[] = {
        {"on and the same", 1, ctrlAltC, false, -1, 0, 1, ctrlAltC},
        {"on, another key", 1, ctrlAltC, false, shiftF5, 1, 1, shiftF5},
        {"off, another key kept for later", 0, ctrlAltC, false, shiftF5, 0, 0, shiftF5},
        {"turned off, the shown key kept", 1, ctrlAltC, true, shiftF5, 0, 0, shiftF5},
        {"turned on with an empty box", 0, ctrlAltC, true, 0, 0, 1, 0},
    };
    for (const HotKeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings.UseHotKey = c.use;
        Settings.HotKey = c.code;
        HotKeysRegistered = 0;
        HWND dialog = Open();
        if (c.clickUse) {
            Click(dialog, IDC_USEHOTKEY);
        }
        if (c.newCode >= 0) {
            SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, static_cast<WPARAM>(c.newCode),
                                0);
        }
        Ok(dialog);
        EXPECT_EQ(HotKeysRegistered, c.registered);
        EXPECT_EQ(Settings.UseHotKey, c.use_after);
        EXPECT_EQ(Settings.HotKey, c.code_after);
    }
}

struct HotKeyRuleCase {
    const char* name;
    bool shift, control;
    WORD recorded;
};

TEST_F(SettingsDialog, AKeyWithoutCtrlOrAltInTheHotKeyBoxGetsCtrlAlt) {
    const HotKeyRuleCase cases[] = {
        {"plain key", false, false, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {"Shift with the key", true, false, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT)},
        {"Ctrl with the key", false, true, MAKEWORD('Q', HOTKEYF_CONTROL)},
        {"Ctrl+Shift with the key", true, true, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
    };
    Settings.UseHotKey = 1;
    Settings.HotKey = 0;
    HWND dialog = Open();
    HWND box = GetDlgItem(dialog, IDC_HOTKEY);
    for (const HotKeyRuleCase& c : cases) {
        // Modifiers pressed first, as typed: the keyboard state and the keys' own messages.
        BYTE keys[256] = {};
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        keys[VK_CONTROL] = c.control ? 0x80 : 0;
        SetKeyboardState(keys);
        for (UINT modifier : {VK_SHIFT, VK_CONTROL}) {
            if (keys[modifier]) {
                SendMessageA(box, WM_KEYDOWN, modifier, 0);
            }
        }
        SendMessageA(box, WM_KEYDOWN, 'Q', 0);
        EXPECT_EQ(SendMessageA(box, HKM_GETHOTKEY, 0, 0), c.recorded) << c.name;
        SendMessageA(box, WM_KEYUP, 'Q', 0xC0000000);
        for (UINT modifier : {VK_SHIFT, VK_CONTROL}) {
            if (keys[modifier]) {
                keys[modifier] = 0;
                SetKeyboardState(keys);
                SendMessageA(box, WM_KEYUP, modifier, 0xC0000000);
            }
        }
    }
    BYTE keys[256] = {};
    SetKeyboardState(keys);
    DestroyWindow(dialog);
}

TEST_F(SettingsDialog, MaxHistorySpinStopsAtOneAndAHundred) {
    HWND dialog = Open();
    int low = 0, high = 0;
    SendDlgItemMessageA(dialog, IDC_MAXHISTORY_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                        reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 100);
    EXPECT_EQ(reinterpret_cast<HWND>(
                  SendDlgItemMessageA(dialog, IDC_MAXHISTORY_SPIN, UDM_GETBUDDY, 0, 0)),
              GetDlgItem(dialog, IDC_MAXHISTORY));
    DestroyWindow(dialog);
}

struct OpacityCase {
    const char* name;
    bool layered;
    int translucent;
    int position; // put on the trackbar
    const char* label;
    int stored;
    int calls;
};

TEST_F(SettingsDialog, OpacityIsClampedToTheScaleAndAppliedOnlyWhileTranslucent) {
    const OpacityCase cases[] = {
        {"translucent", true, 1, 30, "30 %", 30, 1},
        {"translucent, unchanged", true, 1, 70, "70 %", 70, 0},
        {"opaque", true, 0, 30, "30 %", 30, 0},
        {"above the scale", true, 0, 100, "99 %", 99, 0},
        {"below the scale", true, 0, 5, "20 %", 20, 0},
        {"no layered windows", false, 0, 30, "30 %", 70, 0},
    };
    for (const OpacityCase& c : cases) {
        SCOPED_TRACE(c.name);
        LayeredAttributesProc = c.layered ? FakeLayeredAttributes : nullptr;
        Settings.Translucent = c.translucent;
        Settings.Opacity = 70;
        LayeredAttributesCalls = 0;
        HWND dialog = Open();
        for (int id = IDC_OPACITY_GROUP; id <= IDC_OPACITY_VALUE; ++id) {
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) != 0, c.layered) << id;
        }
        SendDlgItemMessageA(dialog, IDC_OPACITY, TBM_SETPOS, TRUE, c.position);
        SendMessageA(dialog, WM_HSCROLL, TB_THUMBPOSITION,
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_OPACITY)));
        char label[16] = "";
        GetDlgItemTextA(dialog, IDC_OPACITY_VALUE, label, sizeof label);
        EXPECT_STREQ(label, c.label);
        EXPECT_EQ(LayeredAttributesCalls, 0); // not while the thumb moves
        Ok(dialog);
        EXPECT_EQ(Settings.Opacity, c.stored);
        EXPECT_EQ(LayeredAttributesCalls, c.calls);
        if (c.calls) {
            EXPECT_EQ(LastLayeredAlpha, c.stored * 255 / 100);
        }
    }
}

struct FontLabelCase {
    const char* face;
    int height;        // lfHeight: negative for the character height in pixels
    const char* label; // at 96 pixels per inch
};

TEST_F(SettingsDialog, FontLabelShowsFaceAndPointSize) {
    HDC screen = GetDC(nullptr);
    int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (pixelsPerInch != 96) {
        GTEST_SKIP() << "the sizes below are for 96 pixels per inch, not " << pixelsPerInch;
    }
    const FontLabelCase cases[] = {
        {"Tahoma", -12, "Tahoma,9"},
        {"Tahoma", -16, "Tahoma,12"},
        {"Tahoma", -27, "Tahoma,20"},
        // The longest face a LOGFONT holds still fits the label.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", -12, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde,9"},
    };
    HWND dialog = Open();
    for (const FontLabelCase& c : cases) {
        SCOPED_TRACE(c.face);
        LOGFONTA font = {};
        font.lfHeight = c.height;
        lstrcpynA(font.lfFaceName, c.face, LF_FACESIZE);
        ShowFontLabel(dialog, &font);
        char label[64] = "";
        GetDlgItemTextA(dialog, IDC_FONTNAME, label, sizeof label);
        EXPECT_STREQ(label, c.label);
    }
    DestroyWindow(dialog);
}

struct LimitCase {
    const char* typed;
    int stored; // MaxHistory after OK
};

TEST_F(SettingsDialog, HistoryLimitIsClampedAtOkAndTrimsTheOldestEntries) {
    const LimitCase cases[] = {
        {"5", 5}, {"0", 1}, {"250", 100}, {"", 1}, {"99999999999", 100},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.typed);
        Settings.MaxHistory = 100;
        SendMessageA(InputCombo, CB_RESETCONTENT, 0, 0);
        FillHistory(12);
        ASSERT_EQ(History().size(), 12u);
        HWND dialog = Open();
        SetDlgItemTextA(dialog, IDC_MAXHISTORY, c.typed);
        Ok(dialog);
        std::vector<std::string> items = History();
        size_t kept = c.stored < 12 ? static_cast<size_t>(c.stored) : 12u;
        ASSERT_EQ(items.size(), kept);
        EXPECT_EQ(items.front(), "0+0=0"); // the newest stays on top
        EXPECT_EQ(items.back(), std::to_string(kept - 1) + "+0=" + std::to_string(kept - 1));
        EXPECT_EQ(Settings.MaxHistory, c.stored);
    }
}

TEST_F(SettingsDialog, CancelAfterClearingHistoryLeavesItEmptyAndChangesNothingElse) {
    Settings.MaxHistory = 20;
    Settings.Resident = 0;
    Settings.SaveHistory = 1;
    Settings.UseColors = 1;
    FillHistory(3);
    SetWindowTextA(InputCombo, "1+2=3");
    HWND dialog = Open();
    Click(dialog, IDC_CLEARHISTORY);
    // The clear button acts while the dialog is still open.
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(WindowText(InputEdit), "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_CLEARHISTORY)));
    Click(dialog, IDC_RESIDENT);
    Click(dialog, IDC_SAVEHISTORY);
    Click(dialog, IDC_USECOLORS);
    SetDlgItemTextA(dialog, IDC_MAXHISTORY, "1");
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog);
    EXPECT_TRUE(History().empty());
    EXPECT_EQ(Settings.Resident, 0);
    EXPECT_EQ(IconsAdded, 0);
    EXPECT_EQ(Settings.SaveHistory, 1);
    EXPECT_EQ(Settings.UseColors, 1);
    EXPECT_EQ(Settings.MaxHistory, 20);
}

TEST_F(SettingsDialog, EverySettingChangedInTheDialogIsTakenAtOk) {
    Settings.Resident = Settings.UseHotKey = Settings.SingleInstance = 0;
    Settings.SaveHistory = 1;
    Settings.MaxHistory = 10;
    Settings.Opacity = 70;
    HWND dialog = Open();
    const int code = MAKEWORD('J', HOTKEYF_SHIFT | HOTKEYF_CONTROL);
    Click(dialog, IDC_RESIDENT);
    Click(dialog, IDC_USEHOTKEY);
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, static_cast<WPARAM>(code), 0);
    Click(dialog, IDC_SINGLEINSTANCE);
    SetDlgItemTextA(dialog, IDC_MAXHISTORY, "42");
    Click(dialog, IDC_SAVEHISTORY);
    SendDlgItemMessageA(dialog, IDC_OPACITY, TBM_SETPOS, TRUE, 33);
    Ok(dialog);
    const struct {
        const char* name;
        int value, expected;
    } taken[] = {
        {"Resident", Settings.Resident, 1},      {"UseHotKey", Settings.UseHotKey, 1},
        {"HotKey", Settings.HotKey, code},       {"SingleInstance", Settings.SingleInstance, 1},
        {"MaxHistory", Settings.MaxHistory, 42}, {"SaveHistory", Settings.SaveHistory, 0},
        {"Opacity", Settings.Opacity, 33},
    };
    for (const auto& t : taken) {
        EXPECT_EQ(t.value, t.expected) << t.name;
    }
}

struct OpacityStepCase {
    const char* name;
    int translucent;
    int calls; // of the layered-window call at OK
};

TEST_F(SettingsDialog, OpacityMovesTheLabelAtOnceAndTheWindowOnlyAtOkWhileTranslucent) {
    const OpacityStepCase cases[] = {
        {"translucent", 1, 1},
        {"opaque: stored for later", 0, 0},
    };
    for (const OpacityStepCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings.Opacity = 50;
        Settings.Translucent = c.translucent;
        LayeredAttributesCalls = 0;
        HWND dialog = Open();
        HWND trackbar = GetDlgItem(dialog, IDC_OPACITY);
        SendMessageA(trackbar, TBM_SETPOS, TRUE, 40);
        // One step with the arrow key, as a user moves it: the trackbar reports it.
        SendMessageA(trackbar, WM_KEYDOWN, VK_RIGHT, 0);
        char label[16] = "";
        GetDlgItemTextA(dialog, IDC_OPACITY_VALUE, label, sizeof label);
        EXPECT_STREQ(label, "41 %");
        EXPECT_EQ(LayeredAttributesCalls, 0); // the window is unchanged while the dialog is open
        Ok(dialog);
        EXPECT_EQ(LayeredAttributesCalls, c.calls);
        if (c.calls) {
            EXPECT_EQ(LastLayeredAlpha, 41 * 255 / 100);
        } else {
            EXPECT_FALSE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
        }
        EXPECT_EQ(Settings.Opacity, 41);
    }
}

} // namespace
