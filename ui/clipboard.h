// The clipboard opened with patience: another program (a clipboard manager, a remote desktop, the
// system's clipboard history) may hold it for a moment, and a paste or copy given up at once
// would be lost. The input line's copy and cut go through it too.
#pragma once

#include <windows.h>

// How often, and over about how long, the clipboard is tried before it is given up.
constexpr int ClipboardAttempts = 5;
constexpr DWORD ClipboardRetryMs = 25;

// Opens the clipboard for owner, trying again while another program holds it; false, with the
// simple beep, when it stayed held. The caller closes it.
bool OpenClipboardPatiently(HWND owner);

// The edit field's selection onto the clipboard as text; false when nothing is selected or the
// clipboard could not be had.
bool CopyEditSelection(HWND edit);
// The same, and the selection then deleted; kept when it could not be copied.
void CutEditSelection(HWND edit);
