#!/usr/bin/env python3
"""JPEG test files and what independent decoders make of them.

Good files: cjpeg (libjpeg-turbo) encodes photo-like pictures that Pillow
draws, across sampling factors (every 2:1 filter, 4:1, 3:1, chroma of two
different layouts), restart intervals, progressive scripts, sequential files
of one scan per component, grey, RGB and sizes from 1 x 1 to 16385 pixels
wide; Pillow writes CMYK (and, its Adobe transform set to 2, the same file
is YCCK); the JPEG reference tools (`jpeg`) write 12-bit sequential and
progressive files. Expected samples: djpeg's decode (the same
integer inverse DCT and upsampling: within 0), and for 12 bits `jpeg`'s
decode (its own transform: within the tolerance given).

Each file: jpeg/<name>.jpg and jpeg/<name>.expected (R, G, B of every pixel
as little-endian 16-bit samples, top row first), listed in jpeg/good.txt as
"name width height precision tolerance".

Bad files, each derived from a good baseline or progressive file by
changing its markers: DHT with more than 256 codes or more codes of a
length than fit, table ids out of range, component counts of 0 and 255,
sampling factors of 0 and 5, a scan naming an undefined component, a frame
beyond 2^31 pixels, a second frame, restart markers out of order,
arithmetic coding, lossless and DNL frames, data cut before EOI; listed in
jpeg/bad.txt. Every one must fail to load.
"""

import os
import random
import struct
import subprocess
import sys

from PIL import Image, ImageDraw, ImageFilter

out = os.path.join(sys.argv[1], "jpeg")
os.makedirs(out, exist_ok=True)
rng = random.Random(25)


def photo(width, height, seed, mode="RGB"):
    """Smooth shading, hard edges and noise: every frequency a photo has."""
    r = random.Random(seed)
    picture = Image.new("RGB", (width, height))
    picture.putdata([(int(127 + 120 * ((x * 3 + y) % 97) / 97.0) % 256, (x * 255 // max(width, 1) + r.randrange(24)) % 256,
                      (y * 255 // max(height, 1) + r.randrange(24)) % 256) for y in range(height) for x in range(width)])
    draw = ImageDraw.Draw(picture)
    for _ in range(6):
        x0, y0 = r.randrange(max(width, 1)), r.randrange(max(height, 1))
        draw.ellipse([x0, y0, x0 + r.randrange(1, 40), y0 + r.randrange(1, 30)],
                     fill=(r.randrange(256), r.randrange(256), r.randrange(256)))
    picture = picture.filter(ImageFilter.SMOOTH) if width > 2 and height > 2 else picture
    return picture.convert(mode)


def samples_of_pnm(data):
    """The samples of a P5 or P6 file as a list of R, G, B triples' values."""
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    at += 1
    kind, width, height, top = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    channels = 3 if kind == b"P6" else 1
    count = width * height * channels
    if top > 255:
        values = struct.unpack(">%dH" % count, data[at:at + 2 * count])
    else:
        values = data[at:at + count]
    if channels == 1:
        values = [v for v in values for _ in range(3)]
    return width, height, values


good = []


def patch(data, at, replacement):
    return data[:at] + replacement + data[at + len(replacement):]



def add_good(name, picture, cjpeg=None, pillow=None, precision=8, tolerance=0, reference=None):
    source = os.path.join(out, name + (".pgm" if picture.mode in ("L", "L16") else ".ppm"))
    path = os.path.join(out, name + ".jpg")
    if pillow is not None:
        picture.save(path, "JPEG", **pillow)
    elif precision == 12:
        width, height = picture.size
        data = picture.tobytes()
        with open(source, "wb") as f:
            f.write(b"%s\n%d %d\n4095\n" % (b"P5" if picture.mode == "L16" else b"P6", width, height) + data)
        subprocess.run(["jpeg"] + reference + [source, path], check=True, capture_output=True)
    else:
        picture.save(source)
        with open(path, "wb") as f:
            f.write(subprocess.run(["cjpeg"] + cjpeg + [source], check=True, capture_output=True).stdout)
    if precision == 12:
        decoded = os.path.join(out, name + ".decoded.ppm")
        subprocess.run(["jpeg", path, decoded], check=True, capture_output=True)
        data = open(decoded, "rb").read()
        os.remove(decoded)
    else:
        data = subprocess.run(["djpeg", "-pnm", path], check=True, capture_output=True).stdout
    if os.path.exists(source):
        os.remove(source)
    add_expected(name, precision, tolerance, data)


def add_expected(name, precision, tolerance, decoded):
    """The reference's decode (a P5 or P6 file) as the file's expected samples."""
    width, height, values = samples_of_pnm(decoded)
    with open(os.path.join(out, name + ".expected"), "wb") as f:
        f.write(struct.pack("<%dH" % len(values), *values))
    good.append("%s %d %d %d %d" % (name, width, height, precision, tolerance))


class Deep:
    """A 12-bit picture of 16-bit big-endian samples (a P6 or P5 of maxval 4095)."""

    def __init__(self, width, height, seed, grey=False):
        r = random.Random(seed)
        self.size = (width, height)
        self.mode = "L16" if grey else "RGB16"
        rows = []
        for y in range(height):
            for x in range(width):
                base = (x * 4095 // max(width - 1, 1), y * 4095 // max(height - 1, 1), (x * y * 37) % 4096)
                base = base[:1] if grey else base
                rows.append(struct.pack(">%dH" % len(base), *[min(4095, max(0, v + r.randrange(-60, 60))) for v in base]))
        self.data = b"".join(rows)

    def tobytes(self):
        return self.data


W, H = 37, 23
for sampling in ("1x1", "2x1", "2x2", "1x2", "4x1", "4x2", "1x4", "3x1", "2x2,2x1,1x1", "2x1,1x2,1x1"):
    add_good("sample_" + sampling.replace(",", "_"), photo(W, H, 1), ["-sample", sampling, "-quality", "90"])
for name, options in (("restart_rows", ["-restart", "1"]), ("restart_blocks", ["-restart", "3B"]),
                      ("optimized", ["-optimize"]), ("quality100", ["-quality", "100"]), ("quality5", ["-quality", "5"]),
                      ("rgb", ["-rgb"]), ("progressive", ["-progressive"]),
                      ("progressive_444", ["-progressive", "-sample", "1x1"]),
                      ("progressive_restart", ["-progressive", "-restart", "2B", "-sample", "2x1"]),
                      ("progressive_mixed", ["-progressive", "-sample", "2x2,2x1,1x1"])):
    add_good(name, photo(61, 45, 2), options)
add_good("grey", photo(W, H, 3, "L"), ["-quality", "85"])
add_good("grey_progressive", photo(W, H, 3, "L"), ["-progressive"])
add_good("grey_restart", photo(W, H, 3, "L"), ["-restart", "1B"])
# A sequential file of one scan per component: decoded through the store.
scans = os.path.join(out, "scans.txt")
with open(scans, "w") as f:
    f.write("0: 0-63, 0, 0;\n1: 0-63, 0, 0;\n2: 0-63, 0, 0;\n")
add_good("sequential_scans", photo(W, H, 4), ["-scans", scans])
# Spectral selection with successive approximation on every band.
with open(scans, "w") as f:
    f.write("0,1,2: 0-0, 0, 2;\n0: 1-5, 0, 2;\n2: 1-63, 0, 1;\n1: 1-63, 0, 1;\n0: 6-63, 0, 2;\n"
            "0: 1-63, 2, 1;\n0,1,2: 0-0, 2, 1;\n0,1,2: 0-0, 1, 0;\n2: 1-63, 1, 0;\n1: 1-63, 1, 0;\n0: 1-63, 1, 0;\n")
add_good("progressive_script", photo(61, 45, 5), ["-scans", scans, "-sample", "1x1"])
os.remove(scans)
for width, height in ((1, 1), (2, 2), (3, 5), (4, 3), (17, 16), (64, 48), (16385, 9)):
    add_good("size_%dx%d" % (width, height), photo(width, height, width), ["-sample", "2x2"])
add_good("size_2x2_progressive", photo(2, 2, 6), ["-progressive"])
add_good("size_16385x9_progressive", photo(16385, 9, 7), ["-progressive"])
add_good("cmyk", photo(W, H, 8).convert("CMYK"), pillow={"quality": 90})
# YCCK: the same samples read through Adobe's transform 2.
cmyk = open(os.path.join(out, "cmyk.jpg"), "rb").read()
adobe = cmyk.index(b"Adobe")
with open(os.path.join(out, "ycck.jpg"), "wb") as f:
    f.write(patch(cmyk, adobe + 11, bytes([2])))
add_expected("ycck", 8, 0, subprocess.run(["djpeg", "-pnm", os.path.join(out, "ycck.jpg")], check=True,
                                          capture_output=True).stdout)
add_good("deep_444", Deep(W, H, 9), precision=12, tolerance=3, reference=["-q", "90"])
add_good("deep_grey", Deep(19, 11, 10, grey=True), precision=12, tolerance=3, reference=["-q", "90"])
add_good("deep_progressive", Deep(W, H, 11), precision=12, tolerance=3, reference=["-q", "90", "-v"])
with open(os.path.join(out, "good.txt"), "w") as f:
    f.write("\n".join(good) + "\n")


# Damaged files.
def segments(data):
    """(marker, start, end) of each segment before the first scan's data, and the scan."""
    at, found = 2, []
    while at < len(data):
        marker = data[at + 1]
        length = struct.unpack(">H", data[at + 2:at + 4])[0]
        found.append((marker, at, at + 2 + length))
        if marker == 0xDA:
            break
        at += 2 + length
    return found


def segment(data, marker):
    return next((s, e) for m, s, e in segments(data) if m == marker)


baseline = open(os.path.join(out, "sample_2x2.jpg"), "rb").read()
restarted = open(os.path.join(out, "restart_blocks.jpg"), "rb").read()
sof_start, sof_end = segment(baseline, 0xC0)
dht_start, dht_end = segment(baseline, 0xC4)
sos_start, sos_end = segment(baseline, 0xDA)
dqt_start, _ = segment(baseline, 0xDB)
bad = {
    "dht_over_256_codes": patch(baseline, dht_start + 5, bytes([0, 200, 100] + [0] * 13)),
    "dht_lengths_overfull": patch(baseline, dht_start + 5, bytes([3] + [0] * 15)),
    "dht_table_id_4": patch(baseline, dht_start + 4, bytes([0x04])),
    "dht_class_2": patch(baseline, dht_start + 4, bytes([0x20])),
    "dqt_table_id_4": patch(baseline, dqt_start + 4, bytes([0x04])),
    "sof_quant_id_4": patch(baseline, sof_start + 12, bytes([4])),
    "sof_components_0": patch(baseline, sof_start + 9, bytes([0])),
    "sof_components_255": patch(baseline, sof_start + 9, bytes([255])),
    "sof_components_2": patch(baseline, sof_start + 9, bytes([2])),
    "sampling_0": patch(baseline, sof_start + 11, bytes([0x02])),
    "sampling_5": patch(baseline, sof_start + 11, bytes([0x52])),
    "frame_over_2_31_pixels": patch(baseline, sof_start + 5, struct.pack(">HH", 65535, 65535)),
    "frame_height_0_dnl": patch(baseline, sof_start + 5, struct.pack(">H", 0)),
    "precision_12_baseline": patch(baseline, sof_start + 4, bytes([12])),
    "sos_undefined_component": patch(baseline, sos_start + 5, bytes([9])),
    "sos_table_id_4": patch(baseline, sos_start + 6, bytes([0x40])),
    "sos_components_0": patch(baseline, sos_start + 4, bytes([0])),
    "second_frame": baseline[:sof_end] + baseline[sof_start:],
    "arithmetic": patch(baseline, sof_start + 1, bytes([0xC9])),
    "lossless": patch(baseline, sof_start + 1, bytes([0xC3])),
    "dnl_marker": baseline[:sos_start] + b"\xff\xdc\x00\x04\x00\x17" + baseline[sos_start:],
    "no_eoi": baseline[:-2],
    "cut_in_scan": baseline[:sos_end + (len(baseline) - sos_end) // 2],
    "no_soi": baseline[2:],
}
# Restart markers out of order: the first two exchanged.
first = restarted.index(b"\xff\xd0", segment(restarted, 0xDA)[1])
second = restarted.index(b"\xff\xd1", first)
swapped = bytearray(restarted)
swapped[first + 1], swapped[second + 1] = 0xD1, 0xD0
bad["restart_out_of_order"] = bytes(swapped)
bad["restart_missing"] = restarted[:first] + restarted[first + 2:]
for name, data in bad.items():
    with open(os.path.join(out, "bad_" + name + ".jpg"), "wb") as f:
        f.write(data)
with open(os.path.join(out, "bad.txt"), "w") as f:
    f.write("\n".join("bad_" + name for name in bad) + "\n")
