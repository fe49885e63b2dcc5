#!/usr/bin/env python3
"""The uninstall against the installation of the same product, side by
side in one run.

Two generated products of small text files (1 to 3 KB, the same bytes on
every run): 4,000 files in one folder, and 20,000 files in 40 folders. Each
is made into an installer by the test build of the installer, installed
into an empty folder (the runner plays the wizard's part) and uninstalled
again by the same build ("uninstall <code name>", every question answered
Yes), three times, each run timed once the disk has settled (as the
installation benchmark settles it); the medians of the wall times and their
ratio (uninstall / install) are printed. Fails when a ratio passes 0.5, or an
uninstall leaves its folder or fails.

Usage: uninstall_bench.py WINE_RUN RUNNER WORK_FOLDER
"""

import os
import random
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "package"))
from install_bench import windows_path  # noqa: E402
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


def run_with(environment, command, folder):
    saved = dict(os.environ)
    try:
        os.environ.update(environment)
        return timed(command, folder)
    finally:
        os.environ.clear()
        os.environ.update(saved)


def main():
    wine_run, runner, folder = sys.argv[1:4]
    os.makedirs(folder, exist_ok=True)
    failed = False
    print("%-30s %10s %10s %8s" % ("product", "install s", "uninst. s", "ratio"))
    for code, title, files, folders in PRODUCTS:
        home = write_product(folder, code, files, folders)
        timed([wine_run, runner, "make", "./bench.scn", "./setup.exe"], home)
        # What an interrupted run of the bench left installed.
        subprocess.run([wine_run, runner, "uninstall", code], cwd=home, capture_output=True)
        installs, uninstalls = [], []
        for _ in range(RUNS):
            target = os.path.join(home, "target")
            shutil.rmtree(target, ignore_errors=True)
            settle_disk()
            installs.append(run_with({"PELMARO_TEST_FOLDER": windows_path(target)}, [wine_run, "./setup.exe"],
                                     home)[0])
            settle_disk()
            uninstalls.append(timed([wine_run, runner, "uninstall", code], home)[0])
            if os.path.exists(target):
                print("%s: the uninstall left %s" % (code, target))
                failed = True
        install, uninstall = statistics.median(installs), statistics.median(uninstalls)
        ratio = uninstall / install
        print("%-30s %10.2f %10.2f %8.3f  target <= %.2f" % (title, install, uninstall, ratio, TARGET_RATIO))
        failed = failed or ratio > TARGET_RATIO
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
