#!/usr/bin/env python3
"""Icons of Windows executables, and what Pillow reads from the same icons.

Icon files: ImageMagick writes one from a picture at 256 x 256 (stored as
PNG), 48 x 48 and 16 x 16 (32-bit bitmaps), and one with the 256 x 256 PNG
alone; two more are written here with bitmap entries of 1 and 4, and of 8
and 24 bits a pixel, with their AND masks. icons.rc puts the four into a
resource script as icon groups 1 to 4, which the build compiles with
windres into a PE32 DLL. pe32plus.exe is a PE32+ file written here around
a resource section of its own that holds the low-depth group.

Expected icons: Pillow's decode of the chosen entry of each icon file; an
icon that must be scaled (the PNG-only group at 16 x 16) scaled by Pillow
with a box filter, channel by channel.

Output in the folder given: the icon files, icons.rc, pe32plus.exe, an
opaque 64 x 32 picture_icon.png and exe_icons.txt, one case a line:
  file group width height tolerance pixels
pixels as 8 hex digits each (0xAARRGGBB, bottom row first).
"""

import io
import os
import struct
import subprocess
import sys

from PIL import Image

out = sys.argv[1]
source = os.path.join(out, "icon_source.png")
subprocess.run(["convert", "-seed", "7", "-size", "64x64", "plasma:", "(", "-size", "64x64", "gradient:", ")",
                "-alpha", "off", "-compose", "CopyOpacity", "-composite", source], check=True)
subprocess.run(["convert", source, "-define", "icon:auto-resize=256,48,16", os.path.join(out, "icons.ico")],
               check=True)
subprocess.run(["convert", source, "-define", "icon:auto-resize=256", os.path.join(out, "png_only.ico")],
               check=True)
picture = Image.open(source).convert("RGBA")
os.remove(source)
# A picture file whose icon is itself, fitted.
Image.new("RGBA", (64, 32), (200, 100, 50, 255)).save(os.path.join(out, "picture_icon.png"))


def bitmap_entry(size, bits):
    """A bitmap icon image: header, colour table, colour rows, AND mask."""
    image = picture.resize((size, size))
    alpha = image.getchannel("A")
    if bits <= 8:
        paletted = image.convert("RGB").quantize(colors=1 << bits)
        palette = paletted.getpalette()[:3 * (1 << bits)]
        palette += [0] * (3 * (1 << bits) - len(palette))
        table = b"".join(bytes([palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0]) for i in range(1 << bits))
        samples = list(paletted.getdata())
    else:
        table = b""
        samples = list(image.convert("RGB").getdata())
    stride = (size * bits + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    rows = b""
    mask = b""
    for y in reversed(range(size)):
        bits_of_row = 0
        row = bytearray()
        for x in range(size):
            sample = samples[y * size + x]
            if bits == 24:
                row += bytes([sample[2], sample[1], sample[0]])
            else:
                bits_of_row = bits_of_row << bits | sample
        if bits != 24:
            row = bytearray((bits_of_row << ((8 - size * bits % 8) % 8)).to_bytes((size * bits + 7) // 8, "big"))
        rows += bytes(row) + bytes(stride - len(row))
        mask_bits = 0
        for x in range(size):
            mask_bits = mask_bits << 1 | (alpha.getpixel((x, y)) < 128)
        mask_row = (mask_bits << ((8 - size % 8) % 8)).to_bytes((size + 7) // 8, "big")
        mask += mask_row + bytes(mask_stride - len(mask_row))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 1 << bits if bits <= 8 else 0, 0)
    return header + table + rows + mask


def write_ico(name, entries):
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    images = b""
    for size, bits, image in entries:
        colours = (1 << bits) % 256 if bits <= 8 else 0
        data += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
        images += image
    with open(os.path.join(out, name), "wb") as f:
        f.write(data + images)


write_ico("bits_low.ico", [(16, 1, bitmap_entry(16, 1)), (48, 4, bitmap_entry(48, 4))])
write_ico("bits_high.ico", [(16, 8, bitmap_entry(16, 8)), (48, 24, bitmap_entry(48, 24))])
groups = ["icons.ico", "png_only.ico", "bits_low.ico", "bits_high.ico"]
with open(os.path.join(out, "icons.rc"), "w") as f:
    for n, name in enumerate(groups):
        f.write('%d ICON "%s"\n' % (n + 1, os.path.join(out, name)))


def ico_images(name):
    with open(os.path.join(out, name), "rb") as f:
        data = f.read()
    count = struct.unpack("<H", data[4:6])[0]
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        yield data[6 + 16 * i:18 + 16 * i], data[offset:offset + size]


def resource_section(resources, base):
    """A resource directory tree (type, name, language 0x409) and its data,
    for a section loaded at relative address base."""
    # Directory layout: root, one per type, one per name; then data entries.
    types = sorted(resources)
    names = [(t, n) for t in types for n in sorted(resources[t])]
    root_size = 16 + 8 * len(types)
    type_sizes = [16 + 8 * len(resources[t]) for t in types]
    language_offset = root_size + sum(type_sizes)
    entry_offset = language_offset + 24 * len(names)
    data_offset = entry_offset + 16 * len(names)
    tree = struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(types))
    at = root_size
    for t, size in zip(types, type_sizes):
        tree += struct.pack("<II", t, 0x80000000 | at)
        at += size
    for t in types:
        tree += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, len(resources[t]))
        for n in sorted(resources[t]):
            tree += struct.pack("<II", n, 0x80000000 | (language_offset + 24 * names.index((t, n))))
    for i, _ in enumerate(names):
        tree += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 0x409, entry_offset + 16 * i)
    blobs = b""
    for t, n in names:
        blob = resources[t][n]
        tree += struct.pack("<IIII", base + data_offset + len(blobs), len(blob), 0, 0)
        blobs += blob + bytes(-len(blob) % 4)
    return tree + blobs


def pe32plus(name, icon_file):
    icons = {}
    group = struct.pack("<HHH", 0, 1, 0)
    for n, (entry, image) in enumerate(ico_images(icon_file)):
        icons[n + 1] = image
        group += entry + struct.pack("<H", n + 1)
    group = group[:4] + struct.pack("<H", len(icons)) + group[6:]
    section = resource_section({3: icons, 14: {1: group}}, 0x1000)
    raw_size = (len(section) + 511) // 512 * 512
    dos = b"MZ" + bytes(58) + struct.pack("<I", 64)
    coff = struct.pack("<HHIIIHH", 0x8664, 1, 0, 0, 0, 240, 0x22)
    optional = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII", 0x20B, 14, 0, 0, raw_size, 0, 0, 0x1000, 0x140000000,
                           0x1000, 0x200, 6, 0, 0, 0, 6, 0, 0, 0x1000 + raw_size, 0x200, 0, 2, 0, 0x100000, 0x1000,
                           0x100000, 0x1000, 0, 16)
    directories = bytearray(16 * 8)
    directories[16:24] = struct.pack("<II", 0x1000, len(section))
    header = (b".rsrc\0\0\0" + struct.pack("<IIIIIIHHI", len(section), 0x1000, raw_size, 0x200, 0, 0, 0, 0,
                                           0x40000040))
    head = dos + b"PE\0\0" + coff + optional + bytes(directories) + header
    with open(os.path.join(out, name), "wb") as f:
        f.write(head + bytes(0x200 - len(head)) + section + bytes(raw_size - len(section)))


pe32plus("pe32plus.exe", "bits_low.ico")


def expected(icon_file, size, scaled_from=None):
    icon = Image.open(os.path.join(out, icon_file))
    image = icon.ico.getimage((scaled_from or size, scaled_from or size)).convert("RGBA")
    if scaled_from:
        # On floats, rounded down, as the decoder truncates.
        bands = []
        for band in image.split():
            scaled = Image.new("L", (size, size))
            scaled.putdata([int(v) for v in band.convert("F").resize((size, size), Image.BOX).getdata()])
            bands.append(scaled)
        image = Image.merge("RGBA", bands)
    rows = []
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = image.getpixel((x, y))
            rows.append("%08x" % (a << 24 | r << 16 | g << 8 | b))
    return "".join(rows)


lines = []
for group, name in enumerate(groups):
    for size in (16, 48):
        if name == "png_only.ico":
            # Pillow's box is the area average only for whole factors.
            if 256 % size == 0:
                lines.append("icons.dll %d %d %d 1 %s" % (group, size, size, expected(name, size, 256)))
        else:
            lines.append("icons.dll %d %d %d 0 %s" % (group, size, size, expected(name, size)))
for size in (16, 48):
    lines.append("pe32plus.exe 0 %d %d 0 %s" % (size, size, expected("bits_low.ico", size)))
with open(os.path.join(out, "exe_icons.txt"), "w") as f:
    f.write("\n".join(lines) + "\n")
