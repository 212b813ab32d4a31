// The input line's control: its creation, and the edit field's procedure for keys, characters
// and pastes.
#include "ui/inputline.h"

#include "engine/line.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/announce.h"
#include "ui/clipboard.h"
#include "ui/linechars.h"
#include "ui/linehistory.h"
#include "ui/lineview.h"
#include "ui/platformcalls.h"

namespace {

constexpr DWORD ComboStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL |
                             CBS_DROPDOWN | CBS_AUTOHSCROLL;

// The lead byte of a double-byte character typed into the line, held until its trail byte, the
// next character message, completes the character; 0 while none is waiting.
BYTE PendingLeadByte;
// The edit field's own window procedure, which every message the filter lets through reaches.
WNDPROC PrevEditProc;

constexpr UINT SimpleBeep = 0xFFFFFFFF;
// A bit of WM_SYSKEYDOWN's lParam: Alt was held down with the key.
constexpr LPARAM AltHeldFlag = static_cast<LPARAM>(KF_ALTDOWN) << 16;

// Enter: complete the line with "=", evaluate it and file it in the history when it succeeded.
LRESULT CompleteLine() {
    const char* line = FinishEnteredLine();
    if (line != nullptr) {
        PushHistory(InputCombo, line, Settings.MaxHistory);
    }
    return 0;
}

// One typed character, single-byte or double-byte whole: its ASCII form, if it has one, is what
// the filter judges and the field receives.
LRESULT FilterCharacter(HWND edit, WPARAM character, LPARAM lParam) {
    WPARAM code = TypedAsciiForm(character);
    switch (FilterInputChar(code)) {
    case FilterPass: return CallWindowProcA(PrevEditProc, edit, WM_CHAR, code, lParam);
    case FilterSwallow: return 0;
    case FilterBeep: MessageBeep(SimpleBeep); return 0;
    }
    return 0;
}

// A typed byte: the lead byte of a double-byte character waits for its trail byte, and the
// character the two make is filtered as one.
LRESULT TakeTypedByte(HWND edit, WPARAM code, LPARAM lParam) {
    WPARAM character = 0;
    if (!JoinTypedBytes(code, &PendingLeadByte, &character)) {
        return 0;
    }
    return FilterCharacter(edit, character, lParam);
}

// F10 alone, the key that opens a menu bar; with Shift it is the edit field's own context menu.
bool IsMainMenuKey(WPARAM key, LPARAM flags) {
    return key == VK_F10 && (flags & AltHeldFlag) == 0 && GetKeyState(VK_SHIFT) >= 0 &&
           GetKeyState(VK_CONTROL) >= 0;
}

// The main menu opens when F10 is released, as a menu bar's does: opened at the press, the menu
// would see the release. The press itself has nothing to start, the window having no menu bar.
LRESULT OpenMainMenuByKey(HWND edit, UINT message) {
    if (message == WM_SYSKEYUP) {
        SendMessageA(GetAncestor(edit, GA_ROOT), WM_COMMAND,
                     MAKEWPARAM(IDC_MENU, KeyboardCommandCode), 0);
    }
    return 0;
}

bool IsShiftInsert(WPARAM key) {
    return key == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0;
}

LRESULT CALLBACK InputEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            CompleteLine();
            AnnounceNow(edit);
            return 0;
        }
        // The field pastes for Shift+Insert without a WM_PASTE of its own to look at.
        if (IsShiftInsert(wParam)) {
            SendMessageA(edit, WM_PASTE, 0, 0);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (IsMainMenuKey(wParam, lParam)) {
            return OpenMainMenuByKey(edit, message);
        }
        break;
    case WM_CHAR: return TakeTypedByte(edit, wParam, lParam);
    // A character committed by an input method that works without an input context: the whole
    // character at once, never passed on, so the field cannot insert a full-width form itself.
    case WM_IME_CHAR: return FilterCharacter(edit, wParam, lParam);
    // The field's own copy gives up at once while another program holds the clipboard.
    case WM_COPY: CopyEditSelection(edit); return 0;
    case WM_CUT: CutEditSelection(edit); return 0;
    case WM_PASTE:
        if (PasteAsciiForms(edit)) {
            return 0;
        }
        break;
    default: break;
    }
    return CallWindowProcA(PrevEditProc, edit, message, wParam, lParam);
}

// The line takes its characters straight: an edit field with no input context gets no input-method
// composition, so keys reach it as ASCII whatever mode the input method is in (the mode is shared
// by every program). Looked up: platforms without input-method support lack the call.
void TurnOffInputMethod(HWND edit) {
    typedef BOOL(WINAPI * AssociateContextExFunction)(HWND window, HANDLE context, DWORD flags);
    HMODULE imm = LoadLibraryA("IMM32.DLL");
    if (imm == nullptr) {
        return;
    }
    auto associate = FindCallIn<AssociateContextExFunction>(imm, "ImmAssociateContextEx");
    if (associate != nullptr) {
        associate(edit, nullptr, 0);
    }
    // The association is the window's; the library stays loaded as long as USER32 uses it.
    FreeLibrary(imm);
}

} // namespace

void CreateInputLine(HWND window) {
    InputCombo = CreateWindowExA(
        0, "COMBOBOX", "", ComboStyle, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_INPUT)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), nullptr);
    SendMessageA(InputCombo, CB_LIMITTEXT, MaxLineLength, 0);
    InputEdit = GetTopWindow(InputCombo);
    InstallInputFilter(InputEdit);
    TurnOffInputMethod(InputEdit);
}

void InstallInputFilter(HWND edit) {
    PrevEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputEditProc)));
}
