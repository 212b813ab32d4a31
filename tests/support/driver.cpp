// The GUI tests' driver: fresh directories, starting tolvex.exe, reading and driving its window.
#include "tests/support/driver.h"

#include <cstdio>
#include <cstring>

#include "tests/support/files.h"

namespace gui {

namespace {

constexpr DWORD PollIntervalMs = 10;
constexpr char ClassName[] = "tolvex class";
// The identifier under which Captured tries a combination for itself.
constexpr int ProbeHotKeyId = 0xBFE0;

struct WindowSearch {
    const char* className;
    DWORD processId; // 0: any process
    const std::function<bool(HWND)>* accept;
    std::vector<HWND> found;
    bool firstOnly;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(context);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (lstrcmpiA(className, search->className) != 0 ||
        (search->processId != 0 && processId != search->processId) ||
        (*search->accept && !(*search->accept)(window))) {
        return TRUE;
    }
    search->found.push_back(window);
    return !search->firstOnly;
}

std::vector<HWND> TopWindows(const char* className, DWORD processId,
                             const std::function<bool(HWND)>& accept, bool firstOnly) {
    WindowSearch search = {className, processId, &accept, {}, firstOnly};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != 0;
}

// The clipboard is one for the whole session, and whoever opens it holds it until closing it:
// another program copying or pasting, or Wine's clipboard manager taking a copy made on the X
// display over. A program tries again for a moment before it gives up, and so does this.
constexpr DWORD ClipboardWaitMs = 100;

bool PutOnClipboard(UINT format, const void* data, size_t size) {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != 0; }, ClipboardWaitMs)) {
        std::fprintf(stderr, "driver: the clipboard stayed open elsewhere for %lu ms\n",
                     ClipboardWaitMs);
        return false;
    }
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    ::SetClipboardData(format, memory);
    CloseClipboard();
    return true;
}

bool CreateTolvexProcess(const std::string& directory, Tolvex* tolvex, int showCommand) {
    std::string exe = directory + "tolvex.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &tolvex->process)) {
        std::fprintf(stderr, "driver: %s did not start: error %lu\n", exe.c_str(), GetLastError());
        return false;
    }
    return true;
}

void SendKeyInput(WORD virtualKey, WORD scanCode, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// Why a start failed, with what the process and its window are doing then, for a run that
// nobody watches.
void ReportStartFailure(const Tolvex& tolvex, const char* what) {
    DWORD code = 0;
    GetExitCodeProcess(tolvex.process.hProcess, &code);
    std::fprintf(stderr, "driver: tolvex (process %lu) %s; ", tolvex.process.dwProcessId, what);
    if (code == STILL_ACTIVE) {
        std::fprintf(stderr, "it runs");
    } else {
        std::fprintf(stderr, "it ended with %lu", code);
    }
    if (tolvex.window == nullptr) {
        std::fprintf(stderr, ", its window was not found\n");
        return;
    }
    // A window of another thread than the process's own would be a stale one under a reused id.
    std::fprintf(stderr, ", its window %s (thread %lu; the process's thread is %lu)\n",
                 IsWindow(tolvex.window) ? "exists" : "is gone",
                 GetWindowThreadProcessId(tolvex.window, nullptr), tolvex.process.dwThreadId);
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            return condition();
        }
        Sleep(PollIntervalMs);
    }
}

std::string FreshDirectory(const std::string& name) {
    std::string root = WindowsPath(TOLVEX_GUI_WORK_DIR) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string directory = root + name + "\\";
    RemoveTree(directory);
    CreateDirectoryA(directory.c_str(), nullptr);
    if (!CopyFileA(WindowsPath(TOLVEX_EXE).c_str(), (directory + "tolvex.exe").c_str(), FALSE)) {
        std::fprintf(stderr, "driver: tolvex.exe not copied into %s: error %lu\n",
                     directory.c_str(), GetLastError());
    }
    return directory;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> IniKeys(const std::string& path, const std::string& section) {
    std::vector<std::string> keys;
    for (const std::string& line : SectionLines(ReadTextFile(path), section)) {
        if (line.find('=') != std::string::npos) {
            keys.push_back(line.substr(0, line.find('=')));
        }
    }
    return keys;
}

std::string IniValue(const std::string& path, const std::string& section, const std::string& key) {
    char value[512] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, path.c_str());
    return value;
}

Tolvex::~Tolvex() {
    if (process.hProcess) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, DefaultTimeoutMs);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

HWND FindTolvexWindow(DWORD processId) {
    return FindTopWindow(ClassName, processId, Visible);
}

std::vector<HWND> AllTolvexWindows() {
    return TopWindows(ClassName, 0, nullptr, false);
}

HWND FindTopWindow(const char* className, DWORD processId,
                   const std::function<bool(HWND)>& accept) {
    std::vector<HWND> found = TopWindows(className, processId, accept, true);
    return found.empty() ? nullptr : found[0];
}

bool Captured(UINT modifiers, UINT virtualKey) {
    if (RegisterHotKey(nullptr, ProbeHotKeyId, modifiers, virtualKey)) {
        UnregisterHotKey(nullptr, ProbeHotKeyId);
        return false;
    }
    return true;
}

std::wstring TakenHotKeyWarning(UINT virtualKey) {
    auto name = [](UINT key) {
        wchar_t text[64] = L"";
        GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16), text, 64);
        return std::wstring(text);
    };
    return L"ホットキー「" + name(VK_CONTROL) + L" + " + name(VK_MENU) + L" + " + name(virtualKey) +
           L"」が設定できません。\nほかのプログラムがすでに使っています。";
}

bool LaunchTolvex(const std::string& directory, Tolvex* tolvex) {
    return CreateTolvexProcess(directory, tolvex, SW_SHOWNORMAL);
}

bool StartTolvex(const std::string& directory, Tolvex* tolvex, int showCommand) {
    if (!CreateTolvexProcess(directory, tolvex, showCommand)) {
        return false;
    }
    DWORD processId = tolvex->process.dwProcessId;
    if (!WaitUntil([&] { return (tolvex->window = FindTolvexWindow(processId)) != nullptr; })) {
        ReportStartFailure(*tolvex, "showed no window");
        return false;
    }
    tolvex->combo = GetDlgItem(tolvex->window, 200);
    tolvex->clearButton = GetDlgItem(tolvex->window, 201);
    tolvex->menuButton = GetDlgItem(tolvex->window, 202);
    tolvex->closeButton = GetDlgItem(tolvex->window, 203);
    tolvex->edit = GetWindow(tolvex->combo, GW_CHILD);
    // The history is loaded right after the window is shown; a sent message waits until the
    // program is in its message loop, and so after that.
    if (tolvex->edit == nullptr) {
        ReportStartFailure(*tolvex, "showed a window without its input line");
        return false;
    }
    if (!Sync(*tolvex)) {
        ReportStartFailure(*tolvex, "did not answer");
        return false;
    }
    return true;
}

bool WaitForExit(Tolvex* tolvex, DWORD* exitCode, DWORD timeoutMs) {
    if (WaitForSingleObject(tolvex->process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(tolvex->process.hProcess, exitCode);
    return true;
}

HWND OpenPopup(const Tolvex& tolvex, const char* className) {
    return FindTopWindow(className, tolvex.process.dwProcessId, Visible);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

bool Ends(Tolvex* tolvex, DWORD expectedCode) {
    bool ended = WaitUntil([&] {
        PumpMessages();
        return WaitForSingleObject(tolvex->process.hProcess, 0) != WAIT_TIMEOUT;
    });
    DWORD code = 0xDEAD;
    return ended && WaitForExit(tolvex, &code, 0) && code == expectedCode;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, MessageTimeoutMs, &result);
    return text;
}

std::vector<std::string> ListItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The wide form: the ANSI one comes back unconverted from another process under Wine.
        wchar_t wide[512] = L"";
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

void Selection(HWND edit, int* start, int* end) {
    DWORD range = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
    *start = LOWORD(range);
    *end = HIWORD(range);
}

void SettleSelection(const Tolvex& tolvex) {
    int start, end;
    Selection(tolvex.edit, &start, &end);
    int length = GetWindowTextLengthA(tolvex.edit);
    SendMessageA(tolvex.edit, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageA(tolvex.edit, EM_SETSEL, static_cast<WPARAM>(start), end);
}

void SendCommand(const Tolvex& tolvex, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(tolvex.window, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL,
                        MessageTimeoutMs, &result);
}

void PostKey(const Tolvex& tolvex, UINT virtualKey) {
    UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(tolvex.edit, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16)));
    PostMessageA(tolvex.edit, WM_KEYUP, virtualKey,
                 static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u));
}

void PostChar(const Tolvex& tolvex, unsigned code) {
    PostMessageA(tolvex.edit, WM_CHAR, code, 1);
}

bool Sync(const Tolvex& tolvex) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(tolvex.window, WM_NULL, 0, 0, SMTO_NORMAL, MessageTimeoutMs,
                               &result) != 0;
}

bool TakeForeground(HWND window) {
    return WaitUntil([&] {
        PumpMessages();
        if (GetForegroundWindow() == window) {
            return true;
        }
        SetForegroundWindow(window);
        return false;
    });
}

bool Focus(const Tolvex& tolvex) {
    return TakeForeground(tolvex.window) && WaitUntil([&] {
               GUITHREADINFO info = {};
               info.cbSize = sizeof info;
               return GetGUIThreadInfo(tolvex.process.dwThreadId, &info) &&
                      info.hwndFocus == tolvex.edit;
           });
}

void TypeText(const std::wstring& text) {
    for (wchar_t ch : text) {
        SendKeyInput(0, ch, KEYEVENTF_UNICODE);
        SendKeyInput(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
}

void TypeKey(WORD virtualKey, bool control) {
    if (control) {
        SendKeyInput(VK_CONTROL, 0, 0);
    }
    SendKeyInput(virtualKey, 0, 0);
    SendKeyInput(virtualKey, 0, KEYEVENTF_KEYUP);
    if (control) {
        SendKeyInput(VK_CONTROL, 0, KEYEVENTF_KEYUP);
    }
}

bool SetClipboardText(const std::string& text) {
    return PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
}

bool SetClipboardText(const std::wstring& text) {
    return PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

RECT ClientRect(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int LineClientHeight(int height) {
    LOGFONTA font;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    if (height != 0) {
        font.lfHeight = height;
    }
    // A memory device context of the screen's, deleted before the font it holds.
    HFONT handle = CreateFontIndirectA(&font);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, handle);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    DeleteDC(dc);
    DeleteObject(handle);
    return metrics.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE) + 2;
}

SystemColours::SystemColours(std::vector<int> indices, std::vector<COLORREF> colours)
    : indices_(std::move(indices)) {
    for (int index : indices_) {
        saved_.push_back(GetSysColor(index));
    }
    SetSysColors(static_cast<int>(indices_.size()), indices_.data(), colours.data());
}

SystemColours::~SystemColours() {
    SetSysColors(static_cast<int>(indices_.size()), indices_.data(), saved_.data());
}

} // namespace gui
