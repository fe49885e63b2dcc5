#!/usr/bin/env python3
"""Fitted decoding against a model of its rules, written here on its own.

Each case is a random RGBA picture (a PNG that Pillow writes, or an Adam7
one that ImageMagick writes) and a box it is fitted into. Two expectations:

- "sink": the file decoded through the output sink into a target of the
  fitted size. Shrinking between 1/2 and 1, a source pixel's span
  [x*z, x*z + z) is shared between the cell it starts in and the next one
  (when that cell exists, the last one included), by the part that falls
  into each; below 1/2 each pixel goes whole to the cell nearest it. Each
  cell is the weighted mean, rounded. Cells that a pixel reaches only by a
  hair (its decision changes when its position moves by 1e-4) are written
  as "?" and not compared.
- "render": the decoded picture box-averaged into the same size, each axis
  by its own step (source size / fitted size), both spans ending at the
  picture's edges.

Pictures fit without scaling when they are small enough. Output in the
folder given: fit/<name>.png and fit/cases.txt, one case a line:
  name width height max_width max_height fitted_width fitted_height
  sink_pixels render_pixels
pixels as 8 hex digits each (0xAARRGGBB, bottom row first) or "????????".
"""

import itertools
import os
import random
import struct
import subprocess
import sys
from fractions import Fraction

from PIL import Image

out = os.path.join(sys.argv[1], "fit")
os.makedirs(out, exist_ok=True)
rng = random.Random(5104)
EPS = 1e-4


def channels(pixel):
    return [(pixel >> (8 * c)) & 0xFF for c in range(4)]


def pack(values):
    return sum(v << (8 * c) for c, v in enumerate(values))


def fitted_size(width, height, max_width, max_height):
    zoom = min(max_width / width, max_height / height, 1.0)
    return int(width * zoom + 0.5), int(height * zoom + 0.5)


def at_least_one(v):
    return v if v >= 1 else 1


def centred(pixels, w, h, tw, th):
    """The picture unscaled in the middle of a target that holds it."""
    target = [0] * (tw * th)
    left, top = (tw - w) // 2, (th - h) // 2
    for y in range(h):
        for x in range(w):
            target[(top + y) * tw + left + x] = pixels[y * w + x]
    return target


def shrunk(w, h, tw, th):
    """The size and corner of the picture shrunk into the target."""
    zoom = min(tw / w, th / h)
    sw, sh = at_least_one(int(w * zoom + 0.5)), at_least_one(int(h * zoom + 0.5))
    return sw, sh, (tw - sw) // 2 if tw > sw else 0, (th - sh) // 2 if th > sh else 0


def sink(pixels, w, h, tw, th):
    if tw >= w and th >= h:
        return centred(pixels, w, h, tw, th), set()
    target = [0] * (tw * th)
    wild = set()
    sw, sh, left, top = shrunk(w, h, tw, th)
    z = sw / w if w > h else sh / h
    cw = min(at_least_one(int(w * z + 0.5)), sw)
    ch = min(at_least_one(int(h * z + 0.5)), sh)
    sums = [[0.0] * 4 for _ in range(cw * ch)]
    weights = [0.0] * (cw * ch)

    # Exact positions decide. A position within a hair of a cell border
    # (exactly on it, unless the zoom is exact in 32 bits) may fall on
    # either side in floating point: where the sides give other cells,
    # those cells are not compared.
    exact_zoom = Fraction(sw, w) if w > h else Fraction(sh, h)
    zoom_is_exact = Fraction(struct.unpack("f", struct.pack("f", z))[0]) == exact_zoom

    def sides(value, multiplier):
        """The integer parts that floating point may give for value."""
        n = round(value)
        if abs(value - n) >= EPS or (value == n and (zoom_is_exact or multiplier == 0)):
            return [int(value)]
        return [n - 1, n]

    def cells_of(ix, iy, ex, ey, px, py):
        if z < 0.5:
            return [(ix, iy, 1.0)] if 0 <= ix < cw and 0 <= iy < ch else []
        split_x = ex != ix and ex < cw
        split_y = ey != iy and ey < ch
        wx = min(max(float(ex - px), 0.0), 1.0) if split_x else 1.0
        wy = min(max(float(ey - py), 0.0), 1.0) if split_y else 1.0
        cells = [(ix, iy, wx * wy)]
        if split_x:
            cells.append((ix + 1, iy, (1 - wx) * wy))
        if split_y:
            cells.append((ix, iy + 1, wx * (1 - wy)))
        if split_x and split_y:
            cells.append((ix + 1, iy + 1, (1 - wx) * (1 - wy)))
        return [c for c in cells if 0 <= c[0] < cw and 0 <= c[1] < ch]

    for y in range(h):
        for x in range(w):
            if z < 0.5:
                px, py = x * exact_zoom + Fraction(1, 2), y * exact_zoom + Fraction(1, 2)
                choices = [sides(px, x), sides(py, y), [0], [0]]
            else:
                px, py = x * exact_zoom, y * exact_zoom
                if not (px < cw and py < ch):
                    continue
                choices = [sides(px, x), sides(py, y), sides(px + exact_zoom, x + 1), sides(py + exact_zoom, y + 1)]
            outcomes = [cells_of(ix, iy, ex, ey, px, py) for ix, iy, ex, ey in itertools.product(*choices)]
            cells = outcomes[0] if len(outcomes) == 1 else cells_of(int(px), int(py), int(px + exact_zoom),
                                                                     int(py + exact_zoom), px, py)
            if any({c[:2] for c in o} != {c[:2] for c in cells} for o in outcomes):
                for o in outcomes:
                    wild |= {c[:2] for c in o}
            for cx, cy, share in cells:
                cell = cy * cw + cx
                for c, v in enumerate(channels(pixels[y * w + x])):
                    sums[cell][c] += v * share
                weights[cell] += share
    target_wild = set()
    for cy in range(ch):
        for cx in range(cw):
            cell = cy * cw + cx
            value = 0
            if weights[cell] != 0:
                value = pack([min(int(s / weights[cell] + 0.5), 255) for s in sums[cell]])
            target[(top + cy) * tw + left + cx] = value
            if (cx, cy) in wild:
                target_wild.add((top + cy) * tw + left + cx)
    return target, target_wild


def render(pixels, w, h, tw, th):
    if tw >= w and th >= h:
        return centred(pixels, w, h, tw, th)
    target = [0] * (tw * th)
    sw, sh, left, top = shrunk(w, h, tw, th)
    step_x, step_y = w / sw, h / sh

    def overlap(i, start, end):
        return min(i + 1, end) - max(i, start)

    x = 0.0
    for c in range(sw):
        column = []
        for r in range(h):
            if step_x == 1.0:
                column.append(channels(pixels[r * w + c]))
                continue
            end = min(x + step_x, w)
            total, sums = 0.0, [0.0] * 4
            for i in range(int(x), min(int(end), w - 1) + 1):
                weight = overlap(i, x, end)
                if weight <= (0.01 if i == int(end) else 0.0):
                    continue
                total += weight
                for k, v in enumerate(channels(pixels[r * w + i])):
                    sums[k] += v * weight
            column.append([s / total for s in sums])
        y = 0.0
        for r in range(sh):
            if step_y == 1.0:
                value = pack([max(0, min(255, int(v + 0.5))) for v in column[r]])
            else:
                end = min(y + step_y, h)
                total, sums = 0.0, [0.0] * 4
                for i in range(int(y), min(int(end), h - 1) + 1):
                    weight = overlap(i, y, end)
                    if weight <= 0:
                        continue
                    total += weight
                    for k in range(4):
                        sums[k] += column[i][k] * weight
                value = pack([max(0, min(255, int(s * (1.0 / total)))) for s in sums])
            target[(top + r) * tw + left + c] = value
            y += step_y
        x += step_x
    return target


def hex_pixels(pixels, wild=()):
    return "".join("????????" if i in wild else "%08x" % p for i, p in enumerate(pixels))


cases = [
    ("edge_2x17", 2, 17, 16, 16, False), ("edge_17x2", 17, 2, 16, 16, False), ("wide", 100, 50, 50, 50, False),
    ("mild", 37, 23, 20, 20, False), ("small_zoom", 64, 48, 16, 16, False), ("fits", 10, 10, 100, 100, False),
    ("thin", 3, 41, 30, 30, False), ("adam7", 45, 31, 21, 21, True), ("square", 30, 30, 29, 29, False),
]
lines = []
for name, w, h, max_w, max_h, interlaced in cases:
    picture = Image.new("RGBA", (w, h))
    picture.putdata([tuple(rng.randrange(256) for _ in range(4)) for _ in range(w * h)])
    path = os.path.join(out, name + ".png")
    picture.save(path)
    if interlaced:
        subprocess.run(["convert", path, "-define", "png:color-type=6", "-interlace", "PNG", path], check=True)
    # Bottom row first, as the picture keeps its rows.
    pixels = []
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = picture.getpixel((x, y))
            pixels.append(a << 24 | r << 16 | g << 8 | b)
    fw, fh = fitted_size(w, h, max_w, max_h)
    sink_pixels, wild = sink(pixels, w, h, fw, fh)
    lines.append("%s %d %d %d %d %d %d %s %s" % (name, w, h, max_w, max_h, fw, fh, hex_pixels(sink_pixels, wild),
                                                hex_pixels(render(pixels, w, h, fw, fh))))
with open(os.path.join(out, "cases.txt"), "w") as f:
    f.write("\n".join(lines) + "\n")
