// The one process-wide Settings record and its storage in tolvex.ini, beside the executable or,
// where that folder cannot be written, in the user's application-data folder.
//
// The file is read once at start-up (LoadSettings, then LoadHistory once the window exists) and
// written once when the main window is destroyed (SaveSettings, which ends with WriteHistory).
// Every other module reads and writes the fields of Settings directly, on the GUI thread. All file
// access goes through the platform's profile functions on IniPath (reading on IniSeedPath instead
// while that names a file); when IniPath is empty, nothing is read (the defaults stay) and nothing
// is written, and a file the user has made read-only (IniLeftAlone) is read and never written.
#pragma once

#include <windows.h>

#include "engine/line.h"

struct SettingsRecord {
    int WindowLeft;
    int WindowTop;
    int WindowWidth; // in units of 96 DPI, as Font.lfHeight is; positions are screen pixels
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

// The history list holds at least one entry and never more than MaxHistoryLimit, whatever the
// file or the settings dialog says.
constexpr int MinHistoryLimit = 1;
constexpr int MaxHistoryLimit = 100;
// The opacity in percent. It stops short of 100: a fully opaque window is what switching
// translucency off is for.
constexpr int MinOpacity = 20;
constexpr int MaxOpacity = 99;

// value brought into MinHistoryLimit..MaxHistoryLimit, as the file and the dialog both need it.
int ClampMaxHistory(int value);

// The settings in force; holds the defaults until LoadSettings runs. Font is all zero until
// start-up copies the default GUI font into it.
extern SettingsRecord Settings;

// The full path of the file the settings are kept in (ChooseIniPath); empty when there is none,
// and then nothing is read or written.
extern char IniPath[MAX_PATH];
// The file start-up reads instead of IniPath while the user's own file IniPath does not exist yet:
// the copy an earlier, virtualized run left in the user's VirtualStore, else the one beside the
// executable, which cannot be written; empty otherwise.
extern char IniSeedPath[MAX_PATH];
// True when IniPath names a file the user has made read-only, to keep its settings as they are:
// it is read, and the exit writes nothing and has nothing to report.
extern bool IniLeftAlone;

// The file start-up reads: IniSeedPath when it names one, else IniPath.
const char* IniReadPath();

// The name of the settings file, whatever the executable is called.
constexpr const char* IniFileName = "tolvex.ini";
// The folder in the user's application-data folder that holds the user's own settings file.
constexpr const char* UserIniFolderName = "tolvex";
// The folder in the user's local application-data folder where Windows kept the files that a
// virtualized program wrote into a protected folder, under their paths without the drive.
constexpr const char* VirtualStoreFolderName = "VirtualStore";

// What choosing the settings file needs to know of the file system, so that the choice can be
// tried against a made-up one.
struct IniFileSystem {
    // True when a new file can be made in directory (a full path ending in a backslash).
    bool (*canCreateIn)(const char* directory);
    // True when path names an existing file.
    bool (*exists)(const char* path);
    // True when path names an existing file marked read-only.
    bool (*readOnly)(const char* path);
};
// The kernel's file functions: a probe file made and removed at once, and the file's attributes.
extern const IniFileSystem PlatformFileSystem;

// Sets IniPath, IniSeedPath and IniLeftAlone. besideExe is tolvex.ini beside the executable (as
// BuildIniPath leaves it, empty when it has none), userFolder the user's roaming and localFolder
// the user's local application-data folder (each empty when unknown). The file beside the
// executable is kept wherever its folder can be written, so a copy carried on a stick keeps its
// settings with it; elsewhere the settings are kept in userFolder\tolvex\tolvex.ini. Until that
// exists, they start from the copy of the file beside the executable that an earlier, virtualized
// 32-bit build left in localFolder\VirtualStore, else from the file beside the executable.
void ChooseIniPath(const char* besideExe, const char* userFolder, const char* localFolder,
                   const IniFileSystem& files);

// Replaces the file-name part of path (a writable MAX_PATH buffer holding a full path, as
// GetModuleFileNameA leaves it) by fileName; returns path. Double-byte characters of the ANSI code
// page are stepped over whole, so a trail byte 0x5C is no separator. When the result would not
// fit, or the buffer holds no NUL (older systems leave a cut module name so), path is left empty:
// a cut-off path would name some other file. Whoever fetched the module name checks first that
// it was not cut (GetModuleFileNameA returning MAX_PATH): the cut text looks like any other path.
char* BuildIniPath(char* path, const char* fileName);

// The history as its keeper holds it, index 0 the most recent. This module only moves entries
// between it and the file; the program keeps them in the input line's list (ui/inputline.h).
struct HistoryList {
    // How many entries there are.
    int (*count)();
    // Copies entry index into line, a buffer of LineBufferSize bytes; false when there is none.
    bool (*item)(int index, char* line);
    // Adds line after the last entry.
    void (*append)(const char* line);
};

// The main window's restored place as the file keeps it: left and top in screen pixels, where
// start-up creates the window, and the width in units of 96 DPI. The height follows from the font
// and is never stored.
struct WindowPlace {
    int left;
    int top;
    int width;
};

// Reads the section "Settings" into Settings, each key defaulting to the field's current value
// and passing the field's normalisation. Returns TRUE.
BOOL LoadSettings();
// Takes place into WindowLeft, WindowTop and WindowWidth, makes the folder of IniPath when it is
// missing, writes the section "Settings" and then the history. Returns FALSE when a write failed
// (the changes of the run are then lost, and the caller says so), TRUE otherwise, and TRUE
// without writing when there is no IniPath to write or the file is to be left alone.
BOOL SaveSettings(const WindowPlace& place, const HistoryList& history);

// LoadHistory appends at most Settings.MaxHistory saved entries to history and returns TRUE;
// WriteHistory replaces the section "History" with the entries (or with Count=0 when SaveHistory
// is off) and returns FALSE when a write failed.
BOOL LoadHistory(const HistoryList& history);
BOOL WriteHistory(const HistoryList& history);
