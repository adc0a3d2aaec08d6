#!/usr/bin/env python3
"""Writes lumaret.ico: the 32 x 32, 16-colour icon of both programs and the notification area.

A dark blue Latin cross, its cross-bar in the upper third, on a light grey tile with a
one-pixel shaded border (light on the top and left, dark on the bottom and right).
The output is committed; run this again only when the picture changes:

    python3 resources/make-icon.py [output.ico]
"""

import struct
import sys
from pathlib import Path

SIZE = 32

# The standard 16-colour Windows palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GREY, WHITE = 0, 4, 7, 8, 15

# The cross, as (left, top, right, bottom) rectangles with exclusive right and bottom
# edges. The upright runs from row 4 to row 28; the bar's middle (row 10.5) sits at a
# quarter of the cross's height, well inside its upper third.
UPRIGHT = (14, 4, 18, 28)
BAR = (7, 9, 25, 13)


def inside(rect, x, y):
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def in_cross(x, y):
    return inside(UPRIGHT, x, y) or inside(BAR, x, y)


def pixel(x, y):
    """The palette index of pixel (x, y), y counted from the top."""
    last = SIZE - 1
    if y == 0 or x == 0:
        return WHITE if x < last and y < last else GREY
    if y == last or x == last:
        return GREY
    if in_cross(x, y):
        return NAVY
    # A soft shadow one pixel down and right of the cross lifts it off the tile.
    if in_cross(x - 1, y - 1):
        return GREY
    return SILVER


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    # 4 bits per pixel, high nibble first; rows stored bottom-up, each a multiple of 4 bytes.
    xor = bytearray()
    for row in reversed(rows):
        for x in range(0, SIZE, 2):
            xor.append((row[x] << 4) | row[x + 1])
    and_mask = bytes(SIZE * SIZE // 8)  # every pixel opaque
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(and_mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("lumaret.ico")
    out.write_bytes(icon_bytes())


if __name__ == "__main__":
    main()
