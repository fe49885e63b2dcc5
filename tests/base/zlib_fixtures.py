#!/usr/bin/env python3
"""Writes zlib test data made by Python's own zlib into the folder given.

For each case NAME: NAME.raw (the original bytes) and NAME.z (its zlib
stream); cases.txt lists the cases, one "NAME SIZE" a line. Damaged streams:
cut.z (text.z cut in half), badblock.z (badblock.raw, then an invalid block
type), trailing.z (small.z followed by bytes that are no stream).
"""
import os
import random
import sys
import zlib


def text(n, seed):
    rng = random.Random(seed)
    words = [b"stream", b"window", b"chunk", b"inflate", b"package", b"member", b"view", b"seek"]
    out = bytearray()
    line = 0
    while len(out) < n:
        out += b"%06d " % line + b" ".join(rng.choice(words) for _ in range(rng.randint(3, 12))) + b"\n"
        line += 1
    return bytes(out[:n])


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(20240601)
    cases = [
        ("empty", b"", 6),
        ("one", b"x", 6),
        ("small", text(100, 1), 6),
        ("view_plus", text(4097, 2), 9),
        ("text", text(300000, 3), 6),
        ("fast", text(150000, 4), 1),
        ("stored", text(70000, 5), 0),
        ("random", bytes(rng.getrandbits(8) for _ in range(200000)), 6),
        ("zeros", bytes(1000000), 9),
    ]
    for name, data, level in cases:
        with open(os.path.join(folder, name + ".raw"), "wb") as f:
            f.write(data)
        with open(os.path.join(folder, name + ".z"), "wb") as f:
            f.write(zlib.compress(data, level))

    whole = zlib.compress(text(300000, 3), 6)
    with open(os.path.join(folder, "cut.z"), "wb") as f:
        f.write(whole[: len(whole) // 2])

    prefix = text(100000, 6)
    packer = zlib.compressobj(6)
    stream = packer.compress(prefix) + packer.flush(zlib.Z_FULL_FLUSH)
    # A final block of the reserved type 3 follows the byte-aligned flush.
    with open(os.path.join(folder, "badblock.z"), "wb") as f:
        f.write(stream + b"\x07" + bytes(64))
    with open(os.path.join(folder, "badblock.raw"), "wb") as f:
        f.write(prefix)

    with open(os.path.join(folder, "trailing.z"), "wb") as f:
        f.write(zlib.compress(text(100, 1), 6) + b"no stream follows here" * 10)

    # Last, so that its presence means that everything else was written.
    with open(os.path.join(folder, "cases.txt"), "w") as listing:
        for name, data, _ in cases:
            listing.write("%s %d\n" % (name, len(data)))


if __name__ == "__main__":
    main()
