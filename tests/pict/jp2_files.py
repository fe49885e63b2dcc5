#!/usr/bin/env python3
"""JPEG 2000 test files and the pixels they stand for.

OpenJPEG's own tools from Debian make the files: opj_compress codes random
samples (raw planes, or PNG files that ImageMagick and Pillow write, whose
alpha it marks) losslessly as JP2 files or bare codestreams: grey, RGB and
with alpha, 4, 8, 12 and 16 bits, signed, subsampled YCC, tiled, with
another progression order, with the image's origin away from 0, 0; one file
is coded lossily. Boxes are rewritten here where the tools leave a colour
space out: CIELab with the format's default parameters and with parameters
of its own. opj_decompress decodes every file: its samples must be the ones
coded (or, for the lossy file, are the ones expected; for bare codestreams
of subsampled colour, which name no colour space, its RGB is).

Expected pixels: the decoded samples put together as the decoder documents
it (each component scaled to its channel's full range, 8 bits or, above 8
bits of precision, 16; signed samples moved up by half their range;
subsampled components repeated over their area; YCC and CIELab turned into
sRGB by the formulas of sYCC and of CIELab with the Bradford adaptation of
D50 to D65). The colour conversions are checked against opj_decompress's
own (its YCC conversion and, for CIELab, Little CMS) within a few levels.

Output in the folder given: jp2/<name>.<jp2|j2k>, jp2/<name>.expected
(32-bit pixels 0xAARRGGBB or deep pixels A << 48 | R << 32 | G << 16 | B,
bottom row first) and jp2/cases.txt ("name extension width height deep
tolerance"), and jp2/debian-version, the version of the tools.
"""

import math
import os
import random
import struct
import subprocess
import sys

from PIL import Image

out = os.path.join(sys.argv[1], "jp2")
os.makedirs(out, exist_ok=True)
rng = random.Random(8)
cases = []
W, H = 37, 23


def run(*arguments):
    subprocess.run(list(arguments), check=True, capture_output=True)


def planes_bytes(planes, precision, signed):
    data = b""
    for plane in planes:
        for v in plane:
            if precision <= 8:
                data += struct.pack("b" if signed else "B", v)
            else:
                data += struct.pack(">h" if signed else ">H", v)
    return data


def decoded_planes(path, sizes, precisions, signed):
    """opj_decompress's samples, plane after plane, from its PGX files (one
    a component, of the component's own size)."""
    planes = []
    for index, ((w, h), precision) in enumerate(zip(sizes, precisions)):
        pgx = "%s.decoded_%d.pgx" % (path, index)
        if index == 0:
            run("opj_decompress", "-i", path, "-o", path + ".decoded.pgx")
        with open(pgx, "rb") as f:
            data = f.read()
        os.remove(pgx)
        header, _, body = data.partition(b"\n")
        fields = header.split()
        assert fields[2:] == [b"-" if signed else b"+", b"%d" % precision, b"%d" % w, b"%d" % h], (path, fields)
        size = 1 if precision <= 8 else 2
        order = ">" if fields[1] == b"ML" else "<"
        form = order + {1: "b", 2: "h"}[size] if signed else order + {1: "B", 2: "H"}[size]
        planes.append([struct.unpack_from(form, body, size * i)[0] for i in range(w * h)])
    assert not os.path.exists("%s.decoded_%d.pgx" % (path, len(sizes))), path
    return planes


def rgb_of_decoder(path, width, height):
    """opj_decompress's own colour conversion, as 8-bit RGB."""
    png = path + ".decoded.png"
    run("opj_decompress", "-i", path, "-o", png)
    picture = Image.open(png).convert("RGB")
    os.remove(png)
    assert picture.size == (width, height)
    return list(picture.getdata())


def level(v, precision, signed, deep):
    top = (1 << precision) - 1
    v = v + (1 << (precision - 1) if signed else 0)
    v = max(0, min(top, v))
    full = 65535 if deep else 255
    return (v * full + top // 2) // top


def ycc_to_rgb(y, cb, cr):
    return [y + 1.402 * cr, y - 0.344136 * cb - 0.714136 * cr, y + 1.772 * cb]


def srgb_curve(v):
    v = max(0.0, min(1.0, v))
    return 12.92 * v if v <= 0.0031308 else 1.055 * v ** (1 / 2.4) - 0.055


def lab_to_rgb(l_star, a_star, b_star):
    white = (0.9642, 1.0, 0.8249)
    fy = (l_star + 16) / 116
    fx, fz = fy + a_star / 500, fy - b_star / 200
    delta = 6 / 29

    def inverse(t):
        return t ** 3 if t > delta else 3 * delta * delta * (t - 4 / 29)

    x, y, z = (white[0] * inverse(fx), white[1] * inverse(fy), white[2] * inverse(fz))
    # D50 to D65 (Bradford), then XYZ to linear sRGB.
    bradford = [[0.9555766, -0.0230393, 0.0631636], [-0.0282895, 1.0099416, 0.0210077],
                [0.0122982, -0.0204830, 1.3299098]]
    srgb = [[3.2404542, -1.5371385, -0.4985314], [-0.9692660, 1.8760108, 0.0415560],
            [0.0556434, -0.2040259, 1.0572252]]
    adapted = [sum(bradford[i][k] * (x, y, z)[k] for k in range(3)) for i in range(3)]
    return [srgb_curve(sum(srgb[i][k] * adapted[k] for k in range(3))) for i in range(3)]


def store(name, extension, width, height, pixels, deep, tolerance):
    rows = []
    for y in range(height):
        row = b""
        for r, g, b, a in pixels[y * width:(y + 1) * width]:
            row += (struct.pack("<Q", a << 48 | r << 32 | g << 16 | b) if deep else
                    struct.pack("<I", a << 24 | r << 16 | g << 8 | b))
        rows.append(row)
    with open(os.path.join(out, name + ".expected"), "wb") as f:
        f.write(b"".join(reversed(rows)))
    cases.append("%s %s %d %d %d %d" % (name, extension, width, height, int(deep), tolerance))


def random_planes(count, sizes, precision, signed):
    low, high = (-(1 << (precision - 1)), (1 << (precision - 1)) - 1) if signed else (0, (1 << precision) - 1)
    planes = []
    for n in range(count):
        w, h = sizes[n]
        # Smooth areas with noise, so that every coding pass has work.
        planes.append([max(low, min(high, (low + high) // 2 + int((high - low) / 2.5 * math.sin(x / 5 + n) *
                                                                      math.cos(y / 4)) + rng.randrange(-9, 10)))
                       for y in range(h) for x in range(w)])
    return planes


def add_raw(name, extension, planes_count, precision, signed=False, subsampling=None, options=(),
            width=W, height=H):
    """Samples coded from raw planes; pixels straight from the samples."""
    subsampling = subsampling or [(1, 1)] * planes_count
    sizes = [((width + dx - 1) // dx, (height + dy - 1) // dy) for dx, dy in subsampling]
    planes = random_planes(planes_count, sizes, precision, signed)
    raw = os.path.join(out, name + ".raw")
    with open(raw, "wb") as f:
        f.write(planes_bytes(planes, precision, signed))
    form = "%d,%d,%d,%d,%s@%s" % (width, height, planes_count, precision, "s" if signed else "u",
                                  ":".join("%dx%d" % s for s in subsampling))
    path = os.path.join(out, name + "." + extension)
    run("opj_compress", "-i", raw, "-o", path, "-F", form, "-n", "3", *options)
    os.remove(raw)
    return path, planes, sizes


def plain_pixels(planes, precision, signed, deep, width, height, alpha):
    pixels = []
    for i in range(width * height):
        values = [level(p[i], precision, signed, deep) for p in planes]
        colour = values[:-1] if alpha else values
        if len(colour) == 1:
            colour = colour * 3
        pixels.append(tuple(colour[:3]) + ((values[-1],) if alpha else ((65535 if deep else 255),)))
    return pixels


def add_plain(name, extension, count, precision, signed=False, options=(), alpha=False, width=W, height=H):
    path, planes, sizes = add_raw(name, extension, count, precision, signed, options=options, width=width,
                                  height=height)
    assert decoded_planes(path, sizes, [precision] * count, signed) == planes, name
    deep = precision > 8
    store(name, extension, width, height, plain_pixels(planes, precision, signed, deep, width, height, alpha), deep, 0)


add_plain("grey8", "j2k", 1, 8)
add_plain("grey8_box", "jp2", 1, 8)
add_plain("grey4", "j2k", 1, 4)
add_plain("grey16", "jp2", 1, 16)
add_plain("grey_alpha", "j2k", 2, 8, alpha=True)
add_plain("rgb8", "jp2", 3, 8)
add_plain("rgb8_tiled", "jp2", 3, 8, options=("-t", "16,8", "-p", "RPCL"))
add_plain("rgb8_signed", "j2k", 3, 8, signed=True, options=("-mct", "0"))
add_plain("rgb12", "j2k", 3, 12)
add_plain("rgba8", "j2k", 4, 8, alpha=True)
add_plain("rgb8_origin", "jp2", 3, 8, options=("-d", "5,7"))

# Alpha marked in the file: from PNG files with alpha.
for name, depth in (("rgba8_marked", 8), ("rgba16_marked", 16)):
    png = os.path.join(out, name + ".png")
    subprocess.run(["convert", "-seed", "3", "-size", "%dx%d" % (W, H), "plasma:", "-alpha", "set", "-channel", "A",
                    "-fx", "(i+j)/(w+h)", "+channel", "-depth", str(depth), "-define", "png:exclude-chunk=gAMA,cHRM,bKGD",
                    "PNG64:" + png if depth == 16 else png],
                   check=True)
    path = os.path.join(out, name + ".jp2")
    run("opj_compress", "-i", png, "-o", path, "-n", "3")
    picture = Image.open(png)
    os.remove(png)
    planes = decoded_planes(path, [(W, H)] * 4, [depth] * 4, False)
    if depth == 8:
        assert planes == [list(band.getdata()) for band in picture.convert("RGBA").split()], name
    store(name, "jp2", W, H, plain_pixels(planes, depth, False, depth > 8, W, H, True), depth > 8, 0)

# Lossy: the decoder's samples are the expectation.
path, _, sizes = add_raw("rgb8_lossy", "jp2", 3, 8, options=("-I", "-r", "12"))
store("rgb8_lossy", "jp2", W, H, plain_pixels(decoded_planes(path, sizes, [8] * 3, False), 8, False, False, W, H,
                                              False), False, 0)

# Subsampled YCC (the tools write the sYCC colour space for it), of an even
# size, the only one whose subsampled planes the tools' raw reader takes
# whole.
YW, YH = 36, 24
path, planes, sizes = add_raw("ycc420", "jp2", 3, 8, subsampling=[(1, 1), (2, 2), (2, 2)], width=YW, height=YH)
decoder_rgb = rgb_of_decoder(path, YW, YH)
pixels = []
for y in range(YH):
    for x in range(YW):
        luma = planes[0][y * YW + x] / 255
        cb = (planes[1][(y // 2) * sizes[1][0] + x // 2] - 128) / 255
        cr = (planes[2][(y // 2) * sizes[2][0] + x // 2] - 128) / 255
        rgb = [int(max(0.0, min(1.0, c)) * 255 + 0.5) for c in ycc_to_rgb(luma, cb, cr)]
        assert all(abs(a - b) <= 2 for a, b in zip(rgb, decoder_rgb[y * YW + x])), (x, y, rgb, decoder_rgb[y * YW + x])
        pixels.append(tuple(rgb) + (255,))
store("ycc420", "jp2", YW, YH, pixels, False, 1)

# Bare codestreams of three components name no colour space: the second
# and third subsampled (4:2:0, 4:2:2, also of an odd size) make them YCC,
# as opj_decompress takes them; whole-size ones stay RGB. Its PNG output is
# the expectation.
for name, subsampling, width, height in (("j2k_ycc420", [(1, 1), (2, 2), (2, 2)], YW, YH),
                                         ("j2k_ycc420_odd", [(1, 1), (2, 2), (2, 2)], 67, 35),
                                         ("j2k_ycc422", [(1, 1), (2, 1), (2, 1)], YW, YH),
                                         ("j2k_rgb", [(1, 1)] * 3, 67, 35)):
    path, planes, sizes = add_raw(name, "j2k", 3, 8, subsampling=subsampling, width=width, height=height)
    decoder_rgb = rgb_of_decoder(path, width, height)
    if subsampling[1] == (1, 1):
        assert decoder_rgb == list(zip(*planes)), name
    store(name, "j2k", width, height, [rgb + (255,) for rgb in decoder_rgb], False, 0 if subsampling[1] == (1, 1) else 1)

# RGB with an alpha plane of half the size each way: the colour planes
# taken sample by sample, the alpha repeated over its samples' area.
path, planes, sizes = add_raw("rgb_half_alpha", "j2k", 4, 8, subsampling=[(1, 1)] * 3 + [(2, 2)], width=YW,
                              height=YH)
assert decoded_planes(path, sizes, [8] * 4, False) == planes
store("rgb_half_alpha", "j2k", YW, YH,
      [tuple(planes[c][y * YW + x] for c in range(3)) + (planes[3][(y // 2) * sizes[3][0] + x // 2],)
       for y in range(YH) for x in range(YW)], False, 0)


# CIELab: the colour box rewritten.
def boxes(data):
    at = 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + length]
        at += length


def box(kind, body):
    return struct.pack(">I", len(body) + 8) + kind + body


def with_colour_box(data, colour):
    result = b""
    for kind, body in boxes(data):
        if kind == b"jp2h":
            body = b"".join(box(k, colour if k == b"colr" else b) for k, b in boxes(body))
        result += box(kind, body)
    return result


for name, parameters, ranges in (
        ("lab_default", b"", (100, 0, 170, 128, 200, 96)),
        ("lab_own", struct.pack(">7I", 100, 0, 255, 128, 255, 128, 0x00443530), (100, 0, 255, 128, 255, 128))):
    # Without a transform between the components the tools mark the file
    # YCC: marked sRGB first, its samples come back unchanged.
    path, planes, sizes = add_raw(name, "jp2", 3, 8, options=("-mct", "0"))
    with open(path, "rb") as f:
        data = f.read()
    for colour in (struct.pack(">BBBI", 1, 0, 0, 16), struct.pack(">BBBI", 1, 0, 0, 14) + parameters):
        with open(path, "wb") as f:
            f.write(with_colour_box(data, colour))
        if colour[3:7] == struct.pack(">I", 16):
            assert decoded_planes(path, sizes, [8] * 3, False) == planes, name
    decoder_rgb = rgb_of_decoder(path, W, H)
    rl, ol, ra, oa, rb, ob = ranges
    pixels = []
    for i in range(W * H):
        rgb = lab_to_rgb((planes[0][i] - ol) * rl / 255, (planes[1][i] - oa) * ra / 255,
                         (planes[2][i] - ob) * rb / 255)
        rgb = [int(c * 255 + 0.5) for c in rgb]
        assert all(abs(a - b) <= 3 for a, b in zip(rgb, decoder_rgb[i])), (name, i, rgb, decoder_rgb[i])
        pixels.append(tuple(rgb) + (255,))
    store(name, "jp2", W, H, pixels, False, 1)

# The big files of the hostile-input and size tests: a codestream whose
# size field (in the SIZ marker) says 70000 x 70000.
with open(os.path.join(out, "grey8.j2k"), "rb") as f:
    codestream = f.read()
siz = codestream.index(b"\xff\x51")
for name, width, height in (("huge", 70000, 70000), ("wide", 0xFFFFFFFF, 1)):
    with open(os.path.join(out, name + ".j2k"), "wb") as f:
        f.write(codestream[:siz + 6] + struct.pack(">II", width, height) + codestream[siz + 14:])

version = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libopenjp2-tools"], check=True,
                         capture_output=True, text=True).stdout
with open(os.path.join(out, "debian-version"), "w") as f:
    f.write(version + "\n")
with open(os.path.join(out, "cases.txt"), "w") as f:
    f.write("\n".join(cases) + "\n")
