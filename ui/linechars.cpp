// The line's character rules: the typed-character filter and the folding to ASCII forms.
#include "ui/linechars.h"

#include "engine/line.h"
#include "ui/asciiforms.h"
#include "ui/clipboard.h"

namespace {

enum : UINT { LastAsciiCode = 0x7F, LastSingleByteCode = 0xFF, LastDoubleByteCode = 0xFFFF };

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

} // namespace

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
