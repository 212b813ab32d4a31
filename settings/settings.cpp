// Reads and writes the [Settings] section of tolvex.ini and builds the path of that file.
#include "settings.h"

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

int ClampOpacity(int value) {
    if (value < MinOpacity)
        return MinOpacity;
    return value > MaxOpacity ? MaxOpacity : value;
}

// Colours are COLORREF, not int, so they have a field of their own rather than a cast that would
// read one type through another. The font stands for its four keys, which follow rules of their
// own (see LoadFontKeys and SaveFontKeys).
enum KeyKind { IntegerKey, ColourKey, FontKeys };

// One key of the section: an integer with its normalisation, a colour, or the font.
struct SettingsKey {
    KeyKind kind;
    const char* name; // FontName for the font, the first of its keys
    int* field;
    COLORREF* colour;
    int (*normalise)(int value);
};

// The order of this table is the order of the keys in a newly written file.
const SettingsKey SettingsKeys[] = {
    {IntegerKey, "WindowLeft", &Settings.WindowLeft, nullptr, KeepAsRead},
    {IntegerKey, "WindowTop", &Settings.WindowTop, nullptr, KeepAsRead},
    {IntegerKey, "WindowWidth", &Settings.WindowWidth, nullptr, KeepAsRead},
    {IntegerKey, "AlwaysOnTop", &Settings.AlwaysOnTop, nullptr, AsFlag},
    {IntegerKey, "Translucent", &Settings.Translucent, nullptr, AsFlag},
    {IntegerKey, "HexBits", &Settings.HexBits, nullptr, NormaliseHexBits},
    {IntegerKey, "Resident", &Settings.Resident, nullptr, AsFlag},
    {IntegerKey, "UseHotKey", &Settings.UseHotKey, nullptr, AsFlag},
    {IntegerKey, "HotKey", &Settings.HotKey, nullptr, KeepAsRead},
    {IntegerKey, "SingleInstance", &Settings.SingleInstance, nullptr, AsFlag},
    {IntegerKey, "MaxHistory", &Settings.MaxHistory, nullptr, ClampMaxHistory},
    {IntegerKey, "SaveHistory", &Settings.SaveHistory, nullptr, AsFlag},
    {ColourKey, "TextColor", nullptr, &Settings.TextColor, nullptr},
    {ColourKey, "BackColor", nullptr, &Settings.BackColor, nullptr},
    {FontKeys, "FontName", nullptr, nullptr, nullptr}, // then FontSize, FontBold, FontItalic
    {IntegerKey, "Opacity", &Settings.Opacity, nullptr, ClampOpacity},
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

// Writes value with "%d" as key of the section; returns the writer's result.
BOOL WriteIntKey(const char* key, int value) {
    char text[IntTextSize];
    wsprintfA(text, "%d", value);
    return WritePrivateProfileStringA(SettingsSection, key, text, IniPath);
}

// faceKey names the face; the size, weight and slant have keys of fixed names.
void LoadFontKeys(const char* faceKey) {
    LOGFONTA& font = Settings.Font;
    char faceName[LF_FACESIZE] = "";
    DWORD length = 0;
    if (HaveIniPath())
        length = GetPrivateProfileStringA(SettingsSection, faceKey, "", faceName, sizeof faceName,
                                          IniPath);
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
    int bold = ReadIntKey("FontBold", font.lfWeight == FW_BOLD ? 1 : 0);
    font.lfWeight = bold != 0 ? FW_BOLD : FW_NORMAL;
    font.lfItalic = static_cast<BYTE>(ReadIntKey("FontItalic", font.lfItalic) & 0xFF);
}

void SaveFontKeys(const char* faceKey) {
    const LOGFONTA& font = Settings.Font;
    WritePrivateProfileStringA(SettingsSection, faceKey, font.lfFaceName, IniPath);
    WriteIntKey("FontSize", font.lfHeight);
    WriteIntKey("FontBold", font.lfWeight == FW_BOLD ? 1 : 0);
    WriteIntKey("FontItalic", font.lfItalic != 0 ? 1 : 0);
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

int ClampMaxHistory(int value) {
    if (value < MinHistoryLimit)
        return MinHistoryLimit;
    return value > MaxHistoryLimit ? MaxHistoryLimit : value;
}

BOOL LoadSettings() {
    for (const SettingsKey& key : SettingsKeys) {
        switch (key.kind) {
        case IntegerKey: *key.field = key.normalise(ReadIntKey(key.name, *key.field)); break;
        case ColourKey:
            *key.colour =
                static_cast<COLORREF>(ReadIntKey(key.name, static_cast<int>(*key.colour)));
            break;
        case FontKeys: LoadFontKeys(key.name); break;
        }
    }
    return TRUE;
}

BOOL SaveSettings(const WindowPlace& place, const HistoryList& history) {
    if (!HaveIniPath())
        return TRUE;
    Settings.WindowLeft = place.left;
    Settings.WindowTop = place.top;
    Settings.WindowWidth = place.width;
    // Each field goes out as it stands in memory: the next start normalises it anyway.
    for (const SettingsKey& key : SettingsKeys) {
        switch (key.kind) {
        case IntegerKey: WriteIntKey(key.name, *key.field); break;
        case ColourKey: WriteIntKey(key.name, static_cast<int>(*key.colour)); break;
        case FontKeys: SaveFontKeys(key.name); break;
        }
    }
    WriteHistory(history);
    return TRUE;
}
