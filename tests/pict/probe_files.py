#!/usr/bin/env python3
"""Real headers of the formats that the picture factory recognises.

ImageMagick writes GIF, BMP (its default version and BMP3), ICO, PCX, the
portable any-maps (raw and plain), XPM and TIFF from a small picture; a DIB
is a BMP file without its 14-byte file header; PNG comes from ImageMagick
too, a big-endian BigTIFF from tiffcp, TGA too, JPEG (baseline and
progressive) from cjpeg. OpenJPEG's opj_compress writes a JP2 file and a
bare codestream, png2icns an icon file; the JBIG2 file comes from the
tests' own coder (jbig2_coding.py).
DICOM files are written here from the standard's data element encoding: a
preamble file with its meta group (explicit and implicit little-endian and
explicit big-endian data sets, one with a sequence of undefined length
before the image size), and an older file without preamble.

Camera raw files of every format are built from the formats' public layouts
(raw_layouts.py), each checked with exiftool; with them two TIFF files that
no raw test may take (a plain one, and one with a camera maker's make but
no raw image).

Near misses: the BMP files with the pixels' offset one byte inside the
information header, the icon with its image's offset inside its directory
entry, and an icon of two entries whose second image starts inside the
first entry; each beside the same file with the offset where the headers
end, which its own test takes.

Output in the folder given: probe/<file>, probe/cases.txt, one file a
line: file format width height has-preview, and probe/near_misses.txt, one
file a line: file and the format it mimics.
"""

import json
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import jbig2_coding  # noqa: E402
import raw_layouts  # noqa: E402

out = os.path.join(sys.argv[1], "probe")
os.makedirs(out, exist_ok=True)
cases = []

source = os.path.join(out, "source.png")
subprocess.run(["convert", "-size", "23x17", "plasma:", "-seed", "4", source], check=True)
for name, target, fmt in (("gif", "gif.gif", "gif"), ("bmp", "bmp.bmp", "bmp"), ("bmp3", "BMP3:bmp3.bmp", "bmp"),
                          ("ico", "ico.ico", "ico"), ("pcx", "pcx.pcx", "pcx"), ("ppm", "ppm.ppm", "ppm"),
                          ("pgm", "pgm.pgm", "ppm"), ("pbm", "pbm.pbm", "ppm"), ("xpm", "xpm.xpm", "xpm"),
                          ("png", "png.png", "png"), ("tiff", "tiff.tif", "tiff"), ("tga", "tga.tga", "tga")):
    prefix, _, file_name = target.rpartition(":")
    path = (prefix + ":" if prefix else "") + os.path.join(out, file_name)
    subprocess.run(["convert", source, path], check=True)
    cases.append((os.path.basename(target.split(":")[-1]), fmt, 23, 17))
subprocess.run(["convert", source, "-compress", "none", os.path.join(out, "plain.ppm")], check=True)
cases.append(("plain.ppm", "ppm", 23, 17))
with open(os.path.join(out, "bmp.bmp"), "rb") as f:
    bmp = f.read()
with open(os.path.join(out, "dib.dib"), "wb") as f:
    f.write(bmp[14:])
cases.append(("dib.dib", "dib", 23, 17))
subprocess.run(["tiffcp", "-8", "-B", os.path.join(out, "tiff.tif"), os.path.join(out, "bigtiff.tif")], check=True)
cases.append(("bigtiff.tif", "tiff", 23, 17))
subprocess.run(["convert", source, os.path.join(out, "source.ppm")], check=True)
for name, options in (("jpeg.jpg", []), ("progressive.jpg", ["-progressive"])):
    with open(os.path.join(out, name), "wb") as f:
        f.write(subprocess.run(["cjpeg"] + options + [os.path.join(out, "source.ppm")], check=True,
                               capture_output=True).stdout)
    cases.append((name, "jpeg", 23, 17))
os.remove(os.path.join(out, "source.ppm"))
for name in ("jp2.jp2", "j2k.j2k"):
    subprocess.run(["opj_compress", "-i", source, "-o", os.path.join(out, name), "-n", "2"], check=True,
                   capture_output=True)
    cases.append((name, name[-3:], 23, 17))
icons = []
for size in (16, 32):
    icons.append(os.path.join(out, "icon%d.png" % size))
    subprocess.run(["convert", source, "-resize", "%dx%d!" % (size, size), "PNG32:" + icons[-1]], check=True)
subprocess.run(["png2icns", os.path.join(out, "icns.icns")] + icons, check=True, capture_output=True)
cases.append(("icns.icns", "icns", 32, 32, 1))
for icon in icons:
    os.remove(icon)
os.remove(source)

builder = jbig2_coding.Builder()
builder.add(48, 1, jbig2_coding.page_information(23, 17))
builder.add(38, 1, jbig2_coding.region([[(x * y) % 3 == 0 for x in range(23)] for y in range(17)], 0, 0))
with open(os.path.join(out, "jbig2.jb2"), "wb") as f:
    f.write(builder.build(jbig2_coding.file_header(1)))
cases.append(("jbig2.jb2", "jbig2", 23, 17))

for build in raw_layouts.BUILDERS:
    raw_format, name, data, width, height, preview, checks = build()
    path = os.path.join(out, name)
    with open(path, "wb") as f:
        f.write(data)
    found = json.loads(subprocess.run(["exiftool", "-j", "-s"] + ["-" + tag for tag in checks] + [path],
                                      check=True, capture_output=True, text=True).stdout)[0]
    assert all(str(found.get(tag)) == value for tag, value in checks.items()), (name, found)
    cases.append((name, raw_format, width, height, int(preview)))
for name, data, width, height in raw_layouts.not_raw():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
    cases.append((name, "tiff", width, height))


def element(group, number, vr, value, explicit=True, big=False):
    order = ">" if big else "<"
    tag = struct.pack(order + "HH", group, number)
    if not explicit:
        return tag + struct.pack(order + "I", len(value)) + value
    if vr in (b"OB", b"OW", b"SQ", b"UN", b"UT"):
        return tag + vr + b"\0\0" + struct.pack(order + "I", len(value)) + value
    return tag + vr + struct.pack(order + "H", len(value)) + value


def text(value):
    value = value.encode()
    return value + (b"\0" if len(value) % 2 else b"")


def meta(syntax):
    body = (element(2, 1, b"OB", b"\0\1") + element(2, 2, b"UI", text("1.2.840.10008.5.1.4.1.1.7")) +
            element(2, 3, b"UI", text("1.2.3.4")) + element(2, 0x10, b"UI", text(syntax)))
    return element(2, 0, b"UL", struct.pack("<I", len(body))) + body


def data_set(rows, columns, explicit, big, sequence=False):
    order = ">" if big else "<"
    items = b""
    if sequence:
        item = element(8, 0x1150, b"UI", text("1.2.3"), explicit, big)
        delimiter = struct.pack(order + "HHI", 0xFFFE, 0xE00D, 0)
        items = (struct.pack(order + "HH", 8, 0x1140) + (b"SQ\0\0" if explicit else b"") +
                 struct.pack(order + "I", 0xFFFFFFFF) + struct.pack(order + "HHI", 0xFFFE, 0xE000, 0xFFFFFFFF) +
                 item + delimiter + struct.pack(order + "HHI", 0xFFFE, 0xE0DD, 0))
    return (element(8, 0x60, b"CS", text("OT"), explicit, big) + items +
            element(0x28, 2, b"US", struct.pack(order + "H", 1), explicit, big) +
            element(0x28, 0x10, b"US", struct.pack(order + "H", rows), explicit, big) +
            element(0x28, 0x11, b"US", struct.pack(order + "H", columns), explicit, big) +
            element(0x7FE0, 0x10, b"OW", bytes(2 * rows * columns), explicit, big))


for name, syntax, explicit, big, sequence in (
        ("explicit.dcm", "1.2.840.10008.1.2.1", True, False, True),
        ("implicit.dcm", "1.2.840.10008.1.2", False, False, True),
        ("big.dcm", "1.2.840.10008.1.2.2", True, True, False)):
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes(128) + b"DICM" + meta(syntax) + data_set(9, 14, explicit, big, sequence))
    cases.append((name, "dicom", 14, 9))
with open(os.path.join(out, "legacy.dcm"), "wb") as f:
    f.write(element(8, 0, b"UL", struct.pack("<I", 10), False) + data_set(11, 6, False, False))
cases.append(("legacy.dcm", "dicom_legacy", 6, 11))

# Near misses: headers whose offsets point inside the header itself, each
# beside the same header with the offset just where the header ends.
near_misses = []


def offset_case(name, fmt, data, at, value, good_value):
    stem, extension = os.path.splitext(name)
    for file_name, written in ((name, value), (stem + "_edge" + extension, good_value)):
        changed = bytearray(data)
        changed[at:at + 4] = struct.pack("<I", written)
        with open(os.path.join(out, file_name), "wb") as f:
            f.write(changed)
    near_misses.append((name, fmt))
    cases.append((stem + "_edge" + extension, fmt, 23, 17))


for source_name in ("bmp.bmp", "bmp3.bmp"):
    with open(os.path.join(out, source_name), "rb") as f:
        data = f.read()
    header = struct.unpack_from("<I", data, 14)[0]
    # The pixels start inside the information header: one byte short of it.
    offset_case("near_" + source_name, "bmp", data, 10, 14 + header - 1, 14 + header)
with open(os.path.join(out, "ico.ico"), "rb") as f:
    icon = f.read()
count = struct.unpack_from("<H", icon, 4)[0]
assert count == 1, count
# The image starts inside the directory entry that names it.
offset_case("near_ico.ico", "ico", icon, 6 + 12, 6 + 16 * count - 1, 6 + 16 * count)
# Two entries: the second image's offset points into the first entry.
entry = icon[6:22]
image = icon[22:]
two = bytearray(icon[:4] + struct.pack("<H", 2) + entry + entry + image)
struct.pack_into("<I", two, 6 + 12, 38)
offset_case("near_ico2.ico", "ico", bytes(two), 22 + 12, 6 + 8, 38)

with open(os.path.join(out, "cases.txt"), "w") as f:
    f.write("".join("%s %s %d %d %d\n" % (case + (0,))[:5] for case in cases))
with open(os.path.join(out, "near_misses.txt"), "w") as f:
    f.write("".join("%s %s\n" % case for case in near_misses))
