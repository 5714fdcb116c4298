#!/usr/bin/env python3
"""Writes the program's cursor files from the pixel art below:
HAND-M.CUR, the hand shown over push buttons, and drag.ico, shown while a file-list row
is dragged. X is black, o is white, anything else transparent."""
import struct
import sys
from pathlib import Path

HAND = [
    "     XX           ",
    "    XooX          ",
    "    XooX          ",
    "    XooX          ",
    "    XooX          ",
    "    XooXXX        ",
    "    XooXooXXX     ",
    "    XooXooXooXX   ",
    " XX XooXooXooXoX  ",
    "XooXXooooooooXooX ",
    "XoooXoooooooooooX ",
    " XooXoooooooooooX ",
    "  XoXoooooooooooX ",
    "  XooooooooooooX  ",
    "   XoooooooooooX  ",
    "   XooooooooooX   ",
    "    XoooooooooX   ",
    "    XoooooooooX   ",
    "    XXXXXXXXXXX   ",
]

DRAG = [
    "XXXXXXXXXX         ",
    "XooooooooXX        ",
    "XooooooooXoX       ",
    "XoXXXXXooXXXX   X  ",
    "XooooooooooooX XXX ",
    "XoXXXXXXXXXooXXXXXX",
    "XooooooooooooX  X  ",
    "XoXXXXXXXXXooX  X  ",
    "XooooooooooooX  X  ",
    "XoXXXXXXXXXooX  X  ",
    "XooooooooooooX  X  ",
    "XoXXXXXXXooooX XXXXX",
    "XooooooooooooX  XXX ",
    "XooooooooooooX   X  ",
    "XXXXXXXXXXXXXX      ",
]

SIZE = 32


def image(art):
    """BITMAPINFOHEADER, 32-bit colour bottom-up, then the 1-bit AND mask."""
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):
        row = art[y] if y < len(art) else ""
        bits = 0
        for x in range(SIZE):
            ch = row[x] if x < len(row) else " "
            if ch == "X":
                pixels += bytes((0, 0, 0, 255))
            elif ch == "o":
                pixels += bytes((255, 255, 255, 255))
            else:
                pixels += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def write(path, art, kind, hot=(0, 0)):
    data = image(art)
    directory = struct.pack("<HHH", 0, kind, 1)
    if kind == 2:  # cursor: the entry holds the hot spot
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot[0], hot[1], len(data), 22)
    else:  # icon: planes and bit count
        entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(data), 22)
    Path(path).write_bytes(directory + entry + data)


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent
    write(out / "HAND-M.CUR", HAND, 2, hot=(5, 1))
    write(out / "drag.ico", DRAG, 1)
