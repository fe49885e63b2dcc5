#!/usr/bin/env python3
"""Reads the links that shell_link_test wrote with Debian's lnkinfo (an
independent reader of the shell link format) and compares what it finds
with the fields the test expected: the local base path, the strings, the
target's size and the item list (root, drive, then one item per path
component whose short and long names both give the component, the last one
of a file target a file item). A path the code page cannot hold must come
back whole from the Unicode local path, and its components from the long
names.

usage: check_shell_links.py <folder with expected.txt and the links>"""

import os
import re
import subprocess
import sys

FIELD = re.compile(r"^\t([A-Za-z][^\t:]*?)\t+: ?(.*)$")
ITEM_FIELD = re.compile(r"^\t\t([A-Za-z][^\t:]*?)\t+: ?(.*)$")


def read_link(path, codepage):
    output = subprocess.run(["lnkinfo", "-c", codepage, path], check=True, capture_output=True).stdout
    fields, items = {}, []
    for line in output.decode("utf-8").splitlines():
        if line.startswith("\tShell item: "):
            items.append({})
            continue
        match = ITEM_FIELD.match(line)
        if match and items:
            items[-1].setdefault(match.group(1), match.group(2))
            continue
        match = FIELD.match(line)
        if match:
            fields[match.group(1)] = match.group(2)
    return fields, items


def check(folder, line, codepage):
    name, target, working, arguments, description, icon, _run_as, size = line.split("\t")
    fields, items = read_link(os.path.join(folder, name), codepage)
    problems = []

    def expect(what, got, wanted):
        if got != wanted:
            problems.append(f"{name}: {what} is {got!r}, expected {wanted!r}")

    expect("local path", fields.get("Local path"), target)
    for label, wanted in (("Working directory", working), ("Command line arguments", arguments),
                          ("Description", description), ("Icon location", icon)):
        expect(label, fields.get(label), wanted or None)
    expect("file size", fields.get("File size"), "0 bytes" if size == "folder" else f"{size} bytes")
    expect("item count", len(items), len(target.split("\\")) + 1)
    if len(items) >= 2:
        expect("root item", items[0].get("Shell folder name"), "My Computer")
        expect("drive item", items[1].get("Volume name"), target[:2] + "\\")
        components = target[3:].split("\\")
        for index, (item, component) in enumerate(zip(items[2:], components)):
            last_file = index == len(components) - 1 and size != "folder"
            # A name the code page cannot hold has only its long name whole.
            try:
                component.encode(codepage.replace("windows-", "cp"))
                expect(f"item {index} short name", item.get("Name"), component)
            except UnicodeEncodeError:
                pass
            expect(f"item {index} long name", item.get("Long name"), component)
            expect(f"item {index} class", item.get("Class type indicator", "")[:4], "0x32" if last_file else "0x31")
    return problems


def main():
    folder = sys.argv[1]
    with open(os.path.join(folder, "expected.txt"), encoding="utf-8") as expected:
        lines = expected.read().splitlines()
    codepage = "windows-" + lines[0].split("\t")[1]
    problems = []
    for line in lines[1:]:
        problems += check(folder, line, codepage)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
