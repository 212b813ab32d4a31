// Always-on-top, and translucency through the layered-window call looked up at run time.
#include "ui/layering.h"

#include "settings/settings.h"
#include "ui/platformcalls.h"

LayeredAttributesFunction LayeredAttributesProc;

namespace {

// USER32.DLL loaded by name, so that a platform without layered windows still starts.
HMODULE User32Module;

constexpr BYTE FullAlpha = 255;
constexpr int PercentScale = 100;

} // namespace

void FindLayeredAttributes() {
    User32Module = LoadLibraryA("USER32.DLL");
    LayeredAttributesProc =
        FindCallIn<LayeredAttributesFunction>(User32Module, "SetLayeredWindowAttributes");
    if (!LayeredAttributesProc) {
        Settings.Translucent = 0;
    }
}

void ReleaseLayeredAttributes() {
    if (User32Module) {
        FreeLibrary(User32Module);
        User32Module = nullptr;
        LayeredAttributesProc = nullptr;
    }
}

void SetLayeredOpacity(HWND window) {
    BYTE alpha = static_cast<BYTE>(Settings.Opacity * FullAlpha / PercentScale);
    LayeredAttributesProc(window, 0, alpha, LWA_ALPHA);
}

void ToggleAlwaysOnTop(HWND window) {
    Settings.AlwaysOnTop = !Settings.AlwaysOnTop;
    SetWindowPos(window, Settings.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void ToggleTranslucent(HWND window) {
    if (!LayeredAttributesProc) {
        return;
    }
    Settings.Translucent = !Settings.Translucent;
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, exStyle ^ WS_EX_LAYERED);
    if (Settings.Translucent) {
        SetLayeredOpacity(window);
    } else {
        // No longer layered, the window is no longer composed from the picture the system kept
        // of it: it is drawn again whole, frame and children included, or parts of it stay
        // unpainted until something else covers and uncovers them.
        RedrawWindow(window, nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}
