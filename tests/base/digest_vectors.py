#!/usr/bin/env python3
"""Writes the digest tests' inputs and expected values into a folder.

digest_input.bin     random bytes (fixed seed) that the cases slice
sha256_vectors.txt   offset length pieces digest
                     pieces: the comma-separated sizes in which the test
                     feeds the slice to sha256_update (they add up to length)
crc32_vectors.txt    offset length crc (8 hex digits)

Expected values come from hashlib and zlib.
"""
import hashlib
import os
import random
import sys
import zlib

INPUT_SIZE = 1 << 18


def random_pieces(rng, length):
    pieces = []
    left = length
    while left:
        # Mostly small and odd sizes, so pieces end anywhere in a block;
        # sometimes several blocks at once.
        n = min(left, rng.choice([1, 3, 55, 56, 63, 64, 65, 127, 128, 1000]) if rng.random() < 0.5
                else rng.randint(1, 300))
        pieces.append(n)
        left -= n
    return pieces or [0]


def main():
    out = sys.argv[1]
    rng = random.Random(0x5A256)
    data = rng.randbytes(INPUT_SIZE)
    with open(os.path.join(out, "digest_input.bin"), "wb") as f:
        f.write(data)

    # Every length up to four blocks, each side of larger block edges, and
    # random ones.
    lengths = list(range(257)) + [edge + d for edge in (1024, 4096, 65536) for d in (-65, -64, -1, 0, 1)]
    lengths += [INPUT_SIZE]
    lengths += [rng.randint(1, 20000) for _ in range(60)]
    with open(os.path.join(out, "sha256_vectors.txt"), "w") as sha, \
            open(os.path.join(out, "crc32_vectors.txt"), "w") as crc:
        for length in lengths:
            offset = rng.randint(0, INPUT_SIZE - length)
            piece = data[offset:offset + length]
            pieces = ",".join(str(n) for n in random_pieces(rng, length))
            sha.write(f"{offset} {length} {pieces} {hashlib.sha256(piece).hexdigest()}\n")
            crc.write(f"{offset} {length} {zlib.crc32(piece):08x}\n")


if __name__ == "__main__":
    main()
