#!/usr/bin/python3
"""Draws the sample picture, a glowing tiger's head on a dark background, and encodes it.

The drawing is ours, made of the shapes below; ImageMagick's convert (libjpeg-turbo)
encodes it as a baseline JFIF 1.01 JPEG at 96 dots per inch, 320 x 480, 4:2:0. The
quality is the highest that keeps the file near 16 KB, so the picture stays a small,
quick sample. The script then checks what a run needs of it: its RGB565 frame must
gzip well below the 128K payload limit.

    tools/make_menghu.py [--out DIR] [--preview DIR]   writes data/menghu.jpg (and DIR/menghu.png)
"""
import argparse
import gzip
import math
import pathlib
import subprocess
import sys

import raster
from raster import Canvas, Strokes, circle, ellipse, intersect, mix, polygon, union

HERE = pathlib.Path(__file__).resolve().parent
OUT = HERE.parent / "data" / "menghu.jpg"

W, H = raster.FRAME_WIDTH, raster.FRAME_HEIGHT
TARGET_BYTES = 16 * 1024 + 512
PAYLOAD_LIMIT_128K = 131064

FUR_TOP = (255, 168, 48)
FUR_BOTTOM = (232, 96, 18)
STRIPE = (34, 14, 8)
CREAM = (255, 240, 214)
EYE = (210, 235, 70)


def mirrored(points):
    return [(W - x, y) for x, y in points]


def head_shape():
    return union(
        ellipse(160, 235, 112, 100),
        ellipse(104, 292, 66, 50),
        ellipse(216, 292, 66, 50),
        ellipse(160, 318, 58, 46),
    )


def fur(x, y):
    t = raster.clamp((y - 140) / 220)
    return mix(FUR_TOP, FUR_BOTTOM, t)


def background(x, y):
    # A warm, dark light behind the head, fading to near black at the edges.
    r = math.hypot((x - 160) / 1.0, (y - 240) / 1.25) / 260
    return mix((46, 16, 6), (4, 3, 8), raster.clamp(r) ** 0.8)


def stripes():
    left = [
        # Cheeks: tapered strokes from the outline inwards.
        [(38, 250), (92, 258), (40, 268)],
        [(42, 286), (96, 286), (48, 302)],
        [(56, 318), (100, 310), (66, 332)],
        # Temples.
        [(52, 190), (100, 212), (58, 206)],
        [(66, 166), (112, 190), (74, 180)],
        # Below the ear.
        [(88, 140), (124, 168), (98, 150)],
    ]
    shapes = []
    for pts in left:
        shapes.append(polygon(pts))
        shapes.append(polygon(mirrored(pts)))
    # The mark on the forehead (王): three bars and a short upright.
    shapes.append(raster.box(128, 154, 192, 162, 4))
    shapes.append(raster.box(136, 172, 184, 179, 3.5))
    shapes.append(raster.box(132, 190, 188, 198, 4))
    shapes.append(raster.box(156, 154, 164, 198, 3))
    return union(*shapes)


def eye(cx, cy, slant):
    # An almond: two overlapping circles, tilted by moving their centres.
    return intersect(circle(cx + slant, cy + 14, 22), circle(cx - slant, cy - 14, 22))


def draw():
    c = Canvas()
    c.fill(background)
    head = head_shape()
    ears = union(circle(88, 148, 36), circle(232, 148, 36))
    whole = union(head, ears)

    # The glow: a wide soft halo and a tighter, brighter rim.
    c.glow(whole, (120, 40, 0), 55, 0.4)
    c.glow(whole, (255, 130, 30), 16, 0.55, box=(0, 60, W, 420))

    c.paint(ears, fur, box=(40, 100, 280, 200))
    c.paint(union(circle(88, 150, 20), circle(232, 150, 20)), (70, 26, 14), box=(60, 120, 260, 180))
    c.paint(head, fur, box=(40, 120, 280, 370))
    c.paint(intersect(stripes(), head), STRIPE, box=(30, 130, 290, 340))

    # Pale fur over the eyes, on the muzzle and the chin.
    pale = union(ellipse(116, 210, 25, 11), ellipse(204, 210, 25, 11))
    c.paint(pale, CREAM, box=(80, 190, 240, 235), alpha=0.7)
    muzzle = union(ellipse(136, 300, 38, 28), ellipse(184, 300, 38, 28), ellipse(160, 336, 34, 22))
    c.paint(muzzle, CREAM, box=(90, 265, 230, 365))

    # Eyes: dark rim, glowing iris, slit pupil, a spark of light.
    for cx, slant in ((118, -7), (202, 7)):
        almond = eye(cx, 232, slant)
        c.paint(raster.offset(almond, 3), (20, 10, 6), box=(cx - 30, 205, cx + 30, 260))
        c.glow(almond, (200, 255, 80), 6, 0.6, box=(cx - 40, 195, cx + 40, 270))
        c.paint(almond, lambda x, y, cx=cx: mix(EYE, (120, 170, 20), raster.clamp((y - 222) / 22)),
                box=(cx - 30, 205, cx + 30, 260))
        c.paint(ellipse(cx, 233, 3.5, 11), (8, 6, 4), box=(cx - 8, 218, cx + 8, 248))
        c.paint(circle(cx - 5, 226, 2.5), (255, 255, 255), box=(cx - 10, 220, cx, 232))

    # Nose and mouth.
    nose = polygon([(142, 266), (178, 266), (160, 288)])
    c.paint(raster.offset(nose, 2.5), (30, 12, 10), box=(130, 258, 190, 296))
    c.paint(nose, (226, 118, 124), box=(136, 262, 184, 292))
    mouth = (Strokes(3).line(160, 288, 160, 304)
             .arc(146, 304, 14, 0, 150).arc(174, 304, 14, 30, 180).sdf())
    c.paint(mouth, (30, 12, 10), box=(120, 280, 200, 330))

    # Whiskers, lit by the glow.
    whiskers = Strokes(1.6)
    for dy, spread in ((-6, -14), (2, -2), (10, 12)):
        whiskers.line(118, 306 + dy, 40, 300 + dy + spread)
        whiskers.line(202, 306 + dy, 280, 300 + dy + spread)
    w = whiskers.sdf()
    c.glow(w, (255, 200, 120), 3, 0.3, box=(30, 270, 290, 340))
    c.paint(w, (255, 248, 232), box=(30, 270, 290, 340), alpha=0.9)
    return c


def encode(ppm, quality):
    return subprocess.run(
        ["convert", "ppm:-", "-strip", "-interlace", "none", "-sampling-factor", "2x2",
         "-density", "96", "-units", "PixelsPerInch", "-quality", str(quality), "jpeg:-"],
        input=ppm, stdout=subprocess.PIPE, check=True).stdout


def decoded_rgb(jpeg):
    return subprocess.run(["convert", "jpeg:-", "-depth", "8", "rgb:-"],
                          input=jpeg, stdout=subprocess.PIPE, check=True).stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", type=pathlib.Path, default=OUT.parent, help="output folder")
    parser.add_argument("--preview", type=pathlib.Path)
    args = parser.parse_args()

    ppm = draw().ppm()
    jpeg = None
    for quality in range(95, 30, -1):
        jpeg = encode(ppm, quality)
        if len(jpeg) <= TARGET_BYTES:
            break
    (args.out / OUT.name).write_bytes(jpeg)

    frame = raster.rgb565_frame(decoded_rgb(jpeg))
    packed = len(gzip.compress(frame, compresslevel=9, mtime=raster.GZIP_MTIME))
    print("menghu.jpg: %d bytes at quality %d; RGB565 frame gzips to %d bytes"
          % (len(jpeg), quality, packed))
    if packed >= PAYLOAD_LIMIT_128K * 3 // 4:
        sys.exit("the frame compresses to %d bytes, too close to the 128K limit" % packed)
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", "jpeg:-", str(args.preview / "menghu.png")],
                       input=jpeg, check=True)


if __name__ == "__main__":
    main()
