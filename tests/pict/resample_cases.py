#!/usr/bin/env python3
"""Resampling and quarter turns against Pillow.

Resampling: random pictures of 8-bit channels (32-bit pixels) and of 16-bit
channels (deep pixels) scaled to other sizes, rows first and then columns,
each channel on its own, by Pillow on 32-bit float images: an axis that
grows with BILINEAR sampled at k * source / target in pixel-centre units
(between pixel centres, the edge pixels held beyond them: the picture is
padded by one repeated pixel and the box shifted), an axis that shrinks
with BOX (shrinking by whole factors only: there Pillow's box, which takes
the source pixels whose centres fall in a target pixel's span, is the
average over the span). The expected value is the float result rounded down; the decoder
truncates its intermediate rows, so a value may lie 1 below it.

Shrinking by factors that are not whole (5 to 3, 3 to 2, on either axis
and both): against spans worked out by hand.

Turns: a picture of distinct values turned by Pillow's ROTATE_90 (counter-
clockwise) and ROTATE_270 (clockwise), all in memory order.

Output, in the folder given, resample.txt, one case a line, hexadecimal:
  resample bits width height new_width new_height source expected
  turn width height source counter_clockwise clockwise
pixels of 8 (32-bit) or 16 (deep) digits, memory order.
"""

import os
import random
import sys
from fractions import Fraction

from PIL import Image

rng = random.Random(5105)
lines = []


def scale_axis(band, size, new_size, horizontal):
    width, height = band.size
    if new_size == size:
        return band
    if new_size < size:
        target = (new_size, height) if horizontal else (width, new_size)
        return band.resize(target, Image.BOX)
    padded = Image.new("F", (width + 2, height) if horizontal else (width, height + 2))
    padded.paste(band, (1, 0) if horizontal else (0, 1))
    if horizontal:
        padded.paste(band.crop((0, 0, 1, height)), (0, 0))
        padded.paste(band.crop((width - 1, 0, width, height)), (width + 1, 0))
        start = 1 - 0.5 * size / new_size
        return padded.resize((new_size, height), Image.BILINEAR, box=(start, 0, start + size, height))
    padded.paste(band.crop((0, 0, width, 1)), (0, 0))
    padded.paste(band.crop((0, height - 1, width, height)), (0, height + 1))
    start = 1 - 0.5 * size / new_size
    return padded.resize((width, new_size), Image.BILINEAR, box=(0, start, width, start + size))


def resample_case(bits, w, h, new_w, new_h):
    top = (1 << bits) - 1
    pixels = [[rng.randrange(top + 1) for _ in range(4)] for _ in range(w * h)]
    result = []
    for c in range(4):
        band = Image.new("F", (w, h))
        band.putdata([p[c] for p in pixels])
        band = scale_axis(band, w, new_w, True)
        band = scale_axis(band, h, new_h, False)
        result.append([int(v) for v in band.getdata()])
    digits = bits // 4

    def pixel_hex(channels):
        return "".join("%0*x" % (digits, min(max(v, 0), top)) for v in reversed(channels))

    lines.append("resample %d %x %x %x %x %s %s" % (
        bits, w, h, new_w, new_h, "".join(pixel_hex(p) for p in pixels),
        "".join(pixel_hex([result[c][i] for c in range(4)]) for i in range(new_w * new_h))))


for bits in (8, 16):
    # Shrinking by whole factors, where Pillow's box (whole source pixels
    # whose centres fall in the span) is the area average of the rule.
    for w, h, new_w, new_h in ((2, 1, 4, 1), (4, 3, 2, 3), (10, 20, 10, 5), (7, 5, 13, 9), (12, 9, 4, 3),
                               (6, 12, 15, 4), (16, 7, 8, 21), (5, 5, 5, 5)):
        resample_case(bits, w, h, new_w, new_h)

# Shrinking by factors that are not whole, where Pillow's box differs from
# the rule's area average: the spans worked out by hand, output pixel by
# output pixel, as (source pixel, weight) pairs. 3 to 2: spans [0, 1.5) and
# [1.5, 3); 5 to 3: [0, 5/3), [5/3, 10/3) and [10/3, 5).
HAND_SPANS = {
    (3, 2): [[(0, 1), (1, Fraction(1, 2))], [(1, Fraction(1, 2)), (2, 1)]],
    (5, 3): [[(0, 1), (1, Fraction(2, 3))],
             [(1, Fraction(1, 3)), (2, 1), (3, Fraction(1, 3))],
             [(3, Fraction(2, 3)), (4, 1)]],
}


def shrink_by_hand(values, size, new_size):
    """One line of values shrunk by the hand-worked spans, the average
    rounded down (a row is stored by truncation before the columns)."""
    if size == new_size:
        return list(values)
    return [int(sum(w * values[i] for i, w in span) / sum(w for _, w in span))
            for span in HAND_SPANS[(size, new_size)]]


def hand_case(bits, w, h, new_w, new_h):
    top = (1 << bits) - 1
    pixels = [[rng.randrange(top + 1) for _ in range(4)] for _ in range(w * h)]
    result = []
    for c in range(4):
        rows = [shrink_by_hand([pixels[y * w + x][c] for x in range(w)], w, new_w) for y in range(h)]
        columns = [shrink_by_hand([rows[y][x] for y in range(h)], h, new_h) for x in range(new_w)]
        result.append([columns[x][y] for y in range(new_h) for x in range(new_w)])
    digits = bits // 4

    def pixel_hex(channels):
        return "".join("%0*x" % (digits, v) for v in reversed(channels))

    lines.append("resample %d %x %x %x %x %s %s" % (
        bits, w, h, new_w, new_h, "".join(pixel_hex(p) for p in pixels),
        "".join(pixel_hex([result[c][i] for c in range(4)]) for i in range(new_w * new_h))))


for bits in (8, 16):
    for w, h, new_w, new_h in ((3, 2, 2, 2), (5, 4, 3, 4), (4, 3, 4, 2), (2, 5, 2, 3), (5, 3, 3, 2), (3, 5, 2, 3)):
        hand_case(bits, w, h, new_w, new_h)

w, h = 5, 3
values = rng.sample(range(1, 1 << 30), w * h)
turned = Image.new("I", (w, h))
turned.putdata(values)
lines.append("turn %x %x %s %s %s" % (w, h, "".join("%08x" % v for v in values),
                                      "".join("%08x" % v for v in turned.transpose(Image.ROTATE_90).getdata()),
                                      "".join("%08x" % v for v in turned.transpose(Image.ROTATE_270).getdata())))

with open(os.path.join(sys.argv[1], "resample.txt"), "w") as f:
    f.write("\n".join(lines) + "\n")
