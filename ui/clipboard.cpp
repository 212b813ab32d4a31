// Opening the clipboard with a few attempts, and the input line's copy and cut through it.
#include "ui/clipboard.h"

#include "engine/line.h"

namespace {

constexpr UINT SimpleBeep = 0xFFFFFFFF;

// The selected part of the edit field's text, in UTF-16, into text (LineBufferSize units);
// its length, 0 when nothing is selected.
int SelectedText(HWND edit, WCHAR* text) {
    DWORD selection = static_cast<DWORD>(SendMessageW(edit, EM_GETSEL, 0, 0));
    int start = LOWORD(selection);
    int end = HIWORD(selection);
    WCHAR wide[LineBufferSize];
    char ansi[2 * LineBufferSize];
    int wideLength = GetWindowTextW(edit, wide, LineBufferSize);
    GetWindowTextA(edit, ansi, sizeof ansi);
    // The field counts its positions in bytes of the ANSI code page when it keeps its text so, in
    // characters when it keeps it wide (as Wine's always does); the two differ only once a
    // double-byte character is in the line.
    int units = static_cast<int>(SendMessageW(edit, EM_LINELENGTH, 0, 0));
    bool wideUnits = units == wideLength;
    int limit = wideUnits ? wideLength : lstrlenA(ansi);
    end = end > limit ? limit : end;
    if (start >= end) {
        return 0;
    }
    if (wideUnits) {
        CopyMemory(text, wide + start, (end - start) * sizeof(WCHAR));
        text[end - start] = L'\0';
        return end - start;
    }
    int length = MultiByteToWideChar(CP_ACP, 0, ansi + start, end - start, text, MaxLineLength);
    text[length] = L'\0';
    return length;
}

} // namespace

bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(owner)) {
            return true;
        }
        if (attempt == ClipboardAttempts) {
            MessageBeep(SimpleBeep);
            return false;
        }
        Sleep(ClipboardRetryMs);
    }
}

bool CopyEditSelection(HWND edit) {
    WCHAR text[LineBufferSize];
    int length = SelectedText(edit, text);
    if (length == 0) {
        return false;
    }
    SIZE_T bytes = (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* copy = data ? GlobalLock(data) : nullptr;
    if (copy == nullptr) {
        GlobalFree(data);
        return false;
    }
    CopyMemory(copy, text, bytes);
    GlobalUnlock(data);
    // The text is ready before the clipboard is opened, so it is held no longer than it must be.
    if (!OpenClipboardPatiently(edit)) {
        GlobalFree(data);
        return false;
    }
    EmptyClipboard();
    bool copied = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
    if (!copied) {
        GlobalFree(data);
    }
    CloseClipboard();
    return copied;
}

void CutEditSelection(HWND edit) {
    if (CopyEditSelection(edit)) {
        SendMessageW(edit, WM_CLEAR, 0, 0);
    }
}
