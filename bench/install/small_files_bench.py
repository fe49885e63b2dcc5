"""Many small files: 10,000 files of 1 KiB (random bytes, in 10 folders)
installed by our installer (the test build, its silent first installation)
against the peer's silent installer of the same files, three rounds side by
side. Given the test build of another commit (a baseline), then against
the installer that it makes of the same files, eight rounds, each side
first in every other round, so that what the order costs falls on both
alike; the ratio is told, not judged: any commit may be the baseline, and
on a busy machine eight rounds still move it by a tenth. Used by
install_bench.py."""

import os
import random
import shutil
import statistics
import time

from make_bench import timed, write_scenario

FILES = 10000
SIZE = 1024
FOLDERS = 10
ROUNDS = 3
TARGET_RATIO = 1.0
BASELINE_ROUNDS = 8


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


def against_baseline(wine_run, root, install_ours):
    """Prints each round's times of ours and of the baseline's installer
    (both first installations into the same folder) and the median of the
    rounds' ratios."""
    print("install, %d files of %d bytes      ours s  baseline s" % (FILES, SIZE))
    ratios = []
    for round_number in range(BASELINE_ROUNDS):
        order = ["./ours-small.exe", "./baseline-small.exe"]
        if round_number % 2:
            order.reverse()
        times = {installer: settled(install_ours, wine_run, installer, root)[0] for installer in order}
        ours, baseline = times["./ours-small.exe"], times["./baseline-small.exe"]
        ratios.append(ours / baseline)
        print("round %d                             %7.2f %11.2f" % (round_number + 1, ours, baseline))
    print("ratio (ours / baseline), median of %d rounds %6.3f" % (BASELINE_ROUNDS, statistics.median(ratios)))


def run(wine_run, runner, folder, install_ours, install_peer, baseline_runner=None):
    """Prints each round's times and their ratio, then with baseline_runner
    (another commit's test build of the installer) ours against it; true
    when the median ratio against the peer meets the goal."""
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
    if baseline_runner:
        timed([wine_run, baseline_runner, "make", "./small.scn", "./baseline-small.exe"], root)
        against_baseline(wine_run, root, install_ours)
    return ratio <= TARGET_RATIO
