#!/usr/bin/env python3
"""Draws the 16 x 16 menu icons of the shipped script and writes them as .ico files.

Run from anywhere; the icons are written beside this file:
    python3 qxm/scripts/make_icons.py
Each icon holds two 32-bit images (BGRA rows bottom-up, then a 1-bit AND mask)
so that each has a colour bitmap with an alpha channel, which the menu draws as
is: the 16 x 16 drawing, and the same with every pixel doubled, 32 x 32, for
menus at 200 %.
"""
import pathlib
import struct

SIZE = 16

OUTLINE = (40, 40, 48, 255)
SHACKLE = (150, 150, 162, 255)
KEYHOLE = (24, 24, 28, 255)
WHITE = (250, 250, 250, 255)
AES_BLUE = (40, 110, 220, 255)
DES_GREEN = (40, 160, 80, 255)
VIOLET = (110, 60, 170, 255)
STEEL = (120, 124, 136, 255)
GOLD = (222, 172, 40, 255)
AGE_ORANGE = (226, 104, 34, 255)

CLOSED_LOCK = [
    "................",
    ".....SSSSSS.....",
    "....SS....SS....",
    "....S......S....",
    "....S......S....",
    "....S......S....",
    "..OOOOOOOOOOOO..",
    "..OBBBBBBBBBBO..",
    "..OBBBBBBBBBBO..",
    "..OBBBBKKBBBBO..",
    "..OBBBBKKBBBBO..",
    "..OBBBBBKBBBBO..",
    "..OBBBBBKBBBBO..",
    "..OBBBBBBBBBBO..",
    "..OOOOOOOOOOOO..",
    "................",
]

OPEN_LOCK = [
    ".........SSSSSS.",
    "........SS....SS",
    "........S......S",
    "........S......S",
    "........S.......",
    "........S.......",
    "..OOOOOOOOOOOO..",
    "..OBBBBBBBBBBO..",
    "..OBBBBBBBBBBO..",
    "..OBBBBKKBBBBO..",
    "..OBBBBKKBBBBO..",
    "..OBBBBBKBBBBO..",
    "..OBBBBBKBBBBO..",
    "..OBBBBBBBBBBO..",
    "..OOOOOOOOOOOO..",
    "................",
]

SHIELD = [
    "................",
    "..OOOOOOOOOOOO..",
    "..OBBBBBBBBBBO..",
    "..OBBBBWWBBBBO..",
    "..OBBBWBBWBBBO..",
    "..OBBBWBBWBBBO..",
    "..OBBWWWWWWBBO..",
    "..OBBWWWWWWBBO..",
    "..OBBWWKKWWBBO..",
    "...OBWWKKWWBO...",
    "...OBWWWWWWBO...",
    "....OBBBBBBO....",
    ".....OBBBBO.....",
    "......OBBO......",
    ".......OO.......",
    "................",
]

GEAR = [
    "................",
    ".......OO.......",
    "...OO.OBBO.OO...",
    "..OBBOOBBOOBBO..",
    "...OBBBBBBBBO...",
    "...OBBBOOBBBO...",
    ".OOOBBO..OBBOOO.",
    "OBBBBO....OBBBBO",
    "OBBBBO....OBBBBO",
    ".OOOBBO..OBBOOO.",
    "...OBBBOOBBBO...",
    "...OBBBBBBBBO...",
    "..OBBOOBBOOBBO..",
    "...OO.OBBO.OO...",
    ".......OO.......",
    "................",
]

KEY = [
    "................",
    "..OOOO..........",
    ".OBBBBO.........",
    "OBBOOBBO........",
    "OBO..OBO........",
    "OBO..OBOOOOOOOO.",
    "OBBOOBBBBBBBBBBO",
    ".OBBBBOOOOOBOBO.",
    "..OOOO.....OBOBO",
    "...........OOOO.",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
]


def render(rows, body):
    palette = {"O": OUTLINE, "S": SHACKLE, "K": KEYHOLE, "W": WHITE, "B": body}
    assert len(rows) == SIZE and all(len(row) == SIZE for row in rows)
    return [[palette.get(c) for c in row] for row in rows]


def doubled(pixels):
    return [[pixel for pixel in row for _ in (0, 1)] for row in pixels for _ in (0, 1)]


def image_bytes(pixels):
    size = len(pixels)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # a DIB lists its rows bottom-up
        bits = 0
        for x, pixel in enumerate(row):
            if pixel is None:
                colour += bytes((0, 0, 0, 0))
                bits |= 1 << (size - 1 - x)
            else:
                r, g, b, a = pixel
                colour += bytes((b, g, r, a))
        mask += bits.to_bytes(size // 8, "big").ljust(4 * ((size + 31) // 32), b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_bytes(pixels):
    images = [image_bytes(pixels), image_bytes(doubled(pixels))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    offset = len(directory) + 16 * len(images)
    for image, size in zip(images, (SIZE, 2 * SIZE)):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


ICONS = {
    "veilor.ico": render(SHIELD, VIOLET),
    "age-encrypt.ico": render(CLOSED_LOCK, AGE_ORANGE),
    "age-decrypt.ico": render(OPEN_LOCK, AGE_ORANGE),
    "aes-encrypt.ico": render(CLOSED_LOCK, AES_BLUE),
    "aes-decrypt.ico": render(OPEN_LOCK, AES_BLUE),
    "des3-encrypt.ico": render(CLOSED_LOCK, DES_GREEN),
    "des3-decrypt.ico": render(OPEN_LOCK, DES_GREEN),
    "settings.ico": render(GEAR, STEEL),
    "passwords.ico": render(KEY, GOLD),
}


def main():
    folder = pathlib.Path(__file__).resolve().parent
    for name, pixels in ICONS.items():
        (folder / name).write_bytes(ico_bytes(pixels))


if __name__ == "__main__":
    main()
