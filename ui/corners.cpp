// Asks the desktop window manager for small corners, through a call looked up at run time.
#include "ui/corners.h"

#include "ui/platformcalls.h"

namespace {

// The attribute and its value as DwmSetWindowAttribute documents them
// (DWMWA_WINDOW_CORNER_PREFERENCE, DWMWCP_ROUNDSMALL); the value is an enumeration, four bytes.
// Headers of older tool chains lack both names.
constexpr DWORD CornerPreferenceAttribute = 33;
constexpr DWORD RoundSmall = 3;

typedef HRESULT(WINAPI* SetWindowAttributeFunction)(HWND window, DWORD attribute, LPCVOID value,
                                                    DWORD size);

} // namespace

void AskForSmallCorners(HWND window) {
    // Loaded for this one call and freed after it: the window keeps the preference. Platforms
    // without the desktop window manager have no such library; those before Windows 11 know the
    // call but refuse the attribute, and their corners stay as they are.
    HMODULE dwm = LoadSystemLibrary("DWMAPI.DLL");
    if (dwm == nullptr) {
        return;
    }
    auto setAttribute = FindCallIn<SetWindowAttributeFunction>(dwm, "DwmSetWindowAttribute");
    if (setAttribute != nullptr) {
        DWORD preference = RoundSmall;
        setAttribute(window, CornerPreferenceAttribute, &preference, sizeof preference);
    }
    FreeLibrary(dwm);
}
