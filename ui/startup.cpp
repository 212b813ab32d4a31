// Start-up: settings, the single-instance rule, the main window, and the message loop.
#include "ui/startup.h"

#include <commctrl.h>
#include <shlobj.h>

#include "res/resource.h"
#include "settings/settings.h"
#include "ui/appearance.h"
#include "ui/corners.h"
#include "ui/dpi.h"
#include "ui/hotkey.h"
#include "ui/layering.h"
#include "ui/linehistory.h"
#include "ui/mainwnd.h"
#include "ui/placement.h"

namespace {

// The trackbar and hot-key control of the settings dialog.
constexpr DWORD CommonControlClasses = ICC_BAR_CLASSES | ICC_HOTKEY_CLASS;
// How long a second start waits for the running copy to show itself. One that answers at all does
// so at once; one busy for this long is taken for stopped.
constexpr UINT HandOverTimeoutMs = 3000;

// The main window class's small icon, this program's own copy: destroyed with the class.
HICON ClassSmallIcon;

void DestroyClassSmallIcon() {
    if (ClassSmallIcon) {
        DestroyIcon(ClassSmallIcon);
        ClassSmallIcon = nullptr;
    }
}

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

void ChooseOwnIniPath() {
    char besideExe[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, besideExe, MAX_PATH);
    // A path cut short by the buffer would name the wrong directory; then there is no file beside
    // the executable to use.
    if (length == 0 || length >= MAX_PATH) {
        besideExe[0] = '\0';
    } else {
        BuildIniPath(besideExe, IniFileName);
    }
    // Asked of the shell rather than read from the environment's APPDATA, which the starting
    // program may have left out or changed.
    char userFolder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, userFolder))) {
        userFolder[0] = '\0';
    }
    // The local one holds the VirtualStore, where a virtualized earlier run may have left the file.
    char localFolder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                localFolder))) {
        localFolder[0] = '\0';
    }
    ChooseIniPath(besideExe, userFolder, localFolder, PlatformFileSystem);
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

// The window is never maximised (ui/mainwnd.cpp): asked to start so (a shortcut set to run
// maximised, start /max), it starts as it normally would. The platform may take the first show's
// command from the starting program's STARTUPINFO instead; the window undoes that itself.
int StartShowCommand(int showCommand) {
    return showCommand == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : showCommand;
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

bool RegisterMainClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_TOLVEX));
    // The icon's own small image wherever the platform shows the window's small icon; without it
    // the large one would be shrunk into a blur. Not shared: a shared load hands back whichever
    // image of the resource was loaded first, whatever size is asked, and the large one above is.
    ClassSmallIcon = static_cast<HICON>(LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_TOLVEX),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hIconSm = ClassSmallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainClassName;
    if (RegisterClassExA(&windowClass) == 0) {
        DestroyClassSmallIcon();
        return false;
    }
    return true;
}

void UnregisterMainClass() {
    UnregisterClassA(MainClassName, AppInstance);
    DestroyClassSmallIcon();
}

bool HandOverToRunningCopy(int* exitCode) {
    if (!Settings.SingleInstance) {
        return false;
    }
    HWND running = FindWindowA(MainClassName, nullptr);
    if (!running) {
        return false;
    }
    // The user has just started this copy, so it may take the foreground; the running copy may
    // not without being allowed to, and it is the one that comes to the front.
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    AllowSetForegroundWindow(processId);
    // A plain send would wait for ever on a copy that has stopped answering, unseen, and every
    // further start would wait beside it.
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(running, WM_COMMAND, IDM_SHOW, 0, SMTO_ABORTIFHUNG, HandOverTimeoutMs,
                            &result)) {
        *exitCode = 0;
        return true;
    }
    // A copy running with administrator rights is shielded from this one by the integrity levels
    // (UIPI): the message is refused at once with access denied, and waiting would not help.
    if (GetLastError() == ERROR_ACCESS_DENIED) {
        ShowStartupError(L"起動中の tolvex は管理者として実行されているため、"
                         L"この tolvex から表示できません。\n"
                         L"起動中の tolvex を終了してから起動し直すか、"
                         L"この tolvex も管理者として実行してください。");
    } else {
        ShowStartupError(L"起動中の tolvex が応答しません。\n"
                         L"しばらく待ってからもう一度起動するか、タスク マネージャーで tolvex "
                         L"を終了してから起動してください。");
    }
    *exitCode = 1;
    return true;
}

int RunTolvex(HINSTANCE instance, int showCommand) {
    AppInstance = instance;
    TakeDefaultGuiFont();
    ChooseOwnIniPath();
    LoadSettings();
    int handOverCode = 0;
    if (HandOverToRunningCopy(&handOverCode)) {
        return handOverCode;
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
    AskForSmallCorners(MainWindow);
    SizeMainWindow();
    // A stored position on a monitor that is gone would start the program out of sight.
    BringIntoReach(MainWindow);
    if (Settings.Translucent) {
        SetLayeredOpacity(MainWindow);
    }
    ShowWindow(MainWindow, StartShowCommand(showCommand));
    UpdateWindow(MainWindow);
    LoadHistory(InputHistory);
    if (Settings.UseHotKey) {
        SetGlobalHotKey(Settings.HotKey);
    }
    HACCEL accelerators = LoadAcceleratorsA(AppInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    WPARAM exitCode = RunMessageLoop(accelerators);
    ReleaseLayeredAttributes();
    UnregisterMainClass();
    return static_cast<int>(exitCode);
}
