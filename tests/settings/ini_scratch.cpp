// Scratch directories, raw profile text and the hidden test window for the settings tests.
#include "tests/settings/ini_scratch.h"

#include "ui/lineview.h"
#include "ui/mainwnd.h"

namespace {

// Taken during static initialisation, before any case has touched Settings: its initialiser is
// a constant, so it is already in place.
const SettingsRecord StartValues = Settings;

constexpr int TestWindowLeft = 33;
constexpr int TestWindowTop = 44;
constexpr int TestWindowWidth = 321;
constexpr int TestWindowHeight = 30;
constexpr int TestComboId = 200;

} // namespace

const SettingsRecord& StartSettings() {
    return StartValues;
}

void IniFileTest::SetUp() {
    ResetSettings();
    directory = MakeScratchDirectory();
    ASSERT_FALSE(directory.empty());
    UseNewIniFile();
    MainWindow =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, TestWindowLeft, TestWindowTop, TestWindowWidth,
                        TestWindowHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(MainWindow, nullptr);
    InputCombo =
        CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | CBS_DROPDOWN, 0, 0,
                        TestWindowWidth, TestWindowHeight * 5, MainWindow,
                        reinterpret_cast<HMENU>(TestComboId), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(InputCombo, nullptr);
}

void IniFileTest::TearDown() {
    if (MainWindow != nullptr) {
        DestroyWindow(MainWindow);
    }
    MainWindow = nullptr;
    InputCombo = nullptr;
    IniPath[0] = '\0';
    IniSeedPath[0] = '\0';
    IniLeftAlone = false;
    RemoveTree(directory);
}

std::string IniFileTest::UseNewIniFile(const std::string& text) {
    char name[32];
    wsprintfA(name, "tolvex-%d.ini", filesMade++);
    std::string path = directory + name;
    if (!text.empty()) {
        WriteTextFile(path, text);
    }
    lstrcpynA(IniPath, path.c_str(), MAX_PATH);
    return path;
}

void IniFileTest::ResetSettings() {
    Settings = StartValues;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
}

void IniFileTest::AddHistoryItems(const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        SendMessageA(InputCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
}

std::vector<std::string> IniFileTest::HistoryItems() const {
    std::vector<std::string> items;
    LRESULT count = SendMessageA(InputCombo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        LRESULT length = SendMessageA(InputCombo, CB_GETLBTEXTLEN, index, 0);
        std::string item(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(InputCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&item[0]));
        item.resize(lstrlenA(item.c_str()));
        items.push_back(item);
    }
    return items;
}
