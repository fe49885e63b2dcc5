#!/usr/bin/env python3
"""TGA test files and what an independent decoder makes of them.

Good files: ImageMagick writes true-colour (with and without alpha), grey
and colour-mapped images, plain and run-length encoded, from every corner
(-orient); Pillow writes its modes (RGB, RGBA, L, LA, P) plain and
run-length encoded, top-first and bottom-first. Files that neither writes
are written here from the format's description: 16-bit pixels, colour maps
of 16-, 24- and 32-bit entries that start at entry 16, run-length packets
that run across rows and past the image's last pixel, an image ID, alphas
that are all 0. Expected pixels: Pillow's decode of each file, with the
decoder's two rules applied on top: 5-bit channels become trunc(c x
8.2258), and alpha channels that are 0 throughout mean opaque. Stored the
way the decoder keeps them: 32-bit pixels 0xAARRGGBB, bottom row first.

Bad files: a non-zero origin, interleaved rows, types and depths that do
not go together, map entries of 15 bits, indices outside the map, sizes
whose product passes 32 bits with nothing behind them, cut run-length data.

Output in the folder given: tga/<name>.tga, tga/<name>.expected,
tga/good.txt ("name width height") and tga/bad.txt (one name a line).
"""

import os
import random
import struct
import subprocess
import sys

from PIL import Image

out = os.path.join(sys.argv[1], "tga")
os.makedirs(out, exist_ok=True)
rng = random.Random(29)
good = []
bad = []
W, H = 37, 23


def blocky(mode, width=W, height=H, colours=None):
    """A picture of random runs, so that run-length writers use both kinds
    of packet."""
    values = []
    while len(values) < width * height:
        if mode == "P":
            value = rng.randrange(colours)
        elif mode in ("L",):
            value = rng.randrange(256)
        else:
            value = tuple(rng.randrange(256) for _ in mode)
        values += [value] * (1 if rng.random() < 0.5 else rng.randrange(2, 40))
    picture = Image.new(mode, (width, height))
    if mode == "P":
        picture.putpalette([rng.randrange(256) for _ in range(3 * colours)])
    picture.putdata(values[:width * height])
    return picture


def expected(path, five_bit=False):
    """ImageMagick's decode, which takes run-length packets across rows, the
    same as Pillow's wherever Pillow reads the file; Pillow's for grey with
    alpha, whose alpha ImageMagick drops."""
    with open(path, "rb") as f:
        head = f.read(18)
    image_type, map_bits, depth = head[2], head[7], head[16]
    width, height = struct.unpack("<HH", head[12:16])
    grey_alpha = image_type in (3, 11) and depth == 16
    alpha_channel = depth == 32 or grey_alpha or map_bits == 32
    magick = subprocess.run(["convert", path, "-auto-orient", "-depth", "8", "rgba:-"], check=True,
                            capture_output=True).stdout
    try:
        pillow = Image.open(path).convert("RGBA").tobytes()
    except (OSError, ValueError):
        pillow = None
    if grey_alpha:
        data = pillow
    else:
        assert pillow is None or pillow == magick, path
        data = magick
    rgba = [tuple(data[i:i + 4]) for i in range(0, len(data), 4)]
    if five_bit:
        rgba = [tuple(int((c >> 3) * 8.2258) for c in p[:3]) + (255,) for p in rgba]
    if not alpha_channel or all(p[3] == 0 for p in rgba):
        rgba = [p[:3] + (255,) for p in rgba]
    rows = [b"".join(struct.pack("<I", a << 24 | r << 16 | g << 8 | b) for r, g, b, a in
                     rgba[y * width:(y + 1) * width]) for y in range(height)]
    return b"".join(reversed(rows)), width, height


def add_good(name, data=None, five_bit=False):
    path = os.path.join(out, name + ".tga")
    if data is not None:
        with open(path, "wb") as f:
            f.write(data)
    pixels, width, height = expected(path, five_bit)
    with open(os.path.join(out, name + ".expected"), "wb") as f:
        f.write(pixels)
    good.append("%s %d %d" % (name, width, height))


def add_bad(name, data):
    with open(os.path.join(out, "bad_" + name + ".tga"), "wb") as f:
        f.write(data)
    bad.append("bad_" + name)


def header_of(name):
    with open(os.path.join(out, name + ".tga"), "rb") as f:
        return f.read(18)


# ImageMagick: every type it writes, plain and run-length, from every corner.
source = os.path.join(out, "source.png")
blocky("RGBA").save(source)
for kind, image_type, depth in (("TrueColor", 2, 24), ("TrueColorAlpha", 2, 32), ("Grayscale", 3, 8),
                                ("Palette", 1, 8)):
    for compress, type_offset in (("None", 0), ("RLE", 8)):
        for orient, bits in (("BottomLeft", 0), ("TopLeft", 0x20), ("TopRight", 0x30), ("BottomRight", 0x10)):
            if orient != "BottomLeft" and kind in ("Grayscale", "Palette"):
                continue
            name = "magick_%s_%s_%s" % (kind, compress, orient)
            subprocess.run(["convert", source, "-type", kind, "-compress", compress, "-orient", orient,
                            os.path.join(out, name + ".tga")], check=True)
            head = header_of(name)
            assert (head[2], head[16], head[17] & 0x30) == (image_type + type_offset, depth, bits), (name, head)
            add_good(name)
os.remove(source)

# Pillow: its modes, plain and run-length, top-first and bottom-first.
for mode in ("RGB", "RGBA", "L", "LA", "P"):
    picture = blocky(mode, colours=200)
    for compression in (None, "tga_rle"):
        for orientation in (1, -1):
            name = "pillow_%s_%s_%s" % (mode, compression or "raw", "top" if orientation > 0 else "bottom")
            options = {"orientation": orientation}
            if compression:
                options["compression"] = compression
            picture.save(os.path.join(out, name + ".tga"), **options)
            add_good(name)


# Files written here from the format's description.
def tga_header(image_type, width, height, depth, descriptor=0, map_first=0, map_length=0, map_bits=0, ident=b""):
    return struct.pack("<BBBHHBHHHHBB", len(ident), 1 if map_length else 0, image_type, map_first, map_length,
                       map_bits, 0, 0, width, height, depth, descriptor) + ident


def rle(values, size):
    """Run-length packets over the whole image, across row ends."""
    data = b""
    i = 0
    while i < len(values):
        run = 1
        while i + run < len(values) and run < 128 and values[i + run] == values[i]:
            run += 1
        if run > 1:
            data += bytes([0x80 | (run - 1)]) + values[i]
            i += run
            continue
        literal = 1
        while (i + literal < len(values) and literal < 128 and
               (i + literal + 1 >= len(values) or values[i + literal] != values[i + literal + 1])):
            literal += 1
        data += bytes([literal - 1]) + b"".join(values[i:i + literal])
        i += literal
    return data


def runs_of(count, make_value):
    values = []
    while len(values) < count:
        values += [make_value()] * rng.choice((1, 1, 2, 5, 60, 130))
    return values[:count]


pixels16 = runs_of(W * H, lambda: struct.pack("<H", rng.randrange(65536)))
pixels16[0] = struct.pack("<H", 0x7FFF)
add_good("crafted_16", tga_header(2, W, H, 16) + b"".join(pixels16), five_bit=True)
add_good("crafted_16_rle_top", tga_header(10, W, H, 16, 0x20) + rle(pixels16, 2), five_bit=True)

for bits in (16, 24, 32):
    entries = 40
    if bits == 16:
        colour_map = b"".join(struct.pack("<H", rng.randrange(32768)) for _ in range(entries))
    else:
        colour_map = bytes(rng.randrange(256) for _ in range(entries * bits // 8))
    indices = runs_of(W * H, lambda: bytes([16 + rng.randrange(entries)]))
    add_good("crafted_map%d_first16" % bits,
             tga_header(1, W, H, 8, 0, 16, entries, bits) + colour_map + b"".join(indices), five_bit=bits == 16)
    add_good("crafted_map%d_first16_rle" % bits,
             tga_header(9, W, H, 8, 0x20, 16, entries, bits) + colour_map + rle(indices, 1), five_bit=bits == 16)
clear_map = b"".join(bytes([rng.randrange(256) for _ in range(3)]) + b"\0" for _ in range(8))
add_good("crafted_map32_clear", tga_header(1, W, H, 8, 0, 0, 8, 32) +
         clear_map + bytes(rng.randrange(8) for _ in range(W * H)))

colours = runs_of(W * H, lambda: bytes(rng.randrange(256) for _ in range(3)) + b"\0")
add_good("crafted_32_clear", tga_header(2, W, H, 32, 0x08) + b"".join(colours))
one_alpha = list(colours)
one_alpha[100] = one_alpha[100][:3] + b"\x07"
add_good("crafted_32_one_alpha", tga_header(2, W, H, 32, 0x08) + b"".join(one_alpha))
add_good("crafted_32_rle_clear", tga_header(10, W, H, 32, 0x08) + rle(colours, 4))
add_good("crafted_ident", tga_header(10, W, H, 32, 0x28, ident=b"made by hand\0") + rle(colours, 4))
for descriptor in (0x10, 0x30):
    add_good("crafted_right_to_left_%02x" % descriptor, tga_header(10, W, H, 32, descriptor | 0x08) + rle(colours, 4))
# The last packet asks for more pixels than the image holds.
add_good("crafted_rle_overrun", tga_header(10, W, H, 32, 0x08) + rle(colours, 4) + b"\xff" + colours[0])
add_good("crafted_rle_long_run", tga_header(11, 300, 2, 8) + b"\xff\x40" * 4 + b"\x7f" + bytes(range(128)))

grey = tga_header(3, W, H, 8) + bytes(rng.randrange(256) for _ in range(W * H))
with_map = tga_header(1, W, H, 8, 0, 16, 4, 24) + bytes(12)
add_bad("x_origin", grey[:8] + b"\x01\0" + grey[10:])
add_bad("y_origin", grey[:10] + b"\0\x01" + grey[12:])
add_bad("interleaved", grey[:17] + b"\x40" + grey[18:])
add_bad("zero_width", grey[:12] + b"\0\0" + grey[14:])
add_bad("type_4", grey[:2] + b"\x04" + grey[3:])
add_bad("grey_depth_24", tga_header(3, W, H, 24) + bytes(3 * W * H))
add_bad("truecolour_depth_8", tga_header(2, W, H, 8) + bytes(W * H))
add_bad("truecolour_with_map", tga_header(2, W, H, 24, 0, 0, 4, 24) + bytes(12 + 3 * W * H))
add_bad("map_depth_16", tga_header(1, W, H, 16, 0, 0, 4, 24) + bytes(12 + 2 * W * H))
add_bad("map_entries_15", tga_header(1, W, H, 8, 0, 0, 4, 15) + bytes(8 + W * H))
add_bad("map_without_entries", tga_header(1, W, H, 8, 0, 0, 0, 24) + bytes(W * H))
add_bad("index_past_map", with_map + bytes([17] * (W * H - 1) + [20]))
add_bad("index_below_first", with_map + bytes([17] * (W * H - 1) + [3]))
add_bad("huge", tga_header(2, 65535, 65535, 32) + bytes(400))
add_bad("huge_rle", tga_header(10, 65535, 65535, 32) + b"\xff\1\2\3\4" * 100)
add_bad("rle_cut", tga_header(10, W, H, 32) + rle(colours, 4)[:-9])
add_bad("map_cut", tga_header(1, W, H, 8, 0, 0, 200, 24) + bytes(100))

with open(os.path.join(out, "good.txt"), "w") as f:
    f.write("\n".join(good) + "\n")
with open(os.path.join(out, "bad.txt"), "w") as f:
    f.write("\n".join(bad) + "\n")
