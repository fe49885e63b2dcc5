#!/usr/bin/env python3
"""Byte strings for the standard UTF-8 reader, judged by Python's strict
UTF-8 codec: for each, the length of its longest well-formed start (the
codec's error offset, or the whole length) and that start as UTF-16.

Usage: utf8_cases.py OUTPUT_FILE

Each line: "<bytes hex> <well-formed length> <UTF-16 units hex, 4 digits a
unit, or ->"."""

import random
import sys

EDGES = [
    b"", b"plain", b"caf\xc3\xa9", b"\xe2\x82\xac", b"\xef\xbf\xbf", b"\xf0\x9f\x98\x80x", b"\xf4\x8f\xbf\xbf",
    b"\xf4\x90\x80\x80", b"\xf5\x80\x80\x80", b"\xc0\xaf", b"\xc1\xbf", b"\xe0\x9f\xbf", b"\xf0\x8f\xbf\xbf",
    b"\xed\x9f\xbf", b"\xed\xa0\x80", b"\xed\xbf\xbf", b"\xee\x80\x80", b"\x80", b"\xbf", b"\xfe", b"\xff",
    b"a\xc3", b"a\xe2\x82", b"a\xf0\x9f\x98", b"\xc3(", b"\xe2(\xa1", b"\xe2\x82(", b"\xf0(\x8c\xbc",
    b"ok\x00nul", b"\xc2\x80\xdf\xbf\xe0\xa0\x80\xf0\x90\x80\x80",
]


def pieces(rng):
    """A few pieces of all kinds: ASCII, lone or stray bytes, encodings of
    code points in every range (surrogates too), and overlong forms."""
    for _ in range(rng.randint(1, 6)):
        kind = rng.randrange(6)
        if kind == 0:
            yield bytes(rng.randrange(0x20, 0x7F) for _ in range(rng.randint(1, 3)))
        elif kind == 1:
            yield bytes([rng.randrange(0x80, 0x100)])
        elif kind in (2, 3):
            code = rng.choice([rng.randrange(0x80, 0x800), rng.randrange(0x800, 0x10000),
                               rng.randrange(0xD800, 0xE000), rng.randrange(0x10000, 0x110000)])
            yield chr(code).encode("utf-8", "surrogatepass")
        elif kind == 4:
            encoded = chr(rng.randrange(0x800, 0x110000)).encode("utf-8", "surrogatepass")
            yield encoded[:rng.randint(1, len(encoded) - 1)]
        else:
            code = rng.randrange(0x80)
            yield bytes([0xC0 | code >> 6, 0x80 | code & 0x3F])


def main():
    rng = random.Random(8)
    cases = EDGES + [b"".join(pieces(rng)) for _ in range(3000)]
    with open(sys.argv[1], "w") as out:
        for data in cases:
            try:
                data.decode("utf-8")
                valid = len(data)
            except UnicodeDecodeError as error:
                valid = error.start
            units = data[:valid].decode("utf-8").encode("utf-16-be").hex()
            out.write("%s %d %s\n" % (data.hex() or "-", valid, units or "-"))


if __name__ == "__main__":
    main()
