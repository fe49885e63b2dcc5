#!/usr/bin/env python3
"""JPEG files with EXIF blocks, and the picture properties they must give.

exiftool writes camera, dates, exposure, resolution, orientation, GPS
(latitude 48 30 36 south: -48.51) and a thumbnail that carries EXIF with a
thumbnail of its own, in both byte orders; the expected values are what
`exiftool -n` reads back, mapped onto the property ids (orientation to the
mirrored flag and rotation, the resolution unit to 1 for inches and 0 for
centimetres, GPS references to signs). Crafted blocks, written here entry
by entry, hold what exiftool will not write: rationals over 0, an
orientation stored as LONG, dates shorter than their full form, texts
longer than the walker fetches by itself, IFD
pointers at IFDs already walked, pointers of 0 and inside the header, a
pointer without bytes, maker notes inside and past the block, thumbnails
that are no JPEG or lie past the block. Their expectations are stated with
them.

Output in the folder given: exif/<name>.jpg, exif/<name>.tiff (the block
after its "Exif\\0\\0"), exif/<name>.props (one property a line: "id int
v", "id double v", "id time y m d h m s", "id string <UTF-8 hex>", "id raw
<hex> <offset>", "id none"), exif/<name>.thumb (the thumbnail's pixels as
djpeg decodes them, R, G, B bytes, top row first) and exif/cases.txt ("name
walk_ok error_code has_preview thumbnail_width thumbnail_height").
"""

import json
import os
import struct
import subprocess
import sys

from PIL import Image

out = os.path.join(sys.argv[1], "exif")
os.makedirs(out, exist_ok=True)
cases = []


def picture(width, height, seed):
    image = Image.new("RGB", (width, height))
    image.putdata([((x * 7 + seed) % 256, (y * 13 + seed) % 256, (x * y + 3 * seed) % 256)
                   for y in range(height) for x in range(width)])
    return image


def cjpeg(image, path, quality=85):
    source = path + ".ppm"
    image.save(source)
    with open(path, "wb") as f:
        f.write(subprocess.run(["cjpeg", "-quality", str(quality), source], check=True, capture_output=True).stdout)
    os.remove(source)


def djpeg_rgb(path):
    data = subprocess.run(["djpeg", "-ppm", path], check=True, capture_output=True).stdout
    width, height = [int(v) for v in data.split(b"\n")[1].split()]
    return width, height, data[-3 * width * height:]


def exif_block(path):
    data = open(path, "rb").read()
    at = 2
    while at < len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if marker == 0xE1 and data[at + 4:at + 10] == b"Exif\0\0":
            return data[at + 10:at + 2 + length]
        at += 2 + length
    return b""


def write_case(name, path, props, walk_ok=1, code=0, has_preview=0, thumbnail=None):
    with open(os.path.join(out, name + ".tiff"), "wb") as f:
        f.write(exif_block(path))
    with open(os.path.join(out, name + ".props"), "w") as f:
        f.write("\n".join(props) + "\n")
    width = height = 0
    if thumbnail:
        width, height, pixels = djpeg_rgb(thumbnail)
        with open(os.path.join(out, name + ".thumb"), "wb") as f:
            f.write(pixels)
    cases.append("%s %d %d %d %d %d" % (name, walk_ok, code, has_preview, width, height))


def text_prop(pid, text):
    return "%d string %s" % (pid, text.encode("utf-8").hex())


def time_prop(pid, text):
    date, time = text.split(" ")
    return "%d time %s" % (pid, " ".join(str(int(v)) for v in date.split(":") + time.split(":")))


# Pictures written by exiftool.
base = os.path.join(out, "base.jpg")
thumb = os.path.join(out, "thumb.jpg")
inner = os.path.join(out, "inner.jpg")
cjpeg(picture(64, 48, 1), base)
cjpeg(picture(32, 24, 2), thumb, 70)
cjpeg(picture(16, 12, 3), inner, 60)
subprocess.run(["exiftool", "-q", "-overwrite_original", "-ThumbnailImage<=" + inner, "-Make=Inner", thumb], check=True)
ORIENTATIONS = {1: (0, 0), 2: (1, 0), 3: (0, 180), 4: (2, 0), 5: (1, 90), 6: (0, 270), 7: (1, 270), 8: (0, 90)}
for name, order, orientation, latitude, longitude, altitude_below in (
        ("camera_ii", "II", 6, ("48 30 36", "S"), ("2.2945", "W"), 1),
        ("camera_mm", "MM", 3, ("51 28 38.5", "N"), ("0 0 5.31", "E"), 0)):
    path = os.path.join(out, name + ".jpg")
    with open(base, "rb") as f, open(path, "wb") as g:
        g.write(f.read())
    subprocess.run(["exiftool", "-q", "-overwrite_original", "-Make=Test Camera Co.", "-Model=Model 7 \u20ac",
                    "-ModifyDate=2024:02:29 13:14:15", "-DateTimeOriginal=2023:12:31 23:59:58",
                    "-ExposureTime=0.004", "-FNumber=2.8", "-ISO=400", "-XResolution=300", "-YResolution=150",
                    "-ResolutionUnit=" + ("cm" if order == "II" else "inches"), "-Orientation#=%d" % orientation,
                    "-GPSLatitude=" + latitude[0], "-GPSLatitudeRef=" + latitude[1],
                    "-GPSLongitude=" + longitude[0], "-GPSLongitudeRef=" + longitude[1], "-GPSAltitude=35.5",
                    "-GPSAltitudeRef#=%d" % altitude_below, "-ThumbnailImage<=" + thumb, "-ExifByteOrder=" + order,
                    "-IFD0:ImageWidth=64", "-IFD0:ImageHeight=48", path], check=True)
    tags = json.loads(subprocess.run(["exiftool", "-n", "-j", "-G1", path], check=True, capture_output=True,
                                     text=True).stdout)[0]
    mirrored, rotation = ORIENTATIONS[tags["IFD0:Orientation"]]
    sign = lambda ref, negative: -1 if tags[ref] == negative else 1
    props = [
        text_prop(3, tags["IFD0:Make"]), text_prop(4, tags["IFD0:Model"]),
        time_prop(2, tags["IFD0:ModifyDate"]), time_prop(1, tags["ExifIFD:DateTimeOriginal"]),
        "5 double %r" % tags["ExifIFD:ExposureTime"], "6 double %r" % tags["ExifIFD:FNumber"],
        "7 int %d" % tags["ExifIFD:ISO"], "8 double %r" % float(tags["IFD0:XResolution"]),
        "9 double %r" % float(tags["IFD0:YResolution"]), "10 int %d" % (0 if tags["IFD0:ResolutionUnit"] == 3 else 1),
        "11 int %d" % mirrored, "12 int %d" % rotation,
        "15 double %r" % (sign("GPS:GPSLatitudeRef", "S") * tags["GPS:GPSLatitude"]),
        "16 double %r" % (sign("GPS:GPSLongitudeRef", "W") * tags["GPS:GPSLongitude"]),
        "17 double %r" % ((-1 if tags["GPS:GPSAltitudeRef"] == 1 else 1) * tags["GPS:GPSAltitude"]),
        "18 int %d" % tags["IFD0:ImageWidth"], "19 int %d" % tags["IFD0:ImageHeight"], "20 none", "21 none",
    ]
    write_case(name, path, props, has_preview=1, thumbnail=thumb)


# Crafted blocks: IFDs of entries (tag, type, count, value bytes, or the
# name of an IFD whose offset is the value), laid out after the header.
def tiff(order, ifds, links):
    """ifds: [(name, entries)] in file order; links: {name: name or offset}."""
    o = "<" if order == "II" else ">"
    offsets, at = {}, 8
    for name, entries in ifds:
        offsets[name] = at
        at += 2 + 12 * len(entries) + 4
    data_at = at
    body, data = b"", b""
    positions = {}
    for name, entries in ifds:
        body += struct.pack(o + "H", len(entries))
        for tag, kind, count, value in entries:
            if isinstance(value, str):
                field = struct.pack(o + "I", offsets[value])
            elif len(value) <= 4:
                field = value.ljust(4, b"\0")
            else:
                positions[tag] = data_at + len(data)
                field = struct.pack(o + "I", data_at + len(data))
                data += value + (b"\0" if len(value) % 2 else b"")
            body += struct.pack(o + "HHI", tag, kind, count) + field
        link = links.get(name, 0)
        body += struct.pack(o + "I", offsets[link] if isinstance(link, str) else link)
    return (b"II*\0" if order == "II" else b"MM\0*") + struct.pack(o + "I", 8) + body + data, positions, data_at + len(data)


def ascii(tag, text):
    value = text.encode() + b"\0"
    return (tag, 2, len(value), value)


def long_(tag, value, order="II"):
    return (tag, 4, 1, struct.pack("<I" if order == "II" else ">I", value))


def rational(tag, pairs, order="II"):
    o = "<" if order == "II" else ">"
    return (tag, 5, len(pairs), b"".join(struct.pack(o + "II", n, d) for n, d in pairs))


def short(tag, value, order="II"):
    return (tag, 3, 1, struct.pack("<H" if order == "II" else ">H", value))


def with_block(name, block):
    path = os.path.join(out, name + ".jpg")
    main = open(base, "rb").read()
    app1 = b"Exif\0\0" + block
    with open(path, "wb") as f:
        f.write(main[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + main[2:])
    return path


block, _, _ = tiff("II", [("ifd0", [rational(282, [(0, 1)]), rational(283, [(72, 1)]), (34665, 4, 1, "exif")]),
                          ("exif", [rational(33434, [(1, 0)]), rational(33437, [(28, 10)])])], {})
write_case("zero_denominators", with_block("zero_denominators", block), ["8 none", "9 double 72.0", "5 none",
                                                                       "6 double 2.8"])
block, _, _ = tiff("MM", [("ifd0", [ascii(271, "Maker"), long_(274, 6, "MM"), rational(282, [(300, 1)], "MM")])], {})
write_case("orientation_long", with_block("orientation_long", block),
           [text_prop(3, "Maker"), "11 none", "12 none", "8 none"], walk_ok=0, code=7)
block, _, _ = tiff("II", [("ifd0", [(306, 2, 10, b"2024:02:29"), (34665, 4, 1, "exif")]),
                          ("exif", [(36867, 2, 15, b"2024:02:29 13:1")])], {})
write_case("short_dates", with_block("short_dates", block), ["2 time 2024 2 29 0 0 0", "1 none"])
block, _, _ = tiff("II", [("ifd0", [ascii(271, "Loop"), (34665, 4, 1, "exif"), (34853, 4, 1, "ifd0")]),
                          ("exif", [rational(33437, [(4, 1)]), (34665, 4, 1, "exif"), (40965, 4, 1, "exif")]),
                          ("ifd1", [short(259, 1)])], {"ifd0": "ifd1", "ifd1": "ifd0"})
write_case("self_pointing", with_block("self_pointing", block), [text_prop(3, "Loop"), "6 double 4.0"])
block, _, _ = tiff("MM", [("ifd0", [ascii(271, "M" * 5000), ascii(272, "Short"), (306, 2, 4001, b"2" * 4001)])], {})
write_case("long_texts", with_block("long_texts", block), ["3 none", text_prop(4, "Short"), "2 none"])
block, _, _ = tiff("II", [("ifd0", [ascii(271, "Alone"), long_(34665, 0)])], {})
write_case("zero_pointer_and_link", with_block("zero_pointer_and_link", block), [text_prop(3, "Alone")])
block, _, _ = tiff("II", [("ifd0", [ascii(271, "Low"), long_(34853, 4)])], {})
write_case("pointer_inside_header", with_block("pointer_inside_header", block), [text_prop(3, "Low")], walk_ok=0,
           code=3)
block, _, _ = tiff("II", [("ifd0", [ascii(271, "Empty"), (34665, 4, 0, b"")])], {})
write_case("pointer_without_bytes", with_block("pointer_without_bytes", block), [text_prop(3, "Empty")], walk_ok=0,
           code=7)
note = bytes((i * 7) % 256 for i in range(100))
block, positions, _ = tiff("MM", [("ifd0", [(34665, 4, 1, "exif")]), ("exif", [(37500, 7, len(note), note)])], {})
write_case("maker_note", with_block("maker_note", block), ["21 raw %s %d" % (note.hex(), positions[37500])])
block, _, _ = tiff("II", [("ifd0", [(34665, 4, 1, "exif")]),
                          ("exif", [(37500, 7, 100000, struct.pack("<I", 8)), rational(33437, [(4, 1)])])], {})
write_case("maker_note_past_block", with_block("maker_note_past_block", block), ["21 none", "6 none"], walk_ok=0,
           code=3)
garbage = bytes(range(50))
block, positions, end = tiff("II", [("ifd0", [ascii(271, "Broken")]),
                                    ("ifd1", [short(259, 6), (513, 4, 1, b"ADDR"), long_(514, len(garbage))])],
                             {"ifd0": "ifd1"})
block = block.replace(b"ADDR", struct.pack("<I", len(block))) + garbage
write_case("thumbnail_not_jpeg", with_block("thumbnail_not_jpeg", block), [text_prop(3, "Broken")], walk_ok=0,
           code=8, has_preview=1)
block, _, _ = tiff("II", [("ifd0", [ascii(271, "Far")]),
                          ("ifd1", [short(259, 6), long_(513, 10), long_(514, 100000)])], {"ifd0": "ifd1"})
write_case("thumbnail_past_block", with_block("thumbnail_past_block", block), [text_prop(3, "Far"), "13 none"],
           walk_ok=0, code=7)

with open(os.path.join(out, "cases.txt"), "w") as f:
    f.write("\n".join(cases) + "\n")
