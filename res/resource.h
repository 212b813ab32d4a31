// Resource, command and control ids shared by tolvex.rc and the program's code.
#pragma once

// Icon, bitmaps, menus, accelerators and dialogs, addressed by number.
#define IDI_TOLVEX 1
#define IDB_MENU 5
#define IDB_CLEAR 6
#define IDB_CLOSE 7
#define IDR_MAINMENU 10
#define IDR_CLOSEMENU 11
#define IDR_TRAYMENU 12
#define IDR_ACCELERATORS 20
#define IDD_SETTINGS 30
#define IDD_ABOUT 31

// Commands: menus, accelerators and the messages other instances send.
#define IDM_CUT 101
#define IDM_COPY 102
#define IDM_PASTE 103
#define IDM_DELETE 104
#define IDM_SELECTALL 105
#define IDM_CLEARLINE 106
#define IDM_TOPMOST 107
#define IDM_TRANSLUCENT 108
#define IDM_HEX32 109
#define IDM_HEX64 110
#define IDM_SETTINGS 111
#define IDM_ABOUT 112
#define IDM_EXIT 113
#define IDM_CLOSE 114
#define IDM_SHOW 115

// Child controls of the main window.
#define IDC_INPUT 200
#define IDC_CLEAR 201
#define IDC_MENU 202
#define IDC_CLOSE 203
