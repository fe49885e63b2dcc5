#!/usr/bin/env python3
"""Writes small synthetic PE32 and PE32+ images, each holding a
self-command block template and a version resource, for make's edits of the
bare manager; some are sound, some must be refused.

Usage: pe_fixtures.py OUTPUT_FOLDER

pe_cases.txt: one line per image, "<file> <exit code> <block offset>
<optional header offset> <its size> <certificate entry offset> <checksum
offset> <version resource offset> <its size>" (offsets in decimal).
"""

import os
import struct
import sys

TEMPLATE = b"<ICMDBLOCK>" + bytes(8192 - 11)
ALIGN = 0x200


def aligned(size):
    return (size + ALIGN - 1) // ALIGN * ALIGN


def resources(address, version_size, named_first, version_shift, types):
    """A resource directory: type 16 -> id 1 -> language 0x409 -> the version
    data after the directories, preceded by a named type when asked."""
    def directory(named, entries):
        return struct.pack("<IIHHHH", 0, 0, 0, 0, named, len(entries) - named) + b"".join(
            struct.pack("<II", i, o) for i, o in entries)

    entries = [(0x80000000 | 0x300, 0x80000000 | 0x30)] if named_first else []
    entries += [(t, 0x80000000 | 0x30) for t in types]
    section = bytearray(0xA0)
    head = directory(1 if named_first else 0, entries)
    section[:len(head)] = head
    section[0x30:0x48] = directory(0, [(1, 0x80000000 | 0x60)])
    section[0x60:0x78] = directory(0, [(0x409, 0x90)])
    section[0x90:0xA0] = struct.pack("<IIII", address + 0xA0 + version_shift, version_size, 0, 0)
    section += b"V" * version_size
    return bytes(section)


def image(plus=False, optional_size=None, magic=None, rsrc_first=False, named_first=False, version_size=1860,
          version_shift=0, block_in_version=False, types=(16,)):
    optional_size = optional_size if optional_size is not None else (240 if plus else 224)
    magic = magic or (0x20B if plus else 0x10B)
    optional = 64 + 24
    headers = aligned(optional + optional_size + 2 * 40)
    data_raw = TEMPLATE + bytes(0x200)
    rsrc_address = 0x20000
    rsrc_raw = resources(rsrc_address, version_size, named_first, version_shift, types)
    if block_in_version:
        rsrc_raw = rsrc_raw[:0x100] + TEMPLATE + rsrc_raw[0x100 + len(TEMPLATE):]
    order = [("rsrc", rsrc_raw), ("data", data_raw)] if rsrc_first else [("data", data_raw), ("rsrc", rsrc_raw)]
    placed, at = {}, headers
    for name, raw in order:
        placed[name] = (at, raw)
        at += aligned(len(raw))
    out = bytearray(at)
    out[0:2] = b"MZ"
    out[60:64] = struct.pack("<I", 64)
    out[64:68] = b"PE\0\0"
    out[68:88] = struct.pack("<HHIIIHH", 0x8664 if plus else 0x14C, 2, 0, 0, 0, optional_size, 0x102)
    fields = bytearray(optional_size)
    fields[0:2] = struct.pack("<H", magic)[:optional_size]
    for at_field, value in ((64, 0x12345678), (128 if not plus else 144, 0x5000), (132 if not plus else 148, 0x300)):
        if at_field + 4 <= optional_size:
            fields[at_field:at_field + 4] = struct.pack("<I", value)
    out[optional:optional + optional_size] = fields
    table = optional + optional_size
    for i, (name, address) in enumerate(((b".data", 0x10000), (b".rsrc\0\0\0", rsrc_address))):
        raw_at, raw = placed["data" if i == 0 else "rsrc"]
        out[table + 40 * i: table + 40 * i + 40] = struct.pack("<8sIIII16x", name.ljust(8, b"\0"), len(raw), address,
                                                               aligned(len(raw)), raw_at)
    for raw_at, raw in placed.values():
        out[raw_at:raw_at + len(raw)] = raw
    block = placed["rsrc"][0] + 0x100 if block_in_version else placed["data"][0]
    certificate = optional + (144 if plus else 128)
    version = placed["rsrc"][0] + 0xA0 + version_shift
    return bytes(out), (block, optional, optional_size, certificate, optional + 64, version, version_size)


CASES = {
    "pe32": (0, {}),
    "pe32plus": (0, {"plus": True}),
    "resources_before_block": (0, {"rsrc_first": True}),
    "named_type_first": (0, {"named_first": True}),
    "more_types": (0, {"types": (3, 14, 16, 24)}),
    "optional_too_small": (3, {"optional_size": 120}),
    "optional_plus_too_small": (3, {"plus": True, "optional_size": 148}),
    "magic": (3, {"magic": 0x107}),
    "version_past_section": (2, {"version_shift": 0x200}),
    "version_65536": (3, {"version_size": 65536}),
    "records_too_big": (3, {"version_size": 7800}),
    "block_in_version": (3, {"block_in_version": True}),
    "no_version_type": (2, {"types": (3,)}),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    lines = []
    for name, (code, options) in CASES.items():
        data, places = image(**options)
        with open(os.path.join(out, "pe_%s.bin" % name), "wb") as f:
            f.write(data)
        lines.append(" ".join(["pe_%s.bin" % name, str(code)] + [str(p) for p in places]) + "\n")
    data, places = image()
    for name, cut in (("cut_dos", 40), ("cut_pe", 66), ("cut_sections", 0x100)):
        with open(os.path.join(out, "pe_%s.bin" % name), "wb") as f:
            f.write(data[:cut])
        lines.append(" ".join(["pe_%s.bin" % name, "2"] + [str(p) for p in places]) + "\n")
    with open(os.path.join(out, "pe_cases.txt"), "w") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
