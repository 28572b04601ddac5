#!/usr/bin/env python3
"""Draws the gallery pages' two navigation images and writes them as GIF files beside this
script (previmage.gif, nextimage.gif), which the build copies into the program folder.

Each arrow is drawn below as ink: '#' the arrow, 'o' its outline, '.' the background.
Run it again after changing a drawing:  python3 data/gallery/make-navigation.py
"""

import os
import struct

NEXT = """
........................
........................
........oo..............
........o#o.............
........o##o............
........o###o...........
........o####o..........
..oooooo#####o..........
..o############o........
..o#############o.......
..o##############o......
..o###############o.....
..o###############o.....
..o##############o......
..o#############o.......
..o############o........
..oooooo#####o..........
........o####o..........
........o###o...........
........o##o............
........o#o.............
........oo..............
........................
........................
"""

PALETTE = [(0xFF, 0xFF, 0xFF), (0x20, 0x40, 0x90), (0x10, 0x10, 0x10), (0xC0, 0xC0, 0xC0)]
INK = {".": 0, "#": 1, "o": 2}


def rows(drawing):
    return [line for line in drawing.strip("\n").split("\n")]


def lzw(pixels):
    """Codes of width 3 for a 2-bit image: a clear code before every pair of pixels keeps the
    table from growing past what 3 bits can name, so no real compression is needed."""
    clear, end = 4, 5
    codes = []
    for i in range(0, len(pixels), 2):
        codes.append(clear)
        codes.extend(pixels[i:i + 2])
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(drawing):
    lines = rows(drawing)
    height, width = len(lines), len(lines[0])
    pixels = [INK[c] for line in lines for c in line]
    data = lzw(pixels)
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x81, 0, 0)  # global table of 4 colours
    for r, g, b in PALETTE:
        out += bytes((r, g, b))
    out += b"\x21\xF9\x04\x01\x00\x00\x00\x00"  # colour 0 transparent
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out += b"\x02"
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes((len(block),)) + block
    out += b"\x00\x3B"
    return bytes(out)


def mirrored(drawing):
    return "\n".join(line[::-1] for line in rows(drawing))


here = os.path.dirname(os.path.abspath(__file__))
for name, drawing in (("nextimage.gif", NEXT), ("previmage.gif", mirrored(NEXT))):
    with open(os.path.join(here, name), "wb") as f:
        f.write(gif(drawing))
