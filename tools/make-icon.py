#!/usr/bin/env python3
"""Draws the application icon, resources/saver.ico: a monitor whose dark screen shows a pair of
yellow eighth notes under a few stars (a screen saver that plays music), as a 32x32 and a 16x16
image of 16 colours. Run it again after changing a picture: python3 tools/make-icon.py"""
import os
import struct

# The 16-colour palette of every Windows display (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# Letters of the pictures below; "." is transparent.
COLOURS = {"K": 0, "n": 4, "t": 6, "s": 7, "g": 8, "l": 10, "y": 11, "c": 14, "w": 15}

LARGE = """
................................
................................
.KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.
.KwwwwwwwwwwwwwwwwwwwwwwwwwwwgK.
.KwssssssssssssssssssssssssssgK.
.KwsKKKKKKKKKKKKKKKKKKKKKKKKsgK.
.KwsKnnnnnnnnnnnnnnnnnnnnnnKsgK.
.KwsKnnwnnnnnnnnnnnnnnnnnnnKsgK.
.KwsKnnnnnnnnyyyyyyyyynnwnnKsgK.
.KwsKnnnnnnnnyyyyyyyyynnnnnKsgK.
.KwsKnnnnnnnnynnnnnnnynnnnnKsgK.
.KwsKnnnnnnnnynnnnnnnynnnnnKsgK.
.KwsKnncnnnnnynnnnnnnynnnnnKsgK.
.KwsKnnnnnnnnynnnnnnnynnnnnKsgK.
.KwsKnnnnnnnnynnnnnnnynnnnnKsgK.
.KwsKnnnnnnnnynnnnnnnynnncnKsgK.
.KwsKnnnnnnnnynnnnnyyynnnnnKsgK.
.KwsKnnnnnnyyynnnnyyyynnnnnKsgK.
.KwsKnnnnnyyyynnnnyyynnnnnnKsgK.
.KwsKnnnnnyyynnnnnnnnnnnwnnKsgK.
.KwsKttttttttttttttttttttttKsgK.
.KwsKKKKKKKKKKKKKKKKKKKKKKKKsgK.
.KwssssssssssssssssssssssllssgK.
.KwgggggggggggggggggggggggggggK.
.KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.
............KggggggK............
............KggggggK............
......KKKKKKKKKKKKKKKKKKKK......
......KssssssssssssssssssK......
......KKKKKKKKKKKKKKKKKKKK......
................................
................................
"""

SMALL = """
KKKKKKKKKKKKKKKK
KwwwwwwwwwwwwwgK
KwKKKKKKKKKKKKgK
KwKnnnnnnnnnnKgK
KwKnwnnyyyynnKgK
KwKnnnnynnynnKgK
KwKnnnnynnynnKgK
KwKnnnyynyynnKgK
KwKnnyyynyyncKgK
KwKttttttttttKgK
KwKKKKKKKKKKKKgK
KgggggggggggglgK
KKKKKKKKKKKKKKKK
......KggK......
...KKKKKKKKKK...
................
"""


def rows_of(picture, size):
    rows = [line for line in picture.strip("\n").split("\n")]
    assert len(rows) == size and all(len(row) == size for row in rows), f"{size}x{size} picture"
    return rows


def image(picture, size):
    """One icon image: the bitmap header, the palette, the colour bits and the mask, bottom up."""
    rows = rows_of(picture, size)
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, letter in enumerate(row):
            index = COLOURS.get(letter, 0)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if letter == ".":
                bits[x // 8] |= 0x80 >> (x % 8)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(pictures):
    images = [(size, image(picture, size)) for size, picture in pictures]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits in images:
        data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(bits), offset)
        offset += len(bits)
    return data + b"".join(bits for _, bits in images)


if __name__ == "__main__":
    target = os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "saver.ico"))
    with open(target, "wb") as out:
        out.write(icon_file([(32, LARGE), (16, SMALL)]))
    print(f"wrote {target}")
