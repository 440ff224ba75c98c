#!/usr/bin/python3
"""Draws our three boot screens and writes the base logo image and the template logo image.

logo_new.img (262144 bytes), the image every run starts from:
  0      .. 131071  OGOL image of the "U830" screen, 0xFF fill
  131072 .. 196607  OGOL image of the ring screen, 0xFF fill
  196608 .. 262143  a copy of bytes 0 .. 65535
template_logo.img (262144 bytes), the logo entry of the template package:
  0      .. 131071  OGOL image of the frame screen, 0xFF fill
  131072 .. 262143  the same bytes as logo_new.img

With --preview DIR it also writes the three screens as PPM files for a look.
"""
import argparse
import pathlib
import sys

import raster
from raster import Canvas, glyph_strokes, text_width

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent / "data"

IMAGE_SIZE = 262144
SLOT = 131072
SECOND_SLOT_SIZE = 65536
COPY_AT = 196608
COPY_SIZE = 65536

W, H = raster.FRAME_WIDTH, raster.FRAME_HEIGHT


def centred_text(canvas, text, cy, height, pen, color, glow=None):
    left = (W - text_width(text, height)) / 2
    top = cy - height / 2
    sdf = glyph_strokes(text, left, top, height, pen).sdf()
    area = (left - 40, top - 40, left + text_width(text, height) + 40, top + height + 40)
    if glow:
        canvas.glow(sdf, glow[0], glow[1], glow[2], box=area)
    canvas.paint(sdf, color, box=area)


def u830_screen():
    """White-blue "U830" with a soft glow over a dark blue floor."""
    c = Canvas(background=(0, 0, 0))
    c.glow(raster.ellipse(160, 250, 120, 40), (0, 40, 90), 45, 0.8)
    centred_text(c, "U830", 230, 86, 13, (235, 248, 255), glow=((30, 140, 255), 9, 0.9))
    line = raster.box(60, 300, 260, 303, 1.5)
    c.glow(line, (20, 110, 220), 6, 0.7, box=(40, 280, 280, 325))
    c.paint(line, (200, 230, 255), box=(55, 295, 265, 308))
    return c


def ring_screen():
    """Flat shapes only: an orange ring around "830" on navy, small when compressed."""
    c = Canvas(background=(10, 20, 60))
    ring = raster.subtract(raster.circle(160, 240, 110), raster.circle(160, 240, 94))
    c.paint(ring, (255, 140, 0), box=(40, 120, 280, 360))
    c.paint(raster.circle(160, 240, 80), (20, 40, 110), box=(70, 150, 250, 330))
    centred_text(c, "830", 240, 60, 10, (255, 255, 255))
    return c


def frame_screen():
    """A green rounded frame holding "U830" and "K", the template package's own screen."""
    c = Canvas(background=(0, 0, 0))
    frame = raster.subtract(raster.box(30, 60, 290, 420, 24), raster.box(40, 70, 280, 410, 16))
    c.paint(frame, (40, 200, 80), box=(25, 55, 295, 425))
    centred_text(c, "U830", 200, 70, 11, (120, 255, 140))
    centred_text(c, "0K", 300, 40, 7, (40, 200, 80))
    return c


def ogol_of(canvas, stored_name, slot_size):
    member = raster.gzip_member(raster.rgb565_frame(canvas.rgb_bytes()), stored_name)
    return raster.ogol_image(member, slot_size), len(member)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", type=pathlib.Path, default=DATA, help="output folder")
    parser.add_argument("--preview", type=pathlib.Path)
    args = parser.parse_args()

    screens = {"u830": u830_screen(), "ring": ring_screen(), "frame": frame_screen()}
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        for name, canvas in screens.items():
            (args.preview / (name + ".ppm")).write_bytes(canvas.ppm())

    first, first_len = ogol_of(screens["u830"], "logo_u830.raw", SLOT)
    second, second_len = ogol_of(screens["ring"], "logo_ring.raw", SECOND_SLOT_SIZE)
    base = first + second + first[:COPY_SIZE]
    template_first, template_len = ogol_of(screens["frame"], "logo_frame.raw", SLOT)
    template = template_first + base[SLOT:]
    for name, image in (("logo_new.img", base), ("template_logo.img", template)):
        if len(image) != IMAGE_SIZE:
            sys.exit("%s: %d bytes" % (name, len(image)))
        (args.out / name).write_bytes(image)
    print("logo_new.img: members of %d and %d bytes" % (first_len, second_len))
    print("template_logo.img: member of %d bytes" % template_len)


if __name__ == "__main__":
    main()
