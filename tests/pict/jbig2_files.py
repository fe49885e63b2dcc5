#!/usr/bin/env python3
"""JBIG2 test files and the pages jbig2dec decodes from them.

Debian has no JBIG2 encoder, so this script carries its own: the MQ
arithmetic encoder (INITENC, CODELPS, CODEMPS, RENORME, BYTEOUT, FLUSH with
its 0xFF 0xAC end) and the generic region encoding of templates 0 to 3 with
their adaptive pixels and typical prediction, written from the standard's
description (T.88, 6.2 and Annex E), and the file and segment headers
around them. Pictures: blocks, strokes and noise, with blank rows.

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

out = os.path.join(sys.argv[1], "jbig2")
os.makedirs(out, exist_ok=True)
rng = random.Random(36)
good = []
bad = []

# Probability estimation: Qe, next state after an MPS, after an LPS, switch.
QE = [(0x5601, 1, 1, 1), (0x3401, 2, 6, 0), (0x1801, 3, 9, 0), (0x0AC1, 4, 12, 0), (0x0521, 5, 29, 0),
      (0x0221, 38, 33, 0), (0x5601, 7, 6, 1), (0x5401, 8, 14, 0), (0x4801, 9, 14, 0), (0x3801, 10, 14, 0),
      (0x3001, 11, 17, 0), (0x2401, 12, 18, 0), (0x1C01, 13, 20, 0), (0x1601, 29, 21, 0), (0x5601, 15, 14, 1),
      (0x5401, 16, 14, 0), (0x5101, 17, 15, 0), (0x4801, 18, 16, 0), (0x3801, 19, 17, 0), (0x3401, 20, 18, 0),
      (0x3001, 21, 19, 0), (0x2801, 22, 19, 0), (0x2401, 23, 20, 0), (0x2201, 24, 21, 0), (0x1C01, 25, 22, 0),
      (0x1801, 26, 23, 0), (0x1601, 27, 24, 0), (0x1401, 28, 25, 0), (0x1201, 29, 26, 0), (0x1101, 30, 27, 0),
      (0x0AC1, 31, 28, 0), (0x09C1, 32, 29, 0), (0x08A1, 33, 30, 0), (0x0521, 34, 31, 0), (0x0441, 35, 32, 0),
      (0x02A1, 36, 33, 0), (0x0221, 37, 34, 0), (0x0141, 38, 35, 0), (0x0111, 39, 36, 0), (0x0085, 40, 37, 0),
      (0x0049, 41, 38, 0), (0x0025, 42, 39, 0), (0x0015, 43, 40, 0), (0x0009, 44, 41, 0), (0x0005, 45, 42, 0),
      (0x0001, 45, 43, 0), (0x5601, 46, 46, 0)]


class MQEncoder:
    def __init__(self, contexts):
        self.a, self.c, self.ct = 0x8000, 0, 12
        self.data = bytearray([0])  # the byte before the first: never written out
        self.index = [0] * contexts
        self.mps = [0] * contexts

    def byte_out(self):
        if self.data[-1] == 0xFF:
            self.data.append(self.c >> 20)
            self.c &= 0xFFFFF
            self.ct = 7
        elif self.c < 0x8000000:
            self.data.append(self.c >> 19)
            self.c &= 0x7FFFF
            self.ct = 8
        else:
            self.data[-1] += 1
            if self.data[-1] == 0xFF:
                self.c &= 0x7FFFFFF
                self.data.append(self.c >> 20)
                self.c &= 0xFFFFF
                self.ct = 7
            else:
                # The carry went into the byte before: a byte holds 8 bits.
                self.data.append(self.c >> 19 & 0xFF)
                self.c &= 0x7FFFF
                self.ct = 8

    def renormalise(self):
        while True:
            self.a <<= 1
            self.c <<= 1
            self.ct -= 1
            if self.ct == 0:
                self.byte_out()
            if self.a & 0x8000:
                break

    def encode(self, cx, decision):
        qe, next_mps, next_lps, switch = QE[self.index[cx]]
        self.a -= qe
        if decision == self.mps[cx]:
            if self.a & 0x8000:
                self.c += qe
                return
            if self.a < qe:
                self.a = qe
            else:
                self.c += qe
            self.index[cx] = next_mps
        else:
            if self.a < qe:
                self.c += qe
            else:
                self.a = qe
            if switch:
                self.mps[cx] = 1 - self.mps[cx]
            self.index[cx] = next_lps
        self.renormalise()

    def flush(self):
        temp = self.c + self.a
        self.c |= 0xFFFF
        if self.c >= temp:
            self.c -= 0x8000
        self.c <<= self.ct
        self.byte_out()
        self.c <<= self.ct
        self.byte_out()
        if self.data[-1] != 0xFF:
            self.data.append(0xFF)
        self.data.append(0xAC)
        return bytes(self.data[1:])


NOMINAL_AT = {0: [3, -1, -3, -1, 2, -2, -2, -2], 1: [3, -1], 2: [2, -1], 3: [2, -1]}
TYPICAL_CONTEXT = {0: 0x9B25, 1: 0x0795, 2: 0x00E5, 3: 0x0195}


def context(rows, width, x, y, template, at):
    def p(dx, dy):
        xx, yy = x + dx, y + dy
        return rows[yy][xx] if 0 <= xx < width and yy >= 0 else 0

    if template == 0:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(-4, 0), p(at[0], at[1]), p(2, -1), p(1, -1), p(0, -1), p(-1, -1),
                p(-2, -1), p(at[2], at[3]), p(at[4], at[5]), p(1, -2), p(0, -2), p(-1, -2), p(at[6], at[7])]
    elif template == 1:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(at[0], at[1]), p(2, -1), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1),
                p(2, -2), p(1, -2), p(0, -2), p(-1, -2)]
    elif template == 2:
        bits = [p(-1, 0), p(-2, 0), p(at[0], at[1]), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1), p(1, -2), p(0, -2),
                p(-1, -2)]
    else:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(-4, 0), p(at[0], at[1]), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1),
                p(-3, -1)]
    return sum(b << i for i, b in enumerate(bits))


def encode_generic(rows, template, typical, at):
    width = len(rows[0])
    encoder = MQEncoder(1 << 16)
    previous_typical = 0
    for y, row in enumerate(rows):
        if typical:
            same = int(row == (rows[y - 1] if y else [0] * width))
            encoder.encode(TYPICAL_CONTEXT[template], same ^ previous_typical)
            previous_typical = same
            if same:
                continue
        for x in range(width):
            encoder.encode(context(rows, width, x, y, template, at), row[x])
    return encoder.flush()


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


def segment(number, kind, page, data, references=(), long_page=False):
    head = struct.pack(">IB", number, kind | (0x40 if long_page else 0))
    head += bytes([len(references) << 5]) + bytes(references)
    head += struct.pack(">I", page) if long_page else bytes([page])
    return head + struct.pack(">I", len(data)) + data


def page_information(width, height, overridden=True):
    return struct.pack(">IIIIBH", width, height, 0, 0, 0x40 if overridden else 0, 0)


def region(rows, x, y, template=0, typical=True, at=None, operator=4, mmr=False):
    at = NOMINAL_AT[template] if at is None else at
    flags = (1 if mmr else 0) | template << 1 | (8 if typical else 0)
    head = struct.pack(">IIIIB", len(rows[0]), len(rows), x, y, operator) + bytes([flags])
    if mmr:
        return head + bytes(rng.randrange(256) for _ in range(40))
    return head + struct.pack(">%db" % len(at), *at) + encode_generic(rows, template, typical, at)


def file_header(pages, sequential=True):
    flags = (1 if sequential else 0) | (2 if pages is None else 0)
    return b"\x97JB2\r\n\x1a\n" + bytes([flags]) + (b"" if pages is None else struct.pack(">I", pages))


class Builder:
    """Segments numbered in order, with the page ends and the file end."""

    def __init__(self):
        self.segments = []

    def add(self, kind, page, data, **options):
        self.segments.append((kind, page, data, options))

    def build(self, header=b"", sequential=True, keep=lambda number: True):
        parts = []
        number = 0
        for kind, page, data, options in self.segments:
            if keep(number):
                parts.append(segment(len(parts), kind, page, data, **options))
            number += 1
        if sequential:
            return header + b"".join(parts)
        # Random access: every header first, then the data in order.
        heads, bodies = [], []
        for part in parts:
            references = part[5] >> 5
            page_size = 4 if part[4] & 0x40 else 1
            head_length = 6 + references + page_size + 4
            heads.append(part[:head_length])
            bodies.append(part[head_length:])
        return header + b"".join(heads) + b"".join(bodies)


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


def store(name, pages, count=None):
    for number, rows in enumerate(pages):
        width = len(rows[0])
        with open(os.path.join(out, "%s.%d.expected" % (name, number)), "wb") as f:
            for row in reversed(rows):
                f.write(b"".join(struct.pack("<I", 0xFF000000 if bit else 0xFFFFFFFF) for bit in row))
    good.append("%s %d %d %d" % (name, count or len(pages), len(pages[0][0]), len(pages[0])))


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
