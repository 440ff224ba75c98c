#!/usr/bin/python3
"""Writes the generate buttons' glyph, resources/data/arrow.bmp.

A 32 x 16 BMP with 16 colours (4 bits per pixel) holding two 16 x 16 images side by
side: a red up arrow with a black outline for the enabled button, and the same arrow in
grey with a white shadow for the disabled one. The background is olive; the button takes
the bottom-left pixel's colour as transparent, so that pixel must stay background.
"""
import argparse
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
OUT = HERE.parent / "data" / "arrow.bmp"

# The classic 16-colour palette, as (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, GREY, RED, WHITE = 0, 3, 8, 9, 15

# The arrow's body, top row first: a head seven rows high and a shaft four pixels wide.
ARROW = [
    "................",
    "................",
    ".......##.......",
    "......####......",
    ".....######.....",
    "....########....",
    "...##########...",
    "..############..",
    "......####......",
    "......####......",
    "......####......",
    "......####......",
    "......####......",
    "......####......",
    "................",
    "................",
]


def body(x, y):
    return 0 <= x < 16 and 0 <= y < 16 and ARROW[y][x] == "#"


def normal_image():
    img = [[OLIVE] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            if body(x, y):
                img[y][x] = RED
            elif any(body(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                img[y][x] = BLACK
    return img


def disabled_image():
    # Drawn the way disabled glyphs look on the desktop: grey, lifted off a white shadow.
    img = [[OLIVE] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            if body(x - 1, y - 1):
                img[y][x] = WHITE
    for y in range(16):
        for x in range(16):
            if body(x, y):
                img[y][x] = GREY
    return img


def bmp_4bit(rows):
    height, width = len(rows), len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows go bottom-up
        line = bytearray()
        for x in range(0, width, 2):
            line.append((row[x] << 4) | row[x + 1])
        pixels += line + bytes(stride - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels),
                       3780, 3780, 16, 0)
    return header + info + palette + bytes(pixels)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", type=pathlib.Path, default=OUT.parent, help="output folder")
    out = parser.parse_args().out / OUT.name
    normal, disabled = normal_image(), disabled_image()
    rows = [normal[y] + disabled[y] for y in range(16)]
    out.write_bytes(bmp_4bit(rows))


if __name__ == "__main__":
    main()
