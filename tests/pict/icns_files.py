#!/usr/bin/env python3
"""Icon files (icns) and the pixels of each of their images.

tools.icns: png2icns (icnsutils) makes it from PNG pictures that
ImageMagick draws: 24-bit run-length icons of 16, 32, 48 and 128 pixels
with their 8-bit masks, and JPEG 2000 elements of 256 and 512 pixels.
Expected pixels: icns2png's extraction of each element.

classic.icns is written here from the format's description: 1-bit icons
(with and without a mask), 4- and 8-bit ones with 8-bit masks, 1-bit mask
halves and masks that cannot serve (too short, or not right after their
icon), 24-bit icons plain and run-length coded (with runs past their
channel's end), PNG and JPEG 2000 codestream elements (of sizes of their
own), an element whose data is neither, and elements of other types.
Expected colours: icns2png's decode of each image element alone (with the
opaque 1-bit or 8-bit mask that icns2png needs beside it), except the
plain 24-bit icon, whose bytes are its pixels, and the embedded streams,
which Pillow and opj_decompress decode. Expected alpha: the mask that
follows the element directly (8-bit masks byte by byte, 1-bit masks bit by
bit), opaque without one.

Bad files: lengths below 8, past the total or past the file, totals that
wrap, a total below 16, a wrong magic.

Output in the folder given: icns/<file>.icns; icns/<file>.<page>.expected
(32-bit pixels 0xAARRGGBB, bottom row first); icns/pages.txt ("file page
width height"), icns/files.txt ("file page-count largest-page"),
icns/previews.txt ("file box-width box-height page", -1 for none) and
icns/bad.txt (one file a line).
"""

import os
import random
import struct
import subprocess
import sys
import tempfile

from PIL import Image

out = os.path.join(sys.argv[1], "icns")
os.makedirs(out, exist_ok=True)
rng = random.Random(12)
pages = []
files = []
previews = []
bad = []


def element(kind, data):
    return kind + struct.pack(">I", len(data) + 8) + data


def icon_file(elements):
    body = b"".join(elements)
    return b"icns" + struct.pack(">I", len(body) + 8) + body


def random_bytes(count):
    return bytes(rng.randrange(256) for _ in range(count))


def store(name, page, rgba, width, height):
    rows = [b"".join(struct.pack("<I", a << 24 | r << 16 | g << 8 | b) for r, g, b, a in
                     rgba[y * width:(y + 1) * width]) for y in range(height)]
    with open(os.path.join(out, "%s.%d.expected" % (name, page)), "wb") as f:
        f.write(b"".join(reversed(rows)))
    pages.append("%s %d %d %d" % (name, page, width, height))


def icns2png(data, depth, size):
    """icns2png's pixels of the one image of that depth and size in data."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "i.icns")
        with open(path, "wb") as f:
            f.write(data)
        subprocess.run(["icns2png", "-x", "-d", str(depth), "-o", folder, path], check=True, capture_output=True)
        name = os.path.join(folder, "i_%dx%dx%d.png" % (size, size, depth))
        return list(Image.open(name).convert("RGBA").getdata())


def mask_alpha(mask, depth, count):
    if mask is None:
        return [255] * count
    if depth == 8:
        return list(mask[:count])
    return [255 if mask[i // 8] >> (7 - i % 8) & 1 else 0 for i in range(count)]


# icns2png decodes an image element only beside a mask of its size.
one_bit_mask = {16: b"ics#", 32: b"ICN#", 48: b"ich#"}
eight_bit_mask = {16: b"s8mk", 32: b"l8mk", 48: b"h8mk", 128: b"t8mk"}


def oracle_colours(kind, data, depth, size):
    if depth == 24:
        helper = element(eight_bit_mask[size], b"\xff" * size * size)
        return [p[:3] for p in icns2png(icon_file([element(kind, data), helper]), 32, size)]
    if kind == b"ICON":
        kind, data = b"ICN#", data + b"\xff" * 128
    elements = [element(kind, data)]
    if depth in (4, 8):
        elements.append(element(one_bit_mask[size], b"\0" * (size * size // 8) + b"\xff" * (size * size // 8)))
    return [p[:3] for p in icns2png(icon_file(elements), depth, size)]


# tools.icns
with tempfile.TemporaryDirectory() as folder:
    sources = []
    for size in (16, 32, 48, 128, 256, 512):
        source = os.path.join(folder, "p%d.png" % size)
        subprocess.run(["convert", "-seed", str(size), "-size", "%dx%d" % (size, size), "plasma:", "-alpha", "set",
                        "-channel", "A", "-fx", "(i+2*j)/(w+2*h)", "+channel", "-define",
                        "png:exclude-chunk=gAMA,cHRM,bKGD", "PNG32:" + source], check=True)
        sources.append(source)
    tools = os.path.join(out, "tools.icns")
    subprocess.run(["png2icns", tools] + sources, check=True, capture_output=True)
    with open(tools, "rb") as f:
        assert f.read(16)[8:16] == b"is32" + struct.pack(">I", 768 + 8), "the 16-pixel icon's length changed"
    subprocess.run(["icns2png", "-x", "-o", folder, tools], check=True, capture_output=True)
    for page, size in enumerate((16, 32, 48, 128, 256, 512)):
        picture = Image.open(os.path.join(folder, "tools_%dx%dx32.png" % (size, size))).convert("RGBA")
        store("tools", page, list(picture.getdata()), size, size)
files.append("tools 6 5")
previews += ["tools 48 48 2", "tools 200 200 3", "tools 600 600 5", "tools 15 15 -1", "tools 16 15 -1"]


# classic.icns
def rle24(channels):
    """Each channel's bytes as runs (0x80 and up: repeat) and literals."""
    data = b""
    for channel in channels:
        i = 0
        while i < len(channel):
            run = 1
            while i + run < len(channel) and run < 130 and channel[i + run] == channel[i]:
                run += 1
            if run >= 3:
                data += bytes([run + 125, channel[i]])
                i += run
            else:
                literal = channel[i:i + min(128, len(channel) - i)]
                data += bytes([len(literal) - 1]) + literal
                i += len(literal)
    return data


def runs(count):
    values = b""
    while len(values) < count:
        values += bytes([rng.randrange(256)]) * rng.choice((1, 2, 4, 9, 40))
    return values[:count]


elements = []
expected = []  # (kind, data, depth, size, mask, mask depth) per page, or pixels for streams


def add_bitmap(kind, depth, size, data, mask_kind=None, mask=None, mask_depth=8, used=True, between=None):
    elements.append(element(kind, data))
    if between:
        elements.append(between)
    if mask_kind:
        elements.append(element(mask_kind, mask))
    if kind == b"ICN#":
        mask, mask_depth, used = data[128:], 1, True
    if mask_kind == b"ich#":
        mask = mask[288:]
    expected.append((kind, data[:128] if kind == b"ICN#" else data, depth, size, mask if used else None, mask_depth))


add_bitmap(b"ICON", 1, 32, random_bytes(128))
add_bitmap(b"ICN#", 1, 32, random_bytes(128) + bytes([0xFF, 0x0F, 0x00, 0xA5] * 32))
add_bitmap(b"ics4", 4, 16, random_bytes(128), b"s8mk", random_bytes(256))
add_bitmap(b"icl4", 4, 32, random_bytes(512), b"l8mk", random_bytes(1024))
add_bitmap(b"ich4", 4, 48, random_bytes(1152), b"ich#", random_bytes(576), 1)
# A mask too short to serve, and one that is not right after its icon.
add_bitmap(b"ics8", 8, 16, random_bytes(256), b"s8mk", random_bytes(100), used=False)
add_bitmap(b"icl8", 8, 32, random_bytes(1024), b"l8mk", random_bytes(1024), used=False,
           between=element(b"TOC ", b"icl8\0\0\4\x08"))
add_bitmap(b"ich8", 8, 48, bytes(range(256)) * 9, b"h8mk", random_bytes(2304))
add_bitmap(b"is32", 24, 16, random_bytes(768), b"s8mk", random_bytes(256))
# Runs that pass the end of each channel are cut there.
il32 = b"".join(bytes([0xFF, 40 * (c + 1)]) * 8 for c in range(3))
add_bitmap(b"il32", 24, 32, il32, b"l8mk", random_bytes(1024))
add_bitmap(b"ih32", 24, 48, rle24([runs(2304) for _ in range(3)]), b"h8mk", random_bytes(2304))

png_picture = Image.new("RGBA", (32, 32))
png_picture.putdata([tuple(rng.randrange(256) for _ in range(4)) for _ in range(32 * 32)])
with tempfile.TemporaryDirectory() as folder:
    png_path = os.path.join(folder, "e.png")
    png_picture.save(png_path)
    with open(png_path, "rb") as f:
        elements.append(element(b"icp5", f.read()))
    expected.append((list(png_picture.getdata()), 32, 32))
    elements.append(element(b"ic09", random_bytes(300)))
    wide = Image.new("RGB", (40, 30))
    wide.putdata([tuple(rng.randrange(256) for _ in range(3)) for _ in range(40 * 30)])
    wide.save(png_path)
    with open(png_path, "rb") as f:
        elements.append(element(b"ic07", f.read()))
    expected.append(([p + (255,) for p in wide.getdata()], 40, 30))
    raw = os.path.join(folder, "e.raw")
    with open(raw, "wb") as f:
        f.write(random_bytes(24 * 20 * 3))
    j2k = os.path.join(folder, "e.j2k")
    subprocess.run(["opj_compress", "-i", raw, "-o", j2k, "-F", "24,20,3,8,u", "-n", "2"], check=True,
                   capture_output=True)
    subprocess.run(["opj_decompress", "-i", j2k, "-o", png_path], check=True, capture_output=True)
    with open(j2k, "rb") as f:
        elements.append(element(b"icp6", f.read()))
    expected.append(([p + (255,) for p in Image.open(png_path).convert("RGB").getdata()], 24, 20))
elements.append(element(b"icnV", struct.pack(">f", 1.0)))

with open(os.path.join(out, "classic.icns"), "wb") as f:
    f.write(icon_file(elements))
for page, item in enumerate(expected):
    if len(item) == 3:
        store("classic", page, *item)
        continue
    kind, data, depth, size, mask, mask_depth = item
    if kind == b"is32":
        colours = [tuple(data[3 * i:3 * i + 3]) for i in range(size * size)]
    else:
        colours = oracle_colours(kind, data, depth, size)
    alpha = mask_alpha(mask, mask_depth, size * size)
    store("classic", page, [c + (a,) for c, a in zip(colours, alpha)], size, size)
# The first of the 48 x 48 icons is the largest; of the 32 x 32 ones the
# first is taken, unless the 40 x 30 stream fits.
files.append("classic %d 4" % len(expected))
previews += ["classic 48 48 4", "classic 40 40 12", "classic 33 100 0", "classic 24 20 13", "classic 23 23 2"]

# An icon whose mask hides it all.
with open(os.path.join(out, "hidden.icns"), "wb") as f:
    f.write(icon_file([element(b"ICN#", b"\xff" * 128 + b"\0" * 128)]))
store("hidden", 0, [(0, 0, 0, 0)] * 1024, 32, 32)
files.append("hidden 1 0")


def add_bad(name, data):
    with open(os.path.join(out, name + ".icns"), "wb") as f:
        f.write(data)
    bad.append(name)


icon = element(b"ICON", random_bytes(128))
add_bad("wrapping_total", b"icns" + struct.pack(">I", 0xFFFFFFFF) + element(b"ICON", b"")[:8] +
        b"ics8" + struct.pack(">I", 0xFFFFFFF0) + bytes(8))
add_bad("wrapping_element", b"icns" + struct.pack(">I", 32) + element(b"abcd", b"") + b"ics8" +
        struct.pack(">I", 0xFFFFFFF0) + bytes(8))
for length in (0, 4, 7):
    add_bad("element_length_%d" % length, b"icns" + struct.pack(">I", 8 + 136 + 8) + icon +
            b"ICON" + struct.pack(">I", length))
add_bad("element_past_total", b"icns" + struct.pack(">I", 100) + icon)
add_bad("total_past_file", b"icns" + struct.pack(">I", 8 + 136 + 500) + icon)
add_bad("total_below_16", b"icns" + struct.pack(">I", 15) + bytes(7))
add_bad("wrong_magic", b"icnz" + struct.pack(">I", 8 + 136) + icon)
add_bad("no_image", icon_file([element(b"s8mk", bytes(256)), element(b"ic09", b"not a picture")]))
add_bad("icon_wrong_length", icon_file([element(b"icl8", bytes(1023))]))

for name, lines in (("pages", pages), ("files", files), ("previews", previews), ("bad", bad)):
    with open(os.path.join(out, name + ".txt"), "w") as f:
        f.write("\n".join(lines) + "\n")
