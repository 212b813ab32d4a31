#!/usr/bin/python3
"""Draws tolvex's button bitmaps as 16-colour BMP files and its icon as an ICO file of 32-bit
images with alpha (python3 stdlib only).

Run from anywhere: python3 tools/generate/make-art.py [output-dir]; the default output is res/
of the source tree. The generated files are committed, so the build never needs Python.

The pictures are drawn from character maps. The button bitmaps are designs that the program draws
at run time, each pixel a whole square at the window's scale: black becomes the button-text
colour, white the window colour and the light grey 192,192,192 (palette index 7) the button face.
"""
import os
import struct
import sys
import zlib

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Map characters to palette indices.
INK = {
    '#': 0,   # black
    '.': 7,   # light grey: the button face
    'o': 15,  # white
    's': 8,   # dark grey
    'g': 2,   # dark green
    'G': 10,  # green
    'b': 4,   # navy
    'r': 9,   # red
    'y': 11,  # yellow
    'c': 6,   # teal
}

MENU_BUTTON = [  # 12 x 12: a list box with a drop-down arrow
    "............",
    "########....",
    "#oooooo#....",
    "#o####o#....",
    "#oooooo#....",
    "#o####o#....",
    "#oooooo#oooo",
    "#o####oo####",
    "#ooooooo####",
    "########o##o",
    ".......o..o.",
    "........oo..",
]

CLEAR_BUTTON = [  # 8 x 8: a bold C
    "..####..",
    ".######.",
    "###..##.",
    "##......",
    "##......",
    "###..##.",
    ".######.",
    "..####..",
]

CLOSE_BUTTON = [  # 8 x 8: a bold diagonal cross
    "##....##",
    "###..###",
    ".######.",
    "..####..",
    "..####..",
    ".######.",
    "###..###",
    "##....##",
]

# The icon's sizes: the small icon at 100 to 200 % (16 to 32), Alt+Tab, the task bar and
# Explorer's views (32 to 64), and Explorer's largest view (256). Every one is stored as PNG, which
# the platform reads in icons since Windows Vista: as 32-bit bitmaps the four small ones alone
# would take 9 KB of an executable held to 100 KB, as PNG all eight take 3.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_SIZES = ICON_SIZES

# The icon's colours as (red, green, blue, alpha); ' ' is transparent.
ICON_COLOURS = {
    " ": (0, 0, 0, 0),
    "#": (0, 0, 0, 255),
    "s": (128, 128, 128, 255),
    ".": (192, 192, 192, 255),
    "o": (255, 255, 255, 255),
    "G": (0, 255, 0, 255),
    "y": (255, 255, 0, 255),
    "r": (255, 0, 0, 255),
}


def draw_icon(size):
    """A calculator at size x size pixels: a black outline, a dark grey rim, a grey face with a
    green display showing a "1", and a 4 x 3 keypad of white keys with a yellow right column.

    One design for every size, laid out in whole pixels so that no edge is blurred: the lines are
    size/32 pixels wide (at least one), the parts take their share of what is left, and details
    that would not fit (the rim, the key shadows, the digit's foot) are left out at small sizes.
    At 32 pixels it is the icon drawn pixel by pixel in the earlier 16-colour version.
    """
    g = [[" "] * size for _ in range(size)]

    def box(x0, y0, x1, y1, ch):  # half-open: x0 <= x < x1, y0 <= y < y1
        for y in range(y0, y1):
            for x in range(x0, x1):
                g[y][x] = ch

    def inset(rect, d):
        return (rect[0] + d, rect[1] + d, rect[2] - d, rect[3] - d)

    t = max(1, size // 32)
    body = (size // 8, size // 32, size - size // 8, size - size // 32)
    box(*body, "#")
    face = inset(body, t)
    if size >= 24:
        box(*face, "s")
        face = inset(face, t)
    box(*face, ".")
    fx0, fy0, fx1, fy1 = face

    # The display: a black frame across the face's top, 7/26 of its height.
    frame = (fx0 + t, fy0 + t, fx1 - t, fy0 + t + max(2 * t + 2, round((fy1 - fy0) * 7 / 26)))
    box(*frame, "#")
    ix0, iy0, ix1, iy1 = inset(frame, t)
    box(ix0, iy0, ix1, iy1, "G")
    stem = ix1 - 4 * t
    if iy1 - iy0 >= 4 * t:  # a "1": stem, flag and foot
        box(stem, iy0 + t, stem + t, iy1, "#")
        box(stem - t, iy0 + 2 * t, stem, iy0 + 3 * t, "#")
        box(stem - t, iy1 - t, stem + 2 * t, iy1, "#")
    else:  # only the stem, where the "1" would stand
        box(ix1 - 2 * t, iy0, ix1 - t, iy1, "#")

    # The keypad fills the face below the display; each key casts a shadow of one line width to
    # its right and bottom when it is large enough to keep a face of its own.
    kx0, ky0, kx1, ky1 = fx0 + t, frame[3] + t, fx1, fy1
    pitch_x, pitch_y = (kx1 - kx0 + t) // 4, (ky1 - ky0 + t) // 3
    key_w, key_h = pitch_x - t, pitch_y - t
    shadow = t if key_w >= 3 * t else 0
    kx0 += (kx1 - kx0 - (4 * pitch_x - t)) // 2
    ky0 += (ky1 - ky0 - (3 * pitch_y - t)) // 2
    for row in range(3):
        for col in range(4):
            x0, y0 = kx0 + col * pitch_x, ky0 + row * pitch_y
            box(x0, y0, x0 + key_w, y0 + key_h, "#")
            top_w, top_h = key_w - shadow, key_h - shadow
            box(x0, y0, x0 + top_w, y0 + top_h, "y" if col == 3 else "o")
            if shadow and top_w >= 3 * t and top_h >= 3 * t:
                dx, dy = x0 + (top_w - t) // 2, y0 + (top_h - t + 1) // 2
                box(dx, dy, dx + t, dy + t, "r" if col == 3 else "#")
    return ["".join(r) for r in g]


def check(name, rows, width, height):
    if len(rows) != height or any(len(r) != width for r in rows):
        raise SystemExit(f"{name}: every row must be {width} wide, {height} rows")


def pixel_rows(rows):
    """Palette indices, bottom row first, as BMP and ICO store them."""
    return [[INK.get(ch, 0) for ch in row] for row in reversed(rows)]


def pack4(indices):
    """One row of 4-bit pixels, padded to a multiple of 4 bytes."""
    if len(indices) % 2:
        indices = indices + [0]
    data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
    return data + b"\0" * (-len(data) % 4)


def info_header(width, height, image_size, bit_count=4):
    colours = 16 if bit_count == 4 else 0
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, 0, image_size, 0, 0,
                       colours, colours)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def bmp(rows):
    width, height = len(rows[0]), len(rows)
    pixels = b"".join(pack4(r) for r in pixel_rows(rows))
    header_size = 14 + 40 + 64
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    return file_header + info_header(width, height, len(pixels)) + palette_bytes() + pixels


def icon_dib(rows):
    """An icon image as a 32-bit DIB: blue, green, red, alpha bottom row first, then the AND mask
    that platforms without alpha use (1 where transparent)."""
    size = len(rows)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows)
                   for (r, g, b, a) in (ICON_COLOURS[ch] for ch in row))
    mask = b""
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ICON_COLOURS[ch][3] == 0 else 0)
        data = bits.to_bytes((size + 7) // 8, "big")
        mask += data + b"\0" * (-len(data) % 4)
    return info_header(size, size * 2, len(xor) + len(mask), 32) + xor + mask


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def icon_png(rows):
    """An icon image as PNG: 8-bit red, green, blue, alpha, each row filtered by whichever of
    PNG's filters leaves the smallest numbers (the usual rule), compressed at zlib's best."""
    size = len(rows)
    raw = b""
    previous = bytes(size * 4)
    for row in rows:
        line = bytes(v for ch in row for v in ICON_COLOURS[ch])
        left = bytes(4) + line[:-4]
        candidates = [
            (0, line),
            (1, bytes((x - a) & 255 for x, a in zip(line, left))),
            (2, bytes((x - b) & 255 for x, b in zip(line, previous))),
        ]
        kind, filtered = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        raw += bytes((kind,)) + filtered
        previous = line
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def ico(images):
    """An icon file of (size, rows) images, each as PNG if its size is in PNG_SIZES, else DIB."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, rows in images:
        image = icon_png(rows) if size in PNG_SIZES else icon_dib(rows)
        # Sizes from 256 up are written as 0; the colour count is 0 for images without a palette.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                               offset + len(data))
        data += image
    return directory + entries + data


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "res")
    check("menu", MENU_BUTTON, 12, 12)
    check("clear", CLEAR_BUTTON, 8, 8)
    check("close", CLOSE_BUTTON, 8, 8)
    icons = [(size, draw_icon(size)) for size in ICON_SIZES]
    for size, rows in icons:
        check(f"icon {size}", rows, size, size)
    files = {
        "menu.bmp": bmp(MENU_BUTTON),
        "clear.bmp": bmp(CLEAR_BUTTON),
        "close.bmp": bmp(CLOSE_BUTTON),
        "tolvex.ico": ico(icons),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
