// The DPI of a window, and lengths scaled to it and back.
#include "dpi.h"

#include "user32calls.h"

namespace {

constexpr int DesignDpi = 96;

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND window);

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

} // namespace

int ScaleForWindow(HWND window, int length) {
    return MulDiv(length, WindowDpi(window), DesignDpi);
}

int StoredLength(HWND window, int pixels) {
    return MulDiv(pixels, DesignDpi, WindowDpi(window));
}
