#!/usr/bin/env python3
"""Draws the install wizard's pictures and writes them as C++ source for
tools/install/wizard_art.h:

  - the 636 x 443 background, stored as a PNG file (the wizard decodes it
    with the program's own PNG decoder): a light step pane on the left with
    the program's emblem (a box receiving an arrow, as its icon), the
    window's light grey with a short accent line under the title, and a
    white card with a soft shadow where the pages sit (200, 72, 410 x 290);
  - the nine 16 x 14 step markers: 1 to 7 a grey ring with the number of a
    step still to come, 20 a done step (a soft blue disc with a check), 21
    the current step (the accent disc with a white dot);
  - the 29 x 22 folder picture of the folder page.

Markers and the folder picture are 0xAARRGGBB with straight alpha, rows
bottom-up; the wizard blends them over what lies below.

Usage: draw_wizard.py OUTPUT.cpp [PREVIEW.png]
With PREVIEW, also writes the background with the markers of a five-step
wizard on its third step, for a look."""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "gui", "theme_images"))
import raster  # noqa: E402

WIDTH, HEIGHT = 636, 443
PANE_RIGHT = 186                      # the step pane's right edge
CARD = (196, 68, 614, 366)            # the page card: 4 pixels around the pages
ACCENT = raster.rgb(0x2B6CA8)
DONE = raster.rgb(0x7FA3C4)
UPCOMING = raster.rgb(0xA8A2AB)       # near the step list's own grey captions
WINDOW = raster.rgb(0xEEEEF0)
PANE_TOP, PANE_BOTTOM = raster.rgb(0xF9F9FB), raster.rgb(0xF1F1F4)
PANE_EDGE = raster.rgb(0xDDDBE1)
CARD_EDGE = raster.rgb(0xD6D4DA)
WHITE = raster.rgb(0xFFFFFF)
MARKER_IDS = (1, 2, 3, 4, 5, 6, 7, 20, 21)


def over(base, colour, alpha):
    return raster.mix(base, colour, max(0.0, min(1.0, alpha)))


def distance_to_rect(x, y, rect):
    x0, y0, x1, y1 = rect
    dx = max(x0 - x, 0.0, x - x1)
    dy = max(y0 - y, 0.0, y - y1)
    return math.hypot(dx, dy)


def background_pixel(x, y):
    """The background's colour at the pixel's centre, before the emblem."""
    cx, cy = x + 0.5, y + 0.5
    if x < PANE_RIGHT:
        colour = raster.mix(PANE_TOP, PANE_BOTTOM, y / (HEIGHT - 1.0))
        # Faint rings from the pane's lower-left corner, fading upwards.
        r = math.hypot(cx + 40, cy - HEIGHT - 30)
        ring = 0.5 + 0.5 * math.cos(r / 9.0)
        fade = max(0.0, 1.0 - (HEIGHT - cy) / 190.0)
        return over(colour, ACCENT, 0.045 * fade * ring ** 6)
    if x == PANE_RIGHT:
        return PANE_EDGE
    colour = WINDOW
    x0, y0, x1, y1 = CARD
    if x0 <= x < x1 and y0 <= y < y1:
        return CARD_EDGE if x in (x0, x1 - 1) or y in (y0, y1 - 1) else WHITE
    # A soft shadow, a little lower than the card.
    d = distance_to_rect(cx, cy - 1.5, (x0, y0, x1, y1))
    if d < 7:
        colour = over(colour, raster.rgb(0x6E6A78), 0.13 * (1 - d / 7.0) ** 2)
    # A short accent line under the title.
    if 196 <= x < 228 and 55 <= y < 57:
        colour = ACCENT
    return colour


def emblem(size):
    """The program's emblem, as its icon draws it, on transparency."""
    s = size / 48.0
    img = raster.Image(size, size, WHITE)
    box = raster.rgb(0xC98C2F)
    box_dark = raster.rgb(0x8E5F1C)
    img.paint(raster.rounded_rect(6 * s, 22 * s, 42 * s, 44 * s, 3 * s), box_dark)
    img.paint(raster.rounded_rect(8 * s, 24 * s, 40 * s, 42 * s, 2 * s), raster.vertical(
        raster.rgb(0xD9A14A), box, 24 * s, 42 * s))
    img.paint(raster.rect(8 * s, 24 * s, 40 * s, 28 * s), box_dark)
    arrow = raster.rgb(0x2F6FB5)
    img.paint(raster.rect(19 * s, 3 * s, 29 * s, 22 * s), arrow)
    img.paint(raster.polygon([(11 * s, 19 * s), (37 * s, 19 * s), (24 * s, 33 * s)]), arrow)
    return img


def composite(rows, img, left, top):
    """Blends img (straight alpha) onto rows of (r, g, b) at (left, top)."""
    for y in range(img.height):
        for x in range(img.width):
            a = img.alpha[y][x]
            if a > 0:
                rows[top + y][left + x] = over(rows[top + y][left + x], img.colour[y][x], a)


def background():
    rows = [[background_pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    composite(rows, emblem(36), 22, 26)
    return [[tuple(min(255, max(0, int(round(v)))) for v in pixel) for pixel in row] for row in rows]


# Digits as strokes in a box 1 wide and 1.6 high, y down.
DIGITS = {
    1: [[(0.25, 0.35), (0.6, 0.0), (0.6, 1.6)]],
    2: [[(0.0, 0.35), (0.2, 0.05), (0.55, 0.0), (0.9, 0.2), (0.9, 0.55), (0.0, 1.6), (1.0, 1.6)]],
    3: [[(0.05, 0.1), (0.5, 0.0), (0.9, 0.25), (0.85, 0.6), (0.4, 0.78)],
        [(0.4, 0.78), (0.95, 1.0), (0.95, 1.35), (0.5, 1.6), (0.0, 1.5)]],
    4: [[(0.75, 1.6), (0.75, 0.0), (0.0, 1.15), (1.05, 1.15)]],
    5: [[(0.95, 0.0), (0.15, 0.0), (0.05, 0.75), (0.55, 0.62), (0.95, 0.9), (0.95, 1.3), (0.5, 1.6),
         (0.0, 1.48)]],
    6: [[(0.85, 0.05), (0.35, 0.2), (0.05, 0.8), (0.1, 1.35), (0.5, 1.6), (0.9, 1.35), (0.9, 1.0),
         (0.5, 0.75), (0.08, 0.95)]],
    7: [[(0.0, 0.0), (1.0, 0.0), (0.35, 1.6)]],
}


def marker(marker_id):
    img = raster.Image(16, 14, WHITE)
    cx, cy, r = 8.0, 7.0, 6.5
    if marker_id == 20:
        img.paint(raster.circle(cx, cy, r), DONE)
        raster.check_mark(img, cx - 3.2, cy - 2.6, 6.4, 5.2, WHITE, 1.5)
    elif marker_id == 21:
        img.paint(raster.circle(cx, cy, r), ACCENT)
        img.paint(raster.circle(cx, cy, 2.4), WHITE)
    else:
        img.paint(raster.difference(raster.circle(cx, cy, r), raster.circle(cx, cy, r - 1.1)), UPCOMING)
        scale, width = 4.2, 1.05
        for line in DIGITS[marker_id]:
            points = [(cx - scale / 2 + px * scale, cy - 0.8 * scale + py * scale) for px, py in line]
            img.paint(raster.stroke(points, width), UPCOMING)
    return img


def folder():
    img = raster.Image(29, 22, WHITE)
    back = raster.rgb(0x6F98BF)
    img.paint(raster.rounded_rect(1.5, 2.5, 12.5, 8, 1.5), back)
    img.paint(raster.rounded_rect(1.5, 5, 26.5, 20, 1.5), back)
    img.paint(raster.rect(3, 7, 25, 9), raster.rgb(0xF4F7FB))
    img.paint(raster.polygon([(2.5, 20.5), (4.5, 9.5), (28, 9.5), (26, 20.5)]),
              raster.vertical(raster.rgb(0xA9C9E6), raster.rgb(0x86AED4), 9.5, 20.5))
    img.paint(raster.stroke([(4.6, 10.3), (27.2, 10.3)], 0.8), raster.rgb(0xC8DDF0))
    return img


def argb_rows_bottom_up(img):
    """0xAARRGGBB pixels with straight alpha, bottom row first."""
    rows = []
    for y in reversed(range(img.height)):
        row = []
        for x in range(img.width):
            a = img.alpha[y][x]
            channels = [min(255, max(0, int(round(v)))) for v in img.colour[y][x]] if a > 0 else [0, 0, 0]
            alpha = min(255, max(0, int(round(a * 255))))
            row.append((alpha << 24) | (channels[0] << 16) | (channels[1] << 8) | channels[2])
        rows.append(row)
    return rows


def table(lines, name, values, per_line, form):
    lines.append("%s = {" % name)
    for start in range(0, len(values), per_line):
        lines.append("    " + " ".join(form % v + "," for v in values[start:start + per_line]))
    lines.append("};")


def preview(path, rows, markers):
    rows = [list(row) for row in rows]
    steps, current = 5, 2
    for i in range(steps):
        composite(rows, markers[20 if i < current else 21 if i == current else i + 1], 25, 85 + 22 * i)
    raster.write_png(path, WIDTH, HEIGHT, [[tuple(int(round(v)) for v in pixel) for pixel in row] for row in rows])


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    rows = background()
    markers = {marker_id: marker(marker_id) for marker_id in MARKER_IDS}
    lines = ["// Generated by tools/install/resources/draw_wizard.py; edit that.",
             '#include "tools/install/wizard_art.h"', ""]
    png = raster.png_bytes(WIDTH, HEIGHT, rows)
    table(lines, "const uint8_t wizard_background_png[%d]" % len(png), list(png), 16, "0x%02X")
    lines += ["", "const uint32_t wizard_background_png_size = %d;" % len(png), ""]
    lines.append("const int32_t wizard_marker_ids[wizard_marker_count] = {%s};" %
                 ", ".join(str(i) for i in MARKER_IDS))
    lines.append("const uint32_t wizard_marker_pixels[wizard_marker_count][wizard_marker_width * "
                 "wizard_marker_height] = {")
    for marker_id in MARKER_IDS:
        values = [p for row in argb_rows_bottom_up(markers[marker_id]) for p in row]
        lines.append("    {")
        for start in range(0, len(values), 8):
            lines.append("        " + " ".join("0x%08X," % v for v in values[start:start + 8]))
        lines.append("    },")
    lines += ["};", ""]
    values = [p for row in argb_rows_bottom_up(folder()) for p in row]
    table(lines, "const uint32_t wizard_folder_pixels[wizard_folder_width * wizard_folder_height]", values, 8,
          "0x%08X")
    with open(sys.argv[1], "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    if len(sys.argv) == 3:
        preview(sys.argv[2], rows, markers)


if __name__ == "__main__":
    main()
