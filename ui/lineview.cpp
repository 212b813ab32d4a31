// The input line's live evaluation, and the view it keeps while it rewrites the line.
#include "ui/lineview.h"

#include <cstring>

#include "engine/line.h"
#include "settings/settings.h"
#include "ui/announce.h"

HWND InputCombo;
HWND InputEdit;

namespace {

// The input line as last fetched.
char LineBuffer[LineBufferSize];
// True while the line is being rewritten by the program itself, so that the change notification
// the rewrite causes does not start another evaluation.
bool SuppressEditChange;

// A hexadecimal or binary line needs at least an expression digit, "=", the letter and a digit.
constexpr int ShortestBaseLine = 4;

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

} // namespace

const char* FinishEnteredLine() {
    if (FetchLine() <= 0) {
        return nullptr;
    }
    // Counted here: the reported length may exceed the real one when double-byte text is in it.
    int length = lstrlenA(LineBuffer);
    if (EnterAppendsEquals(LineBuffer, length)) {
        AppendEquals(length);
    }
    // A full line without "=", and one that starts with it, are not evaluated: left as they are.
    if (!EvaluateLine()) {
        return nullptr;
    }
    GetWindowTextA(InputCombo, LineBuffer, LineBufferSize);
    return LineBuffer;
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
