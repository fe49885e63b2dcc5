"""Pictures: location and file icons (18 x 18), message icons (27 x 27) and
button images (20 x 16), flat shapes with anti-aliased edges."""

import math

from palette import ACCENT, AMBER, FOLDER, FOLDER_DARK, FORM, GREEN, LIGHT_GREY, RED, STEEL, TEXT, WHITE
from raster import (Image, arc, check_mark, circle, cross, mix, plus, polygon, rect, rgb,
                    rounded_rect, star, stroke, vertical)


# Icons 18 x 18 of locations and files: flat shapes, each with a darker
# outline of its own colour.

def page(img, colour=WHITE, edge=rgb(0x8C98B0)):
    body = polygon([(3.5, 1.5), (11, 1.5), (15.5, 6), (15.5, 17), (3.5, 17)])
    img.paint(body, edge)
    img.paint(polygon([(4.5, 2.5), (10.5, 2.5), (14.5, 6.5), (14.5, 16), (4.5, 16)]), colour)
    img.paint(polygon([(10.5, 1.5), (15.5, 6.5), (10.5, 6.5)]), edge)
    img.paint(polygon([(11.4, 3.2), (13.9, 5.7), (11.4, 5.7)]), mix(colour, FORM, 0.6))


def folder(img, open_folder=False):
    img.paint(rounded_rect(1, 3, 8, 7, 1.2), FOLDER_DARK)
    img.paint(rounded_rect(1, 5, 17, 16, 1.2), FOLDER_DARK)
    if open_folder:
        img.paint(rect(3, 6, 15, 13), WHITE)
        img.paint(polygon([(3.5, 8), (17.8, 8), (15.5, 16), (1, 16)]), vertical(FOLDER, FOLDER_DARK, 8, 16))
    else:
        img.paint(rounded_rect(2, 6, 16, 15, 0.8), vertical(mix(FOLDER, WHITE, 0.25), FOLDER, 6, 15))


def drive_body(img, led=GREEN):
    img.paint(rounded_rect(1, 6, 17, 14, 2), rgb(0x7C889E))
    img.paint(rounded_rect(2, 7, 16, 13, 1.3), vertical(rgb(0xE8ECF3), rgb(0xBCC5D4), 7, 13))
    img.paint(rect(4, 10, 11, 11), rgb(0x8C98B0))
    img.paint(circle(13.5, 10.5, 1.1), led)


def monitor(img, screen_top, screen_bottom):
    img.paint(rounded_rect(1, 2, 17, 13, 1.5), STEEL)
    img.paint(rect(2.5, 3.5, 15.5, 11.5), vertical(screen_top, screen_bottom, 3.5, 11.5))
    img.paint(polygon([(7, 13), (11, 13), (12, 15.5), (6, 15.5)]), rgb(0x7C889E))
    img.paint(rounded_rect(4.5, 15, 13.5, 16.6, 0.7), STEEL)


def icon(draw):
    img = Image(18, 18, matte=WHITE)
    draw(img)
    return img


def draw_computer(img):
    monitor(img, rgb(0x8CC4FF), ACCENT)


def draw_drive(img):
    drive_body(img)


def draw_offline_drive(img):
    drive_body(img, led=LIGHT_GREY)
    img.paint(circle(13, 13, 4.6), WHITE)
    img.paint(circle(13, 13, 3.9), RED)
    cross(img, 13, 13, 1.6, WHITE, 1.3)


def draw_network_drive(img):
    img.paint(rounded_rect(1, 2, 17, 10, 2), rgb(0x7C889E))
    img.paint(rounded_rect(2, 3, 16, 9, 1.3), vertical(rgb(0xE8ECF3), rgb(0xBCC5D4), 3, 9))
    img.paint(circle(13.5, 6, 1.1), GREEN)
    img.paint(rect(8.4, 10, 9.6, 14), STEEL)
    img.paint(rect(2, 14, 16, 15.2), STEEL)
    img.paint(rounded_rect(6.5, 12.5, 11.5, 16.5, 1), ACCENT)


def draw_optical(img):
    img.paint(circle(9, 9, 7.8), rgb(0x8C98B0))
    img.paint(circle(9, 9, 7.0), lambda x, y: mix(rgb(0xF4F6FA), rgb(0xC9D3E6), (x + y) / 36))
    img.paint(arc(9, 9, 4.8, 1.2, 200, 260), mix(ACCENT, WHITE, 0.5))
    img.paint(circle(9, 9, 2.6), rgb(0x8C98B0))
    img.paint(circle(9, 9, 1.6), WHITE)


def draw_removable(img):
    img.paint(rounded_rect(5, 1, 13, 7, 1), rgb(0xB5BDCB))
    img.paint(rect(6.5, 2.5, 8, 4), STEEL)
    img.paint(rect(10, 2.5, 11.5, 4), STEEL)
    img.paint(rounded_rect(3, 6, 15, 17, 2), vertical(mix(ACCENT, WHITE, 0.2), mix(ACCENT, TEXT, 0.2), 6, 17))
    img.paint(rounded_rect(6, 9, 12, 11, 0.8), mix(ACCENT, WHITE, 0.6))


def draw_folder(img):
    folder(img)


def draw_open_folder(img):
    folder(img, open_folder=True)


def draw_home_folder(img):
    folder(img)
    img.paint(polygon([(11.5, 7.2), (16.5, 11.4), (15.4, 12.4), (11.5, 9.1), (7.6, 12.4), (6.5, 11.4)]), RED)
    img.paint(rect(8.3, 11.4, 14.7, 14.4), WHITE)


def draw_desktop(img):
    img.paint(rounded_rect(1, 2, 17, 16, 1.5), STEEL)
    img.paint(rect(2, 3, 16, 13), vertical(rgb(0x9FD0FF), ACCENT, 3, 13))
    img.paint(polygon([(2, 13), (2, 10), (6, 7), (10, 11), (12, 9.5), (16, 12.5), (16, 13)]), mix(GREEN, WHITE, 0.2))
    img.paint(rect(2, 13, 16, 15), rgb(0x3C4A66))
    img.paint(rect(3, 13.5, 5, 14.5), ACCENT)


def draw_documents(img):
    img.paint(rounded_rect(5, 1, 16, 14, 1), rgb(0x8C98B0))
    img.paint(rect(6, 2, 15, 13), rgb(0xEEF1F7))
    img.paint(rounded_rect(2, 4, 13, 17, 1), rgb(0x8C98B0))
    img.paint(rect(3, 5, 12, 16), WHITE)
    for y in (7, 9.5, 12):
        img.paint(rect(4.5, y, 10.5, y + 1), mix(ACCENT, WHITE, 0.3))


def draw_pictures(img):
    img.paint(rounded_rect(1, 3, 17, 15, 1.5), rgb(0x8C98B0))
    img.paint(rect(2, 4, 16, 14), vertical(rgb(0xBFE0FF), rgb(0xE8F3FF), 4, 14))
    img.paint(circle(12.5, 7, 1.6), AMBER)
    img.paint(polygon([(2, 14), (2, 12), (6.5, 7.5), (10, 11), (11.5, 9.8), (16, 13.5), (16, 14)]), GREEN)


def draw_music(img):
    colour = mix(ACCENT, TEXT, 0.25)
    img.paint(polygon([(6.2, 4), (15.6, 1.5), (15.6, 4.2), (6.2, 6.7)]), colour)
    img.paint(rect(6.2, 4, 7.6, 14), colour)
    img.paint(rect(14.2, 2, 15.6, 12), colour)
    img.paint(lambda x, y: ((x - 4.6) / 2.6) ** 2 + ((y - 14.2) / 2.0) ** 2 <= 1, colour)
    img.paint(lambda x, y: ((x - 12.6) / 2.6) ** 2 + ((y - 12.2) / 2.0) ** 2 <= 1, colour)


def draw_videos(img):
    img.paint(rounded_rect(1, 3, 17, 15, 1.5), rgb(0x3C4A66))
    for x in (2.5, 6, 9.5, 13):
        img.paint(rect(x, 4, x + 2, 5.5), WHITE)
        img.paint(rect(x, 12.5, x + 2, 14), WHITE)
    img.paint(rect(2, 6.5, 16, 11.5), vertical(rgb(0x9FD0FF), ACCENT, 6.5, 11.5))
    img.paint(polygon([(7.5, 7.3), (11.5, 9), (7.5, 10.7)]), WHITE)


def draw_downloads(img):
    img.paint(polygon([(7, 1), (11, 1), (11, 7), (14, 7), (9, 12.5), (4, 7), (7, 7)]), GREEN)
    img.paint(polygon([(1, 11), (4, 11), (4, 14), (14, 14), (14, 11), (17, 11), (17, 17), (1, 17)]), STEEL)


def draw_recycle_bin(img):
    img.paint(rounded_rect(2, 3, 16, 5, 0.8), STEEL)
    img.paint(rounded_rect(6.5, 1, 11.5, 3.5, 0.8), STEEL)
    img.paint(polygon([(3.2, 5.5), (14.8, 5.5), (13.6, 17), (4.4, 17)]), vertical(rgb(0xDDE3EE), rgb(0xB9C3D6), 5, 17))
    for x in (6.3, 8.5, 10.7):
        img.paint(rect(x, 7.5, x + 1.1, 15), rgb(0x7C889E))


def draw_favourites(img):
    img.paint(star(9, 9.6, 8.4, 3.6), mix(AMBER, FOLDER_DARK, 0.5))
    img.paint(star(9, 9.6, 7.2, 2.9), vertical(mix(AMBER, WHITE, 0.3), AMBER, 2, 16))


def draw_recent(img):
    img.paint(circle(9, 9, 8), STEEL)
    img.paint(circle(9, 9, 6.8), vertical(WHITE, rgb(0xE6EBF4), 2, 16))
    img.paint(stroke([(9, 4.5), (9, 9), (12.2, 10.8)], 1.5), TEXT)


def draw_file(img):
    page(img)


def draw_text_file(img):
    page(img)
    for y in (8, 10.5, 13):
        img.paint(rect(6, y, 13, y + 1), mix(LIGHT_GREY, WHITE, 0.2))


def draw_picture_file(img):
    page(img)
    img.paint(rect(5.5, 8, 13.5, 14.5), rgb(0xCFE6FF))
    img.paint(circle(11.3, 9.8, 1.1), AMBER)
    img.paint(polygon([(5.5, 14.5), (5.5, 13), (8.2, 10.2), (10.6, 12.6), (11.6, 11.8), (13.5, 13.6), (13.5, 14.5)]), GREEN)


def draw_other(img):
    # A gear: the object is neither folder nor file.
    teeth = []
    for i in range(16):
        r = 8.0 if i % 2 == 0 else 6.2
        a = math.radians(i * 22.5 - 11.25)
        teeth.append((9 + r * math.cos(a), 9 + r * math.sin(a)))
    img.paint(polygon(teeth), STEEL)
    img.paint(circle(9, 9, 5.2), vertical(rgb(0x9AA7BF), STEEL, 4, 14))
    img.paint(circle(9, 9, 2.3), WHITE)


def draw_program(img):
    img.paint(rounded_rect(1, 2, 17, 16, 1.5), STEEL)
    img.paint(rect(2, 5, 16, 15), WHITE)
    img.paint(rect(2, 3, 16, 5), ACCENT)
    img.paint(rect(3.5, 7, 8, 13), mix(ACCENT, WHITE, 0.55))
    for y in (7.5, 10, 12.5):
        img.paint(rect(9.5, y, 14.5, y + 1), LIGHT_GREY)


def draw_archive(img):
    page(img, colour=mix(AMBER, WHITE, 0.55), edge=mix(FOLDER_DARK, TEXT, 0.2))
    for i, y in enumerate((3, 5, 7, 9)):
        x = 8 if i % 2 == 0 else 9
        img.paint(rect(x, y, x + 1, y + 1.5), TEXT)
    img.paint(rounded_rect(7.5, 11, 10.5, 15, 0.8), TEXT)
    img.paint(rect(8.5, 12.5, 9.5, 14), mix(AMBER, WHITE, 0.55))


# Message icons 27 x 27.

def message_icon(kind):
    img = Image(27, 27, matte=FORM)
    if kind == "warning":
        outline = polygon([(13.5, 1.2), (26.3, 24.6), (0.7, 24.6)])
        img.paint(outline, mix(AMBER, TEXT, 0.25))
        img.paint(polygon([(13.5, 3.3), (24.6, 23.5), (2.4, 23.5)]), vertical(mix(AMBER, WHITE, 0.35), AMBER, 3, 24))
        img.paint(stroke([(13.5, 9.5), (13.5, 16.5)], 2.6), TEXT)
        img.paint(circle(13.5, 20.3, 1.5), TEXT)
        return img
    base = {"information": ACCENT, "question": mix(ACCENT, rgb(0x5A4FCF), 0.45), "error": RED}[kind]
    img.paint(circle(13.5, 13.5, 12.8), mix(base, TEXT, 0.25))
    img.paint(circle(13.5, 13.5, 11.8), vertical(mix(base, WHITE, 0.3), base, 2, 25))
    if kind == "information":
        img.paint(circle(13.5, 7.6, 1.8), WHITE)
        img.paint(rounded_rect(11.9, 10.8, 15.1, 21.2, 1.2), WHITE)
    elif kind == "question":
        img.paint(arc(13.5, 10.4, 3.9, 2.7, 170, 95), WHITE)
        img.paint(stroke([(13.5, 14.2), (13.5, 16.2)], 2.7), WHITE)
        img.paint(circle(13.5, 20.2, 1.6), WHITE)
    else:
        cross(img, 13.5, 13.5, 4.6, WHITE, 2.8)
    return img


# Button images 20 x 16, drawn over the toolbar's form colour.

def button_image(draw):
    img = Image(20, 16, matte=FORM)
    draw(img)
    return img


def draw_accept(img):
    check_mark(img, 4.5, 2.5, 11.5, 11.0, GREEN, 2.6)


def draw_refuse(img):
    cross(img, 10, 8, 4.4, RED, 2.6)


def draw_retry(img):
    img.paint(arc(10, 8.5, 5.2, 2.2, 320, 250), ACCENT)
    img.paint(polygon([(15.8, 1.6), (16.2, 7.6), (10.6, 5.2)]), ACCENT)


def draw_open(img):
    img.paint(rounded_rect(2, 3, 9, 7, 1.2), FOLDER_DARK)
    img.paint(rounded_rect(2, 5, 17, 15, 1.2), FOLDER_DARK)
    img.paint(rect(4, 6, 15, 12), WHITE)
    img.paint(polygon([(4.5, 8), (19, 8), (16.5, 15), (2, 15)]), vertical(FOLDER, FOLDER_DARK, 8, 15))


def draw_save(img):
    colour = mix(ACCENT, TEXT, 0.2)
    img.paint(polygon([(3, 1), (15, 1), (17, 3), (17, 15), (3, 15)]), colour)
    img.paint(rect(6, 1.8, 14, 6.5), WHITE)
    img.paint(rect(11.3, 2.6, 13, 5.7), colour)
    img.paint(rounded_rect(5.2, 9, 14.8, 15, 0.8), mix(WHITE, FORM, 0.4))
    img.paint(rect(6.5, 10.5, 13.5, 11.3), LIGHT_GREY)
    img.paint(rect(6.5, 12.5, 13.5, 13.3), LIGHT_GREY)


def draw_button_home(img):
    img.paint(polygon([(10, 0.8), (18, 7.8), (16.6, 9.2), (10, 3.4), (3.4, 9.2), (2, 7.8)]), mix(RED, TEXT, 0.1))
    img.paint(polygon([(10, 3.8), (15.5, 8.6), (15.5, 15.2), (4.5, 15.2), (4.5, 8.6)]), STEEL)
    img.paint(polygon([(10, 5.2), (14.4, 9.1), (14.4, 14.2), (5.6, 14.2), (5.6, 9.1)]), vertical(WHITE, rgb(0xDDE3EE), 5, 15))
    img.paint(rect(8.6, 10, 11.4, 14.2), ACCENT)


def draw_places(img):
    img.paint(star(10, 8.6, 7.6, 3.2), mix(AMBER, FOLDER_DARK, 0.5))
    img.paint(star(10, 8.6, 6.5, 2.6), vertical(mix(AMBER, WHITE, 0.3), AMBER, 1, 15))


def draw_new_folder(img):
    img.paint(rounded_rect(1, 3, 8, 7, 1.2), FOLDER_DARK)
    img.paint(rounded_rect(1, 5, 15, 15, 1.2), FOLDER_DARK)
    img.paint(rounded_rect(2, 6, 14, 14, 0.8), vertical(mix(FOLDER, WHITE, 0.25), FOLDER, 6, 14))
    img.paint(circle(15, 5, 4.6), FORM)
    img.paint(circle(15, 5, 3.9), GREEN)
    plus(img, 15, 5, 2.0, WHITE, 1.3)
