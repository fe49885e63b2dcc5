#!/usr/bin/env python3
"""PNG test files and what an independent decoder makes of them.

Good files: every colour type and bit depth, palettes with tRNS, grey and
RGB transparency keys, 16-bit samples and Adam7 interlacing, written by
ImageMagick (type, depth and interlacing forced, then checked in the
written IHDR) from random pictures that Pillow makes, or by Pillow itself
where it writes tRNS. Expected pixels: ImageMagick's decode of each file as
16-bit RGBA, stored the way the decoder under test keeps them (bottom row
first); 8-bit files as 32-bit pixels 0xAARRGGBB, 16-bit ones as deep pixels
A << 48 | R << 32 | G << 16 | B.

Filters: files of this script's own PNG writer at every colour type and
depth, each row filtered with the type it is told (every type, Paeth and
Average on the first row too), the rows around each Paeth row laid out so
that its predictions tie (left or up as near as upper-left, the candidates
different); a palette with tRNS as long as itself and a 2-bit grey key.
Their expected pixels are ImageMagick's too.

Bad files: derived from a good one (truncated at every chunk boundary and
inside chunks, a bad CRC in each chunk, IHDR late or twice, no IDAT, huge
sizes, zlib data that ends before the last row, damaged zlib data, a
palette index past the palette); every one must fail.

Output in the folder given: png/<name>.png, png/<name>.expected, and
png/good.txt ("name width height deep") and png/bad.txt (one name a line).
"""

import os
import random
import struct
import subprocess
import sys
import zlib

from PIL import Image

out = os.path.join(sys.argv[1], "png")
os.makedirs(out, exist_ok=True)
rng = random.Random(13)
good = []
bad = []


def chunks_of(data):
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        yield data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length], pos
        pos += length + 12


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def rebuild(parts):
    return b"\x89PNG\r\n\x1a\n" + b"".join(chunk(k, b) for k, b in parts)


def random_picture(mode, width, height, levels=256, colours=None):
    if mode == "P":
        picture = Image.new("P", (width, height))
        picture.putpalette([rng.randrange(256) for _ in range(3 * colours)])
        picture.putdata([rng.randrange(colours) for _ in range(width * height)])
        return picture
    bands = len(mode)
    step = 255 // (levels - 1)
    data = [tuple(rng.randrange(levels) * step for _ in range(bands)) for _ in range(width * height)]
    picture = Image.new(mode, (width, height))
    picture.putdata([d[0] for d in data] if bands == 1 else data)
    return picture


def noise_16bit(width, height, channels, grey):
    """ImageMagick arguments for random 16-bit samples."""
    arguments = ["-seed", str(rng.randrange(1 << 30)), "-size", "%dx%d" % (width, height), "plasma:"]
    if "A" in channels:
        arguments += ["-alpha", "set"]
    arguments += ["-channel", channels, "+noise", "Random", "+channel"]
    if grey:
        arguments += ["-colorspace", "gray"]
    return arguments + ["-depth", "16"]


def expected_pixels(path, width, height, deep):
    raw = subprocess.run(["convert", path, "-depth", "16", "-endian", "MSB", "rgba:-"], check=True, capture_output=True).stdout
    values = struct.unpack(">%dH" % (4 * width * height), raw)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b, a = values[4 * (y * width + x):4 * (y * width + x) + 4]
            if deep:
                row.append(struct.pack("<Q", a << 48 | r << 32 | g << 16 | b))
            else:
                row.append(struct.pack("<I", (a >> 8) << 24 | (r >> 8) << 16 | (g >> 8) << 8 | b >> 8))
        rows.append(b"".join(row))
    return b"".join(reversed(rows))


def header_of(path):
    with open(path, "rb") as f:
        data = f.read()
    kind, body, _ = next(chunks_of(data))
    assert kind == b"IHDR"
    return struct.unpack(">IIBBBBB", body)


def add_good(name, colour_type, depth, picture=None, magick=(), pillow=None, interlace=False):
    """A file written by Pillow (picture saved with the pillow options) or
    by ImageMagick (picture, or magick's own arguments, converted)."""
    path = os.path.join(out, name + ".png")
    if pillow is not None:
        picture.save(path, **pillow)
    else:
        arguments = list(magick)
        source = None
        if picture is not None:
            source = os.path.join(out, name + ".source.png")
            picture.save(source)
            arguments = [source] + arguments
        arguments += ["-interlace", "PNG" if interlace else "None", path]
        subprocess.run(["convert"] + arguments, check=True)
        if source:
            os.remove(source)
    width, height, got_depth, got_type, _, _, got_interlace = header_of(path)
    assert (got_type, got_depth, got_interlace) == (colour_type, depth, int(interlace)), (name, header_of(path))
    deep = depth == 16
    with open(os.path.join(out, name + ".expected"), "wb") as f:
        f.write(expected_pixels(path, width, height, deep))
    good.append("%s %d %d %d" % (name, width, height, int(deep)))


W, H = 37, 23
for depth in (1, 2, 4, 8):
    add_good("grey%d" % depth, 0, depth, random_picture("L", W, H, 2 ** depth),
             ["-define", "png:bit-depth=%d" % depth])
add_good("grey16", 0, 16, magick=noise_16bit(W, H, "RGB", True))
add_good("rgb8", 2, 8, random_picture("RGB", W, H))
add_good("rgb16", 2, 16, magick=noise_16bit(W, H, "RGB", False))
add_good("grey_alpha8", 4, 8, random_picture("LA", W, H))
add_good("grey_alpha16", 4, 16, magick=noise_16bit(W, H, "RGBA", True))
add_good("rgba8", 6, 8, random_picture("RGBA", W, H))
add_good("rgba16", 6, 16, magick=noise_16bit(W, H, "RGBA", False))
for depth in (1, 2, 4, 8):
    add_good("palette%d" % depth, 3, depth, random_picture("P", W, H, colours=2 ** depth), pillow={"bits": depth})
# tRNS: a partly transparent palette, grey and RGB keys.
add_good("palette_trns", 3, 4, random_picture("P", W, H, colours=16),
         pillow={"bits": 4, "transparency": bytes(rng.randrange(256) for _ in range(10))})
grey = random_picture("L", W, H, 4)
add_good("grey_key", 0, 8, grey, pillow={"transparency": grey.getpixel((3, 4))})
colour = random_picture("RGB", W, H, 4)
add_good("rgb_key", 2, 8, colour, pillow={"transparency": colour.getpixel((5, 6))})
# Adam7, also with sizes whose passes are partly empty.
add_good("adam7_grey1", 0, 1, random_picture("L", W, H, 2), interlace=True)
add_good("adam7_palette8", 3, 8, random_picture("P", W, H, colours=16), interlace=True)
add_good("adam7_rgb8", 2, 8, random_picture("RGB", W, H), interlace=True)
add_good("adam7_rgba16", 6, 16, magick=noise_16bit(W, H, "RGBA", False), interlace=True)
for w, h in ((1, 1), (1, 9), (9, 1), (3, 5)):
    add_good("adam7_%dx%d" % (w, h), 6, 8, random_picture("RGBA", w, h), ["-define", "png:color-type=6"],
             interlace=True)

# Files of this script's own writer, whose rows carry the filter types it
# is told, at every colour type and depth: the decoder must undo each type
# as the PNG standard defines it, whatever ImageMagick's writer prefers.
SAMPLES = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filtered(rows, bpp, filters):
    """Each raw row with its filter byte in front, filtered as the standard
    says (the row above the first taken as zeros); also how many bytes of
    Paeth rows hit a tie whose candidates differ."""
    out, ties, prior = [], 0, bytes(len(rows[0]))
    for row, kind in zip(rows, filters):
        encoded = bytearray([kind])
        for i, x in enumerate(row):
            a = row[i - bpp] if i >= bpp else 0
            b, c = prior[i], prior[i - bpp] if i >= bpp else 0
            if kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                ties += (pa == pc and pa <= pb and a != c) or (pb == pc and pb < pa and b != c)
            encoded.append((x - (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]) & 0xFF)
        out.append(bytes(encoded))
        prior = row
    return b"".join(out), ties


def tie_rows(length, bpp, choose_a):
    """A row and the row above it on which every Paeth prediction past the
    first pixel is a tie: left and upper-left (choose_a) or up and
    upper-left equally near, with the two candidates different."""
    above = bytes(100 + (2 - choose_a) * ((i // bpp) % 2) for i in range(length))
    low, high = (98, 103) if choose_a else (99, 103)
    return above, bytes(high if (i // bpp) % 2 else low for i in range(length))


def write_own(name, colour_type, depth, width, height, filters, palette=None, trns=None, rows=None):
    """A PNG of this script's writer; rows of raw bytes are random where
    not given, and around each Paeth row laid out to tie."""
    bpp = max(1, depth * SAMPLES[colour_type] // 8)
    length = (width * depth * SAMPLES[colour_type] + 7) // 8
    if rows is None:
        rows = [bytes(rng.randrange(256) for _ in range(length)) for _ in range(height)]
        for y in range(1, height):
            if filters[y] == 4:
                rows[y - 1], rows[y] = tie_rows(length, bpp, y % 2 == 0)
    data, ties = filtered(rows, bpp, filters)
    parts = [(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))]
    if palette is not None:
        parts.append((b"PLTE", palette))
    if trns is not None:
        parts.append((b"tRNS", trns))
    parts += [(b"IDAT", zlib.compress(data, 9)), (b"IEND", b"")]
    path = os.path.join(out, name + ".png")
    with open(path, "wb") as f:
        f.write(rebuild(parts))
    return path, ties


def add_own_good(name, colour_type, depth, filters, width=W, height=H, **options):
    path, ties = write_own(name, colour_type, depth, width, height, filters, **options)
    assert 4 not in filters[1:] or ties > 0, name
    with open(os.path.join(out, name + ".expected"), "wb") as f:
        f.write(expected_pixels(path, width, height, depth == 16))
    good.append("%s %d %d %d" % (name, width, height, int(depth == 16)))


def random_palette(entries):
    return bytes(rng.randrange(256) for _ in range(3 * entries))


# Paeth first (on the zero row above the picture), then Up, None, Average,
# Sub; or Average first, then None, Up, Paeth, Sub.
ROW_FILTERS = {"paeth_first": [(4 + 3 * y) % 5 for y in range(H)], "average_first": [(3 + 2 * y) % 5 for y in range(H)]}
for colour_type, depths in ((0, (1, 2, 4, 8, 16)), (2, (8, 16)), (3, (1, 2, 4, 8)), (4, (8, 16)), (6, (8, 16))):
    for depth in depths:
        for order, filters in ROW_FILTERS.items():
            add_own_good("filters_%d_%d_%s" % (colour_type, depth, order), colour_type, depth, filters,
                         palette=random_palette(2 ** depth) if colour_type == 3 else None)
# tRNS as long as the palette; a 2-bit grey key.
add_own_good("palette_trns_full", 3, 4, ROW_FILTERS["paeth_first"], palette=random_palette(16),
             trns=bytes(rng.randrange(256) for _ in range(16)))
add_own_good("grey2_key", 0, 2, ROW_FILTERS["average_first"], trns=struct.pack(">H", 2))

# Bad files, from a file whose image data is spread over several IDATs.
with open(os.path.join(out, "rgb8.png"), "rb") as f:
    base = f.read()
parts = [(k, b) for k, b, _ in chunks_of(base) if k in (b"IHDR", b"PLTE", b"IDAT", b"IEND")]
ihdr = parts[0][1]
stream = b"".join(b for k, b in parts if k == b"IDAT")
pieces = [stream[i:i + 300] for i in range(0, len(stream), 300)]
split = [parts[0]] + [(b"IDAT", p) for p in pieces] + [(b"IEND", b"")]
spread = rebuild(split)
add_good_spread = os.path.join(out, "rgb8_spread.png")
with open(add_good_spread, "wb") as f:
    f.write(spread)
with open(os.path.join(out, "rgb8_spread.expected"), "wb") as f:
    f.write(expected_pixels(add_good_spread, W, H, False))
good.append("rgb8_spread %d %d 0" % (W, H))


def add_bad(name, data):
    with open(os.path.join(out, "bad_" + name + ".png"), "wb") as f:
        f.write(data)
    bad.append("bad_" + name)


boundaries = [pos for _, _, pos in chunks_of(spread)] + [len(spread)]
for n, pos in enumerate(boundaries[:-1]):
    add_bad("cut_at_chunk%d" % n, spread[:pos])
    add_bad("cut_in_chunk%d" % n, spread[:pos + 10])
    flipped = bytearray(spread)
    flipped[boundaries[n + 1] - 1] ^= 0x01
    add_bad("crc_chunk%d" % n, bytes(flipped))
add_bad("cut_before_crc", spread[:-4])
add_bad("no_ihdr", rebuild(split[1:]))
add_bad("ihdr_late", rebuild(split[1:2] + split[:1] + split[2:]))
wider = struct.pack(">II", W * 4, H) + ihdr[8:]
add_bad("ihdr_twice", rebuild(split[:2] + [(b"IHDR", wider)] + split[2:]))
add_bad("ihdr_after_idat", rebuild([(b"tEXt", b"a\0b")] + split))
add_bad("no_idat", rebuild([split[0], (b"IEND", b"")]))
add_bad("no_iend", rebuild(split[:-1]))
for n, (w, h) in enumerate(((0x7FFFFFFF, 0x7FFFFFFF), (100000, 100000), (65536, 32768), (0x80000000, 1),
                            (0, 5), (5, 0))):
    add_bad("huge%d" % n, rebuild([(b"IHDR", struct.pack(">II", w, h) + ihdr[8:])] + split[1:]))
for n, length in enumerate((0x7FFFFFFF, 0xFFFFFFFF, 0x10000000)):
    add_bad("chunk_length%d" % n, spread[:33] + struct.pack(">I", length) + spread[37:])
raw_rows = zlib.decompress(stream)
row_bytes = 1 + 3 * W
add_bad("zlib_short", rebuild([split[0], (b"IDAT", zlib.compress(raw_rows[:row_bytes * (H - 1)])), (b"IEND", b"")]))
add_bad("zlib_cut", rebuild([split[0], (b"IDAT", stream[:len(stream) // 2]), (b"IEND", b"")]))
damaged = bytearray(stream)
for i in range(20, len(damaged), 37):
    damaged[i] ^= 0x5A
add_bad("zlib_damaged", rebuild([split[0], (b"IDAT", bytes(damaged)), (b"IEND", b"")]))
add_bad("bad_filter_method", rebuild([(b"IHDR", ihdr[:11] + b"\x01" + ihdr[12:])] + split[1:]))
add_bad("bad_interlace", rebuild([(b"IHDR", ihdr[:12] + b"\x02")] + split[1:]))
add_bad("bad_depth", rebuild([(b"IHDR", ihdr[:8] + b"\x04" + ihdr[9:])] + split[1:]))
add_bad("trns_on_rgba", rebuild([(b"IHDR", ihdr[:9] + b"\x06" + ihdr[10:]), (b"tRNS", b"\0\0")] + split[1:]))
palette_ihdr = struct.pack(">IIBBBBB", 4, 2, 8, 3, 0, 0, 0)
palette_rows = zlib.compress(b"\0\0\1\2\3" * 2)
add_bad("palette_index", rebuild([(b"IHDR", palette_ihdr), (b"PLTE", bytes(9)), (b"IDAT", palette_rows),
                                  (b"IEND", b"")]))
add_bad("palette_too_long", rebuild([(b"IHDR", struct.pack(">IIBBBBB", 4, 2, 1, 3, 0, 0, 0)),
                                     (b"PLTE", bytes(9)), (b"IDAT", palette_rows), (b"IEND", b"")]))
add_bad("no_palette", rebuild([(b"IHDR", palette_ihdr), (b"IDAT", palette_rows), (b"IEND", b"")]))
# tRNS one entry longer than the palette; a 2-bit grey key of 4.
for name, options in (("trns_past_palette", {"palette": random_palette(4), "trns": bytes(5)}),
                      ("grey2_key_too_big", {"trns": struct.pack(">H", 4)})):
    depth, colour_type = (2, 3) if "palette" in options else (2, 0)
    path, _ = write_own("bad_" + name, colour_type, depth, 4, 2, [0, 0], **options)
    bad.append("bad_" + name)

with open(os.path.join(out, "good.txt"), "w") as f:
    f.write("\n".join(good) + "\n")
with open(os.path.join(out, "bad.txt"), "w") as f:
    f.write("\n".join(bad) + "\n")
