#!/usr/bin/env python3
"""Writes the bare manager's version resource (VS_VERSIONINFO, resource type
16, id 1) as raw bytes for pelmarodesk.rc.

Usage: version_resource.py VERSION OUTPUT.bin

VERSION is the program's version text, "a.b.c" or "a.b.c.d". The resource
holds one string table "000004b0" and the translation 0x0000/0x04B0, and is
padded with zeros to a fixed size: make rebuilds it in place for each
installer with the product's own strings, which must fit in that size."""

import struct
import sys

RESOURCE_SIZE = 1860
STRINGS = [
    ("CompanyName", "Vantrel"),
    ("FileDescription", "Software Packages management"),
    ("FileVersion", None),
    ("LegalCopyright", "Copyright (C) Vantrel"),
    ("ProductName", "Vantrel Pelmaro"),
    ("ProductVersion", None),
]


def utf16z(text):
    return text.encode("utf-16-le") + b"\0\0"


def pad4(data):
    return data + bytes(-len(data) % 4)


def node(key, value=b"", value_length=0, value_type=1, children=()):
    """One version-information block: length, value length, type, key, its
    value and its children, each started on a four-byte boundary."""
    body = pad4(struct.pack("<HHH", 0, value_length, value_type) + utf16z(key)) + value
    for child in children:
        body = pad4(body) + child
    return struct.pack("<H", len(body)) + body[2:]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    parts = [int(p) for p in sys.argv[1].split(".")]
    if not 3 <= len(parts) <= 4 or any(not 0 <= p <= 0xFFFF for p in parts):
        sys.exit("version_resource: bad version %r" % sys.argv[1])
    a, b, c, d = (parts + [0])[:4]
    text = "%d.%d.%d.%d" % (a, b, c, d)
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000, a << 16 | b, c << 16 | d, a << 16 | b, c << 16 | d,
                        0x3F, 0, 0x00040004, 1, 0, 0, 0)
    strings = [node(key, utf16z(value or text), len(value or text) + 1) for key, value in STRINGS]
    table = node("000004b0", children=strings)
    string_info = node("StringFileInfo", children=[table])
    translation = node("Translation", struct.pack("<HH", 0x0000, 0x04B0), 4, 0)
    var_info = node("VarFileInfo", children=[translation])
    resource = node("VS_VERSION_INFO", fixed, len(fixed), 0, [string_info, var_info])
    if len(resource) > RESOURCE_SIZE:
        sys.exit("version_resource: %d bytes do not fit in %d" % (len(resource), RESOURCE_SIZE))
    with open(sys.argv[2], "wb") as f:
        f.write(resource + bytes(RESOURCE_SIZE - len(resource)))


if __name__ == "__main__":
    main()
