"""Many small files: 10,000 files of 1 KiB (random bytes, in 10 folders)
installed by our installer (the test build, its silent first installation)
against the peer's silent installer of the same files, three rounds side by
side. Used by install_bench.py."""

import os
import random
import shutil
import time

from make_bench import timed, write_scenario

FILES = 10000
SIZE = 1024
FOLDERS = 10
ROUNDS = 3
TARGET_RATIO = 1.0


def write_product(folder):
    """folder/small/product and its two scenarios; the paths."""
    root = os.path.join(folder, "small")
    paths = ["d%d/f%05d.bin" % (i % FOLDERS, i) for i in range(FILES)]
    stamp = os.path.join(root, "product.done")
    if not os.path.exists(stamp):
        rng = random.Random(FILES)
        for path in paths:
            full = os.path.join(root, "product", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "wb") as f:
                f.write(rng.randbytes(SIZE))
        open(stamp, "w").close()
    write_scenario(root, "small.scn", "bench", "Small")
    with open(os.path.join(root, "small.nsi"), "w") as f:
        f.write('Unicode true\nSetCompressor zlib\nOutFile "nsis-small.exe"\nInstallDir "$PROGRAMFILES\\Small"\n'
                'RequestExecutionLevel user\nSection\n')
        for index in range(FOLDERS):
            f.write('SetOutPath "$INSTDIR\\d%d"\nFile "product\\d%d\\*.bin"\n' % (index, index))
        f.write("SectionEnd\n")
    return root


def settle_disk():
    """Everything written so far out on the disk, and the disk quiet again,
    so that a timed run does not pay for the work of the one before."""
    os.sync()
    time.sleep(3)


def settled(install, wine_run, installer, root):
    """One installation, timed once the disk has settled: the files of the
    runs before deleted and everything written out, so that neither side
    pays for the other's clean-up."""
    for target in ("ours-target", "peer-target"):
        shutil.rmtree(os.path.join(root, target), ignore_errors=True)
    settle_disk()
    return install(wine_run, installer, root)


def run(wine_run, runner, folder, install_ours, install_peer):
    """Prints each round's times and their ratio; true when the median
    ratio meets the goal."""
    root = write_product(folder)
    timed([wine_run, runner, "make", "./small.scn", "./ours-small.exe"], root)
    timed(["makensis", "-V1", "small.nsi"], root)
    print("install, %d files of %d bytes      ours s  peer s" % (FILES, SIZE))
    ratios = []
    for round_number in range(ROUNDS):
        ours = settled(install_ours, wine_run, "./ours-small.exe", root)
        peer = settled(install_peer, wine_run, "./nsis-small.exe", root)
        ratios.append(ours[0] / peer[0])
        print("round %d                             %7.2f %7.2f" % (round_number + 1, ours[0], peer[0]))
    ratio = sorted(ratios)[len(ratios) // 2]
    print("ratio, median of %d rounds          %15.3f  target <= %.2f" % (ROUNDS, ratio, TARGET_RATIO))
    return ratio <= TARGET_RATIO
