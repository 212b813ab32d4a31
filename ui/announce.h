// The input line for assistive technology: its accessible name, and its result announced as a
// polite live region once typing pauses and at Enter.
//
// The live-region setting and the name go through the platform's accessibility property service
// (oleacc's IAccPropServices, created through COM); where the service or a call of it is missing
// the line goes without, and the announcements are raised all the same. A label in front of the
// combo box names the line for whoever reads names from labels, as dialogs name their fields.
#pragma once

#include <windows.h>

// The accessible name of the input line: "calculation".
extern const wchar_t LineAccessibleName[];

// How long typing must pause before the line's result is announced.
constexpr UINT AnnouncePauseMs = 500;

// What a listener is told of line: the text behind its first "=" (the result, or "?" for a line
// whose expression does not evaluate); empty for a line the program does not evaluate or that
// shows no result. Points into line.
const char* AnnouncedResult(const char* line);

// Creates the label naming the input line: a static control of no size, created before the combo
// box so that it stands in front of it (the main window's WM_CREATE).
void CreateLineLabel(HWND window);
// Makes edit a polite live region and gives it its name; starts COM on the thread for the
// property service. ForgetLineLiveRegion undoes both (the main window's WM_DESTROY).
void MakeLineLiveRegion(HWND edit);
void ForgetLineLiveRegion(HWND edit);

// The line has changed: its result is announced once it has not changed for AnnouncePauseMs.
void AnnounceAfterPause(HWND edit);
// Enter: the line's result is announced at once, and the pause has nothing left to announce.
void AnnounceNow(HWND edit);
// The pause's work, offered for its tests: the line is announced unless it stands as it stood at
// the last pause or Enter.
void AnnounceSettledLine(HWND edit);
