// Start-up: settings, the single-instance rule, the main window, and the message loop.
#include "startup.h"

#include <commctrl.h>

#include "../res/resource.h"
#include "../settings/settings.h"
#include "appearance.h"
#include "dpi.h"
#include "inputline.h"
#include "mainwnd.h"
#include "tray.h"

namespace {

// The trackbar and hot-key control of the settings dialog.
constexpr DWORD CommonControlClasses = ICC_BAR_CLASSES | ICC_HOTKEY_CLASS;

// Start-up failures are shown through the wide API so that the Japanese text reads right
// whatever the system's ANSI code page is.
void ShowStartupError(const wchar_t* text) {
    MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
}

// The stock font is made for the screen's DPI; Settings keep it in units of 96 DPI.
void TakeDefaultGuiFont() {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof Settings.Font, &Settings.Font);
    Settings.Font.lfHeight = StoredLength(nullptr, Settings.Font.lfHeight);
}

void BuildOwnIniPath() {
    DWORD length = GetModuleFileNameA(nullptr, IniPath, MAX_PATH);
    // A path cut short by the buffer would name the wrong directory; then no file is used at all.
    if (length == 0 || length >= MAX_PATH) {
        IniPath[0] = '\0';
        return;
    }
    BuildIniPath(IniPath, IniFileName);
}

bool HandOverToRunningCopy() {
    if (!Settings.SingleInstance) {
        return false;
    }
    HWND running = FindWindowA(MainClassName, nullptr);
    if (!running) {
        return false;
    }
    SendMessageA(running, WM_COMMAND, IDM_SHOW, 0);
    return true;
}

bool RegisterMainClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_TOLVEX));
    // The icon's own small image wherever the platform shows the window's small icon; without it
    // the large one would be shrunk into a blur.
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_TOLVEX),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainClassName;
    return RegisterClassExA(&windowClass) != 0;
}

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX init = {sizeof init, CommonControlClasses};
    InitCommonControlsEx(&init);
}

HWND CreateMainWindow() {
    DWORD exStyle = 0;
    if (Settings.AlwaysOnTop) {
        exStyle |= WS_EX_TOPMOST;
    }
    if (Settings.Translucent) {
        exStyle |= WS_EX_LAYERED;
    }
    return CreateWindowExA(exStyle, MainClassName, MainWindowTitle,
                           WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME, Settings.WindowLeft,
                           Settings.WindowTop, 0, 0, nullptr, nullptr, AppInstance, nullptr);
}

WPARAM RunMessageLoop(HACCEL accelerators) {
    MSG message;
    // The window's end posts the quit message, but a modal loop running at that moment (a popup
    // menu's, when the exit is sent while the menu is open) can take it from the queue and drop
    // it; then nothing would ever end this loop. A gone window ends it just the same.
    while (IsWindow(MainWindow)) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            return message.wParam;
        }
        // Before dispatch, whichever window the message is for: so the character accelerators
        // (Ctrl+X, C, V, A) become commands before the input line's filter could refuse them.
        if (TranslateAcceleratorA(MainWindow, accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int RunTolvex(HINSTANCE instance, int showCommand) {
    AppInstance = instance;
    TakeDefaultGuiFont();
    BuildOwnIniPath();
    LoadSettings();
    if (HandOverToRunningCopy()) {
        return 0;
    }
    if (!RegisterMainClass()) {
        ShowStartupError(L"ウィンドウクラスが登録できません。");
        return 0;
    }
    InitCommonControlClasses();
    FindLayeredAttributes();
    MainWindow = CreateMainWindow();
    if (!MainWindow) {
        ShowStartupError(L"ウィンドウが作成できません。");
        return 0;
    }
    SizeMainWindow();
    if (Settings.Translucent) {
        SetLayeredOpacity(MainWindow);
    }
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
    LoadHistory(InputHistory);
    if (Settings.UseHotKey) {
        SetGlobalHotKey(Settings.HotKey);
    }
    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    WPARAM exitCode = RunMessageLoop(accelerators);
    ReleaseLayeredAttributes();
    return static_cast<int>(exitCode);
}
