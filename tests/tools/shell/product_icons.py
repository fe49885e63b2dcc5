#!/usr/bin/env python3
"""Icons of the test products that the manager lists, and the pixels the
manager must show for them, drawn here.

Output in the folder given:
  product_a.ico   16 x 16 red-and-white checks, 48 x 48 blue and yellow
                  columns (32-bit entries, opaque)
  product_b.ico   16 x 16 green and black rows, 48 x 48 magenta-and-cyan
                  checks
  odd_size.ico    one 32 x 32 entry of one colour, 0xFF3366CC: an icon of
                  neither wanted size
  product_a.rc, product_b.rc, odd_size.rc   each the icon as group 1
  product_icons.txt   one icon image a line: "<icon> <size> <pixels>",
                  pixels as 8 hex digits each (0xAARRGGBB, bottom row
                  first); odd_size at 16 and 48 is its one colour
"""
import os
import struct
import sys

out = sys.argv[1]


def checks(size, cell, a, b):
    return [[a if (x // cell + y // cell) % 2 == 0 else b for x in range(size)] for y in range(size)]


def columns(size, width, a, b):
    return [[a if (x // width) % 2 == 0 else b for x in range(size)] for y in range(size)]


def rows(size, height, a, b):
    return [[a if (y // height) % 2 == 0 else b for x in range(size)] for y in range(size)]


def solid(size, colour):
    return [[colour] * size for _ in range(size)]


ICONS = {
    "product_a": {16: checks(16, 4, 0xFFCC2222, 0xFFFFFFFF), 48: columns(48, 6, 0xFF2255CC, 0xFFEECC22)},
    "product_b": {16: rows(16, 2, 0xFF22AA44, 0xFF101010), 48: checks(48, 8, 0xFFCC22CC, 0xFF22CCCC)},
    "odd_size": {32: solid(32, 0xFF3366CC)},
}


def entry(pixels):
    """BITMAPINFOHEADER, bottom-up BGRA rows, an all-zero AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(struct.pack("<I", p) for row in reversed(pixels) for p in row)
    mask = bytes(((size + 31) // 32) * 4 * size)
    return header + colour + mask


def write_ico(path, images):
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = b""
    for size, pixels in sorted(images.items()):
        blob = entry(pixels)
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    with open(path, "wb") as f:
        f.write(data + blobs)


lines = []
for name, images in ICONS.items():
    write_ico(os.path.join(out, name + ".ico"), images)
    with open(os.path.join(out, name + ".rc"), "w") as f:
        f.write('1 ICON "%s"\n' % os.path.join(out, name + ".ico"))
    shown = images if name != "odd_size" else {16: solid(16, 0xFF3366CC), 48: solid(48, 0xFF3366CC)}
    for size, pixels in sorted(shown.items()):
        lines.append("%s %d %s" % (name, size, "".join("%08x" % p for row in reversed(pixels) for p in row)))
with open(os.path.join(out, "product_icons.txt"), "w") as f:
    f.write("\n".join(lines) + "\n")
