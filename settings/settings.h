// The one process-wide Settings record and its storage in tolvex.ini beside the executable.
//
// The file is read once at start-up (LoadSettings) and written once when the main window is
// destroyed (SaveSettings, which ends with WriteHistory). Every other module reads and writes the
// fields of Settings directly, on the GUI thread.
#pragma once

#include <windows.h>

struct SettingsRecord {
    int WindowLeft;
    int WindowTop;
    int WindowWidth;
    int AlwaysOnTop;
    int Translucent;
    int HexBits;
    int Resident;
    int UseHotKey;
    int HotKey;
    int SingleInstance;
    int MaxHistory;
    int SaveHistory;
    int UseColors; // never stored: every start begins with the colours on
    COLORREF TextColor;
    COLORREF BackColor;
    LOGFONTA Font;
    int Opacity;
};

extern SettingsRecord Settings;

// The full path of tolvex.ini; empty when the executable's directory leaves no room for it, and
// then nothing is read or written.
extern char IniPath[MAX_PATH];

// Replaces the file-name part of path (a writable MAX_PATH buffer holding a full path) by fileName;
// returns path. Double-byte characters of the ANSI code page are stepped over whole, so a trail
// byte 0x5C is no separator.
char* BuildIniPath(char* path, const char* fileName);

BOOL LoadSettings();
BOOL SaveSettings();
BOOL WriteIntKey(const char* section, const char* key, int value, const char* path);

// The history is the item list of InputCombo; LineBuffer carries one entry at a time.
BOOL LoadHistory();
BOOL WriteHistory();
