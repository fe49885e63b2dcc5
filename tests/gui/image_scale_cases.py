#!/usr/bin/env python3
"""Random small images and their linear and area scalings, computed with
exact fractions straight from the resampling rules:

- rows: enlarging interpolates between pixel centres (position p grows by
  source / target per target pixel; f = p - trunc(p) picks the neighbour),
  shrinking averages the source over [p, p + step) with partly covered
  pixels weighted by the covered part;
- linear scaling: rows first, then columns, each column taken in stored
  order (rows are stored bottom-up, so a column runs from the bottom row);
- area scaling: each target pixel averages the source over its rectangle,
  weighted by overlap area.

Every channel (B, G, R, A) is worked on separately and the fraction is
dropped at the end. Output, one case a line, hexadecimal fields:
  mode source_width source_height target_width target_height
  source pixels (8 digits each, stored order) expected pixels (same)
"""

import os
import random
import sys
from fractions import Fraction
from math import floor


def resample_row(row, target):
    source = len(row)
    if source == target:
        return list(row)
    step = Fraction(source, target)
    out = []
    p = Fraction(0)
    for _ in range(target):
        if source < target:
            i = floor(p)
            f = p - i
            half = Fraction(1, 2)
            if f == half:
                value = row[i]
            elif f < half:
                value = row[i] if i < 1 else row[i] * (f + half) + row[i - 1] * (half - f)
            else:
                value = row[i + 1] * (f - half) + row[i] * (Fraction(3, 2) - f) if i < source - 1 else row[i]
        else:
            end = p + step
            weights = {}
            first = floor(p)
            if p != first:
                weights[first] = 1 - (p - first)
                start = first + 1
            else:
                start = first
            for i in range(start, floor(end)):
                weights[i] = weights.get(i, 0) + 1
            last = floor(end)
            if end != last and last < source:
                weights[last] = weights.get(last, 0) + (end - last)
            value = sum(row[i] * w for i, w in weights.items()) / sum(weights.values())
        out.append(Fraction(value))
        p += step
    return out


def channels(pixels):
    return [[(p >> shift) & 0xFF for p in pixels] for shift in (0, 8, 16, 24)]


def pack(planes):
    return [sum(int(floor(planes[c][k])) << (8 * c) for c in range(4)) for k in range(len(planes[0]))]


def scale_linear(pixels, w, h, tw, th):
    planes = []
    for plane in channels(pixels):
        rows = [plane[y * w:(y + 1) * w] for y in range(h)]
        rows = [resample_row(r, tw) for r in rows]
        # Fractions dropped between the passes, as each pass stores pixels.
        rows = [[Fraction(floor(v)) for v in r] for r in rows]
        columns = [resample_row([rows[y][x] for y in range(h)], th) for x in range(tw)]
        planes.append([columns[x][y] for y in range(th) for x in range(tw)])
    return pack(planes)


def scale_area(pixels, w, h, tw, th):
    sx = Fraction(w, tw)
    sy = Fraction(h, th)
    planes = []
    for plane in channels(pixels):
        out = []
        for ty in range(th):
            top, bottom = ty * sy, (ty + 1) * sy
            for tx in range(tw):
                left, right = tx * sx, (tx + 1) * sx
                total = Fraction(0)
                for y in range(h):
                    oy = min(bottom, y + 1) - max(top, y)
                    if oy <= 0:
                        continue
                    for x in range(w):
                        ox = min(right, x + 1) - max(left, x)
                        if ox > 0:
                            total += plane[y * w + x] * ox * oy
                out.append(total / sx / sy)
        planes.append(out)
    return pack(planes)


def main():
    out_path = os.path.join(sys.argv[1], "image_scale_cases.txt")
    rng = random.Random(20261206)
    lines = []
    sizes = [(1, 1, 3, 2), (2, 1, 4, 1), (3, 3, 2, 2), (5, 4, 5, 7), (4, 5, 9, 5), (7, 3, 3, 8), (6, 6, 6, 6)]
    for _ in range(40):
        sizes.append(tuple(rng.randint(1, 9) for _ in range(4)))
    for w, h, tw, th in sizes:
        for mode in (0, 1):
            # Smooth and noisy pictures, and runs of equal pixels.
            pixels = [rng.getrandbits(32) for _ in range(w * h)]
            if rng.random() < 0.3:
                pixels = [pixels[0]] * (w * h)
            expected = (scale_linear if mode == 0 else scale_area)(pixels, w, h, tw, th)
            lines.append(" ".join(["%x" % v for v in (mode, w, h, tw, th)] +
                                  ["".join("%08x" % p for p in pixels), "".join("%08x" % p for p in expected)]))
    with open(out_path, "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
