// The history list in the input line's combo box.
#include "ui/linehistory.h"

#include "engine/line.h"
#include "ui/linechars.h"
#include "ui/lineview.h"

namespace {

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
