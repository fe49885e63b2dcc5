#!/usr/bin/env python3
"""The kill points of the install road, and the member builder's stand-in
for a crowded heap, exist only in test builds: the
program, and the install road's library that it links, hold neither the
hook nor the name of its variable; the test builds (the installer's and
the program's) hold both (so the search finds what it looks for).

usage: check_no_kill_points.py <program> <road library> <test build>..."""

import sys

MARKS = (b"PELMARO_TEST_KILL_POINT", b"install_kill_point", b"PELMARO_TEST_LARGEST_BLOCK")


def marks_in(path):
    with open(path, "rb") as f:
        data = f.read()
    return [mark.decode() for mark in MARKS if mark in data]


def main():
    program, library = sys.argv[1:3]
    problems = []
    for path in (program, library):
        found = marks_in(path)
        if found:
            problems.append(f"{path} holds {', '.join(found)}")
    for test_build in sys.argv[3:]:
        if MARKS[0].decode() not in marks_in(test_build):
            problems.append(f"{test_build} holds no kill point")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
