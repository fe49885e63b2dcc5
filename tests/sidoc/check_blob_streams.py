#!/usr/bin/env python3
"""Checks the streams of compiled document blobs with Python's zlib: every
language block and the style and string tables must inflate completely (the
stream ends, its checksum included, exactly where the block does), languages
come in ascending order, and each box list ends with its end byte.

usage: check_blob_streams.py <blob>..."""

import struct
import sys
import zlib


def inflate_whole(block, what):
    inflater = zlib.decompressobj()
    data = inflater.decompress(block)
    if not inflater.eof or inflater.unused_data:
        raise ValueError(f"{what}: the stream of {len(block)} bytes does not end with the block")
    return data


def check(blob):
    if blob[:8] != b"QRVHDOCF":
        raise ValueError("no magic")
    at, languages = 8, []
    while blob[at] != 0xFF:
        number, length = struct.unpack_from("<BI", blob, at)
        boxes = inflate_whole(blob[at + 5:at + 5 + length], f"language {number}")
        if not boxes.endswith(b"\xff"):
            raise ValueError(f"language {number}: the box list has no end byte")
        languages.append(number)
        at += 5 + length
    if languages != sorted(set(languages)) or not languages:
        raise ValueError(f"languages {languages}")
    at += 1
    for table in ("styles", "strings"):
        (length,) = struct.unpack_from("<I", blob, at)
        if length:
            inflate_whole(blob[at + 4:at + 4 + length], table)
        at += 4 + length
    (length,) = struct.unpack_from("<I", blob, at)
    if at + 4 + length != len(blob):
        raise ValueError("the picture table does not end the blob")
    return languages


def main():
    failed = False
    for path in sys.argv[1:]:
        try:
            with open(path, "rb") as f:
                print(path, "languages", check(f.read()))
        except (OSError, ValueError, zlib.error, struct.error) as error:
            print(f"{path}: {error}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
