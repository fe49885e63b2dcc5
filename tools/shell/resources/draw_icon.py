#!/usr/bin/env python3
"""Draws the program's icon (a box receiving an arrow) at 16, 32 and 48
pixels and writes it as an .ico file of 32-bit images for the icon group of
pelmarodesk.rc.

Usage: draw_icon.py OUTPUT.ico"""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "gui", "theme_images"))
import raster  # noqa: E402

SIZES = (16, 32, 48)


def draw(size):
    s = size / 48.0
    img = raster.Image(size, size, raster.rgb(0xFFFFFF))
    box = raster.rgb(0xC98C2F)
    box_dark = raster.rgb(0x8E5F1C)
    img.paint(raster.rounded_rect(6 * s, 22 * s, 42 * s, 44 * s, 3 * s), box_dark)
    img.paint(raster.rounded_rect(8 * s, 24 * s, 40 * s, 42 * s, 2 * s), box)
    img.paint(raster.rect(8 * s, 24 * s, 40 * s, 28 * s), box_dark)
    arrow = raster.rgb(0x2F6FB5)
    img.paint(raster.rect(19 * s, 3 * s, 29 * s, 22 * s), arrow)
    img.paint(raster.polygon([(11 * s, 19 * s), (37 * s, 19 * s), (24 * s, 33 * s)]), arrow)
    return img


def icon_image(img):
    """BITMAPINFOHEADER, bottom-up BGRA rows, then the (empty) AND mask."""
    size = img.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(struct.pack("<I", p) for row in reversed(img.argb()) for p in row)
    mask_row = ((size + 31) // 32) * 4
    return header + pixels + bytes(mask_row * size)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [icon_image(draw(size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
