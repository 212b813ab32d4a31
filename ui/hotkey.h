// The global hot key that calls the main window up: its registration on MainWindow under the
// identifier 0, and the warning, naming the combination, when it cannot be had. The translation
// of a stored code into RegisterHotKey's terms is in hotkeycode.h.
//
// Every routine runs on the GUI thread.
#pragma once

#include <windows.h>

// Registers the hot key for code (low 16 bits, the hot-key control's encoding) on MainWindow,
// releasing any earlier one first, or only releases it when those bits are 0 (then TRUE). Holding
// the combination down does not repeat it. On a failed registration a warning naming the
// combination and the cause is shown, modal to warningOwner (MainWindow when null), and the
// result is FALSE; no hot key is left then.
BOOL SetGlobalHotKey(int code, HWND warningOwner = nullptr);

// WM_HOTKEY of MainWndProc.
LRESULT OnHotKey(HWND window);
