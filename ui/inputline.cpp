// The input line's character filter, live evaluation, Enter key and history list.
#include "inputline.h"

WNDPROC PrevEditProc;

void InstallInputFilter(HWND edit) {
    PrevEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongA(edit, GWL_WNDPROC, reinterpret_cast<LONG>(InputEditProc)));
}

LRESULT CALLBACK InputEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(PrevEditProc, edit, message, wParam, lParam);
}

void OnLineChanged() {}

void ReevaluateAfterHexSwitch() {}
