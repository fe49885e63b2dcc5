#!/usr/bin/env python3
"""The largest product: one file of 1 GiB, its first half text, its second
random, packed by pelmarodesk.exe make, and the installer it wrote walked
through its wizard by wizard_bench.exe (the licence ticked, the default
folder in a fresh world of folders taken) as a user installs it.

Prints the peak memory of both against its goal, a share of the package's
size. Fails when make or the installation fails, the installed file is not
the source, make's peak passes 1.2 times the package plus 64 MiB, or the
installation's 1.1 times the package plus 64 MiB.

Usage: large_bench.py WINE_RUN MANAGER WIZARD_BENCH WORK_FOLDER
"""

import hashlib
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "package"))
from install_bench import delete_entry, windows_path  # noqa: E402
from make_bench import text_bytes, timed, write_scenario  # noqa: E402

SIZE = 1 << 30
MIB = 1 << 20
MAKE_GOAL = (1.2, 64)     # times the package, plus MiB
INSTALL_GOAL = (1.1, 64)
NAME = "large.bin"
CODE_NAME = "large"
WIZARD_TITLE = "Large software installer"


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


def report(name, kilobytes, package_size, goal):
    limit = goal[0] * package_size / MIB + goal[1]
    print("%-36s %8d MiB  goal <= %d MiB (%.1f x package + %d MiB)" % (name, kilobytes // 1024, limit, goal[0],
                                                                    goal[1]))
    return kilobytes / 1024 <= limit


def install_through_wizard(wine_run, bench, installer, work):
    """Our installer walked through its wizard once into work/ours; its
    peak resident kilobytes and the installed file's path (None when the
    walk failed or the file is not there)."""
    result = subprocess.run([wine_run, bench, "install", windows_path(installer), WIZARD_TITLE, windows_path(work)],
                            capture_output=True, text=True, timeout=1800)
    delete_entry(wine_run, CODE_NAME)
    if result.returncode != 0:
        print(result.stdout + result.stderr[-2000:], file=sys.stderr)
        return None, None
    kilobytes = None
    for line in result.stdout.splitlines():
        if line.startswith("peak memory: ours "):
            kilobytes = int(float(line.split()[3]) * 1024)
    for parent, _, files in os.walk(os.path.join(work, "ours")):
        if NAME in files:
            return kilobytes, os.path.join(parent, NAME)
    return kilobytes, None


def main():
    wine_run, manager, bench, folder = sys.argv[1:5]
    os.makedirs(folder, exist_ok=True)
    expected = write_product(folder)
    write_scenario(folder, "large.scn", CODE_NAME, "Large", '"./product/%s" = $pgm "%s"' % (NAME, NAME))
    made = timed([wine_run, manager, "make", "./large.scn", "./large-setup.exe"], folder)
    package_size = os.path.getsize(os.path.join(folder, "large-setup.exe")) - os.path.getsize(manager)
    peak, installed = install_through_wizard(wine_run, bench, os.path.join(folder, "large-setup.exe"),
                                             os.path.join(folder, "wizard-work"))
    print("1 GiB file (half text, half random); package %.1f MiB" % (package_size / MIB))
    ok = report("make (pelmarodesk.exe), peak memory", made[2], package_size, MAKE_GOAL)
    if peak is None:
        print("the installation through the wizard failed")
        return 1
    ok = report("install (its wizard), peak memory", peak, package_size, INSTALL_GOAL) and ok
    whole = installed is not None and file_digest(installed) == expected
    print("installed file %s the source" % ("matches" if whole else "DIFFERS FROM"))
    return 0 if ok and whole else 1


if __name__ == "__main__":
    sys.exit(main())
