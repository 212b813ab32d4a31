// The input line's character filter, live evaluation, Enter key and history list.
#include "ui/inputline.h"

#include <cstring>

#include "engine/line.h"
#include "res/resource.h"
#include "ui/announce.h"
#include "ui/asciiforms.h"
#include "ui/clipboard.h"
#include "ui/platformcalls.h"

HWND InputCombo;
HWND InputEdit;

namespace {

constexpr DWORD ComboStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL |
                             CBS_DROPDOWN | CBS_AUTOHSCROLL;

// The input line as last fetched; also the history's transfer buffer.
char LineBuffer[LineBufferSize];
// True while the line is being rewritten by the program itself, so that the change notification
// the rewrite causes does not start another evaluation.
bool SuppressEditChange;
// The lead byte of a double-byte character typed into the line, held until its trail byte, the
// next character message, completes the character; 0 while none is waiting.
BYTE PendingLeadByte;
// The edit field's own window procedure, which every message the filter lets through reaches.
WNDPROC PrevEditProc;

constexpr UINT SimpleBeep = 0xFFFFFFFF;
// A hexadecimal or binary line needs at least an expression digit, "=", the letter and a digit.
constexpr int ShortestBaseLine = 4;
enum : UINT { LastAsciiCode = 0x7F, LastSingleByteCode = 0xFF, LastDoubleByteCode = 0xFFFF };
// A bit of WM_SYSKEYDOWN's lParam: Alt was held down with the key.
constexpr LPARAM AltHeldFlag = static_cast<LPARAM>(KF_ALTDOWN) << 16;

// Besides letters and digits, the characters expressions are written with, and backspace.
bool IsExpressionCharacter(WPARAM code) {
    switch (code) {
    case '\b':
    case '$':
    case '%':
    case '(':
    case ')':
    case '*':
    case '+':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '\\':
    case '^': return true;
    default: return false;
    }
}

bool IsBaseLetter(char letter) {
    return letter == '$' || letter == 'x' || letter == 'X' || letter == 'b' || letter == 'B';
}

// The line logic counts bytes of the ANSI code page. An edit field that keeps its text wide
// inside (as Wine's always does) counts characters instead, and the two differ once a pasted
// double-byte character stands in front of the position.
int EditPosition(const char* line, int byteIndex) {
    bool doubleByte = false;
    for (int i = 0; i < byteIndex && line[i] != '\0'; ++i) {
        doubleByte = doubleByte || static_cast<unsigned char>(line[i]) >= 0x80;
    }
    if (!doubleByte) {
        return byteIndex;
    }
    int units = static_cast<int>(SendMessageA(InputEdit, EM_LINELENGTH, 0, 0));
    if (units == lstrlenA(line)) {
        return byteIndex;
    }
    return MultiByteToWideChar(CP_ACP, 0, line, byteIndex, nullptr, 0);
}

void ReplaceFromTo(int from, const char* text) {
    SendMessageA(InputEdit, EM_SETSEL, static_cast<WPARAM>(from), -1);
    SendMessageA(InputEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

// The edit field's formatting rectangle: the part of it that shows text.
RECT TextArea() {
    RECT area = {};
    SendMessageA(InputEdit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    return area;
}

// The first character shown: a single-line field scrolls by whole characters, so one starts
// right at the text area's left edge.
int FirstVisibleChar(const RECT& area) {
    LRESULT at = SendMessageA(InputEdit, EM_CHARFROMPOS, 0,
                              MAKELPARAM(area.left, (area.top + area.bottom) / 2));
    return LOWORD(at);
}

// EM_POSFROMCHAR has no answer for the place behind the last character, so a caret there never
// counts as shown.
bool IsCharShown(int index, const RECT& area) {
    LRESULT at = SendMessageA(InputEdit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    if (at == -1) {
        return false;
    }
    int x = static_cast<short>(LOWORD(at));
    return x >= area.left && x < area.right;
}

// Attempts at scrolling back; each costs two scrolls of the field.
constexpr int ScrollBackAttempts = 4;

// Brings first back to the left edge after a rewrite has scrolled to the end of the line. A field
// has no way to scroll to a given character; it only scrolls to show the caret, by an amount of
// its own. So the caret goes to the end (the same start every time) and then left to a probe,
// and the probe moves by as many characters as the view missed, until it lands.
void ScrollBackTo(int first, const RECT& area) {
    int length = static_cast<int>(SendMessageA(InputEdit, EM_LINELENGTH, 0, 0));
    int probe = first;
    int shown = FirstVisibleChar(area);
    for (int attempt = 0; attempt < ScrollBackAttempts && shown != first; ++attempt) {
        SendMessageA(InputEdit, EM_SETSEL, static_cast<WPARAM>(length), length);
        SendMessageA(InputEdit, EM_SETSEL, static_cast<WPARAM>(probe), probe);
        shown = FirstVisibleChar(area);
        probe += first - shown;
        probe = probe < 0 ? 0 : probe > length ? length : probe;
    }
}

void AppendEquals(int length) {
    SuppressEditChange = true;
    ReplaceFromTo(EditPosition(LineBuffer, length), "=");
    SuppressEditChange = false;
}

// Copies the line into LineBuffer; returns its length, or 0 (LineBuffer untouched) when empty.
int FetchLine() {
    int length = GetWindowTextLengthA(InputCombo);
    if (length < 1) {
        return 0;
    }
    GetWindowTextA(InputCombo, LineBuffer, LineBufferSize);
    return length;
}

// Enter: complete the line with "=", evaluate it and file it in the history when it succeeded.
LRESULT CompleteLine() {
    if (FetchLine() <= 0) {
        return 0;
    }
    // Counted here: the reported length may exceed the real one when double-byte text is in it.
    int length = lstrlenA(LineBuffer);
    if (EnterAppendsEquals(LineBuffer, length)) {
        AppendEquals(length);
    }
    // A full line without "=", and one that starts with it, are not evaluated: left as they are.
    if (!EvaluateLine()) {
        return 0;
    }
    GetWindowTextA(InputCombo, LineBuffer, LineBufferSize);
    PushHistory(InputCombo, LineBuffer, Settings.MaxHistory);
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

// The characters of the line's texts in UTF-16, folded to their ASCII forms where they have one;
// true when any was.
bool FoldToAsciiForms(WCHAR* text) {
    bool folded = false;
    for (; *text != L'\0'; ++text) {
        unsigned ascii = AsciiFormOf(*text);
        if (*text > LastAsciiCode && ascii != 0) {
            *text = static_cast<WCHAR>(ascii);
            folded = true;
        }
    }
    return folded;
}

// The first line of the clipboard's text, at most as long as the input line, into text
// (LineBufferSize units); false when the clipboard holds no text or cannot be opened.
bool ReadClipboardLine(HWND owner, WCHAR* text) {
    if (!OpenClipboardPatiently(owner)) {
        return false;
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const WCHAR* clip = data ? static_cast<const WCHAR*>(GlobalLock(data)) : nullptr;
    if (clip != nullptr) {
        // A single-line field takes a pasted text up to its first line break.
        int length = 0;
        while (length < MaxLineLength && clip[length] != L'\0' && clip[length] != L'\r' &&
               clip[length] != L'\n') {
            text[length] = clip[length];
            ++length;
        }
        text[length] = L'\0';
        GlobalUnlock(data);
    }
    CloseClipboard();
    return clip != nullptr;
}

// A paste of text written with full-width or typographic forms ("１２＊３＝") goes in as ASCII;
// characters without an ASCII form go in as they are, so that a pasted line never silently means
// another number, and the evaluation shows "?" for it. False when there was nothing to fold: the
// edit field then pastes by itself, as ever.
bool PasteAsciiForms(HWND edit) {
    WCHAR text[LineBufferSize];
    if (!ReadClipboardLine(edit, text) || !FoldToAsciiForms(text)) {
        return false;
    }
    // Each unit becomes at most two bytes of the ANSI code page.
    char line[2 * LineBufferSize];
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, line, sizeof line, nullptr, nullptr) == 0) {
        return false;
    }
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line));
    return true;
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

// Copies text into line (LineBufferSize bytes), cut to MaxLineLength bytes but never inside a
// double-byte character, so the stored line cannot end in a lone lead byte.
void CopyCutLine(const char* text, char* line) {
    int length = 0;
    while (text[length] != '\0') {
        bool pair =
            IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[length])) && text[length + 1] != '\0';
        int step = pair ? 2 : 1;
        if (length + step > MaxLineLength) {
            break;
        }
        length += step;
    }
    CopyMemory(line, text, length);
    line[length] = '\0';
}

int HistoryCount() {
    LRESULT count = SendMessageA(InputCombo, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

bool HistoryItem(int index, char* line) {
    LRESULT length = SendMessageA(InputCombo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0) {
        return false;
    }
    // CB_GETLBTEXT is told no buffer size. The reported length may be more than the text needs,
    // never less, so it is the one safe guide to where the text may go.
    if (length <= MaxLineLength) {
        return SendMessageA(InputCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(line)) !=
               CB_ERR;
    }
    HANDLE heap = GetProcessHeap();
    char* item = static_cast<char*>(HeapAlloc(heap, 0, static_cast<SIZE_T>(length) + 1));
    if (item == nullptr) {
        return false;
    }
    bool fetched =
        SendMessageA(InputCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item)) != CB_ERR;
    if (fetched) {
        CopyCutLine(item, line);
    }
    HeapFree(heap, 0, item);
    return fetched;
}

// A history line written by hand may hold full-width forms; it is listed with their ASCII forms,
// which mean the same expression.
void AppendHistory(const char* line) {
    WCHAR wide[LineBufferSize];
    char folded[LineBufferSize];
    if (MultiByteToWideChar(CP_ACP, 0, line, -1, wide, LineBufferSize) != 0 &&
        FoldToAsciiForms(wide) &&
        WideCharToMultiByte(CP_ACP, 0, wide, -1, folded, sizeof folded, nullptr, nullptr) != 0) {
        line = folded;
    }
    SendMessageA(InputCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

} // namespace

const HistoryList InputHistory = {HistoryCount, HistoryItem, AppendHistory};

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

void ClearHistory() {
    // Resetting the combo box also empties its edit field, so the input line goes with the list.
    SendMessageA(InputCombo, CB_RESETCONTENT, 0, 0);
}

void TrimHistory(int maxHistory) {
    // The list is newest first: deleting from the bottom keeps the newest entries.
    for (int index = HistoryCount() - 1; index >= maxHistory; --index) {
        SendMessageA(InputCombo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    }
}

void InstallInputFilter(HWND edit) {
    PrevEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputEditProc)));
}

bool EvaluateLine() {
    if (FetchLine() < 2) {
        return false;
    }
    // The parse, the evaluation and the formatting are the engine's; here only the control work.
    LineUpdate update = ComputeLineUpdate(LineBuffer, Settings.HexBits);
    if (update.outcome == LineNotApplicable) {
        return false;
    }
    // The rewritten line is cut to the limit by the engine; only its tail goes into the control.
    char rewritten[LineBufferSize];
    ApplyLineUpdate(LineBuffer, update, rewritten);
    int replaceFrom = EditPosition(LineBuffer, update.replaceFrom);

    SuppressEditChange = true;
    DWORD selection = static_cast<DWORD>(SendMessageA(InputEdit, EM_GETSEL, 0, 0));
    RECT area = TextArea();
    int first = FirstVisibleChar(area);
    bool keepView = IsCharShown(HIWORD(selection), area);
    // Replacing scrolls to the end of the line and restoring the selection scrolls back: none of
    // that may be seen, and the view ends where the user had it, with one paint.
    SendMessageA(InputEdit, WM_SETREDRAW, FALSE, 0);
    ReplaceFromTo(replaceFrom, rewritten + update.replaceFrom);
    if (keepView) {
        ScrollBackTo(first, area);
    }
    SendMessageA(InputEdit, EM_SETSEL, LOWORD(selection), HIWORD(selection));
    SendMessageA(InputEdit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(InputEdit, nullptr, TRUE);
    SuppressEditChange = false;
    return update.outcome == LineSucceeded;
}

bool JoinTypedBytes(WPARAM code, BYTE* pendingLead, WPARAM* character) {
    if (*pendingLead != 0) {
        *character = MAKEWORD(static_cast<BYTE>(code), *pendingLead);
        *pendingLead = 0;
        return true;
    }
    if (code <= LastSingleByteCode && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(code))) {
        *pendingLead = static_cast<BYTE>(code);
        return false;
    }
    // Wine hands an ANSI window a typed double-byte character in one message, lead byte in the
    // high half: a whole character already, with no trail byte to wait for.
    *character = code;
    return true;
}

WPARAM TypedAsciiForm(WPARAM character) {
    if (character <= LastAsciiCode || character > LastDoubleByteCode) {
        return character;
    }
    char bytes[2] = {static_cast<char>(HIBYTE(character)), static_cast<char>(LOBYTE(character))};
    int count = character > LastSingleByteCode ? 2 : 1;
    WCHAR wide[2];
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes + 2 - count, count, wide, 2) != 1) {
        return character;
    }
    unsigned ascii = AsciiFormOf(wide[0]);
    return ascii != 0 ? ascii : character;
}

FilterAction FilterInputChar(WPARAM code) {
    // A double-byte character without an ASCII form: refused as one, with one beep.
    if (code > LastSingleByteCode) {
        return FilterBeep;
    }
    if (IsCharAlphaNumericA(static_cast<CHAR>(code)) || IsExpressionCharacter(code)) {
        return FilterPass;
    }
    if (code == '\n' || code == '\r') {
        return FilterSwallow;
    }
    return FilterBeep;
}

void PushHistory(HWND list, const char* line, int maxHistory) {
    LRESULT found = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(line));
    if (found == 0) {
        return;
    }
    if (found != CB_ERR) {
        SendMessageA(list, CB_DELETESTRING, static_cast<WPARAM>(found), 0);
        SendMessageA(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line));
        return;
    }
    SendMessageA(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (SendMessageA(list, CB_GETCOUNT, 0, 0) > maxHistory) {
        SendMessageA(list, CB_DELETESTRING, static_cast<WPARAM>(maxHistory), 0);
    }
}

void OnLineChanged() {
    if (!SuppressEditChange) {
        EvaluateLine();
        AnnounceAfterPause(InputEdit);
    }
}

void ReevaluateAfterHexSwitch() {
    if (FetchLine() < ShortestBaseLine) {
        return;
    }
    const char* equals = std::strchr(LineBuffer, '=');
    if (equals && IsBaseLetter(equals[1])) {
        EvaluateLine();
    }
}
