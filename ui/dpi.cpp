// The DPI of a window, and lengths scaled to it and back.
#include "ui/dpi.h"

#include "ui/platformcalls.h"

namespace {

constexpr int DesignDpi = 96;

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND window);
typedef int(WINAPI* GetSystemMetricsForDpiFunction)(int index, UINT dpi);
typedef BOOL(WINAPI* AdjustWindowRectExForDpiFunction)(RECT* rect, DWORD style, BOOL menu,
                                                       DWORD exStyle, UINT dpi);

} // namespace

// Looked up at run time, each time: platforms from before per-monitor scaling lack the call and
// still run the program, at the one DPI of the screen.
int WindowDpi(HWND window) {
    auto getDpiForWindow = FindUser32Call<GetDpiForWindowFunction>("GetDpiForWindow");
    int dpi = window && getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
    if (dpi <= 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) {
            ReleaseDC(nullptr, screen);
        }
    }
    return dpi > 0 ? dpi : DesignDpi;
}

int ScaleForWindow(HWND window, int length) {
    return MulDiv(length, WindowDpi(window), DesignDpi);
}

int StoredLength(HWND window, int pixels) {
    return MulDiv(pixels, DesignDpi, WindowDpi(window));
}

int SystemMetricForWindow(HWND window, int index) {
    auto forDpi = FindUser32Call<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, static_cast<UINT>(WindowDpi(window))) : GetSystemMetrics(index);
}

void AdjustRectForWindow(HWND window, RECT* rect) {
    auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    auto exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    auto forDpi = FindUser32Call<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    if (forDpi) {
        forDpi(rect, style, FALSE, exStyle, static_cast<UINT>(WindowDpi(window)));
    } else {
        AdjustWindowRectEx(rect, style, FALSE, exStyle);
    }
}
