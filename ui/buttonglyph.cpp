// The button glyphs: designs read from bitmap resources, drawn whole pixel by whole pixel.
#include "ui/buttonglyph.h"

#include "ui/dpi.h"

namespace {

// What a pixel of a design shows, in the order of GlyphColorIndex's table.
enum GlyphInk : unsigned char { FaceInk, GlyphTextInk, PaperInk, InkCount };
// The system colour each ink becomes.
constexpr int GlyphColorIndex[InkCount] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOW};

// The designs are 12 pixels square at most; anything larger is not one of them.
constexpr int MaxDesignSide = 16;
constexpr DWORD DesignBlack = 0x000000;
constexpr DWORD DesignWhite = 0xFFFFFF;

struct GlyphDesign {
    int width;
    int height;
    GlyphInk pixels[MaxDesignSide][MaxDesignSide];
};

GlyphInk InkOf(DWORD rgb) {
    switch (rgb & 0xFFFFFF) {
    case DesignBlack: return GlyphTextInk;
    case DesignWhite: return PaperInk;
    default: return FaceInk;
    }
}

// Reads the pixels of bitmap resource `resource`, whatever its colour depth, as inks.
bool ReadGlyphDesign(HINSTANCE module, int resource, GlyphDesign* design) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP size = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof size, &size) || size.bmWidth < 1 ||
        size.bmHeight < 1 || size.bmWidth > MaxDesignSide || size.bmHeight > MaxDesignSide) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        return false;
    }
    // Top-down rows of 32-bit pixels, which need no padding.
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = size.bmWidth;
    format.bmiHeader.biHeight = -size.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    DWORD pixels[MaxDesignSide * MaxDesignSide];
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.bmHeight), pixels, &format,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (rows != size.bmHeight) {
        return false;
    }
    design->width = size.bmWidth;
    design->height = size.bmHeight;
    for (int y = 0; y < size.bmHeight; ++y) {
        for (int x = 0; x < size.bmWidth; ++x) {
            design->pixels[y][x] = InkOf(pixels[y * size.bmWidth + x]);
        }
    }
    return true;
}

// How many screen pixels, across and down, one pixel of a design `side` pixels square becomes in
// window. The design's size at the window's scale, rounded to a whole number of pixels per
// design pixel (halves up), never less than one: so every design pixel becomes the same square
// and a two-pixel stroke stays twice as thick as a one-pixel one. Stretching by the exact
// fraction instead (1.25 at 125 %, 1.75 at 175 %) would double some rows and not others. The
// price is a glyph a little smaller or larger than the scale asks: at 125 % it keeps its size at
// 100 %, at 175 % it is drawn as at 200 %.
int GlyphPixelScale(HWND window, int side) {
    int scaled = ScaleForWindow(window, side);
    int scale = (2 * scaled + side) / (2 * side);
    return scale < 1 ? 1 : scale;
}

HBITMAP PaintGlyph(const GlyphDesign& design, int scale) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, design.width * scale, design.height * scale);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !dc) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        if (dc) {
            DeleteDC(dc);
        }
        return nullptr;
    }
    HGDIOBJ before = SelectObject(dc, bitmap);
    HBRUSH brushes[InkCount];
    for (int ink = 0; ink < InkCount; ++ink) {
        brushes[ink] = CreateSolidBrush(GetSysColor(GlyphColorIndex[ink]));
    }
    for (int y = 0; y < design.height; ++y) {
        for (int x = 0; x < design.width; ++x) {
            RECT pixel = {x * scale, y * scale, (x + 1) * scale, (y + 1) * scale};
            FillRect(dc, &pixel, brushes[design.pixels[y][x]]);
        }
    }
    for (HBRUSH brush : brushes) {
        DeleteObject(brush);
    }
    SelectObject(dc, before);
    DeleteDC(dc);
    return bitmap;
}

} // namespace

HBITMAP DrawButtonGlyph(HWND window, HINSTANCE module, int resource) {
    GlyphDesign design;
    if (!ReadGlyphDesign(module, resource, &design)) {
        return nullptr;
    }
    return PaintGlyph(design, GlyphPixelScale(window, design.width));
}
