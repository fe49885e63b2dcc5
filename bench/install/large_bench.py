#!/usr/bin/env python3
"""The largest product: one file of 1 GiB, its first half text, its second
random, packed by pelmarodesk.exe make and installed by the test build of
the installer (its silent first installation) into an empty folder.

Prints wall and processor seconds and peak resident memory of both, and the
peaks against the package's size. Fails when make or the installation fails,
make's peak passes 1.2 times the package plus 64 MiB, or the installation's
1.1 times the package plus 64 MiB.

Usage: large_bench.py WINE_RUN MANAGER RUNNER WORK_FOLDER
"""

import hashlib
import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "package"))
from install_bench import fresh, timed_in, windows_path  # noqa: E402
from make_bench import text_bytes, timed, write_scenario  # noqa: E402

SIZE = 1 << 30
MIB = 1 << 20
MAKE_GOAL = (1.2, 64)     # times the package, plus MiB
INSTALL_GOAL = (1.1, 64)
NAME = "large.bin"


def write_product(folder):
    """folder/product/large.bin and its SHA-256; the file stays for later
    runs, its digest beside it."""
    path = os.path.join(folder, "product", NAME)
    stamp = path + ".sha256"
    if not os.path.exists(stamp):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        rng = random.Random(1 << 30)
        digest = hashlib.sha256()
        with open(path, "wb") as f:
            for half in ("text", "random"):
                for _ in range(SIZE // 2 // (16 * MIB)):
                    piece = text_bytes(rng, 16 * MIB) if half == "text" else rng.randbytes(16 * MIB)
                    digest.update(piece)
                    f.write(piece)
        with open(stamp, "w") as f:
            f.write(digest.hexdigest())
    with open(stamp) as f:
        return f.read().strip()


def file_digest(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for piece in iter(lambda: f.read(16 * MIB), b""):
            digest.update(piece)
    return digest.hexdigest()


def report(name, measured, package_size, goal):
    wall, cpu, kilobytes = measured
    limit = goal[0] * package_size / MIB + goal[1]
    print("%-30s %9.1f %12.1f %8d MiB  goal <= %d MiB (%.1f x package + %d MiB)" % (
        name, wall, cpu, kilobytes // 1024, limit, goal[0], goal[1]))
    return kilobytes / 1024 <= limit


def main():
    wine_run, manager, runner, folder = sys.argv[1:5]
    os.makedirs(folder, exist_ok=True)
    expected = write_product(folder)
    write_scenario(folder, "large.scn", "large", "Large", '"./product/%s" = $pgm "%s"' % (NAME, NAME))
    made = timed([wine_run, manager, "make", "./large.scn", "./large-setup.exe"], folder)
    # The installer to run is the test build's own copy: its silent road.
    timed([wine_run, runner, "make", "./large.scn", "./large-runner-setup.exe"], folder)
    package_size = os.path.getsize(os.path.join(folder, "large-setup.exe")) - os.path.getsize(manager)
    target = os.path.join(folder, "target")
    fresh(target)
    environment = dict(os.environ, PELMARO_TEST_FOLDER=windows_path(target))
    installed = timed_in(environment, [wine_run, "./large-runner-setup.exe"], folder)
    whole = file_digest(os.path.join(target, NAME)) == expected
    print("1 GiB file (half text, half random); package %.1f MiB" % (package_size / MIB))
    print("%-30s %9s %12s %12s" % ("", "seconds", "CPU seconds", "peak memory"))
    ok = report("make (pelmarodesk.exe)", made, package_size, MAKE_GOAL)
    ok = report("install (test build, silent)", installed, package_size, INSTALL_GOAL) and ok
    print("installed file %s the source" % ("matches" if whole else "DIFFERS FROM"))
    return 0 if ok and whole else 1


if __name__ == "__main__":
    sys.exit(main())
