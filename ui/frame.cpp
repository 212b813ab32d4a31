// The main window's frame: the non-client area, the cursors at its edges and the grip strip.
#include "ui/frame.h"

#include "ui/dpi.h"

RECT CalcFrameMargins(HWND window) {
    RECT outer = {0, 0, 0, 0};
    AdjustRectForWindow(window, &outer);
    // Since Windows 10 a sizing frame without a caption is invisible at the sides and the bottom
    // but shows across the top as a light band, a quarter of a window one line high. The height
    // is fixed, so frames above and below the line would size nothing: only the sides keep theirs.
    return {-outer.left, 0, outer.right, 0};
}

LRESULT CalcClientArea(HWND window, WPARAM wParam, LPARAM lParam) {
    // A minimised window is the platform's own, with no client area to speak of.
    if (IsIconic(window)) {
        return DefWindowProcA(window, WM_NCCALCSIZE, wParam, lParam);
    }
    // With wParam TRUE the first rectangle of the block is the window's new rectangle and turns
    // into its new client area; with FALSE lParam is that one rectangle.
    RECT* area = wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc
                        : reinterpret_cast<RECT*>(lParam);
    RECT frame = CalcFrameMargins(window);
    area->left += frame.left;
    area->top += frame.top;
    area->right -= frame.right;
    area->bottom -= frame.bottom;
    // Narrower than its two side frames (it is created with zero size) the window has an empty
    // client area, never an inverted one.
    if (area->right < area->left) {
        area->right = area->left;
    }
    return 0;
}

LRESULT SetFrameCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case HTTOP:
    case HTBOTTOM:
        // The height is fixed, so the vertical sizing arrows would promise what cannot happen.
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursorA(nullptr, IDC_SIZEWE)); return TRUE;
    default: return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
    }
}

LRESULT HitTestAsCaption(HWND window, WPARAM wParam, LPARAM lParam) {
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    // The only client area not covered by a control is the grip strip and its gap: the window
    // has no caption bar, so that is where it is dragged.
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void PaintGripStrip(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int stripWidth = ScaleForWindow(window, GripStripWidth);
    if (paint.rcPaint.left < stripWidth) {
        int colour = GetForegroundWindow() == window ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
        HBRUSH brush = CreateSolidBrush(GetSysColor(colour));
        RECT strip = paint.rcPaint;
        if (strip.right > stripWidth) {
            strip.right = stripWidth;
        }
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &paint);
}

LRESULT RepaintOnActivation(HWND window, WPARAM wParam, LPARAM lParam) {
    InvalidateRect(window, nullptr, TRUE);
    return DefWindowProcA(window, WM_NCACTIVATE, wParam, lParam);
}
