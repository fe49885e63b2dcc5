#!/usr/bin/env python3
"""make against the peer's package maker on one generated product.

Generates a product of 403 files, 170 MB, half text with the word
frequencies of natural text and half random data (the same bytes on every
run), a scenario for "pelmarodesk.exe make" and a
script for makensis with its zlib compressor, runs both on the same files
in the same run and prints each one's wall time and their ratio (ours /
makensis), and make's peak resident memory, each figure beside its goal.
Fails when make is not at least twice as fast (ratio above 0.5) or its peak
memory passes 150 MiB.

Usage: make_bench.py WINE_RUN MANAGER WORK_FOLDER
"""

import itertools
import os
import random
import subprocess
import sys

FILES = 403
TOTAL = 170 * 1000 * 1000
TARGET_RATIO = 0.5
TARGET_PEAK_MIB = 150


def product_sizes(rng):
    """Sizes from a few hundred bytes to a few megabytes, 170 MB in all."""
    weights = [rng.lognormvariate(0, 1.6) for _ in range(FILES)]
    scale = TOTAL / sum(weights)
    sizes = [max(1, int(w * scale)) for w in weights]
    sizes[0] += TOTAL - sum(sizes)
    return sizes


def text_bytes(rng, size):
    """Lines of words drawn with the frequencies of natural text (the n-th
    most frequent word 1/n as often as the first)."""
    words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(4000)]
    cumulative = list(itertools.accumulate(1 / (n + 1) for n in range(len(words))))
    lines, length = [], 0
    while length < size:
        line = " ".join(rng.choices(words, cum_weights=cumulative, k=rng.randint(4, 14))) + "\n"
        lines.append(line)
        length += len(line)
    return "".join(lines).encode("ascii")[:size]


def write_product(folder):
    """The files under folder/product; already there when the stamp is."""
    stamp = os.path.join(folder, "product.done")
    rng = random.Random(170403)
    sizes = product_sizes(rng)
    paths = ["d%02d/f%03d.%s" % (i % 17, i, "txt" if i % 2 else "bin") for i in range(FILES)]
    if not os.path.exists(stamp):
        for path, size in zip(paths, sizes):
            full = os.path.join(folder, "product", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            data = text_bytes(rng, size) if path.endswith(".txt") else rng.randbytes(size)
            with open(full, "wb") as f:
                f.write(data)
        open(stamp, "w").close()
    return paths


def write_scenario(folder, file_name, code, name, install_line='"./product" = $pgm ""'):
    """folder/file_name: a scenario of one [Install] line, with the licence
    document that every scenario needs; the product goes into a folder of
    its name in Program Files (Program Files itself is no product's)."""
    os.makedirs(os.path.join(folder, "docs"), exist_ok=True)
    with open(os.path.join(folder, "docs", "eula.txt"), "w") as f:
        f.write("<text>Licence</text>\n")
    with open(os.path.join(folder, "docs", "eula.idx"), "w") as f:
        f.write('ENG = "./eula.txt"\n')
    with open(os.path.join(folder, file_name), "w") as f:
        f.write('[General]\nlangs = ENG\n[Software]\ncodename = "%s"\nname = "%s"\nfolder = "%s"\nversion = "1.0"\n'
                'eula = "./docs/eula.idx"\n[Install]\n%s\n' % (code, name, name, install_line))


def write_scripts(folder, paths):
    write_scenario(folder, "bench.scn", "bench", "Bench")
    with open(os.path.join(folder, "bench.nsi"), "w") as f:
        f.write('Unicode true\nSetCompressor zlib\nOutFile "nsis-setup.exe"\nInstallDir "$PROGRAMFILES\\Bench"\n'
                'RequestExecutionLevel user\nSection\n')
        for path in paths:
            subfolder, name = path.split("/")
            f.write('SetOutPath "$INSTDIR\\%s"\nFile "product/%s"\n' % (subfolder, path))
        f.write("SectionEnd\n")


def timed(command, folder):
    """Wall seconds, processor seconds and peak resident kilobytes of a
    command (and its children), by /usr/bin/time."""
    result = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M"] + command, cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=900)
    if result.returncode != 0:
        sys.exit("%s failed: %s" % (command[0], result.stderr.decode(errors="replace")[-2000:]))
    wall, user, system, kilobytes = result.stderr.decode().split()[-4:]
    return float(wall), float(user) + float(system), int(kilobytes)


def main():
    wine_run, manager, folder = sys.argv[1:4]
    os.makedirs(folder, exist_ok=True)
    paths = write_product(folder)
    write_scripts(folder, paths)
    ours = timed([wine_run, manager, "make", "./bench.scn", "./make-setup.exe"], folder)
    peer = timed(["makensis", "-V1", "bench.nsi"], folder)
    ratio = ours[0] / peer[0]
    print("170 MB, 403 files: pelmarodesk.exe make %.2f s, makensis (zlib) %.2f s" % (ours[0], peer[0]))
    print("ratio (ours / makensis)      %9.3f  target <= %.2f" % (ratio, TARGET_RATIO))
    print("our peak memory              %5d MiB  target <= %d MiB" % (ours[2] // 1024, TARGET_PEAK_MIB))
    return 0 if ratio <= TARGET_RATIO and ours[2] // 1024 <= TARGET_PEAK_MIB else 1


if __name__ == "__main__":
    sys.exit(main())
