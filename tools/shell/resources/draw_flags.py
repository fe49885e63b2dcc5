#!/usr/bin/env python3
"""Draws the flag pictures of the ten language ids (0 ENG, 1 RUS, 2 DEU,
3 JPN, 4 KOR, 5 FRA, 6 UKR, 7 ESP, 8 CHN, 9 TWN) at 27 x 22 (language grid)
and 18 x 14 (language switch) and writes them as C++ source for
tools/shell/language_flags.h.

Usage: draw_flags.py OUTPUT.cpp

Pixels are 0xAARRGGBB, opaque, rows bottom-up. Every flag is drawn over its
whole picture in a frame of one pixel, so that white flags stand out on the
white rows of the language grid. Uses the theme images' raster module."""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "gui", "theme_images"))
import raster  # noqa: E402

SIZES = ((27, 22), (18, 14))
FRAME = raster.rgb(0x9C9C9C)
WHITE = raster.rgb(0xFFFFFF)


def bands(img, colours, vertical=False, weights=None):
    weights = weights or [1] * len(colours)
    total = float(sum(weights))
    start = 0.0
    extent = img.width if vertical else img.height
    for colour, weight in zip(colours, weights):
        end = start + extent * weight / total
        if vertical:
            img.paint(raster.rect(start, 0, end, img.height), colour)
        else:
            img.paint(raster.rect(0, start, img.width, end), colour)
        start = end


def english(img):
    w, h = img.width, img.height
    blue, red = raster.rgb(0x012169), raster.rgb(0xC8102E)
    img.fill(blue)
    unit = h / 30.0
    corners = [((0, 0), (w, h)), ((0, h), (w, 0))]
    for a, b in corners:
        img.paint(raster.stroke([a, b], 6 * unit), WHITE)
    for a, b in corners:
        img.paint(raster.stroke([a, b], 2 * unit), red)
    img.paint(raster.rect(0, h / 2 - 5 * unit, w, h / 2 + 5 * unit), WHITE)
    img.paint(raster.rect(w / 2 - 5 * unit, 0, w / 2 + 5 * unit, h), WHITE)
    img.paint(raster.rect(0, h / 2 - 3 * unit, w, h / 2 + 3 * unit), red)
    img.paint(raster.rect(w / 2 - 3 * unit, 0, w / 2 + 3 * unit, h), red)


def russian(img):
    bands(img, [WHITE, raster.rgb(0x0039A6), raster.rgb(0xD52B1E)])


def german(img):
    bands(img, [raster.rgb(0x000000), raster.rgb(0xDD0000), raster.rgb(0xFFCE00)])


def japanese(img):
    img.fill(WHITE)
    img.paint(raster.circle(img.width / 2, img.height / 2, img.height * 0.3), raster.rgb(0xBC002D))


def korean(img):
    w, h = img.width, img.height
    img.fill(WHITE)
    cx, cy, r = w / 2, h / 2, h * 0.25
    red, blue, black = raster.rgb(0xCD2E3A), raster.rgb(0x0047A0), raster.rgb(0x000000)
    # The circle's upper half red and lower half blue, split by an S of two
    # half-size circles along the flag's rising diagonal.
    angle = math.atan2(-h, w)
    ux, uy = math.cos(angle), math.sin(angle)

    def red_part(x, y):
        dx, dy = x - cx, y - cy
        if dx * dx + dy * dy > r * r:
            return False
        along = dx * ux + dy * uy
        across = -dx * uy + dy * ux
        if (along - r / 2) ** 2 + across ** 2 <= (r / 2) ** 2:
            return True
        if (along + r / 2) ** 2 + across ** 2 <= (r / 2) ** 2:
            return False
        return across < 0

    img.paint(raster.circle(cx, cy, r), blue)
    img.paint(red_part, red)
    # Trigrams: three short bars at each corner, across the diagonals.
    bar = h * 0.035
    for sx, sy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        dx, dy = sx * w, sy * h
        length = math.hypot(dx, dy)
        dx, dy = dx / length, dy / length
        px, py = -dy, dx
        for k in range(3):
            d = h * (0.36 + 0.055 * k)
            mx, my = cx + dx * d, cy + dy * d
            half = h * 0.09
            img.paint(raster.stroke([(mx - px * half, my - py * half), (mx + px * half, my + py * half)], bar * 1.3),
                      black)


def french(img):
    bands(img, [raster.rgb(0x002395), WHITE, raster.rgb(0xED2939)], vertical=True)


def ukrainian(img):
    bands(img, [raster.rgb(0x0057B7), raster.rgb(0xFFD700)])


def spanish(img):
    red = raster.rgb(0xAA151B)
    bands(img, [red, raster.rgb(0xF1BF00), red], weights=[1, 2, 1])


def chinese(img):
    w, h = img.width, img.height
    img.fill(raster.rgb(0xDE2910))
    yellow = raster.rgb(0xFFDE00)
    cell = h / 20.0
    img.paint(raster.star(5 * cell, 5 * cell, 3.4 * cell, 1.4 * cell), yellow)
    for x, y in ((10, 2), (12, 4), (12, 7), (10, 9)):
        img.paint(raster.star(x * cell, y * cell, 1.1 * cell, 0.5 * cell), yellow)


def taiwanese(img):
    w, h = img.width, img.height
    img.fill(raster.rgb(0xFE0000))
    img.paint(raster.rect(0, 0, w / 2, h / 2), raster.rgb(0x000095))
    cx, cy = w / 4, h / 4
    outer, inner = h * 0.2, h * 0.11
    rays = []
    for i in range(24):
        radius = outer if i % 2 == 0 else inner
        a = math.radians(-90 + 15 * i)
        rays.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    img.paint(raster.polygon(rays), WHITE)
    img.paint(raster.circle(cx, cy, h * 0.09), raster.rgb(0x000095))
    img.paint(raster.circle(cx, cy, h * 0.075), WHITE)


FLAGS = [english, russian, german, japanese, korean, french, ukrainian, spanish, chinese, taiwanese]


def draw(flag, width, height):
    img = raster.Image(width, height, WHITE)
    flag(img)
    img.paint(raster.difference(raster.rect(0, 0, width, height), raster.rect(1, 1, width - 1, height - 1)), FRAME)
    return img


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    lines = ["// Generated by tools/shell/resources/draw_flags.py; edit that.",
             '#include "tools/shell/language_flags.h"', "", "namespace {", ""]
    tables = {}
    for width, height in SIZES:
        names = []
        for index, flag in enumerate(FLAGS):
            name = "flag_%d_%dx%d" % (index, width, height)
            names.append(name)
            lines.append("const uint32_t %s[%d * %d] = {" % (name, width, height))
            for row in reversed(draw(flag, width, height).argb()):
                for start in range(0, len(row), 9):
                    lines.append("    " + " ".join("0x%08X," % p for p in row[start:start + 9]))
            lines.append("};")
        tables[(width, height)] = names
    lines += ["", "}  // namespace", ""]
    for label, (width, height) in zip(("large", "small"), SIZES):
        lines.append("const cFlagPicture language_flags_%s[language_flag_count] = {" % label)
        for name in tables[(width, height)]:
            lines.append("    {%d, %d, %s}," % (width, height, name))
        lines += ["};", ""]
    with open(sys.argv[1], "w", newline="\n") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
