#!/usr/bin/env python3
"""Makes an installer out of a copy of the bare manager the way the package
maker does, written independently of the program: finds the self-command
block template, records the bare bytes of the PE optional header, of the
block itself and of the version resource, then clears the certificate-table
entry and the checksum, overwrites the version resource, fills the block
(kind 1) and appends a stand-in package.

Usage: filled_installer.py BARE.exe OUTPUT_FOLDER

Writes filled_installer.exe and filled_installer.txt: "block OFFSET"."""

import os
import random
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from pe_layout import pe_layout  # noqa: E402

BLOCK_SIZE = 8192
TEMPLATE = b"<ICMDBLOCK>" + bytes(BLOCK_SIZE - 11)


def main():
    bare = open(sys.argv[1], "rb").read()
    out = sys.argv[2]
    block = bare.find(TEMPLATE)
    if block < 0 or bare.find(TEMPLATE, block + 1) >= 0:
        sys.exit("the bare manager must hold the template exactly once")
    layout = pe_layout(bare)
    version, version_size = layout["version"]
    records = sorted([layout["optional"], (block, 0), layout["version"]])

    filled = bytearray(bare)
    area = b""
    for offset, length in records:
        area += struct.pack("<IH", offset, length) + bare[offset:offset + length]
    area += struct.pack("<IH", 0xFFFFFFFF, 0)
    head = struct.pack("<B255xIII", 1, len(bare), block, len(bare))
    filled[block:block + BLOCK_SIZE] = (head + area).ljust(BLOCK_SIZE, b"\0")
    struct.pack_into("<I", filled, layout["checksum"], 0)
    struct.pack_into("<II", filled, layout["certificate"], 0, 0)
    filled[version:version + version_size] = bytes((b ^ 0x5A) for b in bare[version:version + version_size])
    generator = random.Random(15)
    filled += b"QRVSOPKG" + bytes(generator.randrange(256) for _ in range(5000))

    with open(os.path.join(out, "filled_installer.exe"), "wb") as f:
        f.write(filled)
    with open(os.path.join(out, "filled_installer.txt"), "w") as f:
        f.write("block %d\n" % block)


if __name__ == "__main__":
    main()
