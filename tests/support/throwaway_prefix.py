#!/usr/bin/env python3
"""Runs a command in a Wine prefix of its own, made for it and removed
afterwards, so that what the command leaves in the registry and on drive C
(Windows' list of installed programs, shared program files) meets no other
test.

usage: throwaway_prefix.py <command> [arguments...]

The prefix is made by cmake/wine-run (with the test settings of the build's
own prefix) in a new folder beside $WINEPREFIX, its server kept running
while the command runs, with Wine's services up first; the command gets it
as WINEPREFIX. Afterwards every process of the prefix ends with its server
and the folder goes. Exits with the command's code.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "cmake", "wine-run")


def services_up(environment):
    """Every service that starts by itself runs, twice the same (as the
    build's session waits for before its tests)."""
    previous = None
    for _ in range(100):
        states = subprocess.run([WINE_RUN, "wmic", "path", "Win32_Service", "get", "Name,StartMode,State"],
                                env=environment, stdin=subprocess.DEVNULL, capture_output=True).stdout
        states = states.replace(b"\0", b"").replace(b"\r", b"")
        pending = any(b"Pending" in line or (b" Auto " in line and b"Running" not in line)
                      for line in states.splitlines())
        if b"Running" in states and not pending and states == previous:
            return
        previous = states
        time.sleep(0.2)


def main():
    command = sys.argv[1:]
    base = os.path.dirname(os.environ.get("WINEPREFIX", tempfile.gettempdir()))
    folder = tempfile.mkdtemp(prefix="throwaway-prefix-", dir=base)
    environment = dict(os.environ, WINEPREFIX=os.path.join(folder, "prefix"))
    server = None
    try:
        subprocess.run([WINE_RUN, "cmd", "/c", "exit"], env=environment, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=environment)
        server = subprocess.Popen(["wineserver", "-f", "-p"], env=environment)
        subprocess.run([WINE_RUN, "cmd", "/c", "exit"], env=environment, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        services_up(environment)
        return subprocess.run(command, env=environment).returncode
    finally:
        subprocess.run(["wineserver", "-k"], env=environment)
        if server:
            try:
                server.wait(timeout=20)
            except subprocess.TimeoutExpired:
                server.kill()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
