#!/usr/bin/env python3
"""Draws Tomeshift's icons and link cursor and writes them in the Windows formats.

Re-run from the repository's root after changing a picture, then commit the outputs:

    python3 tools/make_images.py

Writes res/tomeshift.ico, res/hand.cur, engine/engine_new.ico and engine/engine_old.ico.
Every icon holds two 16-colour images, 32x32 (744 bytes) then 16x16 (296 bytes): a
BITMAPINFOHEADER whose height counts the colour and mask halves, a 16-entry palette, the
4-bit colour rows and the 1-bit mask rows (each padded to 32 bits), all bottom-up. The
cursor is one 32x32 monochrome image (304 bytes; 308 once the hot spot is put in front of
it as a resource) with its hot spot at the tip of the pointing finger, 6,1.
"""

import pathlib
import struct

# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# Colour names used by the drawings: index into PALETTE.
K, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
CLEAR = None  # a transparent pixel: mask bit set, colour 0


class Canvas:
    """A square of palette indices (or CLEAR), drawn on with a few primitives."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]

    def dot(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def box(self, x0, y0, x1, y1, fill, edge=None):
        """Fills the rectangle with corners x0,y0 and x1,y1 (inclusive), edged in edge."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                border = x in (x0, x1) or y in (y0, y1)
                self.dot(x, y, edge if border and edge is not None else fill)

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.dot(x, y, colour)

    def vline(self, x, y0, y1, colour):
        for y in range(y0, y1 + 1):
            self.dot(x, y, colour)

    def triangle_up(self, apex_x, apex_y, base_y, fill, edge):
        """An upward arrow head: one pixel wide at apex_y, two wider on each row below."""
        for row, y in enumerate(range(apex_y, base_y + 1)):
            left, right = apex_x - row, apex_x + row
            for x in range(left, right + 1):
                border = x in (left, right) or y == base_y
                self.dot(x, y, edge if border else fill)

    def paint(self, rows, colours):
        """Copies an ASCII drawing: each character is a key of colours."""
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                self.dot(x, y, colours[ch])


# --- Pictures -------------------------------------------------------------------------

def tomeshift_32():
    """A blue book with a green arrow rising beside it: a book being upgraded."""
    c = Canvas(32)
    c.box(21, 8, 23, 29, WHITE, GREY)           # page edges behind the cover
    c.box(3, 6, 21, 29, BLUE, NAVY)             # front cover
    c.box(3, 6, 6, 29, NAVY)                    # spine
    c.box(9, 10, 18, 14, YELLOW, OLIVE)         # title label
    c.hline(10, 17, 12, OLIVE)
    c.hline(9, 18, 24, CYAN)                    # a band near the foot
    c.triangle_up(25, 1, 7, LIME, GREEN)        # arrow head
    c.box(23, 7, 27, 20, LIME, GREEN)           # arrow shaft
    c.hline(24, 26, 7, LIME)                    # shaft opens into the head
    return c


def tomeshift_16():
    c = Canvas(16)
    c.box(10, 4, 11, 14, WHITE, GREY)
    c.box(1, 3, 10, 14, BLUE, NAVY)
    c.box(1, 3, 2, 14, NAVY)
    c.box(4, 5, 8, 7, YELLOW, OLIVE)
    c.triangle_up(12, 0, 3, LIME, GREEN)
    c.box(11, 3, 13, 10, LIME, GREEN)
    c.dot(12, 3, LIME)
    return c


def engine_new_32():
    """An open book with printed pages and a red bookmark: the current viewer."""
    c = Canvas(32)
    c.box(1, 9, 30, 27, TEAL, NAVY)             # cover seen below the pages
    c.box(2, 5, 15, 25, WHITE, GREY)            # left page
    c.box(16, 5, 29, 25, WHITE, GREY)           # right page
    c.vline(15, 5, 25, SILVER)                  # the fold
    c.vline(16, 5, 25, SILVER)
    for y in range(8, 24, 3):                   # lines of print
        c.hline(4, 13, y, NAVY if y == 8 else GREY)
        c.hline(18, 27, y, NAVY if y == 8 else GREY)
    c.box(23, 1, 25, 29, RED, MAROON)           # bookmark ribbon
    c.dot(24, 29, CLEAR)                        # its notched end
    return c


def engine_new_16():
    c = Canvas(16)
    c.box(0, 4, 15, 14, TEAL, NAVY)
    c.box(1, 2, 7, 12, WHITE, GREY)
    c.box(8, 2, 14, 12, WHITE, GREY)
    for y in (4, 6, 8, 10):
        c.hline(2, 6, y, NAVY if y == 4 else GREY)
        c.hline(9, 11, y, NAVY if y == 4 else GREY)
    c.box(12, 0, 13, 14, RED)
    return c


def engine_old_32():
    """A closed, worn leather volume with brass corners: the older viewer."""
    c = Canvas(32)
    c.box(7, 4, 27, 29, SILVER, GREY)           # yellowed page block behind
    c.box(5, 2, 25, 28, MAROON, K)              # leather cover
    c.box(5, 2, 8, 28, OLIVE, K)                # spine
    for y in (7, 23):                           # raised bands
        c.hline(6, 24, y, OLIVE)
    c.box(11, 11, 21, 18, OLIVE, YELLOW)        # gilt frame
    c.box(14, 13, 18, 16, YELLOW)               # gilt ornament
    for x, y in ((6, 3), (23, 3), (6, 26), (23, 26)):
        c.box(x, y, x + 1, y + 1, YELLOW)       # brass corners
    return c


def engine_old_16():
    c = Canvas(16)
    c.box(4, 2, 14, 15, SILVER, GREY)
    c.box(2, 1, 12, 14, MAROON, K)
    c.box(2, 1, 3, 14, OLIVE, K)
    c.box(6, 5, 10, 9, OLIVE, YELLOW)
    c.dot(8, 7, YELLOW)
    return c


# A hand with the index finger pointing up; X black, W white, . transparent.
HAND = [
    "................................",
    ".....XXX........................",
    "....XWWWX.......................",
    "....XWWWX.......................",
    "....XWWWX.......................",
    "....XWWWX.......................",
    "....XWWWXXXX....................",
    "....XWWWXWWXXXX.................",
    "....XWWWXWWXWWXXXX..............",
    "....XWWWXWWXWWXWWX..............",
    ".XX.XWWWXWWXWWXWWX..............",
    "XWWXXWWWWWWWWWWWWX..............",
    "XWWWXWWWWWWWWWWWWX..............",
    ".XWWXWWWWWWWWWWWWX..............",
    "..XWWWWWWWWWWWWWWX..............",
    "...XWWWWWWWWWWWWWX..............",
    "....XWWWWWWWWWWWX...............",
    ".....XWWWWWWWWWWX...............",
    "......XWWWWWWWWX................",
    "......XWWWWWWWWX................",
    "......XXXXXXXXXX................",
]
HAND_HOT_SPOT = (6, 1)


# --- Formats --------------------------------------------------------------------------

def bitmap_header(size, bits, image_bytes):
    # biHeight counts the colour rows and the mask rows.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def row_bytes(pixels_per_row, bits):
    return (pixels_per_row * bits + 31) // 32 * 4


def mask_rows(canvas):
    out = bytearray()
    stride = row_bytes(canvas.size, 1)
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, colour in enumerate(row):
            if colour is CLEAR:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def icon_image(canvas):
    """One RT_ICON image: header, 16-colour palette, 4-bit colour rows, mask rows."""
    size = canvas.size
    stride = row_bytes(size, 4)
    colour = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, index in enumerate(row):
            value = 0 if index is CLEAR else index
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
        colour += line
    mask = mask_rows(canvas)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return bitmap_header(size, 4, len(colour) + len(mask)) + palette + bytes(colour) + mask


def icon_file(canvases):
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.size, canvas.size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def cursor_file(rows, hot_spot):
    """A one-image .cur: 32x32, 1 bit per pixel, black and white, hot spot in the entry."""
    canvas = Canvas(32)
    canvas.paint(rows, {".": CLEAR, "X": K, "W": WHITE})
    stride = row_bytes(32, 1)
    colour = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray(stride)
        for x, index in enumerate(row):
            if index == WHITE:
                line[x // 8] |= 0x80 >> (x % 8)
        colour += line
    mask = mask_rows(canvas)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = bitmap_header(32, 1, len(colour) + len(mask)) + palette + bytes(colour) + mask
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_spot[0], hot_spot[1], len(image), 22)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    outputs = {
        "res/tomeshift.ico": icon_file([tomeshift_32(), tomeshift_16()]),
        "res/hand.cur": cursor_file(HAND, HAND_HOT_SPOT),
        "engine/engine_new.ico": icon_file([engine_new_32(), engine_new_16()]),
        "engine/engine_old.ico": icon_file([engine_old_32(), engine_old_16()]),
    }
    for name, data in outputs.items():
        (root / name).write_bytes(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
