// Reads and writes the [Settings] section of tolvex.ini and builds the path of that file.
#include "settings/settings.h"

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
char IniSeedPath[MAX_PATH];
bool IniLeftAlone;

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
    if (value < MinOpacity) {
        return MinOpacity;
    }
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
    if (!HaveIniPath()) {
        return fallback;
    }
    return static_cast<int>(GetPrivateProfileIntA(SettingsSection, key, fallback, IniReadPath()));
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
    if (HaveIniPath()) {
        length = GetPrivateProfileStringA(SettingsSection, faceKey, "", faceName, sizeof faceName,
                                          IniReadPath());
    }
    if (length != 0) {
        // A stored face comes without the rest of its LOGFONT, so whatever the default GUI font
        // said about charset and rendering must not stick to it: only the size and the style go
        // on (and are read below), every other field starts from its default, which is zero
        // (OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS) but for the charset and the quality.
        LOGFONTA stored = {};
        stored.lfHeight = font.lfHeight;
        stored.lfWeight = font.lfWeight;
        stored.lfItalic = font.lfItalic;
        stored.lfCharSet = DEFAULT_CHARSET;
        stored.lfQuality = DRAFT_QUALITY;
        lstrcpynA(stored.lfFaceName, faceName, LF_FACESIZE);
        font = stored;
    }
    font.lfHeight = ReadIntKey("FontSize", font.lfHeight);
    // The width is never stored; 0 lets the font mapper pick the one that suits the height.
    font.lfWidth = 0;
    int bold = ReadIntKey("FontBold", font.lfWeight == FW_BOLD ? 1 : 0);
    font.lfWeight = bold != 0 ? FW_BOLD : FW_NORMAL;
    font.lfItalic = static_cast<BYTE>(ReadIntKey("FontItalic", font.lfItalic) & 0xFF);
}

// True when every key was written.
bool SaveFontKeys(const char* faceKey) {
    const LOGFONTA& font = Settings.Font;
    bool written = WritePrivateProfileStringA(SettingsSection, faceKey, font.lfFaceName, IniPath);
    written &= WriteIntKey("FontSize", font.lfHeight) != FALSE;
    written &= WriteIntKey("FontBold", font.lfWeight == FW_BOLD ? 1 : 0) != FALSE;
    written &= WriteIntKey("FontItalic", font.lfItalic != 0 ? 1 : 0) != FALSE;
    return written;
}

// The user's own file lives in a folder of its own, which nothing makes before the first exit.
// The folder beside the executable exists already; making it again fails and changes nothing.
void MakeIniFolder() {
    char folder[MAX_PATH];
    lstrcpynA(folder, IniPath, MAX_PATH);
    BuildIniPath(folder, "");
    if (folder[0] != '\0') {
        CreateDirectoryA(folder, nullptr);
    }
}

// path + "\\" + name in buffer, a MAX_PATH buffer; false (and buffer empty) when it does not fit.
bool JoinPath(char* buffer, const char* path, const char* name) {
    buffer[0] = '\0';
    if (lstrlenA(path) + 1 + lstrlenA(name) >= MAX_PATH) {
        return false;
    }
    wsprintfA(buffer, "%s\\%s", path, name);
    return true;
}

bool CanCreateFileIn(const char* directory) {
    char probe[MAX_PATH];
    char name[32];
    wsprintfA(name, "tolvex-%lu.tmp", GetCurrentProcessId());
    if (lstrlenA(directory) + lstrlenA(name) >= MAX_PATH) {
        return false;
    }
    wsprintfA(probe, "%s%s", directory, name);
    // Made and removed at once: only the system knows whether a write will be allowed (access
    // rights, a read-only share or medium, policy), and asking it by trying is the sure answer.
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

bool FileExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileIsReadOnly(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

// Where Windows kept the file at path for a virtualized program: the local folder's VirtualStore
// followed by the path without its drive ("C:\Program Files (x86)\tolvex\tolvex.ini" becomes
// "...\VirtualStore\Program Files (x86)\tolvex\tolvex.ini"). False (and buffer empty) for a
// path without a drive letter, which Windows never virtualizes, or a result that does not fit.
bool VirtualStoreCopy(char* buffer, const char* path, const char* localFolder) {
    buffer[0] = '\0';
    const bool driveLetter =
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
        path[1] == ':' && path[2] == '\\';
    if (!driveLetter || localFolder[0] == '\0') {
        return false;
    }
    char store[MAX_PATH];
    if (!JoinPath(store, localFolder, VirtualStoreFolderName) ||
        !JoinPath(buffer, store, path + 3)) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

} // namespace

const IniFileSystem PlatformFileSystem = {CanCreateFileIn, FileExists, FileIsReadOnly};

char* BuildIniPath(char* path, const char* fileName) {
    int cut = 0;
    int at = 0;
    while (at < MAX_PATH && path[at] != '\0') {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(path[at]))) {
            if (at + 1 >= MAX_PATH || path[at + 1] == '\0') {
                break;
            }
            at += 2;
        } else if (path[at++] == '\\') {
            cut = at;
        }
    }
    while (at < MAX_PATH && path[at] != '\0') {
        ++at;
    }
    if (at >= MAX_PATH || cut + lstrlenA(fileName) >= MAX_PATH) {
        path[0] = '\0';
        return path;
    }
    lstrcpyA(path + cut, fileName);
    return path;
}

const char* IniReadPath() {
    return IniSeedPath[0] != '\0' ? IniSeedPath : IniPath;
}

void ChooseIniPath(const char* besideExe, const char* userFolder, const char* localFolder,
                   const IniFileSystem& files) {
    IniSeedPath[0] = '\0';
    IniLeftAlone = false;
    lstrcpynA(IniPath, besideExe, MAX_PATH);
    char directory[MAX_PATH];
    lstrcpynA(directory, besideExe, MAX_PATH);
    BuildIniPath(directory, "");
    if (directory[0] != '\0' && files.canCreateIn(directory)) {
        // Making the file read-only is how a user freezes a portable copy's settings: they are
        // read as they are, and the exit neither writes them nor complains that it cannot.
        IniLeftAlone = files.readOnly(IniPath);
        return;
    }
    char folder[MAX_PATH];
    char userFile[MAX_PATH];
    // With no folder of the user's, the file beside the executable is still the one to name when
    // its write fails at exit.
    if (userFolder[0] == '\0' || !JoinPath(folder, userFolder, UserIniFolderName) ||
        !JoinPath(userFile, folder, IniFileName)) {
        return;
    }
    lstrcpynA(IniPath, userFile, MAX_PATH);
    if (files.exists(IniPath)) {
        IniLeftAlone = files.readOnly(IniPath);
        return;
    }
    // An earlier 32-bit build ran virtualized: its writes beside the executable went to the
    // VirtualStore, and its reads came from there first. So that copy holds what the user last
    // saw; it is read once, and the first exit writes the user's own file.
    char virtualCopy[MAX_PATH];
    if (VirtualStoreCopy(virtualCopy, besideExe, localFolder) && files.exists(virtualCopy)) {
        lstrcpynA(IniSeedPath, virtualCopy, MAX_PATH);
    } else {
        lstrcpynA(IniSeedPath, besideExe, MAX_PATH);
    }
}

int ClampMaxHistory(int value) {
    if (value < MinHistoryLimit) {
        return MinHistoryLimit;
    }
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
    if (!HaveIniPath() || IniLeftAlone) {
        return TRUE;
    }
    Settings.WindowLeft = place.left;
    Settings.WindowTop = place.top;
    Settings.WindowWidth = place.width;
    MakeIniFolder();
    // Each field goes out as it stands in memory: the next start normalises it anyway.
    bool written = true;
    for (const SettingsKey& key : SettingsKeys) {
        switch (key.kind) {
        case IntegerKey: written &= WriteIntKey(key.name, *key.field) != FALSE; break;
        case ColourKey:
            written &= WriteIntKey(key.name, static_cast<int>(*key.colour)) != FALSE;
            break;
        case FontKeys: written &= SaveFontKeys(key.name); break;
        }
    }
    written &= WriteHistory(history) != FALSE;
    return written ? TRUE : FALSE;
}
