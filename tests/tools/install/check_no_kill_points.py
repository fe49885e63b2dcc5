#!/usr/bin/env python3
"""The kill points of the install road, the member builder's stand-in
for a crowded heap, the stand-in for a run without administrator
rights and the log of the messages shown exist only in test builds: the
program, and the install road's library that it links, hold neither the
hooks nor the names of their variables; the test builds (the installer's
and the program's) hold the kill points, the stand-in and the message log
(so the search finds what it looks for).

usage: check_no_kill_points.py <program> <road library> <test build>..."""

import sys

# Each name with the encoding the build holds it in.
MARKS = (("PELMARO_TEST_KILL_POINT", "ascii"), ("install_kill_point", "ascii"),
         ("PELMARO_TEST_LARGEST_BLOCK", "ascii"), ("PELMARO_TEST_STANDARD_USER", "utf-16-le"),
         ("PELMARO_TEST_MESSAGE_LOG", "utf-16-le"))
# The names every test build holds.
IN_TEST_BUILDS = ("PELMARO_TEST_KILL_POINT", "PELMARO_TEST_STANDARD_USER", "PELMARO_TEST_MESSAGE_LOG")


def marks_in(path):
    with open(path, "rb") as f:
        data = f.read()
    return [name for name, encoding in MARKS if name.encode(encoding) in data]


def main():
    program, library = sys.argv[1:3]
    problems = []
    for path in (program, library):
        found = marks_in(path)
        if found:
            problems.append(f"{path} holds {', '.join(found)}")
    for test_build in sys.argv[3:]:
        found = marks_in(test_build)
        for needed in IN_TEST_BUILDS:
            if needed not in found:
                problems.append(f"{test_build} holds no {needed}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
