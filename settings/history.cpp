// Reads and writes the [History] section of tolvex.ini, handing the entries to and from the list
// its caller keeps.
#include <algorithm>

#include "settings/settings.h"

namespace {

const char HistorySection[] = "History";

// Room for any int written with "%d", sign and NUL included.
constexpr int KeyTextSize = 16;
// "Count=" with at most three digits (no more than MaxHistoryLimit entries) and two NULs.
constexpr int SectionBlockSize = 16;

} // namespace

BOOL LoadHistory(const HistoryList& history) {
    if (IniPath[0] == '\0') {
        return TRUE;
    }
    int count = static_cast<int>(GetPrivateProfileIntA(HistorySection, "Count", 0, IniReadPath()));
    count = std::min({count, Settings.MaxHistory, MaxHistoryLimit});
    char key[KeyTextSize];
    char line[LineBufferSize];
    for (int index = 0; index < count; ++index) {
        wsprintfA(key, "%d", index);
        // A missing or empty entry is skipped; the ones after it keep their places.
        DWORD read =
            GetPrivateProfileStringA(HistorySection, key, "", line, sizeof line, IniReadPath());
        if (read > 0) {
            history.append(line);
        }
    }
    return TRUE;
}

BOOL WriteHistory(const HistoryList& history) {
    if (IniPath[0] == '\0') {
        return TRUE;
    }
    int count = 0;
    if (Settings.SaveHistory != 0) {
        count = std::max(0, std::min(history.count(), MaxHistoryLimit));
    }
    // A section block is a list of NUL-terminated "key=value" strings ended by an empty one.
    // Replacing the whole section is what drops the entries of a longer earlier list.
    char block[SectionBlockSize];
    int length = wsprintfA(block, "Count=%d", count);
    block[length + 1] = '\0';
    if (!WritePrivateProfileSectionA(HistorySection, block, IniPath)) {
        return FALSE;
    }
    bool written = true;
    char key[KeyTextSize];
    char line[LineBufferSize];
    for (int index = 0; index < count; ++index) {
        if (!history.item(index, line)) {
            continue;
        }
        wsprintfA(key, "%d", index);
        written &= WritePrivateProfileStringA(HistorySection, key, line, IniPath) != FALSE;
    }
    return written ? TRUE : FALSE;
}
