// The button glyphs: designs read from bitmap resources, drawn whole pixel by whole pixel.
#include "ui/buttonglyph.h"

#include "ui/dpi.h"

namespace {

// What a pixel of a design shows.
enum GlyphInk : unsigned char { FaceInk, GlyphTextInk, PaperInk, InkCount };

// The designs are 12 pixels square at most; anything larger is not one of them.
constexpr int MaxDesignSide = 16;
// Beyond any scale the platform offers (500 %).
constexpr int MaxGlyphScale = 8;
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
    if (scale > MaxGlyphScale) {
        return MaxGlyphScale;
    }
    return scale < 1 ? 1 : scale;
}

// A pixel of a 32-bit image: blue in the low byte, then green, red and alpha.
DWORD CoveredPixel(COLORREF colour) {
    return 0xFF000000u | static_cast<DWORD>(GetRValue(colour)) << 16 |
           static_cast<DWORD>(GetGValue(colour)) << 8 | GetBValue(colour);
}
constexpr DWORD ClearPixel = 0;

// The glyph as an icon: a 32-bit image whose face pixels are clear, so the button's own face shows
// through them whatever draws it (the visual style's face is no system colour, and differs when
// the pointer is over the button or presses it), and a mask that says the same for platforms that
// draw icons without alpha. Every pixel is either fully covered or fully clear, so the colours read
// the same whether the alpha is taken as premultiplied or not.
HICON PaintGlyph(const GlyphDesign& design, int scale) {
    int width = design.width * scale;
    int height = design.height * scale;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    // One bit a pixel, set where the screen stays; rows padded to 16 bits as CreateBitmap wants.
    int maskStride = (width + 15) / 16 * 2;
    BYTE maskBits[MaxDesignSide * MaxGlyphScale * ((MaxDesignSide * MaxGlyphScale + 15) / 16 * 2)];
    HBITMAP mask = nullptr;
    HICON icon = nullptr;
    if (image && bits) {
        const DWORD inks[InkCount] = {ClearPixel, CoveredPixel(GetSysColor(COLOR_BTNTEXT)),
                                      CoveredPixel(GetSysColor(COLOR_WINDOW))};
        DWORD* pixels = static_cast<DWORD*>(bits);
        ZeroMemory(maskBits, sizeof maskBits);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                GlyphInk ink = design.pixels[y / scale][x / scale];
                pixels[y * width + x] = inks[ink];
                if (ink == FaceInk) {
                    maskBits[y * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
                }
            }
        }
        mask = CreateBitmap(width, height, 1, 1, maskBits);
    }
    if (mask) {
        ICONINFO parts = {TRUE, 0, 0, mask, image};
        icon = CreateIconIndirect(&parts);
    }
    // The icon holds copies of both.
    if (mask) {
        DeleteObject(mask);
    }
    if (image) {
        DeleteObject(image);
    }
    return icon;
}

} // namespace

HICON DrawButtonGlyph(HWND window, HINSTANCE module, int resource) {
    GlyphDesign design;
    if (!ReadGlyphDesign(module, resource, &design)) {
        return nullptr;
    }
    return PaintGlyph(design, GlyphPixelScale(window, design.width));
}
