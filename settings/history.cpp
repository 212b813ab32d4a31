// Reads and writes the [History] section of tolvex.ini: the item list of InputCombo.
#include "settings.h"

#include "../ui/globals.h"

namespace {

const char HistorySection[] = "History";

// Room for any int written with "%d", sign and NUL included.
constexpr int KeyTextSize = 16;
// "Count=" with at most three digits (no more than MaxHistoryLimit entries) and two NULs.
constexpr int SectionBlockSize = 16;

// Copies text into LineBuffer, cut to MaxLineLength bytes but never inside a double-byte
// character, so the stored line cannot end in a lone lead byte.
void CopyCutToLineBuffer(const char* text) {
    int length = 0;
    while (text[length] != '\0') {
        bool pair =
            IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(text[length])) && text[length + 1] != '\0';
        int step = pair ? 2 : 1;
        if (length + step > MaxLineLength)
            break;
        length += step;
    }
    CopyMemory(LineBuffer, text, length);
    LineBuffer[length] = '\0';
}

// Copies item index of InputCombo into LineBuffer; false when the list has no such item.
bool FetchHistoryItem(int index) {
    LRESULT length = SendMessageA(InputCombo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0)
        return false;
    // CB_GETLBTEXT is told no buffer size. The reported length may be more than the text needs,
    // never less, so it is the one safe guide to where the text may go.
    if (length <= MaxLineLength)
        return SendMessageA(InputCombo, CB_GETLBTEXT, index,
                            reinterpret_cast<LPARAM>(LineBuffer)) != CB_ERR;
    HANDLE heap = GetProcessHeap();
    char* item = static_cast<char*>(HeapAlloc(heap, 0, static_cast<SIZE_T>(length) + 1));
    if (item == nullptr)
        return false;
    bool fetched =
        SendMessageA(InputCombo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item)) != CB_ERR;
    if (fetched)
        CopyCutToLineBuffer(item);
    HeapFree(heap, 0, item);
    return fetched;
}

} // namespace

BOOL LoadHistory() {
    if (IniPath[0] == '\0')
        return TRUE;
    int count = static_cast<int>(GetPrivateProfileIntA(HistorySection, "Count", 0, IniPath));
    if (count <= 0)
        return TRUE;
    if (count > Settings.MaxHistory)
        count = Settings.MaxHistory;
    if (count > MaxHistoryLimit)
        count = MaxHistoryLimit;
    char key[KeyTextSize];
    for (int index = 0; index < count; ++index) {
        wsprintfA(key, "%d", index);
        // A missing or empty entry is skipped; the ones after it keep their places.
        DWORD read =
            GetPrivateProfileStringA(HistorySection, key, "", LineBuffer, LineBufferSize, IniPath);
        if (read > 0)
            SendMessageA(InputCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LineBuffer));
    }
    return TRUE;
}

BOOL WriteHistory() {
    if (IniPath[0] == '\0')
        return TRUE;
    int count = 0;
    if (Settings.SaveHistory != 0) {
        LRESULT items = SendMessageA(InputCombo, CB_GETCOUNT, 0, 0);
        if (items > 0)
            count = items > MaxHistoryLimit ? MaxHistoryLimit : static_cast<int>(items);
    }
    // A section block is a list of NUL-terminated "key=value" strings ended by an empty one.
    // Replacing the whole section is what drops the entries of a longer earlier list.
    char block[SectionBlockSize];
    int length = wsprintfA(block, "Count=%d", count);
    block[length + 1] = '\0';
    if (!WritePrivateProfileSectionA(HistorySection, block, IniPath) || count <= 0)
        return TRUE;
    char key[KeyTextSize];
    for (int index = 0; index < count; ++index) {
        if (!FetchHistoryItem(index))
            continue;
        wsprintfA(key, "%d", index);
        WritePrivateProfileStringA(HistorySection, key, LineBuffer, IniPath);
    }
    return TRUE;
}
