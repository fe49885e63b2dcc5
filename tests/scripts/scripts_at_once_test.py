#!/usr/bin/env python3
"""Scripts at once in one checkout, as from several terminals, each ending as
it would alone: "scripts/run" opens the manager on an X screen of this
test's own; meanwhile "scripts/run version" prints the version and ends;
"scripts/run make" run in a product's own folder with the paths relative to
it makes the installer there (and for a scenario naming a missing file
prints the error of make's log, which a run without a target, writing no
log, does not print again); "scripts/run uninstall" of a product that
is not there answers the uninstall's windows on a screen of its own (the
language, then the error) and ends with its exit code; the manager's window
is still there, and closed with Alt+F4 its script says the program ended
with exit code 0. None ends a program that runs meanwhile in the tests' own
prefix (a command prompt waiting for its input).

usage: scripts_at_once_test.py WINE_RUN PROJECT_FOLDER BUILD_FOLDER
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def windows(display):
    # The manager's window by its title: Wine may show a window of its own
    # meanwhile (the one that tells of a prefix being made).
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vantrel Pelmaro$"],
                          env=dict(os.environ, DISPLAY=display), capture_output=True, text=True).stdout.split()


SCENARIO = """[General]
langs = ENG
[Software]
codename = "own-product"
eula = "./docs/eula.idx"
[Install]
"./product/{name}" = $pgm "{name}"
"""


def write_product(folder):
    """A product of one file in a folder of its own, its paths relative to
    it, as a user writes one: own.scn, and missing.scn naming a file that
    is not there."""
    for name, text in (("docs/eula.idx", 'ENG = "./eula.txt"\n'), ("docs/eula.txt", "<text>Licence</text>\n"),
                       ("product/notes.txt", "notes\n"), ("own.scn", SCENARIO.format(name="notes.txt")),
                       ("missing.scn", SCENARIO.format(name="missing.txt"))):
        os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
        with open(os.path.join(folder, name), "w") as f:
            f.write(text)


def main():
    wine_run, project, build = sys.argv[1:4]
    env = {k: v for k, v in os.environ.items() if k not in ("WINEPREFIX", "DISPLAY")}
    env["BUILD_DIR"] = os.path.relpath(build, project)
    said = tempfile.TemporaryFile(mode="w+")
    number, reported = os.pipe()
    screen = subprocess.Popen(["Xvfb", "-displayfd", str(reported), "-nolisten", "tcp"], pass_fds=[reported],
                              stderr=subprocess.DEVNULL)
    os.close(reported)
    started = []

    def start(command, **options):
        # In a process group of its own, which the cleanup ends as a closed
        # terminal would: the script's session ends with it.
        started.append(subprocess.Popen(command, start_new_session=True, **options))
        return started[-1]

    try:
        display = ":" + os.read(number, 16).decode().strip()
        check(display != ":", "the X screen did not start")
        waiting = start([wine_run, "cmd", "/c", "set /p line="], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
        manager = start(["scripts/run"], cwd=project, env=dict(env, DISPLAY=display), stdout=said,
                        stderr=subprocess.STDOUT)
        deadline = time.time() + 300
        while not windows(display) and manager.poll() is None and time.time() < deadline:
            time.sleep(0.5)
        check(manager.poll() is None and windows(display), "scripts/run showed no manager")
        window = windows(display)[0]

        version = start(["scripts/run", "version"], cwd=project, env=env, stdout=subprocess.PIPE,
                        stderr=subprocess.STDOUT, text=True)
        product = tempfile.TemporaryDirectory()
        write_product(product.name)
        run = os.path.join(project, "scripts", "run")
        makes = {scenario: start([run, "make", scenario, scenario[:-4] + ".exe"], cwd=product.name, env=env,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                 for scenario in ("own.scn", "missing.scn")}
        # Nobody on the screen: the uninstall's windows are answered.
        for n in (1, 2, 3):
            if os.path.exists(os.path.join(build, "artifacts", "uninstall_%d.png" % n)):
                os.remove(os.path.join(build, "artifacts", "uninstall_%d.png" % n))
        uninstall = start(["scripts/run", "uninstall", "no-such-product"], cwd=project, env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        printed = version.communicate(timeout=300)[0]
        print(printed)
        check(version.returncode == 0 and re.search(r"^pelmarodesk\.exe version \d+(\.\d+){3}$", printed, re.M),
              "scripts/run version beside the manager: exit %d" % version.returncode)
        made = makes["own.scn"].communicate(timeout=300)[0]
        print(made)
        with open(os.path.join(product.name, "own.exe"), "rb") as f:
            installer = f.read()
        check(makes["own.scn"].returncode == 0 and installer[:2] == b"MZ" and b"QRVSOPKG" in installer,
              "scripts/run make in the product's folder: exit %d" % makes["own.scn"].returncode)
        refused = makes["missing.scn"].communicate(timeout=300)[0]
        print(refused)
        check(makes["missing.scn"].returncode == 1 and
              ' - No source file or folder "./product/missing.txt"' in refused,
              "scripts/run make of a scenario naming a missing file: exit %d" % makes["missing.scn"].returncode)
        untargeted = start([run, "make", "missing.scn"], cwd=product.name, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True)
        said_untargeted = untargeted.communicate(timeout=300)[0]
        print(said_untargeted)
        check(untargeted.returncode == 1 and "make's log" not in said_untargeted,
              "scripts/run make without a target: exit %d" % untargeted.returncode)
        said_uninstall = uninstall.communicate(timeout=300)[0]
        print(said_uninstall)
        answered = re.findall(r"it is kept as (\S+) and answered with Enter", said_uninstall)
        # The language it asks for without a record, then the error.
        check(uninstall.returncode == 1 and answered == [os.path.join(os.path.relpath(build, project), "artifacts",
                                                                        "uninstall_%d.png" % n) for n in (1, 2)] and
              all(os.path.isfile(os.path.join(project, picture)) for picture in answered) and
              "ended with an error (exit code 1)" in said_uninstall,
              "scripts/run uninstall of no product: exit %d" % uninstall.returncode)
        check(manager.poll() is None and window in windows(display), "the manager went while scripts/run version ran")
        check(waiting.poll() is None, "the tests' program was ended (exit %s)" % waiting.poll())

        subprocess.run(["xdotool", "key", "alt+F4"], env=dict(os.environ, DISPLAY=display), check=True)
        check(manager.wait(timeout=60) == 0, "the manager's script ended with %d" % manager.returncode)
        waiting.communicate(b"done\n", timeout=60)
        check(waiting.returncode == 0, "the tests' program ended with %d" % waiting.returncode)
    finally:
        for process in started:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
        for process in started:
            try:
                process.wait(timeout=60)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
        screen.kill()
        said.seek(0)
        print(said.read())
    said.seek(0)
    check("pelmarodesk.exe ended (exit code 0)" in said.read(), "the manager's script did not say how it ended")


if __name__ == "__main__":
    main()
