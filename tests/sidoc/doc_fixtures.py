#!/usr/bin/env python3
"""Fixtures of the document tests, written with an encoder of the document
records of its own (struct) and Python's zlib.

Writes into the folder given as the argument:
  picture.png        a 40 x 24 RGB picture (own PNG writer over zlib)
  notapicture.txt    a file no picture format recognises
  markup_cases.txt   one line per mark-up case: name, the source as UTF-16
                     hex, then the expected box list, style, string and
                     picture tables as byte hex ("-" for an empty table)
  nest_64.bin, nest_65.bin, nest_10000.bin
                     blobs of containers nested that deep around one word
  loader_sample.bin  a blob of every box type, two languages and all tables
  loader_cases.txt   "<file> <1 taken | 0 refused>" per crafted blob
  layout_cases.txt   "<file> <canvas width> <root height> <x> <y>" per blob
                     of two boxes on a line exactly as wide as they are, or
                     one pixel narrower; (x, y) lies inside the second box
  sample/            a document index with an English mark-up source that
                     uses every tag, property and alignment, a link and the
                     picture, and an empty Russian source
"""

import os
import struct
import sys
import zlib

NONE16 = 0xFFFF
NONE32 = 0xFFFFFFFF
BLUE = 0x00FF0000


def png(width, height, pixel):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) +
            chunk(b"IEND", b""))


def picture_pixel(x, y):
    # Four quadrants: red, green, blue, and a dark gradient.
    if y < 12:
        return (220, 40, 40) if x < 20 else (40, 180, 60)
    return (40, 60, 220) if x < 20 else (x * 5, y * 5, 90)


PICTURE = png(40, 24, picture_pixel)


def head(kind, bg=NONE32, brk=0, margins=(0, 0, 0, 0), w=NONE16, h=NONE16):
    return struct.pack("<BIB6H", kind, bg, brk, *margins, w, h)


def text(word, colour=0, style=NONE16, link=None, brk=0):
    data = word.encode("utf-8")
    record = head(0 if link is None else 3, brk=brk) + struct.pack("<IHH", colour, style, len(data))
    if link is not None:
        record += struct.pack("<H", link)
    return record + data


def container(children, colour=0, style=NONE16, align=0, **head_fields):
    head_fields.setdefault("brk", 1)
    return head(2, **head_fields) + struct.pack("<IHB", colour, style, align) + children + b"\xff"


def image(index, link=None, **head_fields):
    head_fields.setdefault("brk", 1)
    record = head(1 if link is None else 4, **head_fields) + struct.pack("<H", index)
    return record + (struct.pack("<H", link) if link is not None else b"")


def style(face, width, height, flags):
    return struct.pack("<4H", face, width, height, flags)


def string(value):
    data = value.encode("utf-8")
    return struct.pack("<H", len(data)) + data


def picture_table(*files):
    return b"".join(struct.pack("<I", len(f)) + f for f in files)


def hexed(data):
    return data.hex() if data else "-"


# name, source, box list, style table, string table, picture table
MARKUP_CASES = [
    ("two_words", "hello  world", text("hello") + text("world") + b"\xff", b"", b"", b""),
    ("less_than", "a<lt>b", text("a") + text("<", colour=NONE32) + text("b") + b"\xff", b"", b"", b""),
    ("kana_words", "\u3042\u3044\u3046\u3001\u3048\u304a\u3002\u304b\u304d",
     text("\u3042\u3044\u3046\u3001") + text("\u3048\u304a\u3002") + text("\u304b\u304d") + b"\xff",
     b"", b"", b""),
    ("beyond_ffff", "a \U0001F600b", text("a") + text("\U0001F600b") + b"\xff", b"", b"", b""),
    ("bold_word", "<b>x</b>", text("x", style=0) + b"\xff", style(0, 6, 13, 1), b"", b""),
    ("bold_italic", "<i><b>x</b></i> y", text("x", style=0) + text("y") + b"\xff", style(0, 6, 13, 3),
     b"", b""),
    ("break", "a<br>b", text("a") + text("", colour=NONE32, brk=1) + text("b") + b"\xff", b"", b"", b""),
    ("text_props",
     "<text ML=0x10 mr=2 mt=3 mb=4 w=100 h=0 br=0 fg=0x112233 bg=0x445566 a=Justify f=verd,16,8,BU>w</text>",
     container(text("w", colour=0x112233, style=1), colour=0x112233, style=0, align=3, bg=0x445566, brk=0,
               margins=(16, 2, 3, 4), w=100, h=0) + b"\xff",
     style(3, 8, 16, 5) + style(3, 9, 16, 5), b"", b""),
    ("font_height_only", "<text f=verd,16 a=c>x</text><text f=STD>y</text>",
     container(text("x"), style=0, align=2) + container(text("y"), style=1) + b"\xff",
     style(3, 6, 16, 0) + style(0, 5, 13, 0), b"", b""),
    ("links_share_targets",
     "<link ref=x>a <img src=./picture.png></link> <link ref=y>b</link><link ref=x>c</link>",
     text("a", colour=BLUE, link=0) + image(0, link=0) + text("b", colour=BLUE, link=1) +
     text("c", colour=BLUE, link=0) + b"\xff",
     b"", string("x") + string("y"), picture_table(PICTURE)),
    ("pictures_share_files",
     '<img src=./picture.png ml=1 mr=2 mt=3 mb=4 w=50 h=30 bg=0xFF><img src=".\\picture.png" br=0>',
     image(0, margins=(1, 2, 3, 4), w=50, h=30, bg=0xFF) + image(0, brk=0) + b"\xff",
     b"", b"", picture_table(PICTURE)),
]


class Packed(bytes):
    """A table's bytes as they go into the blob, not compressed first."""


def blob(languages, styles=b"", strings=b"", pictures=b""):
    """languages: {number: box list}, or (number, box list) pairs in blob
    order."""
    out = b"QRVHDOCF"
    pairs = sorted(languages.items()) if isinstance(languages, dict) else languages
    for number, boxes in pairs:
        packed = zlib.compress(boxes)
        out += struct.pack("<BI", number, len(packed)) + packed
    out += b"\xff"
    for table in (styles, strings):
        packed = table if isinstance(table, Packed) or not table else zlib.compress(table)
        out += struct.pack("<I", len(packed)) + packed
    return out + struct.pack("<I", len(pictures)) + pictures


def nested(depth):
    boxes = text("deep")
    for _ in range(depth):
        boxes = container(boxes)
    return boxes + b"\xff"


LOADER_SAMPLE = blob(
    {0: container(text("Title", style=1) + text("", colour=NONE32, brk=1) +
                  text("go", colour=BLUE, link=1) + image(0) + image(0, link=0) +
                  container(b"", align=1, w=30, h=20, bg=0x00FF00), colour=0x123456, style=0, align=3,
                  margins=(5, 6, 7, 8), w=300, h=0) + b"\xff",
     1: text("\u043f\u0440\u0438\u0432\u0435\u0442") + b"\xff"},
    styles=style(0, 5, 13, 0) + style(3, 8, 16, 7),
    strings=string("https://example.org/") + string("x"),
    pictures=picture_table(b"", PICTURE))

ONE_WORD = text("x") + b"\xff"

# Blobs the loader must take (1) or refuse (0), crafted field by field.
LOADER_CASES = [
    ("style_height_4095", 1, blob({0: ONE_WORD}, styles=style(0, 6, 4095, 0))),
    ("style_height_4096", 0, blob({0: ONE_WORD}, styles=style(0, 6, 13, 0) + style(0, 6, 4096, 0))),
    ("style_height_65535", 0, blob({0: ONE_WORD}, styles=style(1, 6, 65535, 0))),
    ("style_width_4096", 0, blob({0: ONE_WORD}, styles=style(0, 4096, 13, 0))),
    ("styles_of_16_bytes", 1, blob({0: ONE_WORD}, styles=style(0, 5, 13, 0) + style(6, 8, 16, 7))),
    ("styles_of_9_bytes", 0, blob({0: ONE_WORD}, styles=style(0, 5, 13, 0) + b"\x00")),
    ("style_table_not_zlib", 0, blob({0: ONE_WORD}, styles=Packed(b"\x01\x02\x03\x04"))),
    ("strings_of_odd_length", 0, blob({0: ONE_WORD}, strings=string("ab") + b"\x00")),
    ("string_past_its_table", 0, blob({0: ONE_WORD}, strings=struct.pack("<H", 3) + b"ab")),
    ("string_table_not_zlib", 0, blob({0: ONE_WORD}, strings=Packed(b"\x78\x9c\x01"))),
    ("box_list_without_end", 0, blob({0: text("x") + text("y")})),
    ("container_without_end", 0, blob({0: container(text("x"))[:-1]})),
    ("unknown_box_type", 0, blob({0: b"\x05" + head(0)[1:] + struct.pack("<IHH", 0, NONE16, 0) + b"\xff"})),
    ("link_to_no_string", 1, blob({0: text("go", link=NONE16) + b"\xff"})),
    ("link_past_the_strings", 0, blob({0: text("go", link=1) + b"\xff"}, strings=string("a"))),
    ("picture_past_the_table", 0, blob({0: image(0) + b"\xff"})),
    ("language_twice", 0, blob([(0, ONE_WORD), (0, ONE_WORD)])),
    ("no_language", 0, blob({})),
]

# A line as wide as its container holds both boxes (height 10); one pixel
# more and the second box begins the next line (height 20). Each case:
# the blob, the canvas width, the height the root measures, and a point
# of the canvas inside the second (green) box.
GREEN = 0x00FF00


def two_boxes(first_width, second_width, first_margins=(0, 0, 0, 0)):
    return (container(b"", w=first_width, h=10, bg=0x0000FF, margins=first_margins) +
            container(b"", w=second_width, h=10, bg=GREEN, brk=0))


LAYOUT_CASES = [
    ("line_filled_by_container", blob({0: container(two_boxes(60, 40), w=100) + b"\xff"}), 200, 10, (99, 5)),
    ("line_passed_in_container", blob({0: container(two_boxes(60, 41), w=100) + b"\xff"}), 200, 20, (40, 15)),
    ("line_filled_by_canvas", blob({0: two_boxes(50, 40, (4, 6, 0, 0)) + b"\xff"}), 100, 10, (99, 5)),
    ("line_passed_in_canvas", blob({0: two_boxes(50, 41, (4, 6, 0, 0)) + b"\xff"}), 100, 20, (40, 15)),
]

# Every tag, property and alignment, a link and the picture: the viewer's
# sample. Colours are 0x00BBGGRR.
SAMPLE = """<text ml=12 mr=12 mt=10 mb=6 fg=0x00603010 f=verd,22 a=c>Release notes</text>
<text ml=12 mr=12 mt=6 a=j>
This document was written in the program's own mark-up, compiled by its own
compiler, loaded by its loader and laid out by its boxes. Justified lines end
exactly at the inner right edge: the spaces between their words grow, and the
last line of the paragraph stays flush left.
</text>
<text ml=12 mr=12 mt=6 a=l>Words can be <b>bold,</b> <i>italic</i> or <b><i>both;</i></b> in a
<text br=0 ml=4 mr=4 f=fixed,14 fg=0x00206020>fixed</text> face or in a
<text br=0 ml=4 mr=4 f=luci,13,6,u fg=0x00505050>sized, underlined</text> one.
A less-than sign: <lt> and a line break:<br>after the break.</text>
<text ml=12 mr=12 mt=8 a=r>Aligned to the right</text>
<text ml=12 mr=12 mt=4 a=c>Centred in the middle</text>
<text ml=12 mr=12 mt=8 bg=0x0080E0F0 fg=0x00000000>Highlighted words on a coloured background</text>
<text ml=12 mr=12 mt=8 w=400 h=40>Read the <link ref=https://example.org/licence>licence terms</link>
online.</text>
<img src=./picture.png ml=12 mt=8 mb=8 w=80 h=24 bg=0x00C0C0C0><img src=./picture.png br=0 ml=8 mt=8>
<link ref=https://example.org/><img src="./picture.png" br=0 ml=8 mt=8></link>
"""


def main():
    folder = sys.argv[1]
    os.makedirs(os.path.join(folder, "sample"), exist_ok=True)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    write("picture.png", PICTURE)
    write("sample/picture.png", PICTURE)
    write("notapicture.txt", b"plain text, no picture\n")
    with open(os.path.join(folder, "markup_cases.txt"), "w") as f:
        for name, source, boxes, styles, strings, pictures in MARKUP_CASES:
            units = source.encode("utf-16-be").hex()
            f.write(" ".join([name, units, hexed(boxes), hexed(styles), hexed(strings), hexed(pictures)]) + "\n")
    for depth in (64, 65, 10000):
        write(f"nest_{depth}.bin", blob({0: nested(depth)}))
    write("loader_sample.bin", LOADER_SAMPLE)
    with open(os.path.join(folder, "loader_cases.txt"), "w") as f:
        for name, taken, data in LOADER_CASES:
            write(f"loader_{name}.bin", data)
            f.write(f"loader_{name}.bin {taken}\n")
    with open(os.path.join(folder, "layout_cases.txt"), "w") as f:
        for name, data, canvas_width, height, (x, y) in LAYOUT_CASES:
            write(f"layout_{name}.bin", data)
            f.write(f"layout_{name}.bin {canvas_width} {height} {x} {y}\n")
    write("sample/index.txt", b"\xef\xbb\xbf  eng = \"./eng.txt\"\r\nRUS=\"./rus.txt\"\r\n")
    write("sample/eng.txt", SAMPLE.encode("utf-8"))
    write("sample/rus.txt", "\ufeff".encode("utf-16-le") + b"\n\0")


if __name__ == "__main__":
    main()
