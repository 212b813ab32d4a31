// Converting the window placement's workspace coordinates to and from screen coordinates.
#include "ui/placement.h"

#include "ui/dpi.h"
#include "ui/platformcalls.h"

namespace {

typedef HMONITOR(WINAPI* MonitorFromRectFunction)(LPCRECT rect, DWORD flags);
typedef BOOL(WINAPI* GetMonitorInfoFunction)(HMONITOR monitor, LPMONITORINFO info);

// The screen and its work area, for a platform that knows one monitor only.
void DescribeOnlyScreen(MONITORINFO* info) {
    SetRect(&info->rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &info->rcWork, 0)) {
        info->rcWork = info->rcMonitor;
    }
}

// The monitor that rect lies on most; with none, the one that flags names (MONITOR_DEFAULTTO...).
// False when flags is MONITOR_DEFAULTTONULL and rect lies on no monitor.
bool DescribeMonitor(const RECT& rect, DWORD flags, MONITORINFO* info) {
    info->cbSize = sizeof *info;
    // Looked up each time: platforms from before several monitors lack both.
    auto monitorFromRect = FindUser32Call<MonitorFromRectFunction>("MonitorFromRect");
    auto getMonitorInfo = FindUser32Call<GetMonitorInfoFunction>("GetMonitorInfoA");
    if (monitorFromRect == nullptr || getMonitorInfo == nullptr) {
        DescribeOnlyScreen(info);
        RECT common;
        return flags != MONITOR_DEFAULTTONULL || IntersectRect(&common, &rect, &info->rcMonitor);
    }
    HMONITOR monitor = monitorFromRect(&rect, flags);
    if (monitor == nullptr) {
        return false;
    }
    if (!getMonitorInfo(monitor, info)) {
        DescribeOnlyScreen(info);
    }
    return true;
}

// How far the work area's corner lies from the monitor's: what workspace coordinates leave out.
POINT WorkAreaOffset(const MONITORINFO& info) {
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

// value within low and high; low wins when the range is empty.
int ClampTo(int value, int low, int high) {
    if (value > high) {
        value = high;
    }
    return value < low ? low : value;
}

// The platform picks the monitor by the rectangle it is handed, and the primary one for a
// rectangle on none; so does this, in both directions, and a rectangle comes back where it was.
POINT OffsetOfMonitorUnder(const RECT& rect) {
    MONITORINFO info;
    DescribeMonitor(rect, MONITOR_DEFAULTTOPRIMARY, &info);
    return WorkAreaOffset(info);
}

} // namespace

bool GetRestoredScreenRect(HWND window, RECT* rect) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (window == nullptr || !GetWindowPlacement(window, &placement)) {
        return false;
    }
    RECT normal = placement.rcNormalPosition;
    POINT offset = OffsetOfMonitorUnder(normal);
    OffsetRect(&normal, offset.x, offset.y);
    *rect = normal;
    return true;
}

bool SetRestoredScreenRect(HWND window, const RECT& rect) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (window == nullptr || !GetWindowPlacement(window, &placement)) {
        return false;
    }
    RECT normal = rect;
    POINT offset = OffsetOfMonitorUnder(rect);
    OffsetRect(&normal, -offset.x, -offset.y);
    placement.rcNormalPosition = normal;
    // The placement's show command is carried out too: these leave the window shown or hidden,
    // minimised or not, and the activation as they are; the minimised position is not touched.
    placement.flags &= WPF_RESTORETOMAXIMIZED;
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWNA : SW_HIDE;
    return SetWindowPlacement(window, &placement) != 0;
}

WindowPlace StoredWindowPlace(HWND window) {
    RECT rect;
    if (!GetRestoredScreenRect(window, &rect)) {
        return {Settings.WindowLeft, Settings.WindowTop, Settings.WindowWidth};
    }
    return {rect.left, rect.top, StoredLength(window, rect.right - rect.left)};
}

bool IsOnAnyMonitor(const RECT& rect) {
    MONITORINFO info;
    return DescribeMonitor(rect, MONITOR_DEFAULTTONULL, &info);
}

RECT NearestWorkArea(const RECT& rect) {
    MONITORINFO info;
    DescribeMonitor(rect, MONITOR_DEFAULTTONEAREST, &info);
    return info.rcWork;
}

void BringIntoReach(HWND window) {
    RECT rect;
    if (!GetRestoredScreenRect(window, &rect) || IsOnAnyMonitor(rect)) {
        return;
    }
    RECT area = NearestWorkArea(rect);
    int width = ClampTo(rect.right - rect.left, 0, area.right - area.left);
    int height = rect.bottom - rect.top;
    int left = ClampTo(rect.left, area.left, area.right - width);
    int top = ClampTo(rect.top, area.top, area.bottom - height);
    SetRect(&rect, left, top, left + width, top + height);
    SetRestoredScreenRect(window, rect);
}
