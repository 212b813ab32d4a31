// Control ids of the settings and about dialogs, and the about dialog's link address; shared by
// dialogs.rc and the dialogs' code.
#pragma once

#include "res/version.h"

// The settings dialog (IDD_SETTINGS). EnableControlRange walks ids in rising order, so the ranges
// 209..214 (colours) and 217..219 (opacity) must stay contiguous.
#define IDC_RESIDENT 200
#define IDC_USEHOTKEY 201
#define IDC_HOTKEY 202
#define IDC_SINGLEINSTANCE 203
#define IDC_MAXHISTORY 204
#define IDC_MAXHISTORY_SPIN 205
#define IDC_CLEARHISTORY 206
#define IDC_SAVEHISTORY 207
#define IDC_USECOLORS 208
#define IDC_TEXTCOLOR_LABEL 209
#define IDC_TEXTCOLOR 210
#define IDC_TEXTCOLOR_PICK 211
#define IDC_BACKCOLOR_LABEL 212
#define IDC_BACKCOLOR 213
#define IDC_BACKCOLOR_PICK 214
#define IDC_FONTNAME 215
#define IDC_FONT_PICK 216
#define IDC_OPACITY_GROUP 217
#define IDC_OPACITY 218
#define IDC_OPACITY_VALUE 219

// The about dialog (IDD_ABOUT).
#define IDC_LINK 200
#define IDC_SETTINGSPLACE 201

// The about dialog's name, version and notice line. The dialog manager of an ANSI dialog passes
// its texts through the ANSI code page, which may lack the copyright sign (932 does), so the
// dialog sets this text again through the wide API.
#define ABOUT_TEXT "tolvex ver." TOLVEX_VERSION_TEXT "\n" TOLVEX_NOTICE

// The maker's home page: the link's text in the about dialog and the address its click opens.
// Defined once here so that a release can point both at the real page in one edit; until the
// project has one it names a reserved domain that can never belong to anyone.
#define HOME_PAGE_ADDRESS "https://tolvex.example/"
