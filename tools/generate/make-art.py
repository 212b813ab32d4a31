#!/usr/bin/python3
"""Draws tolvex's button bitmaps and icon as 16-colour BMP and ICO files (python3 stdlib only).

Run from anywhere: python3 tools/generate/make-art.py [output-dir]; the default output is res/ beside this
script. The generated files are committed, so the build never needs Python.

The pictures are drawn from character maps. The button bitmaps are designs that the program draws
at run time, each pixel a whole square at the window's scale: black becomes the button-text
colour, white the window colour and the light grey 192,192,192 (palette index 7) the button face.
"""
import os
import struct
import sys

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

def draw_icon():
    """32 x 32: a calculator body with a green display and a 4 x 3 keypad; ' ' is transparent."""
    g = [[" "] * 32 for _ in range(32)]

    def box(x0, y0, x1, y1, ch):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                g[y][x] = ch

    box(4, 1, 27, 30, "#")   # outline
    box(5, 2, 26, 29, "s")   # dark grey rim
    box(6, 3, 25, 28, ".")   # face
    box(7, 4, 24, 10, "#")   # display frame
    box(8, 5, 23, 9, "G")    # display
    for x, y in ((20, 6), (19, 7), (20, 7), (20, 8), (19, 9), (20, 9), (21, 9)):
        g[y][x] = "#"        # a "1" on the display
    for row in range(3):
        for col in range(4):
            x0, y0 = 7 + col * 5, 12 + row * 6
            face = "y" if col == 3 else "o"
            box(x0, y0, x0 + 3, y0 + 4, "#")
            box(x0, y0, x0 + 2, y0 + 3, face)
            g[y0 + 2][x0 + 1] = "r" if col == 3 else "#"
    return ["".join(r) for r in g]


ICON = draw_icon()


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


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 16)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def bmp(rows):
    width, height = len(rows[0]), len(rows)
    pixels = b"".join(pack4(r) for r in pixel_rows(rows))
    header_size = 14 + 40 + 64
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    return file_header + info_header(width, height, len(pixels)) + palette_bytes() + pixels


def ico(rows):
    width, height = len(rows[0]), len(rows)
    opaque = [row.replace(" ", "#") for row in rows]  # transparent pixels are black under the mask
    xor = b"".join(pack4(r) for r in pixel_rows(opaque))
    mask = b""
    for row in reversed(rows):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == " " else 0)
        data = bits.to_bytes(width // 8, "big")
        mask += data + b"\0" * (-len(data) % 4)
    image = info_header(width, height * 2, len(xor) + len(mask)) + palette_bytes() + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res")
    check("menu", MENU_BUTTON, 12, 12)
    check("clear", CLEAR_BUTTON, 8, 8)
    check("close", CLOSE_BUTTON, 8, 8)
    check("icon", ICON, 32, 32)
    files = {
        "menu.bmp": bmp(MENU_BUTTON),
        "clear.bmp": bmp(CLEAR_BUTTON),
        "close.bmp": bmp(CLOSE_BUTTON),
        "tolvex.ico": ico(ICON),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
