// The input line's accessible name and the announcement of its result as a live region.
#include "ui/announce.h"

#include <oleacc.h>

#include "engine/line.h"

const wchar_t LineAccessibleName[] = L"計算式";
HWND ResultRegion;

namespace {

// The property service and the three properties it is given, as documented; declared here
// rather than taken from a library so that only COM itself is imported.
constexpr CLSID AccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID AccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID NameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
// UI Automation's LiveSetting, which the service accepts for a window's own element.
constexpr MSAAPROPID LiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
// LiveSetting's values: Off 0, Polite 1, Assertive 2. A result waits until the reader has said
// what it was saying (the key just typed).
constexpr LONG PoliteLiveSetting = 1;

// The timer of the pause, on the edit field; its procedure runs straight from the message loop,
// so the field's own procedure never sees it.
constexpr UINT_PTR PauseTimerId = 0x7A11;

IAccPropServices* PropServices;
// True when MakeLineLiveRegion's start of COM must be paired with an end.
bool ComStarted;
// The line as it stood at the last pause or Enter, so that a pause after changes that left it as
// it was says nothing again.
char SettledLine[LineBufferSize];

// Results are ASCII, so the region's text is set as the line holds it.
void Announce(const char* result) {
    SetWindowTextA(ResultRegion, result);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, ResultRegion, OBJID_CLIENT, CHILDID_SELF);
}

HWND CreateUnseenStatic(HWND window, const wchar_t* text) {
    return CreateWindowExW(
        0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window,
        nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
}

void CALLBACK OnPauseTimer(HWND edit, UINT, UINT_PTR id, DWORD) {
    KillTimer(edit, id);
    AnnounceSettledLine(edit);
}

void SetLineProperties(HWND edit) {
    VARIANT polite = {};
    polite.vt = VT_I4;
    polite.lVal = PoliteLiveSetting;
    // Each on its own: a service that lacks one call may have the other.
    PropServices->SetHwndProp(ResultRegion, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              LiveSettingProperty, polite);
    PropServices->SetHwndPropStr(edit, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, NameProperty,
                                 LineAccessibleName);
}

} // namespace

const char* AnnouncedResult(const char* line) {
    LineParse parse;
    if (!ParseLine(line, &parse)) {
        return "";
    }
    return line + parse.equalsAt + 1;
}

void CreateLineLabels(HWND window) {
    ResultRegion = CreateUnseenStatic(window, L"");
    CreateUnseenStatic(window, LineAccessibleName);
}

void MakeLineLiveRegion(HWND edit) {
    // S_FALSE (COM already started on the thread) is counted like S_OK and paired the same.
    ComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* service = nullptr;
    if (FAILED(CoCreateInstance(AccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                AccPropServicesInterface, &service))) {
        return;
    }
    PropServices = static_cast<IAccPropServices*>(service);
    SetLineProperties(edit);
}

void ForgetLineLiveRegion(HWND edit) {
    if (PropServices != nullptr) {
        PropServices->ClearHwndProps(ResultRegion, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                     &LiveSettingProperty, 1);
        PropServices->ClearHwndProps(edit, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                     &NameProperty, 1);
        PropServices->Release();
        PropServices = nullptr;
    }
    if (ComStarted) {
        CoUninitialize();
        ComStarted = false;
    }
}

void AnnounceAfterPause(HWND edit) {
    // Set again, the timer starts its time anew: a fast typist's keys keep putting it off.
    SetTimer(edit, PauseTimerId, AnnouncePauseMs, OnPauseTimer);
}

void AnnounceNow(HWND edit) {
    KillTimer(edit, PauseTimerId);
    // Said even when the line is as it was at the last pause: Enter asks for it.
    SettledLine[0] = '\0';
    AnnounceSettledLine(edit);
}

void AnnounceSettledLine(HWND edit) {
    char line[LineBufferSize];
    GetWindowTextA(edit, line, LineBufferSize);
    if (lstrcmpA(line, SettledLine) == 0) {
        return;
    }
    lstrcpynA(SettledLine, line, LineBufferSize);
    const char* result = AnnouncedResult(line);
    if (*result != '\0') {
        Announce(result);
    }
}
