#!/usr/bin/env python3
"""Cases for the program's UTF-8, judged by Python's codecs.

Usage: utf8_cases.py OUTPUT_FOLDER

utf8_standard_cases.txt: byte strings for the standard UTF-8 reader, judged
by Python's strict UTF-8 codec: for each, the length of its longest
well-formed start (the codec's error offset, or the whole length) and that
start as UTF-16. Each line: "<bytes hex> <well-formed length> <UTF-16 units
hex, 4 digits a unit, or ->".

utf8_unit_cases.txt: strings of UTF-16 units (surrogate pairs, lone
surrogates of either half, NULs, every length of sequence) and their UTF-8
as the program writes it: Python's UTF-8 of the text the units are (pairs
joined into their characters) with "surrogatepass" for the lone halves;
and the form earlier versions wrote, each unit on its own (a pair as two
three-byte forms). Each line: "<units hex> <UTF-8 hex> <earlier form hex>",
"-" for none.
"""

import os
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


def units_of(rng):
    """A few UTF-16 units of all kinds, pairs and lone halves among them."""
    units = []
    for _ in range(rng.randint(1, 8)):
        kind = rng.randrange(7)
        if kind == 0:
            units.append(rng.randrange(0x80))
        elif kind == 1:
            units.append(rng.randrange(0x80, 0x800))
        elif kind == 2:
            units.append(rng.choice([rng.randrange(0x800, 0xD800), rng.randrange(0xE000, 0x10000)]))
        elif kind in (3, 4):
            code = rng.randrange(0x10000, 0x110000)
            units += [0xD800 + ((code - 0x10000) >> 10), 0xDC00 + (code & 0x3FF)]
        elif kind == 5:
            units.append(rng.randrange(0xD800, 0xDC00))
        else:
            units.append(rng.randrange(0xDC00, 0xE000))
    return units


def write_unit_cases(path, rng):
    edges = [[], [0x41], [0], [0xD83D, 0xDE00], [0xD800, 0xDC00], [0xDBFF, 0xDFFF], [0xD800], [0xDC00],
             [0xDC00, 0xD800], [0xD800, 0xD800, 0xDC00], [0xD83D, 0x41, 0xDE00], [0x7F, 0x80, 0x7FF, 0x800, 0xFFFF],
             [0x64, 0xD83D, 0xDE80, 0]]
    with open(path, "w") as out:
        for units in edges + [units_of(rng) for _ in range(3000)]:
            raw = b"".join(u.to_bytes(2, "big") for u in units)
            text = raw.decode("utf-16-be", "surrogatepass")
            utf8 = text.encode("utf-8", "surrogatepass")
            earlier = "".join(chr(u) for u in units).encode("utf-8", "surrogatepass")
            out.write("%s %s %s\n" % (raw.hex() or "-", utf8.hex() or "-", earlier.hex() or "-"))


def main():
    rng = random.Random(8)
    cases = EDGES + [b"".join(pieces(rng)) for _ in range(3000)]
    with open(os.path.join(sys.argv[1], "utf8_standard_cases.txt"), "w") as out:
        for data in cases:
            try:
                data.decode("utf-8")
                valid = len(data)
            except UnicodeDecodeError as error:
                valid = error.start
            units = data[:valid].decode("utf-8").encode("utf-16-be").hex()
            out.write("%s %d %s\n" % (data.hex() or "-", valid, units or "-"))
    write_unit_cases(os.path.join(sys.argv[1], "utf8_unit_cases.txt"), random.Random(9))


if __name__ == "__main__":
    main()
