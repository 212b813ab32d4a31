// Drives the real tolvex.exe from another process, as a user would, for the GUI tests.
//
// Every test gets a fresh directory holding its own copy of the executable, so the tolvex.ini
// beside it is the test's own. The window is found by its class and process, read with
// WM_GETTEXT and the combo-box messages (sent, not GetWindowText, which does not read another
// process's controls), and driven with WM_COMMAND, posted messages or SendInput keystrokes.
// Every wait polls a condition with a timeout; nothing relies on a fixed sleep.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_common.h"

namespace gui {

constexpr DWORD DefaultTimeoutMs = 15000;
// How long a message sent to the calculator may take before the test gives up on it.
constexpr UINT MessageTimeoutMs = 5000;

// Polls condition until it holds or timeoutMs has passed; returns its last result.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = DefaultTimeoutMs);

// Creates (emptied first) the directory name under the GUI tests' work directory and copies
// tolvex.exe into it; returns its Windows path with a trailing backslash.
std::string FreshDirectory(const std::string& name);
bool FileExists(const std::string& path);

// The keys of an INI section in the order of the file, and one value ("" when absent).
std::vector<std::string> IniKeys(const std::string& path, const std::string& section);
std::string IniValue(const std::string& path, const std::string& section, const std::string& key);

// One running tolvex.exe and its windows.
struct Tolvex {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND combo = nullptr;
    HWND edit = nullptr;
    HWND clearButton = nullptr;
    HWND menuButton = nullptr;
    HWND closeButton = nullptr;

    Tolvex() = default;
    Tolvex(const Tolvex&) = delete;
    Tolvex& operator=(const Tolvex&) = delete;
    // Ends a copy that a failed test left running, so the next test starts alone.
    ~Tolvex();
};

// Starts directory's tolvex.exe with the show command and waits for its visible window.
bool StartTolvex(const std::string& directory, Tolvex* tolvex, int showCommand = SW_SHOWNORMAL);
// Starts it without waiting for a window (for a copy that is expected to hand over and exit).
bool LaunchTolvex(const std::string& directory, Tolvex* tolvex);
// Waits for the process to end; false on timeout.
bool WaitForExit(Tolvex* tolvex, DWORD* exitCode, DWORD timeoutMs = DefaultTimeoutMs);
// True when the process ends in time with expectedCode. This thread's messages are handled while
// it waits: when a window of the test's own was in front, the program's last steps may send to
// it and wait for the answer.
bool Ends(Tolvex* tolvex, DWORD expectedCode = 0);
// Handles every message waiting for this thread's windows.
void PumpMessages();
// The visible "tolvex class" window of a process, or null.
HWND FindTolvexWindow(DWORD processId);
// Every top-level "tolvex class" window.
std::vector<HWND> AllTolvexWindows();
// The first top-level window in Z order of the class (compared without case) in the process
// (0: any) that accept, when given, takes; null when there is none.
HWND FindTopWindow(const char* className, DWORD processId,
                   const std::function<bool(HWND)>& accept = nullptr);
// True when someone holds the hot-key combination: this thread cannot register it as well (hot
// keys are unique across the desktop).
bool Captured(UINT modifiers, UINT virtualKey);
// The warning of a Ctrl+Alt combination that another program holds, the keys named as this
// platform's keyboard layout names them ("Ctrl" on Windows, "Control" under Wine).
std::wstring TakenHotKeyWarning(UINT virtualKey);

// A visible top-level window of the class that the calculator's process shows, such as its popup
// menu ("#32768") or the drop-down list of its input line ("ComboLBox"); null when there is none.
HWND OpenPopup(const Tolvex& tolvex, const char* className);

// The text of any window or control of another process (WM_GETTEXT).
std::string WindowText(HWND window);
// The history list of the combo box, top item first.
std::vector<std::string> ListItems(HWND combo);
// The edit field's selection as start and end.
void Selection(HWND edit, int* start, int* end);
// For pictures: Wine's edit field paints text written behind the caret while the field is still
// reporting the keystroke that put the caret there (the live result behind a just-typed "=") in
// the default colours until the selection next moves; Windows' does not. Moving the selection away
// and back, as a user's next arrow key would, lets a picture show what Windows shows.
void SettleSelection(const Tolvex& tolvex);

// WM_COMMAND with the id, sent synchronously as the menus and accelerators would.
void SendCommand(const Tolvex& tolvex, int id);
// Posts WM_KEYDOWN and WM_KEYUP of a virtual key, or one WM_CHAR, to the edit field; they pass
// through the program's message loop and accelerators like typed input.
void PostKey(const Tolvex& tolvex, UINT virtualKey);
void PostChar(const Tolvex& tolvex, unsigned code);
// Waits until every message posted so far has been handled (a sent message queues behind them).
bool Sync(const Tolvex& tolvex);

// Makes window the foreground window and waits until it holds, handling this thread's messages.
// With no window manager on the display, Wine hands the foreground to the desktop when the window
// in front is minimised or hidden, and that can land after a request made meanwhile; so the
// request is made again until the foreground stays.
bool TakeForeground(HWND window);
// Makes the calculator the foreground window with the focus on its line, so that SendInput
// keystrokes reach it.
bool Focus(const Tolvex& tolvex);
// Real keystrokes through the platform's input queue: each character as a Unicode key, then the
// virtual keys, to whatever window has the focus.
void TypeText(const std::wstring& text);
void TypeKey(WORD virtualKey, bool control = false);

// Puts text on the clipboard as CF_TEXT or, given wide, as CF_UNICODETEXT; false when someone
// else keeps the clipboard open for a tenth of a second. The clipboard is the session's: a test
// that uses it holds the clipboard lock (tests/CMakeLists.txt).
bool SetClipboardText(const std::string& text);
bool SetClipboardText(const std::wstring& text);

// The window's outer and client rectangles.
RECT WindowRect(HWND window);
RECT ClientRect(HWND window);
RECT ChildRect(HWND parent, HWND child); // in the parent's client coordinates

// The client height the input line needs for the default GUI font's face at height pixels (0:
// the font's own height): one text line, two edges and two pixels.
int LineClientHeight(int height);

// System colours of the test display set for the lifetime of the object and put back however the
// test ends: the scheme belongs to the whole display. Under Wine only programs started while it
// lives take the colours up.
class SystemColours {
  public:
    SystemColours(std::vector<int> indices, std::vector<COLORREF> colours);
    ~SystemColours();
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

  private:
    std::vector<int> indices_;
    std::vector<COLORREF> saved_;
};

} // namespace gui
