// Reads and writes the [Settings] section of tolvex.ini and builds the path of that file.
#include "settings.h"

#include "../ui/globals.h"

SettingsRecord Settings = {
    0,        // WindowLeft
    0,        // WindowTop
    200,      // WindowWidth
    0,        // AlwaysOnTop
    0,        // Translucent
    32,       // HexBits
    0,        // Resident
    0,        // UseHotKey
    0x0643,   // HotKey: Ctrl+Alt+C
    1,        // SingleInstance
    10,       // MaxHistory
    1,        // SaveHistory
    1,        // UseColors
    0xFFFFFF, // TextColor: white
    0x000000, // BackColor: black
    {},       // Font: the default GUI font, copied in at start-up
    70,       // Opacity
};

char IniPath[MAX_PATH];

namespace {

const char SettingsSection[] = "Settings";

// Room for any int written with "%d", sign and NUL included.
constexpr int IntTextSize = 16;

constexpr int WeightNormal = 400;
constexpr int WeightBold = 700;
constexpr int MinOpacity = 20;
constexpr int MaxOpacity = 99;

int KeepAsRead(int value) {
    return value;
}

int AsFlag(int value) {
    return value != 0 ? 1 : 0;
}

// 32 and 64 are the only widths: whatever is not above 32 means 32, the rest 64.
int NormaliseHexBits(int value) {
    return value <= 32 ? 32 : 64;
}

int ClampMaxHistory(int value) {
    if (value < 1)
        return 1;
    return value > MaxHistoryLimit ? MaxHistoryLimit : value;
}

int ClampOpacity(int value) {
    if (value < MinOpacity)
        return MinOpacity;
    return value > MaxOpacity ? MaxOpacity : value;
}

// One key of the section. Colours are COLORREF, not int, so they get a pointer of their own
// rather than a cast that would read one type through another. The row without a name stands
// for the four font keys, which follow rules of their own (see LoadFontKeys and SaveFontKeys).
struct SettingsKey {
    const char* name;
    int* field;
    COLORREF* colour;
    int (*normalise)(int value);
};

// The order of this table is the order of the keys in a newly written file.
const SettingsKey SettingsKeys[] = {
    {"WindowLeft", &Settings.WindowLeft, nullptr, KeepAsRead},
    {"WindowTop", &Settings.WindowTop, nullptr, KeepAsRead},
    {"WindowWidth", &Settings.WindowWidth, nullptr, KeepAsRead},
    {"AlwaysOnTop", &Settings.AlwaysOnTop, nullptr, AsFlag},
    {"Translucent", &Settings.Translucent, nullptr, AsFlag},
    {"HexBits", &Settings.HexBits, nullptr, NormaliseHexBits},
    {"Resident", &Settings.Resident, nullptr, AsFlag},
    {"UseHotKey", &Settings.UseHotKey, nullptr, AsFlag},
    {"HotKey", &Settings.HotKey, nullptr, KeepAsRead},
    {"SingleInstance", &Settings.SingleInstance, nullptr, AsFlag},
    {"MaxHistory", &Settings.MaxHistory, nullptr, ClampMaxHistory},
    {"SaveHistory", &Settings.SaveHistory, nullptr, AsFlag},
    {"TextColor", nullptr, &Settings.TextColor, KeepAsRead},
    {"BackColor", nullptr, &Settings.BackColor, KeepAsRead},
    {nullptr, nullptr, nullptr, nullptr}, // FontName, FontSize, FontBold, FontItalic
    {"Opacity", &Settings.Opacity, nullptr, ClampOpacity},
};

bool HaveIniPath() {
    return IniPath[0] != '\0';
}

// The profile reader's integer for key, or fallback when the key (or the file) is missing.
int ReadIntKey(const char* key, int fallback) {
    if (!HaveIniPath())
        return fallback;
    return static_cast<int>(GetPrivateProfileIntA(SettingsSection, key, fallback, IniPath));
}

int GetKeyField(const SettingsKey& key) {
    return key.field != nullptr ? *key.field : static_cast<int>(*key.colour);
}

void SetKeyField(const SettingsKey& key, int value) {
    if (key.field != nullptr)
        *key.field = value;
    else
        *key.colour = static_cast<COLORREF>(value);
}

void LoadFontKeys() {
    LOGFONTA& font = Settings.Font;
    char faceName[LF_FACESIZE] = "";
    DWORD length = 0;
    if (HaveIniPath())
        length = GetPrivateProfileStringA(SettingsSection, "FontName", "", faceName,
                                          sizeof faceName, IniPath);
    if (length != 0) {
        // A stored face comes without the rest of its LOGFONT, so whatever the default GUI font
        // said about charset and rendering must not stick to it.
        lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
        font.lfEscapement = 0;
        font.lfOrientation = 0;
        font.lfUnderline = 0;
        font.lfStrikeOut = 0;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DRAFT_QUALITY;
        font.lfPitchAndFamily = 0;
    }
    font.lfHeight = ReadIntKey("FontSize", font.lfHeight);
    // The width is never stored; 0 lets the font mapper pick the one that suits the height.
    font.lfWidth = 0;
    int bold = ReadIntKey("FontBold", font.lfWeight == WeightBold ? 1 : 0);
    font.lfWeight = bold != 0 ? WeightBold : WeightNormal;
    font.lfItalic = static_cast<BYTE>(ReadIntKey("FontItalic", font.lfItalic) & 0xFF);
}

void SaveFontKeys() {
    const LOGFONTA& font = Settings.Font;
    WritePrivateProfileStringA(SettingsSection, "FontName", font.lfFaceName, IniPath);
    WriteIntKey(SettingsSection, "FontSize", font.lfHeight, IniPath);
    WriteIntKey(SettingsSection, "FontBold", font.lfWeight == WeightBold ? 1 : 0, IniPath);
    WriteIntKey(SettingsSection, "FontItalic", font.lfItalic != 0 ? 1 : 0, IniPath);
}

// The window's position when neither minimised nor maximised; the height follows from the font
// and is never stored.
void TakeRestoredWindowRect() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (MainWindow == nullptr || !GetWindowPlacement(MainWindow, &placement))
        return;
    const RECT& rect = placement.rcNormalPosition;
    Settings.WindowLeft = rect.left;
    Settings.WindowTop = rect.top;
    Settings.WindowWidth = rect.right - rect.left;
}

} // namespace

char* BuildIniPath(char* path, const char* fileName) {
    int cut = 0;
    int at = 0;
    while (at < MAX_PATH && path[at] != '\0') {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(path[at]))) {
            if (at + 1 >= MAX_PATH || path[at + 1] == '\0')
                break;
            at += 2;
        } else if (path[at++] == '\\') {
            cut = at;
        }
    }
    while (at < MAX_PATH && path[at] != '\0')
        ++at;
    if (at >= MAX_PATH || cut + lstrlenA(fileName) >= MAX_PATH) {
        path[0] = '\0';
        return path;
    }
    lstrcpyA(path + cut, fileName);
    return path;
}

BOOL WriteIntKey(const char* section, const char* key, int value, const char* path) {
    char text[IntTextSize];
    wsprintfA(text, "%d", value);
    return WritePrivateProfileStringA(section, key, text, path);
}

BOOL LoadSettings() {
    for (const SettingsKey& key : SettingsKeys) {
        if (key.name == nullptr)
            LoadFontKeys();
        else
            SetKeyField(key, key.normalise(ReadIntKey(key.name, GetKeyField(key))));
    }
    return TRUE;
}

BOOL SaveSettings() {
    if (!HaveIniPath())
        return TRUE;
    TakeRestoredWindowRect();
    // Each field goes out as it stands in memory: the next start normalises it anyway.
    for (const SettingsKey& key : SettingsKeys) {
        if (key.name == nullptr)
            SaveFontKeys();
        else
            WriteIntKey(SettingsSection, key.name, GetKeyField(key), IniPath);
    }
    WriteHistory();
    return TRUE;
}
