"""Camera raw files built from the formats' public layouts: headers, IFDs,
blocks and directories as the cameras write them, with no raw data worth
the name. Each builder answers (format, file name, bytes, width, height,
preview, exiftool checks): the size after the camera's crop by the decoder's rule,
whether an embedded JPEG exists, and {tag: value} that exiftool must read
from the file (its FileType among them), so that exiftool confirms the
layout.
"""

import os
import struct
import subprocess
import tempfile


def small_jpeg():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "p.jpg")
        subprocess.run(["convert", "-size", "64x48", "plasma:", "-seed", "9", "-quality", "80", path], check=True)
        with open(path, "rb") as f:
            return f.read()


JPEG = small_jpeg()

ASCII, SHORT, LONG, RATIONAL, UNDEFINED, BYTE = 2, 3, 4, 5, 7, 1


class Tiff:
    """A TIFF-structured file laid out child first: blobs and IFDs are
    appended and answer their offsets, so that parents can point at them."""

    def __init__(self, order="<", header_size=8):
        self.order = order
        self.data = bytearray(header_size)

    def blob(self, data):
        if len(self.data) % 2:
            self.data.append(0)
        offset = len(self.data)
        self.data += data
        return offset

    def ifd(self, entries, next_ifd=0):
        """entries: (tag, type, values) with values a bytes object or a
        list of numbers (RATIONAL as (numerator, denominator) pairs)."""
        o = self.order
        packed = []
        for tag, kind, values in sorted(entries):
            if isinstance(values, bytes):
                raw, count = values, len(values) // (2 if kind == SHORT else 4 if kind == LONG else 1)
            elif kind == RATIONAL:
                raw, count = b"".join(struct.pack(o + "II", *v) for v in values), len(values)
            else:
                form = {BYTE: "B", SHORT: "H", LONG: "I", UNDEFINED: "B"}[kind]
                raw, count = struct.pack(o + form * len(values), *values), len(values)
            packed.append((tag, kind, count, raw))
        values_at = {}
        for tag, kind, count, raw in packed:
            if len(raw) > 4:
                values_at[tag] = self.blob(raw)
        offset = self.blob(b"")
        self.data += struct.pack(o + "H", len(packed))
        for tag, kind, count, raw in packed:
            field = raw.ljust(4, b"\0") if len(raw) <= 4 else struct.pack(o + "I", values_at[tag])
            self.data += struct.pack(o + "HHI", tag, kind, count) + field
        self.data += struct.pack(o + "I", next_ifd)
        return offset

    def finish(self, first_ifd, header=None):
        o = self.order
        head = header if header is not None else (b"II" if o == "<" else b"MM") + struct.pack(o + "HI", 42, first_ifd)
        self.data[:len(head)] = head
        return bytes(self.data)


def image_entries(width, height, compression=1, photometric=2, subfile=None, strip=(8, 0)):
    """strip: the offset and byte count of the image's one strip."""
    entries = [(256, LONG, [width]), (257, LONG, [height]), (259, SHORT, [compression]),
               (262, SHORT, [photometric]), (273, LONG, [strip[0]]), (279, LONG, [strip[1]])]
    if subfile is not None:
        entries.append((254, LONG, [subfile]))
    return entries


def jpeg_entries(tiff, offset=None, length=len(JPEG)):
    """The JPEG's offset and length; by default a JPEG stored here."""
    return [(513, LONG, [tiff.blob(JPEG) if offset is None else offset]), (514, LONG, [length])]


def jpeg_strip(tiff):
    return tiff.blob(JPEG), len(JPEG)


def make(name):
    return (271, ASCII, name.encode() + b"\0")


def exif_ifd(tiff, entries):
    return (34665, LONG, [tiff.ifd(entries)])


def cr2():
    t = Tiff(header_size=16)
    raw = t.ifd(image_entries(5360, 3516, compression=6, photometric=32803))
    thumb = t.ifd(image_entries(160, 120) + jpeg_entries(t), next_ifd=raw)
    exif = exif_ifd(t, [(40962, LONG, [5184]), (40963, LONG, [3456])])
    ifd0 = t.ifd(image_entries(5184, 3456, compression=6) + [make("Canon"), exif], next_ifd=thumb)
    data = t.finish(ifd0, b"II*\0" + struct.pack("<I", ifd0) + b"CR\x02\0" + struct.pack("<I", raw))
    return "cr2", "canon.cr2", data, 5184, 3456, True, {"FileType": "CR2"}


def nef():
    t = Tiff(order=">")
    raw = t.ifd(image_entries(4288, 2848, compression=34713, photometric=32803, subfile=0))
    preview = t.ifd(image_entries(640, 424, compression=6, photometric=6, subfile=1) + jpeg_entries(t))
    exif = exif_ifd(t, [(33434, RATIONAL, [(1, 250)])])
    ifd0 = t.ifd(image_entries(160, 120, subfile=1) + [make("NIKON CORPORATION"), (330, LONG, [preview, raw]),
                                                        exif, (37398, BYTE, [1, 0, 0, 0])])
    return "nef", "nikon.nef", t.finish(ifd0), 4288, 2848, True, {"FileType": "NEF"}


def nef_empty_preview(name, past_end):
    """A first image that declares JPEG compression but holds no bytes: a
    length of 0, or an offset past the end of the file. exiftool names a
    Nikon file whose first image is JPEG-compressed NRW; the NEF probe takes
    both kinds."""
    def build():
        t = Tiff(order=">")
        raw = t.ifd(image_entries(4288, 2848, compression=34713, photometric=32803, subfile=0))
        where, length = (1 << 24, len(JPEG)) if past_end else (8, 0)
        ifd0 = t.ifd(image_entries(160, 120, compression=6, photometric=6, subfile=1, strip=(where, length)) +
                     jpeg_entries(t, where, length) + [make("NIKON CORPORATION"), (330, LONG, [raw])])
        return "nef", name, t.finish(ifd0), 4288, 2848, False, {"FileType": "NRW"}
    return build


def arw():
    t = Tiff()
    raw = t.ifd(image_entries(6048, 4024, compression=32767, photometric=32803))
    exif = exif_ifd(t, [(40962, LONG, [6000]), (40963, LONG, [4000])])
    ifd0 = t.ifd(image_entries(1616, 1080, compression=6, photometric=6) + jpeg_entries(t) +
                 [make("SONY"), (330, LONG, [raw]), exif])
    return "arw", "sony.arw", t.finish(ifd0), 6000, 4000, True, {"FileType": "ARW"}


def srw():
    t = Tiff()
    thumb = t.ifd(image_entries(320, 240, compression=6, photometric=6) + jpeg_entries(t))
    ifd0 = t.ifd(image_entries(5546, 3714, compression=32770, photometric=32803) + [make("SAMSUNG")], next_ifd=thumb)
    return "srw", "samsung.srw", t.finish(ifd0), 5546, 3714, True, {"FileType": "SRW"}


def pef():
    t = Tiff()
    thumb = t.ifd(image_entries(160, 120, compression=6, photometric=6) + jpeg_entries(t))
    exif = exif_ifd(t, [(37500, UNDEFINED, b"AOC\0MM" + bytes(40)), (40962, LONG, [4928]), (40963, LONG, [3264])])
    ifd0 = t.ifd(image_entries(4992, 3284, compression=65535, photometric=32803) + [make("PENTAX Corporation"), exif],
                 next_ifd=thumb)
    return "pef", "pentax.pef", t.finish(ifd0), 4928, 3264, True, {"FileType": "PEF"}


def three_fr():
    t = Tiff()
    ifd0 = t.ifd(image_entries(8282, 6220, photometric=32803) + [make("Hasselblad")])
    return "3fr", "hasselblad.3fr", t.finish(ifd0), 8282, 6220, False, {"FileType": "3FR"}


def mos():
    t = Tiff(order=">")
    raw = t.ifd(image_entries(7228, 5428, photometric=32803))
    ifd0 = t.ifd(image_entries(512, 384) + [make("Leaf"), (34310, UNDEFINED, b"PKTS\0\0\0\1" + bytes(40)),
                                            (330, LONG, [raw])])
    return "mos", "leaf.mos", t.finish(ifd0), 7228, 5428, False, {"FileType": "MOS"}


def dng():
    t = Tiff()
    raw = t.ifd(image_entries(6048, 4024, photometric=32803, subfile=0) + [(50720, SHORT, [6000, 4000])])
    preview = t.ifd(image_entries(1024, 683, compression=7, photometric=6, subfile=1, strip=jpeg_strip(t)))
    ifd0 = t.ifd(image_entries(256, 171, subfile=1) + [make("SONY"), (50706, BYTE, [1, 4, 0, 0]),
                                                       (330, LONG, [raw, preview])])
    return "dng", "sony.dng", t.finish(ifd0), 6000, 4000, True, {"FileType": "DNG", "DefaultCropSize": "6000 4000"}


def tiff_ep():
    t = Tiff()
    ifd0 = t.ifd(image_entries(3000, 2000, photometric=32803) + [make("Kodak"), (37398, BYTE, [1, 0, 0, 0])])
    return "tiff_ep", "kodak_ep.tif", t.finish(ifd0), 3000, 2000, False, {"FileType": "TIFF", "TIFF-EPStandardID": "1 0 0 0"}


def orf():
    t = Tiff()
    thumb = t.ifd(image_entries(160, 120, compression=6, photometric=6) + jpeg_entries(t))
    exif = exif_ifd(t, [(40962, LONG, [4608]), (40963, LONG, [3456])])
    ifd0 = t.ifd(image_entries(4640, 3472, photometric=32803) + [make("OLYMPUS IMAGING CORP."), exif], next_ifd=thumb)
    return "orf", "olympus.orf", t.finish(ifd0, b"IIRO" + struct.pack("<I", ifd0)), 4608, 3456, True, {"FileType": "ORF"}


def rwl():
    # The "IIU" header, then the signature of the later files of the form.
    t = Tiff(header_size=24)
    ifd0 = t.ifd([(2, SHORT, [4040]), (3, SHORT, [3024]), (4, SHORT, [12]), (5, SHORT, [10]), (6, SHORT, [3012]),
                  (7, SHORT, [4030]), make("LEICA"), (0x2E, UNDEFINED, JPEG)])
    magic = bytes.fromhex("88e774d8f8251d4d947a6e77822b5d6a")
    return "rwl", "leica.rwl", t.finish(ifd0, b"IIU\0" + struct.pack("<I", ifd0) + magic), 4020, 3000, True, \
        {"FileType": "RWL"}


def iiq(preview=False):
    # The Phase One maker note goes right after the header and holds the
    # raw data: a directory of 16-byte entries. The first image is plain,
    # or a JPEG preview as the other formats carry it.
    entries = [(0x108, 4, 4, 8280), (0x109, 4, 4, 6208), (0x10A, 4, 4, 4), (0x10B, 4, 4, 4), (0x10C, 4, 4, 8272),
               (0x10D, 4, 4, 6200)]
    directory = struct.pack("<II", len(entries), 0) + b"".join(struct.pack("<IIII", *e) for e in entries)
    note = b"IIIITwaR" + struct.pack("<I", 16) + bytes(4) + directory
    note += bytes(1000100 - len(note))
    t = Tiff()
    exif = exif_ifd(t, [(37500, UNDEFINED, note)])
    image = image_entries(1024, 768, compression=6, photometric=6) + jpeg_entries(t) if preview else \
        image_entries(1024, 768)
    ifd0 = t.ifd(image + [make("Phase One"), exif])
    name = "phase_one_preview.iiq" if preview else "phase_one.iiq"
    return "iiq", name, t.finish(ifd0), 8272, 6200, preview, {"FileType": "IIQ", "ImageWidth": "8272"}


def mrw():
    t = Tiff(order=">")
    thumb = t.ifd(image_entries(160, 120, compression=6, photometric=6) + jpeg_entries(t))
    ifd0 = t.ifd(image_entries(640, 480) + [make("KONICA MINOLTA")], next_ifd=thumb)
    tiff = t.finish(ifd0)
    prd = b"21810002" + struct.pack(">HHHHBBBBHH", 2300, 3032, 2296, 3016, 12, 12, 0x52, 0, 0, 1)
    blocks = b"\0PRD" + struct.pack(">I", len(prd)) + prd + b"\0TTW" + struct.pack(">I", len(tiff)) + tiff
    data = b"\0MRM" + struct.pack(">I", len(blocks)) + blocks + bytes(64)
    return "mrw", "minolta.mrw", data, 3016, 2296, True, {"FileType": "MRW", "ImageSize": "3016x2296"}


def x3f():
    head = b"FOVb" + struct.pack("<I", 0x00020001) + bytes(16) + struct.pack("<IIII", 0, 2640, 1760, 0)
    head += bytes(72 + 160 - len(head))
    section = len(head)
    image = b"SECi" + struct.pack("<IIIIII", 0x00020000, 2, 18, 64, 48, 0) + JPEG
    directory = len(head) + len(image)
    data = head + image + b"SECd" + struct.pack("<II", 0x00020000, 1) + struct.pack("<II", section, len(image)) + \
        b"IMA2"
    data += struct.pack("<I", directory)
    return "x3f", "sigma.x3f", data, 2640, 1760, True, {"FileType": "X3F", "ImageWidth": "2640"}


def raf():
    entries = struct.pack(">HH", 0x100, 4) + struct.pack(">HH", 4032, 6160) + \
        struct.pack(">HH", 0x110, 4) + struct.pack(">HH", 4, 56) + \
        struct.pack(">HH", 0x111, 4) + struct.pack(">HH", 4024, 6048)
    directory = struct.pack(">I", 3) + entries
    head = b"FUJIFILMCCD-RAW 0201FF383501" + b"X-T2".ljust(32, b"\0") + b"0100" + bytes(20)
    jpeg_at = 0x94
    directory_at = jpeg_at + len(JPEG)
    head += struct.pack(">IIIIII", jpeg_at, len(JPEG), directory_at, len(directory), 0, 0)
    data = head.ljust(jpeg_at, b"\0") + JPEG + directory + bytes(16)
    return "raf", "fuji.raf", data, 6048, 4024, True, {"FileType": "RAF", "RawImageCroppedSize": "6048x4024"}


def crw():
    # The image properties heap holds the image information; the root heap
    # holds it and the JPEG preview.
    info = struct.pack("<IIfiIII", 3072, 2048, 1.0, 0, 12, 24, 0)
    sub = info
    sub += struct.pack("<H", 1) + struct.pack("<HII", 0x1810, len(info), 0) + struct.pack("<I", len(info))
    root = JPEG + sub
    table = len(root)
    root += struct.pack("<H", 2) + struct.pack("<HII", 0x2007, len(JPEG), 0) + \
        struct.pack("<HII", 0x300A, len(sub), len(JPEG))
    root += struct.pack("<I", table)
    data = b"II" + struct.pack("<I", 26) + b"HEAPCCDR" + struct.pack("<HH", 1, 2) + bytes(8) + root
    return "crw", "canon.crw", data, 3072, 2048, True, {"FileType": "CRW", "ImageWidth": "3072"}


def not_raw():
    """TIFF files no raw probe may take: a plain one, and one a camera's
    maker wrote without raw data."""
    t = Tiff()
    plain = t.finish(t.ifd(image_entries(300, 200)))
    t = Tiff()
    camera = t.finish(t.ifd(image_entries(300, 200) + [make("SONY")]))
    return [("plain_tiff.tif", plain, 300, 200), ("camera_tiff.tif", camera, 300, 200)]


BUILDERS = [cr2, nef, nef_empty_preview("nikon_empty_preview.nef", False),
            nef_empty_preview("nikon_preview_past_end.nef", True), arw, srw, pef, three_fr, mos, dng, tiff_ep, orf,
            rwl, iiq, lambda: iiq(preview=True), mrw, x3f, raf, crw]
