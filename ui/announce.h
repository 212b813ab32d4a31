// The input line for assistive technology: its accessible name, and its result announced as a
// polite live region once typing pauses and at Enter.
//
// A screen reader speaks the name of the element that raises a live-region change, and the edit
// field's name is the line's name, not its result. So the result is announced through a static
// control of no size of its own, whose text (and so its name) is the result just shown: the field
// is named, the region speaks. The live-region setting and the field's name go through the
// platform's accessibility property service (oleacc's IAccPropServices, created through COM);
// where the service or a call of it is missing the line goes without, and the announcements are
// raised all the same. A label in front of the combo box names the line for whoever reads names
// from labels, as dialogs name their fields.
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

// The static control, of no size, through which the line's result is announced.
extern HWND ResultRegion;

// Creates ResultRegion and the label naming the input line, both static controls of no size in
// window, before the combo box so that the label stands directly in front of it (the main
// window's WM_CREATE).
void CreateLineLabels(HWND window);
// Makes ResultRegion a polite live region and gives edit its name; starts COM on the thread for
// the property service. ForgetLineLiveRegion undoes both (the main window's WM_DESTROY).
void MakeLineLiveRegion(HWND edit);
void ForgetLineLiveRegion(HWND edit);

// The line has changed: its result is announced once it has not changed for AnnouncePauseMs. An
// announcement puts the result into ResultRegion and raises the live-region change there.
void AnnounceAfterPause(HWND edit);
// Enter: the line's result is announced at once, and the pause has nothing left to announce.
void AnnounceNow(HWND edit);
// The pause's work, offered for its tests: the line is announced unless it stands as it stood at
// the last pause or Enter.
void AnnounceSettledLine(HWND edit);
