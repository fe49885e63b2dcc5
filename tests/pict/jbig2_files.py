#!/usr/bin/env python3
"""JBIG2 test files and the pages jbig2dec decodes from them.

Debian has no JBIG2 encoder, so the tests carry their own (jbig2_coding.py,
written from the standard's description); jbig2dec must decode each page
coded here into the picture that was coded. Pictures: blocks, strokes and
noise, with blank rows.

Good files: every template with and without typical prediction and with
adaptive pixels away from their nominal places; a bare segment stream; two
pages; overlapping regions (the later replaces), regions past the page's
right and bottom edges; the random-access organisation; an unknown number
of pages; segments that refer to others and a four-byte page association;
an MMR-coded region among arithmetic ones (left out: its expectation is the
file without it); a region too wide to decode and one whose data is cut
short (both left out). Expected pages: jbig2dec's, as 32-bit pixels
(0xFF000000 black, 0xFFFFFFFF white), bottom row first.

Bad files: pages announced but missing, sizes of 0 or past 2^31 - 1 or
whose area passes 2^31 - 1, a page association past the page count, short
region and page information segments, data of unknown length, numbering
that stops before the region.

Output in the folder given: jbig2/<name>.jb2, jbig2/<name>.<page>.expected,
jbig2/good.txt ("name pages width height" of the first page) and
jbig2/bad.txt.
"""

import os
import random
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from jbig2_coding import Builder, file_header, page_information, region, segment  # noqa: E402

out = os.path.join(sys.argv[1], "jbig2")
os.makedirs(out, exist_ok=True)
rng = random.Random(36)
good = []
bad = []


def picture(width, height):
    """Blocks, strokes and noise, with runs of blank and repeated rows."""
    rows = [[0] * width for _ in range(height)]
    for _ in range(6):
        x0, y0 = rng.randrange(width), rng.randrange(height)
        for y in range(y0, min(height, y0 + rng.randrange(3, 20))):
            for x in range(x0, min(width, x0 + rng.randrange(3, 30))):
                rows[y][x] = 1
    for _ in range(width * height // 12):
        rows[rng.randrange(height)][rng.randrange(width)] ^= 1
    for y in range(height // 3, height // 3 + 6):
        rows[y] = [0] * width
    for y in range(2 * height // 3, 2 * height // 3 + 4):
        rows[y] = list(rows[2 * height // 3 - 1])
    return rows


def jbig2dec_pages(path, embedded=False):
    arguments = ["jbig2dec", "-q", "-t", "pbm", "-o", "-"] + (["-e"] if embedded else []) + [path]
    data = subprocess.run(arguments, check=True, capture_output=True).stdout
    pages = []
    while data:
        header = re.match(rb"P4\s+(\d+)\s+(\d+)\s", data)
        width, height = int(header.group(1)), int(header.group(2))
        body = data[header.end():]
        stride = (width + 7) // 8
        rows = [[body[y * stride + x // 8] >> (7 - x % 8) & 1 for x in range(width)] for y in range(height)]
        pages.append(rows)
        data = body[stride * height:]
    return pages


def store(name, pages):
    for number, rows in enumerate(pages):
        with open(os.path.join(out, "%s.%d.expected" % (name, number)), "wb") as f:
            for row in reversed(rows):
                f.write(b"".join(struct.pack("<I", 0xFF000000 if bit else 0xFFFFFFFF) for bit in row))
    good.append("%s %d %d %d" % (name, len(pages), len(pages[0][0]), len(pages[0])))


def add_good(name, data, embedded=False, expected_from=None, drawn=None):
    path = os.path.join(out, name + ".jb2")
    with open(path, "wb") as f:
        f.write(data)
    source = path
    if expected_from is not None:
        source = os.path.join(out, name + ".oracle")
        with open(source, "wb") as f:
            f.write(expected_from)
    pages = jbig2dec_pages(source, embedded)
    if expected_from is not None:
        os.remove(source)
    # The encoder here coded what jbig2dec decodes.
    assert drawn is None or pages == [drawn], name
    store(name, pages)


def add_one_region(name, width, height, **options):
    rows = picture(width, height)
    b = Builder()
    b.add(48, 1, page_information(width, height))
    b.add(38, 1, region(rows, 0, 0, **options))
    b.add(49, 1, b"")
    b.add(51, 0, b"")
    add_good(name, b.build(file_header(1)), drawn=rows)


for template in range(4):
    for typical in (True, False):
        add_one_region("t%d_%s" % (template, "tp" if typical else "plain"), 61, 45, template=template,
                       typical=typical)
add_one_region("t0_moved_at", 61, 45, template=0, at=[-4, -1, 4, -2, -7, -3, 1, -5])
add_one_region("t1_moved_at", 61, 45, template=1, at=[-5, -2])
add_one_region("t3_moved_at", 61, 45, template=3, typical=False, at=[-6, 0])

b = Builder()
b.add(48, 1, page_information(50, 30))
b.add(38, 1, region(picture(50, 30), 0, 0, template=2))
add_good("bare", b.build(), embedded=True)

b = Builder()
b.add(48, 1, page_information(40, 30))
b.add(38, 1, region(picture(40, 30), 0, 0))
b.add(49, 1, b"")
b.add(48, 2, page_information(33, 47))
b.add(38, 2, region(picture(20, 20), 5, 7, template=1))
b.add(38, 2, region(picture(25, 10), 2, 30, template=3))
b.add(49, 2, b"")
b.add(51, 0, b"")
add_good("two_pages", b.build(file_header(2)))
add_good("random_access", b.build(file_header(2, sequential=False), sequential=False))
add_good("unknown_pages", b.build(file_header(None)))

# Overlaps (the later region replaces the earlier), a region past the right
# edge and one past the bottom.
b = Builder()
b.add(48, 1, page_information(70, 50))
b.add(38, 1, region([[1] * 40 for _ in range(30)], 0, 0, template=3))
b.add(38, 1, region(picture(30, 20), 20, 15, template=0))
b.add(38, 1, region(picture(25, 16), 60, 4, template=1))
b.add(38, 1, region(picture(20, 25), 5, 35, template=2))
b.add(49, 1, b"")
add_good("overlaps_and_edges", b.build(file_header(1)))

# Segments that refer to others, and a four-byte page association.
b = Builder()
b.add(48, 1, page_information(45, 32), long_page=True)
b.add(62, 1, struct.pack(">I", 0x10), references=(0,))
b.add(38, 1, region(picture(45, 32), 0, 0), references=(0, 1), long_page=True)
b.add(51, 0, b"")
add_good("references", b.build(file_header(1)))

# An MMR region among arithmetic ones; one too wide to decode; one cut short.
for name, extra in (("mmr", region(picture(30, 20), 10, 10, mmr=True)),
                    ("too_wide", struct.pack(">IIIIBB", 0xFFFFFFF0, 20, 0, 5, 4, 0) + bytes(8) + b"\0\x11\x22"),
                    ("cut_short", region(picture(40, 25), 3, 3)[:30])):
    b = Builder()
    b.add(48, 1, page_information(64, 40))
    b.add(38, 1, region(picture(64, 40), 0, 0, template=1))
    b.add(38, 1, extra)
    b.add(49, 1, b"")
    b.add(51, 0, b"")
    add_good(name, b.build(file_header(1)), expected_from=b.build(file_header(1), keep=lambda n: n != 2))


def add_bad(name, data):
    with open(os.path.join(out, name + ".jb2"), "wb") as f:
        f.write(data)
    bad.append(name)


small = region(picture(20, 10), 0, 0)
for name, width, height in (("zero_width", 0, 10), ("zero_height", 10, 0), ("width_past_31_bits", 0x80000000, 2),
                            ("height_all_ones", 1, 0xFFFFFFFF), ("area_past_31_bits", 65536, 65536)):
    b = Builder()
    b.add(48, 1, page_information(width, height))
    b.add(38, 1, small)
    add_bad(name, b.build(file_header(1)))
b = Builder()
b.add(48, 1, page_information(20, 10))
b.add(38, 1, small)
add_bad("second_page_missing", b.build(file_header(2)))
add_bad("no_pages", b.build(file_header(0)))
b.add(48, 3, page_information(20, 10))
add_bad("page_past_count", b.build(file_header(2)))
b = Builder()
b.add(48, 1, page_information(20, 10))
b.add(38, 1, small[:17])
add_bad("region_too_short", b.build(file_header(1)))
b = Builder()
b.add(48, 1, page_information(20, 10)[:18])
b.add(38, 1, small)
add_bad("page_information_short", b.build(file_header(1)))
b = Builder()
b.add(48, 1, page_information(20, 10))
b.add(38, 0, small)
add_bad("region_of_no_page", b.build(file_header(1)))
data = b"\x97JB2\r\n\x1a\n\x01" + struct.pack(">I", 1) + segment(0, 48, 1, page_information(20, 10))
add_bad("unknown_length", data + segment(1, 38, 1, b"")[:-4] + b"\xff\xff\xff\xff" + small)
data += segment(1, 49, 1, b"") + segment(3, 38, 1, small)
add_bad("numbering_gap", data)
add_bad("not_jbig2", b"\x97JB2\r\n\x1a\x0b" + bytes(60))

with open(os.path.join(out, "good.txt"), "w") as f:
    f.write("\n".join(good) + "\n")
with open(os.path.join(out, "bad.txt"), "w") as f:
    f.write("\n".join(bad) + "\n")
