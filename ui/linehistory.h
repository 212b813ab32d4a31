// The history list: the item list of the input line's combo box, newest first, as the settings
// store reads and fills it and as the settings dialog empties and trims it.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The history as the settings store reads and fills it: the item list of InputCombo. An item
// longer than the line is handed out cut to MaxLineLength bytes, never inside a double-byte
// character.
extern const HistoryList InputHistory;

// What the settings dialog does to the history: empties it (the line goes with it), and cuts it
// to its newest maxHistory entries.
void ClearHistory();
void TrimHistory(int maxHistory);

// Puts line at the top of the combo box list: an equal item (ignoring case) further down moves
// up, as written now; an equal top item stays as it is; a new line may push out the last item.
void PushHistory(HWND list, const char* line, int maxHistory);
