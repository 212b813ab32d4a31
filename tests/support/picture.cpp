// Screen captures of a window as PNG files.
#include "tests/support/picture.h"

#include <cstdio>
#include <vector>

#include "tests/support/driver.h"
#include "tests/support/files.h"

namespace gui {

namespace {

// The PNG file is written uncompressed (deflate's stored blocks): no library needed, and the
// pictures are small.
constexpr BYTE PngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t StoredBlockLimit = 65535;
constexpr BYTE PngColourRgb = 2;
constexpr BYTE PngBitDepth = 8;
constexpr WORD CaptureBits = 32;

std::string PicturePath(const std::string& name) {
    std::string path = WindowsPath(PictureDirectory);
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\" + name + ".png";
}

DWORD Crc32(const BYTE* data, size_t size, DWORD crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

void PutBigEndian(std::vector<BYTE>* out, DWORD value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out->push_back(static_cast<BYTE>(value >> shift));
    }
}

void PutChunk(std::vector<BYTE>* out, const char* type, const std::vector<BYTE>& data) {
    PutBigEndian(out, static_cast<DWORD>(data.size()));
    std::vector<BYTE> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out->insert(out->end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(body.data(), body.size()));
}

// A zlib stream of stored blocks around raw.
std::vector<BYTE> Deflated(const std::vector<BYTE>& raw) {
    std::vector<BYTE> out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t size = raw.size() - at < StoredBlockLimit ? raw.size() - at : StoredBlockLimit;
        out.push_back(at + size == raw.size() ? 1 : 0);
        out.push_back(static_cast<BYTE>(size));
        out.push_back(static_cast<BYTE>(size >> 8));
        out.push_back(static_cast<BYTE>(~size));
        out.push_back(static_cast<BYTE>(~size >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + size));
        at += size;
    } while (at < raw.size());
    DWORD a = 1, b = 0;
    for (BYTE byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(&out, (b << 16) | a);
    return out;
}

// The window's screen pixels as top-down rows of blue, green, red and a pad byte; empty when
// the capture failed.
std::vector<BYTE> Capture(const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height; // top-down, as PNG stores it
    info.biPlanes = 1;
    info.biBitCount = CaptureBits;
    info.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) {
        pixels.clear();
    }
    return pixels;
}

} // namespace

bool SavePicture(HWND window, const std::string& name) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    // Paint everything now (the owning process is sent the paint messages).
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return SavePicture(rect, name);
}

bool SavePicture(const RECT& rect, const std::string& name) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // Take the picture once two captures in a row agree: the display server draws in its own time.
    std::vector<BYTE> pixels = Capture(rect), previous;
    WaitUntil([&] {
        previous.swap(pixels);
        pixels = Capture(rect);
        return !pixels.empty() && pixels == previous;
    });
    if (pixels.empty()) {
        return false;
    }

    // Each PNG row: filter type 0, then red, green, blue (the capture holds blue, green, red, pad).
    std::vector<BYTE> raw;
    raw.reserve(static_cast<size_t>(width * 3 + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const BYTE* pixel = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            raw.insert(raw.end(), {pixel[2], pixel[1], pixel[0]});
        }
    }
    std::vector<BYTE> header;
    PutBigEndian(&header, static_cast<DWORD>(width));
    PutBigEndian(&header, static_cast<DWORD>(height));
    header.insert(header.end(), {PngBitDepth, PngColourRgb, 0, 0, 0});
    std::vector<BYTE> file(PngSignature, PngSignature + sizeof PngSignature);
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", Deflated(raw));
    PutChunk(&file, "IEND", {});

    FILE* out = std::fopen(PicturePath(name).c_str(), "wb");
    if (!out) {
        return false;
    }
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

} // namespace gui
