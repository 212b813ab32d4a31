// The settings dialog; its template and procedure come with the dialogs.
#include "settingsdlg.h"

INT_PTR CALLBACK SettingsDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
