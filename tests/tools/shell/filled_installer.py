#!/usr/bin/env python3
"""Makes an installer out of a copy of the bare manager the way the package
maker does, written independently of the program: finds the self-command
block template, records the bare bytes of the PE optional header, of the
block itself and of the version resource, then clears the certificate-table
entry and the checksum, overwrites the version resource, fills the block
(kind 1) and appends a stand-in package.

Usage: filled_installer.py BARE.exe OUTPUT_FOLDER

Writes filled_installer.exe and filled_installer.txt: "manager LENGTH",
"block OFFSET", then "record OFFSET LENGTH" per undo record in order."""

import os
import random
import struct
import sys

BLOCK_SIZE = 8192
TEMPLATE = b"<ICMDBLOCK>" + bytes(BLOCK_SIZE - 11)


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def version_resource(data):
    """File offset and size of the first language entry of type 16, id 1."""
    pe = u32(data, 60)
    sections = u16(data, pe + 6)
    optional_size = u16(data, pe + 20)
    table = pe + 24 + optional_size
    for i in range(sections):
        entry = table + 40 * i
        if data[entry:entry + 8] == b".rsrc\0\0\0":
            virtual, raw = u32(data, entry + 12), u32(data, entry + 20)
            break
    else:
        sys.exit("no resource section")

    def subdirectory(offset, wanted):
        count = u16(data, raw + offset + 12) + u16(data, raw + offset + 14)
        for k in range(count):
            name, target = struct.unpack_from("<II", data, raw + offset + 16 + 8 * k)
            if wanted is None or name == wanted:
                return target & 0x7FFFFFFF
        sys.exit("no resource %r" % wanted)

    languages = subdirectory(subdirectory(0, 16), 1)
    data_entry = subdirectory(languages, None)
    rva, size = struct.unpack_from("<II", data, raw + data_entry)
    return rva - virtual + raw, size


def main():
    bare = open(sys.argv[1], "rb").read()
    out = sys.argv[2]
    block = bare.find(TEMPLATE)
    if block < 0 or bare.find(TEMPLATE, block + 1) >= 0:
        sys.exit("the bare manager must hold the template exactly once")
    pe = u32(bare, 60)
    optional = pe + 24
    optional_size = u16(bare, pe + 20)
    version, version_size = version_resource(bare)
    records = sorted([(optional, optional_size), (block, 0), (version, version_size)])

    filled = bytearray(bare)
    area = b""
    for offset, length in records:
        area += struct.pack("<IH", offset, length) + bare[offset:offset + length]
    area += struct.pack("<IH", 0xFFFFFFFF, 0)
    head = struct.pack("<B255xIII", 1, len(bare), block, len(bare))
    filled[block:block + BLOCK_SIZE] = (head + area).ljust(BLOCK_SIZE, b"\0")
    struct.pack_into("<I", filled, optional + 64, 0)  # the checksum
    struct.pack_into("<II", filled, optional + 128, 0, 0)  # the certificate-table entry
    filled[version:version + version_size] = bytes((b ^ 0x5A) for b in bare[version:version + version_size])
    generator = random.Random(15)
    filled += b"QRVSOPKG" + bytes(generator.randrange(256) for _ in range(5000))

    with open(os.path.join(out, "filled_installer.exe"), "wb") as f:
        f.write(filled)
    with open(os.path.join(out, "filled_installer.txt"), "w") as f:
        f.write("manager %d\nblock %d\n" % (len(bare), block))
        for offset, length in records:
            f.write("record %d %d\n" % (offset, length))


if __name__ == "__main__":
    main()
