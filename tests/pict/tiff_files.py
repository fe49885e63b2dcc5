#!/usr/bin/env python3
"""TIFF structures for the walker and LZW strips for the LZW decoder.

Walker files: Pillow writes multi-page TIFFs with rationals, text and
arrays; tiffcp rewrites them big-endian, as BigTIFF of both byte orders
and LZW-compressed. Expected walk: tiffdump's listing of each file (IFD
offsets and links, every entry's tag, type, count and integer values),
into tiff/<name>.dump as lines "ifd <offset> <next>" and "entry <tag>
<type> <count> [values]" (values only for integer types up to 64 items).
The structure's end (last byte of any IFD, link or value) goes with each
file: a cut before it must fail the walk, a cut after it must not change it.

Crafted files: written here byte by byte: IFDs that point at themselves or
form a cycle, counts whose byte size passes 2^32 or 2^64, offsets inside
the header or past the end, bad byte orders and versions, short headers.
Each with the walk's expected result, error code and IFDs walked.

LZW strips: tiffcp -c lzw of pictures from flat to noisy (large enough that
the table fills and clears), strip by strip, with libtiff's own decode
(tiffcp -c none of the LZW file) as the expected bytes; and a stream of a
model encoder here that never clears its table.

Output in the folder given: tiff/*.tif, tiff/*.dump, tiff/good.txt ("name
end"), tiff/crafted.txt ("name ok code ifds"), lzw/*.lzw and lzw/*.raw,
lzw/cases.txt ("name").
"""

import os
import random
import re
import struct
import subprocess
import sys

from PIL import Image, TiffImagePlugin

folder = sys.argv[1]
out = os.path.join(folder, "tiff")
lzw_out = os.path.join(folder, "lzw")
os.makedirs(out, exist_ok=True)
os.makedirs(lzw_out, exist_ok=True)
rng = random.Random(25)

INTEGER_TYPES = {1: "B", 3: "H", 4: "I", 7: "B", 13: "I", 16: "Q", 18: "Q"}
TYPE_SIZES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 6: 1, 7: 1, 8: 2, 9: 4, 10: 8, 11: 4, 12: 8, 13: 4, 16: 8, 17: 8, 18: 8}


def noise(mode, width, height, levels=256):
    picture = Image.new(mode, (width, height))
    bands = len(picture.getbands())
    step = 255 // (levels - 1)
    data = [tuple(rng.randrange(levels) * step for _ in range(bands)) for _ in range(width * height)]
    picture.putdata([d[0] for d in data] if bands == 1 else data)
    return picture


def gradient(width, height):
    picture = Image.new("RGB", (width, height))
    picture.putdata([(x * 255 // width, y * 255 // height, (x + y) % 256) for y in range(height) for x in range(width)])
    return picture


def tiffdump(path):
    """IFDs and entries as tiffdump lists them."""
    text = subprocess.run(["tiffdump", "-m", "64", path], check=True, capture_output=True, text=True).stdout
    lines = []
    for line in text.splitlines():
        m = re.match(r"Directory \d+: offset (\d+) \(0x[0-9a-f]+\) next (\d+) ", line)
        if m:
            lines.append("ifd %s %s" % m.groups())
            continue
        m = re.match(r"(?:\S+ \((\d+)\)|(\d+) \(0x[0-9a-f]+\)) \S+ \((\d+)\) (\d+)<(.*)>$", line)
        if not m:
            continue
        tag = m.group(1) or m.group(2)
        kind, count, values = int(m.group(3)), int(m.group(4)), m.group(5)
        entry = "entry %s %d %d" % (tag, kind, count)
        if kind in INTEGER_TYPES and count <= 64:
            entry += " " + " ".join(values.split())
        lines.append(entry)
    return lines


def structure_end(path):
    """The end of the last IFD, link or out-of-line value, from the file's own bytes."""
    data = open(path, "rb").read()
    order = "<" if data[:2] == b"II" else ">"
    big = struct.unpack(order + "H", data[2:4])[0] == 43
    offset = struct.unpack(order + ("Q" if big else "I"), data[8:16] if big else data[4:8])[0]
    end = 16 if big else 8
    while offset:
        count = struct.unpack(order + ("Q" if big else "H"), data[offset:offset + (8 if big else 2)])[0]
        at = offset + (8 if big else 2)
        for i in range(count):
            e = data[at + i * (20 if big else 12):at + (i + 1) * (20 if big else 12)]
            tag, kind = struct.unpack(order + "HH", e[:4])
            n = struct.unpack(order + ("Q" if big else "I"), e[4:12] if big else e[4:8])[0]
            size = n * TYPE_SIZES.get(kind, 0)
            if size > (8 if big else 4):
                value = struct.unpack(order + ("Q" if big else "I"), e[12:20] if big else e[8:12])[0]
                end = max(end, value + size)
        link_at = at + count * (20 if big else 12)
        end = max(end, link_at + (8 if big else 4))
        offset = struct.unpack(order + ("Q" if big else "I"), data[link_at:link_at + (8 if big else 4)])[0]
    return end


good = []


def add_good(name, path):
    with open(os.path.join(out, name + ".dump"), "w") as f:
        f.write("\n".join(tiffdump(path)) + "\n")
    good.append("%s %d" % (name, structure_end(path)))


# Pillow's pages, with text, rationals and arrays in IFD0.
info = TiffImagePlugin.ImageFileDirectory_v2()
info[305] = "tiff_files.py"
info[270] = "A picture with a description longer than the walker fetches by itself. " * 80
info[282] = 300.0
info[283] = 150.5
info[296] = 2
info[306] = "2024:02:29 13:14:15"
base = os.path.join(out, "pages.tif")
gradient(23, 17).save(base, save_all=True, tiffinfo=info, compression="raw",
                      append_images=[noise("L", 5, 7), noise("RGBA", 9, 3)])
add_good("pages", base)
for name, options in (("pages_mm", ["-B"]), ("big_ii", ["-8", "-L"]), ("big_mm", ["-8", "-B"]),
                      ("pages_lzw", ["-c", "lzw", "-r", "4"]), ("big_lzw_mm", ["-8", "-B", "-c", "lzw"])):
    path = os.path.join(out, name + ".tif")
    subprocess.run(["tiffcp"] + options + [base, path], check=True)
    add_good(name, path)


# Crafted structures. Entries are (tag, type, count, value field bytes).
def classic(order, first, ifds, tail=b"", magic=42):
    """ifds: {offset: (entries, link)}; the file is zero-filled around them."""
    size = max([off + 2 + 12 * len(e) + 4 for off, (e, _) in ifds.items()] + [8]) + len(tail)
    data = bytearray(size)
    data[0:8] = (b"II" if order == "<" else b"MM") + struct.pack(order + "HI", magic, first)
    for off, (entries, link) in ifds.items():
        data[off:off + 2] = struct.pack(order + "H", len(entries))
        for i, (tag, kind, count, field) in enumerate(entries):
            at = off + 2 + 12 * i
            data[at:at + 12] = struct.pack(order + "HHI", tag, kind, count) + field.ljust(4, b"\0")
        at = off + 2 + 12 * len(entries)
        data[at:at + 4] = struct.pack(order + "I", link)
    data[size - len(tail):] = tail
    return bytes(data)


def bigtiff(order, first, entries_at, entries, link, count=None):
    data = bytearray(entries_at + 8 + 20 * len(entries) + 8)
    data[0:16] = (b"II" if order == "<" else b"MM") + struct.pack(order + "HHHQ", 43, 8, 0, first)
    data[entries_at:entries_at + 8] = struct.pack(order + "Q", len(entries) if count is None else count)
    for i, (tag, kind, n, field) in enumerate(entries):
        at = entries_at + 8 + 20 * i
        data[at:at + 20] = struct.pack(order + "HHQ", tag, kind, n) + field.ljust(8, b"\0")
    at = entries_at + 8 + 20 * len(entries)
    data[at:at + 8] = struct.pack(order + "Q", link)
    return bytes(data)


def short(order, value):
    return struct.pack(order + "H", value)


size_entries = lambda o: [(256, 3, 1, short(o, 4)), (257, 3, 1, short(o, 3))]
crafted = [
    # name, bytes, walk succeeds, error code, IFDs walked to their link
    ("self_link", classic("<", 8, {8: (size_entries("<"), 8)}), 1, 0, 1),
    ("cycle", classic(">", 8, {8: (size_entries(">"), 64), 64: (size_entries(">"), 8)}), 1, 0, 2),
    ("link_inside_header", classic("<", 8, {8: (size_entries("<"), 4)}), 0, 3, 1),
    ("link_past_end", classic("<", 8, {8: (size_entries("<"), 4000)}), 0, 3, 1),
    ("first_inside_header", classic("<", 6, {8: (size_entries("<"), 0)}), 0, 3, 0),
    ("count_times_size_over_32_bits", classic("<", 8, {8: ([(273, 12, 0x80000000, struct.pack("<I", 40))], 0)}),
     0, 3, 0),
    ("value_past_end", classic(">", 8, {8: ([(270, 2, 20, struct.pack(">I", 30))], 0)}), 0, 3, 0),
    ("entries_past_end", classic("<", 8, {8: (size_entries("<"), 0)})[:30], 0, 3, 0),
    ("unknown_type_skipped", classic("<", 8, {8: ([(256, 99, 0xFFFFFFFF, b"")] + size_entries("<"), 0)}), 1, 0, 1),
    ("bad_byte_order", b"IM" + classic("<", 8, {8: (size_entries("<"), 0)})[2:], 0, 4, 0),
    ("bad_version", classic("<", 8, {8: (size_entries("<"), 0)}, magic=41), 0, 5, 0),
    ("short_header", b"II*\0\x08", 0, 2, 0),
    ("big_short_header", b"II+\0\x08\0\0\0\x10\0\0\0", 0, 2, 0),
    ("big_offset_size_4", b"II+\0\x04\0\0\0" + struct.pack("<Q", 16) + bytes(32), 0, 5, 0),
    ("big_count_times_size_over_64_bits", bigtiff("<", 16, 16, [(273, 16, 1 << 61, struct.pack("<Q", 64))], 0),
     0, 3, 0),
    ("big_entry_count_huge", bigtiff(">", 16, 16, size_entries(">"), 0, count=1 << 60), 0, 3, 0),
    ("big_first_inside_header", bigtiff("<", 8, 16, size_entries("<"), 0), 0, 3, 0),
    ("big_self_link", bigtiff(">", 16, 16, size_entries(">"), 16), 1, 0, 1),
]
with open(os.path.join(out, "crafted.txt"), "w") as f:
    for name, data, ok, code, ifds in crafted:
        with open(os.path.join(out, name + ".tif"), "wb") as g:
            g.write(data)
        f.write("%s %d %d %d\n" % (name, ok, code, ifds))
with open(os.path.join(out, "good.txt"), "w") as f:
    f.write("\n".join(good) + "\n")


# LZW strips and libtiff's decode of them.
def strips(path):
    picture = Image.open(path)
    data = open(path, "rb").read()
    return [data[o:o + n] for o, n in zip(picture.tag_v2[273], picture.tag_v2[279])]


lzw_cases = []
for name, picture, rows in (("flat", Image.new("RGB", (64, 48), (200, 10, 30)), 48),
                            ("gradient", gradient(300, 200), 16),
                            ("noise_grey", noise("L", 256, 256), 256),
                            ("noise_rgb", noise("RGB", 200, 150), 64),
                            ("few_levels", noise("RGB", 333, 77, 3), 7),
                            ("one_pixel", noise("L", 1, 1), 1)):
    source = os.path.join(lzw_out, name + ".source.tif")
    packed = os.path.join(lzw_out, name + ".lzw.tif")
    unpacked = os.path.join(lzw_out, name + ".none.tif")
    picture.save(source, compression="raw")
    subprocess.run(["tiffcp", "-c", "lzw", "-r", str(rows), source, packed], check=True)
    subprocess.run(["tiffcp", "-c", "none", "-r", str(rows), packed, unpacked], check=True)
    for i, (lzw, raw) in enumerate(zip(strips(packed), strips(unpacked))):
        case = "%s_%d" % (name, i)
        open(os.path.join(lzw_out, case + ".lzw"), "wb").write(lzw)
        open(os.path.join(lzw_out, case + ".raw"), "wb").write(raw)
        lzw_cases.append(case)
    for path in (source, packed, unpacked):
        os.remove(path)


def encode_without_clear(data):
    """TIFF LZW (early change) that starts with a clear and never clears again."""
    table = {bytes([i]): i for i in range(256)}
    codes, width, next_code, current = [(256, 9)], 9, 258, b""
    for byte in data:
        candidate = current + bytes([byte])
        if candidate in table:
            current = candidate
            continue
        codes.append((table[current], width))
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The encoder widens when a code needs it; its decoder, one
            # entry behind, one code early.
            if next_code > (1 << width) - 1 and width < 12:
                width += 1
        current = bytes([byte])
    codes += [(table[current], width), (257, width)]
    value, bits = 0, 0
    for code, w in codes:
        value, bits = value << w | code, bits + w
    value <<= (8 - bits % 8) % 8
    return value.to_bytes((bits + 7) // 8, "big")


text = bytes(rng.choice(b"abcdefgh") for _ in range(60000))
open(os.path.join(lzw_out, "full_table.lzw"), "wb").write(encode_without_clear(text))
open(os.path.join(lzw_out, "full_table.raw"), "wb").write(text)
lzw_cases.append("full_table")
with open(os.path.join(lzw_out, "cases.txt"), "w") as f:
    f.write("\n".join(lzw_cases) + "\n")
