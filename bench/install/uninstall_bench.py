#!/usr/bin/env python3
"""The uninstall against the installation of the same product, side by
side in one run, both by the program as it ships.

Two generated products of small text files (1 to 3 KB, the same bytes on
every run): 4,000 files in one folder, and 20,000 files in 40 folders. Each
is made into an installer by "pelmarodesk.exe make", walked through its
wizard into a fresh world of folders by wizard_bench.exe, and uninstalled
again by "pelmarodesk.exe uninstall <code name>" in that world, its
question answered Yes and its closing message Ok, three times; each run
is timed once the disk has settled (as the installation benchmark settles
it), the two alike: the start-up to the wizard or to the uninstall's
question, less the start-up's fixed 500 ms pause, and the work from the key
that starts it to the finish page or the closing message (wizard_bench.cpp).
The medians and their ratio (uninstall / install) are printed. Fails when a
ratio passes 0.5, an installation is not whole, or an uninstall fails or
leaves a file of the product.

Usage: uninstall_bench.py WINE_RUN MANAGER WIZARD_BENCH WORK_FOLDER
"""

import os
import random
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "package"))
from install_bench import delete_entry, windows_path  # noqa: E402
from make_bench import text_bytes, timed, write_scenario  # noqa: E402
from small_files_bench import settle_disk  # noqa: E402

RUNS = 3
TARGET_RATIO = 0.5
PRODUCTS = (("bench-one", "4,000 files in one folder", 4000, 1), ("bench-many", "20,000 files in 40 folders", 20000, 40))


def write_product(folder, code, files, folders):
    """folder/<code>/product and its scenario; kept for later runs."""
    home = os.path.join(folder, code)
    stamp = os.path.join(home, "product.done")
    if not os.path.exists(stamp):
        shutil.rmtree(home, ignore_errors=True)
        rng = random.Random(files)
        for i in range(files):
            full = os.path.join(home, "product", "d%02d" % (i % folders), "f%05d.txt" % i)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(text_bytes(rng, rng.randint(1000, 3000)))
        write_scenario(home, "bench.scn", code, code)
        open(stamp, "w").close()
    return home


def driven(wine_run, bench, arguments):
    """Seconds that one run of wizard_bench.exe prints; None when the run
    failed."""
    result = subprocess.run([wine_run, bench] + arguments, capture_output=True, text=True, timeout=1800)
    if result.returncode != 0:
        print(result.stdout + result.stderr[-2000:], file=sys.stderr)
        return None
    for line in result.stdout.splitlines():
        if line.startswith("time: ours "):
            return float(line.split()[2])
    return None


def product_files(world):
    """The product's files found anywhere in the world of folders."""
    return sum(1 for _, _, files in os.walk(world) for name in files if name.endswith(".txt") and name[0] == "f")


def main():
    wine_run, manager, bench, folder = sys.argv[1:5]
    os.makedirs(folder, exist_ok=True)
    failed = False
    print("%-30s %10s %10s %8s" % ("product", "install s", "uninst. s", "ratio"))
    for code, title, files, folders in PRODUCTS:
        home = write_product(folder, code, files, folders)
        timed([wine_run, manager, "make", "./bench.scn", "./setup.exe"], home)
        work = os.path.join(home, "work")
        installs, uninstalls = [], []
        for _ in range(RUNS):
            # The world and the entry of the run before (or of an
            # interrupted one) go before the disk settles.
            shutil.rmtree(work, ignore_errors=True)
            delete_entry(wine_run, code)
            settle_disk()
            installs.append(driven(wine_run, bench, ["install", windows_path(os.path.join(home, "setup.exe")),
                                                     code + " software installer", windows_path(work)]))
            whole = product_files(work) == files
            settle_disk()
            uninstalls.append(driven(wine_run, bench, ["uninstall", windows_path(manager), code, windows_path(work)]))
            if installs[-1] is None or uninstalls[-1] is None or not whole or product_files(work):
                print("%s: the installation or the uninstall failed or left files" % code)
                return 1
        install, uninstall = statistics.median(installs), statistics.median(uninstalls)
        ratio = uninstall / install
        print("%-30s %10.2f %10.2f %8.3f  target <= %.2f" % (title, install, uninstall, ratio, TARGET_RATIO))
        failed = failed or ratio > TARGET_RATIO
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
