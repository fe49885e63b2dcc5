#!/usr/bin/env python3
"""The installer's work against the peer's installer on one generated
product.

Generates a product of 403 files, 170 MB: mostly program-like files, some
random (incompressible) data and some text, the same bytes on every run.
Makes our installer of it (the test build of the installer in make mode)
and the peer's (makensis with its zlib compressor), then installs each into
an empty folder, the peer's run silently ("/S /D=..."), and times both in
the same run: wall time (median of the runs) and the ratio of the times
(ours / peer), and our peak resident memory against the package's size.
Fails when ours takes more than 0.85 of the peer's time or its peak memory
passes 1.4 times the package.

Then the installer as a user meets it: the product's installer made by
pelmarodesk.exe itself and driven through its wizard by wizard_bench.exe
(start-up to the first wizard page against the peer's first window, and
the same span as the peer's silent installation: start-up, then the
installation from its Next to the finish page; each less the start-up's
fixed 500 ms pause), with peak memory against the package's size, which
must not pass 1.4 times the package either.

Last, 10,000 files of 1 KiB installed by ours and by the peer's silent
installer, three rounds side by side (small_files_bench.py); fails when the
median ratio passes 1.0. With BASELINE_RUNNER, the test build of the
installer of another commit, the same files then installed by ours and by
the installer it makes, eight rounds, and the median of their ratios.

Usage: install_bench.py WINE_RUN RUNNER WORK_FOLDER MANAGER WIZARD_BENCH [BASELINE_RUNNER]
"""

import os
import random
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "package"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "tools", "install"))
from install_payloads import exe_like  # noqa: E402  the program-like bytes of the tests
from make_bench import FILES, product_sizes, text_bytes, timed, write_scripts  # noqa: E402
import small_files_bench  # noqa: E402

RUNS = 5
TARGET_RATIO = 0.85
TARGET_PEAK = 1.4  # of the package's size
CODE_NAME = "bench"  # make_bench's scenario


def write_product(folder):
    """folder/product: 70 % program-like files, 15 % random, 15 % text by
    count; already there when the stamp is."""
    rng = random.Random(403170)
    sizes = product_sizes(rng)
    kinds = ["exe"] * 14 + ["bin"] * 3 + ["txt"] * 3
    paths = ["d%02d/f%03d.%s" % (i % 17, i, kinds[i % 20]) for i in range(FILES)]
    stamp = os.path.join(folder, "product.done")
    if not os.path.exists(stamp):
        for path, size in zip(paths, sizes):
            full = os.path.join(folder, "product", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            kind = path.rsplit(".", 1)[1]
            data = {"exe": lambda: exe_like(rng, size), "bin": lambda: rng.randbytes(size),
                    "txt": lambda: text_bytes(rng, size)}[kind]()
            with open(full, "wb") as f:
                f.write(data)
        open(stamp, "w").close()
    return paths


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)


def install_ours(wine_run, installer, folder):
    """One first installation by our installer into an empty folder; the
    record and the entry it leaves in the prefix are removed afterwards."""
    target = os.path.join(folder, "ours-target")
    fresh(target)
    environment = dict(os.environ, PELMARO_TEST_FOLDER=windows_path(target))
    measured = timed_in(environment, [wine_run, installer], folder)
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    for store in ("ProgramData/Vantrel/qrv/install", "users/%s/AppData/Roaming/Vantrel/qrv/install" % os.environ.get(
            "USER", "root")):
        if os.path.exists(os.path.join(drive, store)):
            os.remove(os.path.join(drive, store))
    delete_entry(wine_run, CODE_NAME)
    return measured


def delete_entry(wine_run, code):
    """The Windows entry that an installation of ours left in the prefix."""
    subprocess.run([wine_run, "reg", "delete", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                    + code, "/f", "/reg:64"], capture_output=True)


def install_peer(wine_run, installer, folder):
    target = os.path.join(folder, "peer-target")
    fresh(target)
    return timed_in(None, [wine_run, installer, "/S", "/D=" + windows_path(target)], folder)


def timed_in(environment, command, folder):
    saved = dict(os.environ)
    try:
        if environment:
            os.environ.clear()
            os.environ.update(environment)
        return timed(command, folder)
    finally:
        os.environ.clear()
        os.environ.update(saved)


def median_run(runs):
    walls = sorted(run[0] for run in runs)
    return statistics.median(walls), statistics.median(r[1] for r in runs), max(r[2] for r in runs)


def wizard_bench(wine_run, manager, bench, folder):
    """The wizard's figures; the exit status of the bench program."""
    timed([wine_run, manager, "make", "./bench.scn", "./wizard-setup.exe"], folder)
    package_size = os.path.getsize(os.path.join(folder, "wizard-setup.exe")) - os.path.getsize(manager)
    print("through the wizard (installer made by pelmarodesk.exe, package %.1f MB):" % (package_size / 1e6))
    sys.stdout.flush()
    result = subprocess.run([wine_run, bench, windows_path(os.path.join(folder, "wizard-setup.exe")),
                             windows_path(os.path.join(folder, "nsis-setup.exe")),
                             windows_path(os.path.join(folder, "wizard-work"))], capture_output=True, text=True)
    peak = None
    for line in result.stdout.splitlines():
        # The peak is printed against its goal, a share of the package.
        if line.startswith("peak memory: ours "):
            peak = float(line.split()[3]) * 1048576 / package_size
            print("our peak memory %.2f x the package  target <= %.2f" % (peak, TARGET_PEAK))
        else:
            print(line)
    if result.returncode not in (0, 1):
        print(result.stderr[-2000:], file=sys.stderr)
    # The installer as it ships holds no more than the test build may.
    return result.returncode if peak is not None and peak <= TARGET_PEAK else result.returncode or 1


def main():
    wine_run, runner, folder, manager, bench = sys.argv[1:6]
    baseline_runner = sys.argv[6] if len(sys.argv) > 6 else None
    os.makedirs(folder, exist_ok=True)
    paths = write_product(folder)
    write_scripts(folder, paths)
    timed([wine_run, runner, "make", "./bench.scn", "./ours-setup.exe"], folder)
    timed(["makensis", "-V1", "bench.nsi"], folder)
    package_size = os.path.getsize(os.path.join(folder, "ours-setup.exe")) - os.path.getsize(runner)
    results = {"ours": [], "peer": []}
    for _ in range(RUNS):
        results["ours"].append(install_ours(wine_run, "./ours-setup.exe", folder))
        results["peer"].append(install_peer(wine_run, "./nsis-setup.exe", folder))
    ours, peer = (median_run(results[name]) for name in ("ours", "peer"))
    print("install, 170 MB, 403 files: ours (test build, no wizard) %.2f s, peer silent (zlib) %.2f s" % (ours[0],
                                                                                                        peer[0]))
    peak = ours[2] * 1024 / package_size
    print("package %.1f MB; our peak memory %.2f x the package  target <= %.2f" % (package_size / 1e6, peak,
                                                                                    TARGET_PEAK))
    ratio = ours[0] / peer[0]
    print("ratio (ours / peer)                %9.3f  target <= %.2f" % (ratio, TARGET_RATIO))
    wizard_status = wizard_bench(wine_run, manager, bench, folder)
    small_files = small_files_bench.run(wine_run, runner, folder, install_ours, install_peer, baseline_runner)
    return 0 if ratio <= TARGET_RATIO and peak <= TARGET_PEAK and wizard_status == 0 and small_files else 1


if __name__ == "__main__":
    sys.exit(main())
