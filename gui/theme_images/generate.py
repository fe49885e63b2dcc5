#!/usr/bin/env python3
"""Draws the 157 images of the built-in theme and writes them as C++ source
(theme_images.cpp beside this script). The build uses the committed output;
run this again only to change the images:

    python3 gui/theme_images/generate.py [--sheet contact-sheet.png]

--sheet also writes a PNG contact sheet of all images, enlarged: each on a
checkerboard (its alpha) and beside it drawn opaque (its stored colours).

The output is deterministic: the same script gives the same bytes. Beside
this script: raster.py (the image, shapes and anti-aliased painting),
palette.py (the colours) and icons.py (the pictures of locations, files,
messages and buttons); the controls' images are drawn here.

Pixels are 0xAARRGGBB with straight (not premultiplied) alpha, rows stored
bottom-up. Many images are also drawn opaque (the alpha ignored), so every
pixel's colour is the shape composited over the background the image is
expected on (its matte), while the alpha keeps the shape's coverage: blended
drawing then looks right on any background and opaque drawing on the matte.
Edges of round shapes are anti-aliased by sampling each pixel 5 x 5 times.

Image uses. Where the controls do not fix an index's use, the use below is
chosen for an image of the size the theme requires, and marked "assumed".

   0- 7  form frame: top-left 5x30, top edge 1x30, top-right 5x30, left and
         right edges 5x1, bottom-left 8x40, bottom edge 1x40, bottom-right 8x40
   8-11  assumed: small triangles 8x9 down, up, left, right (popups, headers)
  12     assumed: check mark 8x9 (selected popup entry)
  13-14  assumed: bullets 6x6, neutral and accent
  15-16  assumed: close button 11x11, normal and hover
  17-18  assumed: splitter grip 3x24, normal and hover
  19-20  assumed: list header face 1x18, normal and pressed
  21     assumed: header column divider 5x10
  22     assumed: hint badge 14x14
  23-27  push-button faces 1x20 (stretched): normal, focused, hover,
         pressed, disabled
  28     combo box drop arrow 8x8
  29     assumed: combo box drop arrow, disabled, 8x8
  30-35  check boxes 14x14: unchecked, checked; focused unchecked, focused
         checked; disabled unchecked, disabled checked
  36-41  assumed: radio buttons 12x14 in the order of the check boxes
  42     computer 18x18          43  drive / file-system root
  44     offline network drive   45  assumed: network drive
  46     assumed: optical drive  47  assumed: removable drive
  48     folder                  49  assumed: open folder
  50     assumed: home folder    51  assumed: desktop
  52     assumed: documents      53  assumed: pictures
  54     assumed: music          55  assumed: videos
  56     assumed: downloads      57  assumed: recycle bin
  58     assumed: favourites     59  assumed: recent
  60     file                    61  assumed: text file
  62     assumed: picture file   63  other object (device, special file)
  64     assumed: program        65  assumed: archive
  66-67  assumed: tree boxes 11x11 under the mouse, collapsed and expanded
  68-69  tree boxes 11x11: collapsed, expanded
  70-71  tree lines 11x17: to a following sibling, of the last sibling
  72     toolbar overflow ("more") button 8x9
  73-76  message icons 27x27: information, question, warning, error
  77-84  button images 20x16: 77 accept (Ok, Yes), 78 refuse (No, Cancel,
         Stop), 79 assumed: retry, 80 open / select, 81 save, 82 home,
         83 places, 84 new folder
  85     size grip 14x14 of resizable forms
  86     scroll bar corner 14x14
  87-115 horizontal scroll bar (14 high), normal / hover / pressed:
         87 start cap 4x14; 88-90 track 1x14; 91-93 thumb body 1x14;
         94-96 thumb start 2x14; 97-99 thumb end 2x14; 100-102 back arrow
         10x14; 103-105 forward arrow 10x14; 106-108 arrow spacer 1x14;
         109 arrow separator 1x14; 110-112 narrow back button 6x14;
         113-115 narrow forward button 6x14
  116-144 vertical scroll bar: the horizontal images transposed (116 is
         the start cap, 14x4: the theme's size list leaves it out)
  145-146 navigation bar segment chevron 7x7, normal and hot
  147-156 assumed: small glyphs 10x10: sort ascending, sort descending,
         plus, minus, close, check, bullet, back, forward, up

The theme's size list adds up to 155 images; the two left are 116 (the
vertical start cap, 14x4) and 85 (14x14, one more than the list's eight).
"""

import os
import sys

from icons import (button_image, draw_accept, draw_archive, draw_button_home, draw_computer, draw_desktop,
                   draw_documents, draw_downloads, draw_drive, draw_favourites, draw_file, draw_folder,
                   draw_home_folder, draw_music, draw_network_drive, draw_new_folder, draw_offline_drive, draw_open,
                   draw_open_folder, draw_optical, draw_other, draw_picture_file, draw_pictures, draw_places,
                   draw_program, draw_recent, draw_recycle_bin, draw_refuse, draw_removable, draw_retry,
                   draw_save, draw_text_file, draw_videos, icon, message_icon)
from palette import (ACCENT, DEEP, DISABLED, FORM, FRAME_LINE, GREEN, MID_GREY, POPUP_FRAME, RED, TEXT, TRACK,
                     TRACK_HOVER, TRACK_PRESSED, WHITE)
from raster import (Image, check_mark, chevron, circle, cross, difference, minus, mix, plus, rect, rgb,
                    rounded_rect, triangle, vertical, write_png)

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT = os.path.join(HERE, "theme_images.cpp")
IMAGE_COUNT = 157


# The form frame: a one-pixel outline in colour 23 around bands that shade
# gently from a lighter top into the form colour.

FRAME_TOP_LIGHT = mix(FORM, WHITE, 0.55)
FRAME_BOTTOM_DARK = mix(FORM, FRAME_LINE, 0.25)


def frame_top(width, left_line, right_line):
    img = Image(width, 30, matte=FORM)
    img.fill(vertical(FRAME_TOP_LIGHT, FORM, 0, 30))
    img.paint(rect(0, 0, width, 1), FRAME_LINE)
    img.paint(rect(0, 1, width, 2), mix(FRAME_TOP_LIGHT, WHITE, 0.6))
    if left_line:
        img.paint(rect(0, 0, 1, 30), FRAME_LINE)
    if right_line:
        img.paint(rect(width - 1, 0, width, 30), FRAME_LINE)
    return img


def frame_side(left_line):
    img = Image(5, 1, matte=FORM)
    img.fill(FORM)
    x = 0 if left_line else 4
    img.paint(rect(x, 0, x + 1, 1), FRAME_LINE)
    return img


def frame_bottom(width, left_line, right_line):
    img = Image(width, 40, matte=FORM)
    img.fill(vertical(FORM, FRAME_BOTTOM_DARK, 0, 40))
    img.paint(rect(0, 39, width, 40), FRAME_LINE)
    if left_line:
        img.paint(rect(0, 0, 1, 40), FRAME_LINE)
    if right_line:
        img.paint(rect(width - 1, 0, width, 40), FRAME_LINE)
    return img


# Push-button faces, stretched over the whole button.

def face(top, bottom):
    img = Image(1, 20, matte=top)
    img.fill(vertical(top, bottom, 0, 20))
    return img


# Check boxes and radio buttons.

def check_box(checked, state):
    img = Image(14, 14, matte=WHITE)
    border = {"normal": DEEP, "focused": ACCENT, "disabled": DISABLED}[state]
    if state == "focused":
        img.paint(rounded_rect(0, 0, 14, 14, 3.5), mix(WHITE, ACCENT, 0.35))
    if checked and state != "disabled":
        fill_top, fill_bottom = mix(ACCENT, WHITE, 0.15), ACCENT
        if state == "normal":
            fill_top, fill_bottom = mix(ACCENT, WHITE, 0.1), mix(ACCENT, TEXT, 0.08)
        img.paint(rounded_rect(1, 1, 13, 13, 2.5), vertical(fill_top, fill_bottom, 1, 13))
        check_mark(img, 3.6, 4.0, 7.0, 6.2, WHITE, 1.7)
        return img
    inner = WHITE if state != "disabled" else rgb(0xF2F2F2)
    img.paint(difference(rounded_rect(1, 1, 13, 13, 2.5), rounded_rect(2, 2, 12, 12, 1.6)), border)
    img.paint(rounded_rect(2, 2, 12, 12, 1.6), vertical(inner, mix(inner, FORM, 0.5), 2, 12))
    if checked:
        check_mark(img, 3.6, 4.0, 7.0, 6.2, DISABLED, 1.6)
    return img


def radio(checked, state):
    img = Image(12, 14, matte=WHITE)
    cx, cy = 6.0, 7.0
    border = {"normal": DEEP, "focused": ACCENT, "disabled": DISABLED}[state]
    if state == "focused":
        img.paint(circle(cx, cy, 6.0), mix(WHITE, ACCENT, 0.35))
    inner = WHITE if state != "disabled" else rgb(0xF2F2F2)
    img.paint(circle(cx, cy, 5.2), border)
    img.paint(circle(cx, cy, 4.2), vertical(inner, mix(inner, FORM, 0.5), 3, 11))
    if checked:
        dot = ACCENT if state != "disabled" else DISABLED
        img.paint(circle(cx, cy, 2.4), dot)
    return img


# Tree boxes and lines.

def tree_box(expanded, hot):
    img = Image(11, 11, matte=WHITE)
    border = ACCENT if hot else DEEP
    img.paint(rounded_rect(0.5, 0.5, 10.5, 10.5, 2), border)
    top = WHITE
    bottom = mix(WHITE, ACCENT, 0.18) if hot else mix(WHITE, FORM, 0.7)
    img.paint(rounded_rect(1.5, 1.5, 9.5, 9.5, 1.3), vertical(top, bottom, 1.5, 9.5))
    glyph = mix(ACCENT, TEXT, 0.3) if hot else TEXT
    if expanded:
        minus(img, 5.5, 5.5, 2.3, glyph, 1.2)
    else:
        plus(img, 5.5, 5.5, 2.3, glyph, 1.2)
    return img


def tree_line(last):
    img = Image(11, 17, matte=WHITE)
    img.fill(WHITE)
    colour = mix(FRAME_LINE, WHITE, 0.2)
    bottom = 9 if last else 17
    for y in range(0, bottom, 2):
        img.paint(rect(5, y, 6, y + 1), colour)
    for x in range(7, 11, 2):
        img.paint(rect(x, 8, x + 1, 9), colour)
    return img


# Scroll bars: drawn horizontally (14 high); the vertical bar's images are
# the same drawings transposed.

SCROLL_STATES = ("normal", "hover", "pressed")
TRACK_BY_STATE = {"normal": TRACK, "hover": TRACK_HOVER, "pressed": TRACK_PRESSED}
THUMB_BY_STATE = {"normal": rgb(0xBAC4D6), "hover": rgb(0x9AA8C3), "pressed": mix(ACCENT, rgb(0x7F8FB0), 0.35)}
ARROW_BY_STATE = {"normal": rgb(0x7C889E), "hover": TEXT, "pressed": ACCENT}
TRACK_EDGE = rgb(0xDDE3EE)
THUMB_TOP, THUMB_BOTTOM = 3.0, 11.0


def track(width, state):
    img = Image(width, 14, matte=TRACK_BY_STATE[state])
    img.fill(TRACK_BY_STATE[state])
    img.paint(rect(0, 0, width, 1), TRACK_EDGE)
    return img


def start_cap():
    img = track(4, "normal")
    img.paint(rect(0, 0, 1, 14), TRACK_EDGE)
    return img


def thumb_body(state):
    img = track(1, state)
    img.paint(rect(0, THUMB_TOP, 1, THUMB_BOTTOM), THUMB_BY_STATE[state])
    return img


def thumb_end(state, far):
    img = track(2, state)
    r = 2.0
    x0, x1 = (-r, 2) if far else (0, 2 + r)
    img.paint(rounded_rect(x0, THUMB_TOP, x1, THUMB_BOTTOM, r), THUMB_BY_STATE[state])
    return img


def arrow_button(width, state, direction, size):
    img = track(width, state)
    if state != "normal":
        img.paint(rounded_rect(0.5, 1.5, width - 0.5, 13.5, 2), mix(TRACK_BY_STATE[state], ARROW_BY_STATE["normal"], 0.18))
    cx = width / 2.0
    if width > 6:
        chevron(img, cx, 7.5, size, direction, ARROW_BY_STATE[state], 1.5)
    else:
        triangle(img, cx, 7.5, size, direction, ARROW_BY_STATE[state])
    return img


def separator():
    img = track(1, "normal")
    img.paint(rect(0, 3, 1, 11), rgb(0xCDD5E3))
    return img


def horizontal_scroll_images():
    """Images 87 to 115 in order."""
    images = [start_cap()]
    images += [track(1, s) for s in SCROLL_STATES]
    images += [thumb_body(s) for s in SCROLL_STATES]
    images += [thumb_end(s, far=False) for s in SCROLL_STATES]
    images += [thumb_end(s, far=True) for s in SCROLL_STATES]
    images += [arrow_button(10, s, "left", 2.4) for s in SCROLL_STATES]
    images += [arrow_button(10, s, "right", 2.4) for s in SCROLL_STATES]
    images += [track(1, s) for s in SCROLL_STATES]
    images += [separator()]
    images += [arrow_button(6, s, "left", 2.2) for s in SCROLL_STATES]
    images += [arrow_button(6, s, "right", 2.2) for s in SCROLL_STATES]
    return images


# Small glyphs.

def glyph(width, height, draw, matte=WHITE):
    img = Image(width, height, matte=matte)
    draw(img)
    return img


def all_images():
    images = [None] * IMAGE_COUNT

    images[0] = frame_top(5, left_line=True, right_line=False)
    images[1] = frame_top(1, left_line=False, right_line=False)
    images[2] = frame_top(5, left_line=False, right_line=True)
    images[3] = frame_side(left_line=True)
    images[4] = frame_side(left_line=False)
    images[5] = frame_bottom(8, left_line=True, right_line=False)
    images[6] = frame_bottom(1, left_line=False, right_line=False)
    images[7] = frame_bottom(8, left_line=False, right_line=True)

    for i, direction in enumerate(("down", "up", "left", "right")):
        images[8 + i] = glyph(8, 9, lambda img, d=direction: triangle(img, 4, 4.5, 3.2, d, MID_GREY))
    images[12] = glyph(8, 9, lambda img: check_mark(img, 1.0, 1.8, 6.0, 5.6, ACCENT, 1.6))
    images[13] = glyph(6, 6, lambda img: img.paint(circle(3, 3, 2.3), MID_GREY))
    images[14] = glyph(6, 6, lambda img: img.paint(circle(3, 3, 2.3), ACCENT))
    images[15] = glyph(11, 11, lambda img: cross(img, 5.5, 5.5, 2.8, MID_GREY, 1.4), matte=FORM)

    def close_hot(img):
        img.paint(circle(5.5, 5.5, 5.4), RED)
        cross(img, 5.5, 5.5, 2.4, WHITE, 1.4)
    images[16] = glyph(11, 11, close_hot, matte=FORM)

    def grip(colour):
        def draw(img):
            for cy in (4.5, 8.5, 12.5, 16.5, 20.5):
                img.paint(circle(1.5, cy, 1.1), colour)
        return draw
    images[17] = glyph(3, 24, grip(mix(FRAME_LINE, TEXT, 0.15)), matte=FORM)
    images[18] = glyph(3, 24, grip(ACCENT), matte=FORM)

    def header_face(top, bottom):
        def draw(img):
            img.fill(vertical(top, bottom, 0, 17))
            img.paint(rect(0, 17, 1, 18), POPUP_FRAME)
        return draw
    images[19] = glyph(1, 18, header_face(WHITE, mix(WHITE, FORM, 0.55)))
    images[20] = glyph(1, 18, header_face(mix(FORM, ACCENT, 0.12), mix(FORM, ACCENT, 0.25)))

    def divider(img):
        img.paint(rect(2, 0, 3, 10), lambda x, y: mix(WHITE, FRAME_LINE, 1 - abs(y - 5) / 6))
    images[21] = glyph(5, 10, divider)

    def hint(img):
        img.paint(circle(7, 7, 6.6), ACCENT)
        img.paint(circle(7, 4.0, 1.1), WHITE)
        img.paint(rounded_rect(6.1, 6.0, 7.9, 11.0, 0.6), WHITE)
    images[22] = glyph(14, 14, hint)

    images[23] = face(WHITE, mix(WHITE, FORM, 0.6))
    images[24] = face(WHITE, mix(WHITE, ACCENT, 0.16))
    images[25] = face(mix(WHITE, ACCENT, 0.06), mix(WHITE, ACCENT, 0.24))
    images[26] = face(mix(WHITE, ACCENT, 0.30), mix(WHITE, ACCENT, 0.40))
    images[27] = face(rgb(0xF5F5F5), rgb(0xEBEBEB))

    images[28] = glyph(8, 8, lambda img: chevron(img, 4, 4, 2.6, "down", TEXT, 1.5))
    images[29] = glyph(8, 8, lambda img: chevron(img, 4, 4, 2.6, "down", DISABLED, 1.5))

    for i, (state, checked) in enumerate([(s, c) for s in ("normal", "focused", "disabled") for c in (False, True)]):
        images[30 + i] = check_box(checked, state)
        images[36 + i] = radio(checked, state)

    icons = {
        42: draw_computer, 43: draw_drive, 44: draw_offline_drive, 45: draw_network_drive,
        46: draw_optical, 47: draw_removable, 48: draw_folder, 49: draw_open_folder,
        50: draw_home_folder,
        51: draw_desktop, 52: draw_documents, 53: draw_pictures, 54: draw_music,
        55: draw_videos, 56: draw_downloads, 57: draw_recycle_bin, 58: draw_favourites,
        59: draw_recent, 60: draw_file, 61: draw_text_file, 62: draw_picture_file,
        63: draw_other, 64: draw_program, 65: draw_archive,
    }
    for index, draw in icons.items():
        images[index] = icon(draw)

    images[66] = tree_box(expanded=False, hot=True)
    images[67] = tree_box(expanded=True, hot=True)
    images[68] = tree_box(expanded=False, hot=False)
    images[69] = tree_box(expanded=True, hot=False)
    images[70] = tree_line(last=False)
    images[71] = tree_line(last=True)

    def more(img):
        chevron(img, 2.6, 4.5, 2.4, "right", TEXT, 1.3)
        chevron(img, 5.8, 4.5, 2.4, "right", TEXT, 1.3)
    images[72] = glyph(8, 9, more, matte=FORM)

    for i, kind in enumerate(("information", "question", "warning", "error")):
        images[73 + i] = message_icon(kind)

    buttons = [draw_accept, draw_refuse, draw_retry, draw_open, draw_save, draw_button_home, draw_places, draw_new_folder]
    for i, draw in enumerate(buttons):
        images[77 + i] = button_image(draw)

    def size_grip(img):
        for cx, cy in ((11, 11), (11, 7.5), (7.5, 11), (11, 4), (7.5, 7.5), (4, 11)):
            img.paint(circle(cx, cy, 1.0), mix(FRAME_LINE, TEXT, 0.15))
    # Drawn blended over the bottom-right corner of resizable forms only;
    # its matte is the frame's bottom band there.
    images[85] = glyph(14, 14, size_grip, matte=FRAME_BOTTOM_DARK)

    corner = Image(14, 14, matte=TRACK)
    corner.fill(TRACK)
    images[86] = corner

    horizontal = horizontal_scroll_images()
    for i, img in enumerate(horizontal):
        images[87 + i] = img
        images[116 + i] = img.transposed()

    images[145] = glyph(7, 7, lambda img: chevron(img, 3.5, 3.5, 2.2, "right", MID_GREY, 1.3), matte=FORM)
    images[146] = glyph(7, 7, lambda img: chevron(img, 3.5, 3.5, 2.2, "right", ACCENT, 1.5), matte=FORM)

    small = [
        lambda img: triangle(img, 5, 5.5, 3.6, "up", MID_GREY),
        lambda img: triangle(img, 5, 4.5, 3.6, "down", MID_GREY),
        lambda img: plus(img, 5, 5, 3.4, TEXT, 1.5),
        lambda img: minus(img, 5, 5, 3.4, TEXT, 1.5),
        lambda img: cross(img, 5, 5, 3.0, TEXT, 1.5),
        lambda img: check_mark(img, 1.2, 2.0, 7.6, 6.4, GREEN, 1.7),
        lambda img: img.paint(circle(5, 5, 2.6), TEXT),
        lambda img: chevron(img, 5, 5, 3.4, "left", TEXT, 1.6),
        lambda img: chevron(img, 5, 5, 3.4, "right", TEXT, 1.6),
        lambda img: (chevron(img, 5, 3.6, 3.4, "up", TEXT, 1.6), img.paint(rect(4.25, 3.8, 5.75, 9.0), TEXT)),
    ]
    for i, draw in enumerate(small):
        images[147 + i] = glyph(10, 10, draw)

    missing = [i for i, img in enumerate(images) if img is None]
    if missing:
        raise SystemExit("images without a drawing: %s" % missing)
    return images


def expected_sizes():
    """The sizes the theme requires, by count, and the two it leaves out."""
    counts = {
        (18, 18): 24, (1, 14): 10, (14, 1): 10, (10, 10): 10, (20, 16): 8, (14, 14): 8,
        (8, 9): 6, (6, 14): 6, (2, 14): 6, (14, 6): 6, (14, 2): 6, (14, 10): 6, (12, 14): 6,
        (11, 11): 6, (10, 14): 6, (1, 20): 5, (27, 27): 4, (8, 8): 2, (8, 40): 2, (7, 7): 2,
        (6, 6): 2, (5, 30): 2, (5, 1): 2, (3, 24): 2, (1, 18): 2, (11, 17): 2, (5, 10): 1,
        (4, 14): 1, (1, 40): 1, (1, 30): 1,
    }
    counts[(14, 4)] = 1
    counts[(14, 14)] += 1
    return counts


def check_sizes(images):
    counts = {}
    for img in images:
        counts[(img.width, img.height)] = counts.get((img.width, img.height), 0) + 1
    if counts != expected_sizes():
        raise SystemExit("image sizes differ from the theme's: %s" % sorted(counts.items()))


def write_source(images):
    lines = [
        "// Generated by gui/theme_images/generate.py; do not edit. Run",
        "// `python3 gui/theme_images/generate.py` to regenerate.",
        "",
        '#include "gui/theme_images/theme_images.h"',
        "",
        "namespace {",
        "",
        "// 0xAARRGGBB, straight alpha, rows bottom-up.",
    ]
    for index, img in enumerate(images):
        lines.append("const uint32_t image_%d[%d * %d] = {" % (index, img.width, img.height))
        for row in reversed(img.argb()):
            for start in range(0, len(row), 8):
                lines.append("    " + " ".join("0x%08X," % p for p in row[start:start + 8]))
        lines.append("};")
    lines += ["", "}  // namespace", "", "const cThemeImageDescriptor builtin_theme_images[theme_image_count] = {"]
    for index, img in enumerate(images):
        lines.append("    {%d, %d, 0, image_%d}," % (img.width, img.height, index))
    lines.append("};")
    with open(OUTPUT, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def write_sheet(path, images, scale=4, columns=12):
    """Each cell: the image on a checkerboard (its alpha), and beside it the
    image as stored drawn opaque (its matte)."""
    cell_w = (max(img.width for img in images) * 2 + 6) * scale
    cell_h = (max(img.height for img in images) + 4) * scale
    rows_count = (len(images) + columns - 1) // columns
    width, height = columns * cell_w, rows_count * cell_h
    canvas = [[(255, 255, 255)] * width for _ in range(height)]
    for index, img in enumerate(images):
        ox = (index % columns) * cell_w
        oy = (index // columns) * cell_h
        pixels = img.argb()
        for y in range(img.height):
            for x in range(img.width):
                p = pixels[y][x]
                a = (p >> 24) / 255.0
                c = ((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)
                for sy in range(scale):
                    for sx in range(scale):
                        px, py = ox + x * scale + sx, oy + y * scale + sy
                        checker = 235 if ((px // 4) + (py // 4)) % 2 else 200
                        canvas[py][px] = tuple(int(checker * (1 - a) + c[i] * a) for i in range(3))
                        canvas[py][px + (img.width + 2) * scale] = c
        # A dark dot per ten indexes marks the cell's first row for counting.
        for k in range(index % 10 + 1):
            canvas[oy + cell_h - 3][ox + 3 * k] = (200, 0, 0)
    write_png(path, width, height, canvas)


def main():
    images = all_images()
    check_sizes(images)
    write_source(images)
    if "--sheet" in sys.argv:
        write_sheet(sys.argv[sys.argv.index("--sheet") + 1], images)


if __name__ == "__main__":
    main()
