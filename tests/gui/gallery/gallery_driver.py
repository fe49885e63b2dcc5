#!/usr/bin/env python3
"""Runs the GUI gallery under Wine on the test display, saves a screenshot of
it as the test run's artefact, checks what the screenshot shows, then lets the
gallery end itself and checks the result of its modal run.

Arguments: the emulator, the gallery executable, the screenshot's path."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

# Colours of the built-in theme as the screen shows them (R, G, B): the
# panel background (theme colour 0) and the accent of the focused chip
# (theme colour 16), both given as 0x00BBGGRR in the theme's table.
def rgb_of(bgr):
    return (bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF)

PANEL = rgb_of(0xF3E5DF)
ACCENT = rgb_of(0xFF9933)
END_RESULT = 7


def wait_for(path, seconds, process):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return True
        if process.poll() is not None:
            return False
        time.sleep(0.1)
    return False


def screen_pixels(x, y, w, h):
    shot = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    raw = subprocess.run(["convert", "xwd:-", "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
                         input=shot, check=True, capture_output=True).stdout
    return shot, raw


def pixel(raw, w, px, py):
    at = (py * w + px) * 3
    return tuple(raw[at:at + 3])


def main():
    emulator, exe, screenshot = sys.argv[1:4]
    folder = os.path.dirname(os.path.abspath(screenshot))
    os.makedirs(folder, exist_ok=True)
    work = tempfile.mkdtemp(prefix="gallery-", dir=folder)
    windows_work = "Z:" + work.replace("/", "\\")
    process = subprocess.Popen([emulator, exe, windows_work])
    failures = []
    try:
        if not wait_for(os.path.join(work, "ready.txt"), 60, process):
            print("the gallery never reported its window", file=sys.stderr)
            return 1
        x, y, w, h = (int(v) for v in open(os.path.join(work, "ready.txt")).read().split())
        time.sleep(1.5)
        shot, raw = screen_pixels(x, y, w, h)
        subprocess.run(["convert", "xwd:-", screenshot], input=shot, check=True)
        print(f"screenshot: {screenshot} (gallery client area {w}x{h} at {x},{y})")

        if pixel(raw, w, 444, 300) != PANEL:
            failures.append(f"panel background {pixel(raw, w, 444, 300)} is not {PANEL}")
        colours = {pixel(raw, w, px, py) for py in range(h) for px in range(w)}
        if len(colours) < 64:
            failures.append(f"only {len(colours)} colours: images and text are missing")
        chip_top = h - 70
        chip = {pixel(raw, w, px, py) for py in range(chip_top, chip_top + 26) for px in range(136, 246)}
        if ACCENT not in chip:
            failures.append("the focused chip shows no focus frame")
        other = {pixel(raw, w, px, py) for py in range(chip_top, chip_top + 26) for px in range(16, 126)}
        if ACCENT in other:
            failures.append("an unfocused chip shows the focus frame")

        open(os.path.join(work, "end.flag"), "w").close()
        result = process.wait(timeout=30)
        if result != END_RESULT:
            failures.append(f"the modal run answered {result}, not {END_RESULT}")
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
