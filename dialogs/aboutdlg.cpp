// The about dialog; its template and procedure come with the dialogs.
#include "aboutdlg.h"

INT_PTR CALLBACK AboutDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
