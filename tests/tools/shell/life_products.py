#!/usr/bin/env python3
"""Writes the two products whose life the end-to-end test of the manager
follows: Life Alpha 1.0 and 2.0 and Life Bravo 1.0, each with its program
(a test program with its own icon group, built beside the tests:
product_a.exe, product_b.exe), a text file, a welcome page, a read-me and a
licence, a Start-menu shortcut and a program to start from the finish page
and the manager.

  life/<product>.scn     the scenarios (UTF-8 with a byte-order mark),
                         source paths relative to life/
  life/docs/...          the documents' mark-up
  life/<product>/...     the files that are no program

usage: life_products.py <output folder>"""

import os
import sys

SCENARIO = """[General]
langs = ENG

[Software]
codename = "{code}"
name = "{name}"
publisher = "Life Works"
copyright = "Copyright (C) Life Works"
group = "{name}"
folder = "{name}"
version = "{version}"
publish_URL = "http://example.org/{code}"
support_URL = "http://example.org/{code}/support"
updates_URL = "http://example.org/{code}/updates"
welcome = "./docs/welcome.idx"
readme = "./docs/readme.idx", yes
eula = "./docs/eula.idx"
icon = $pgm "{program}"

[Strings]
ENG.open = "{name}"
ENG.about = "Starts {name}"
ENG.start = "Start {name}"

[Install]
"../{source}" = $pgm "{program}", 755
{files}
[Menu]
$open = $pgm "{program}", $pgm "{program}", 0, $about

[Run]
$start = $pgm "{program}", no
"""

PRODUCTS = [
    # scenario, code, name, version, program source, program, extra files
    ("alpha-1", "life-alpha", "Life Alpha", "1.0.0.0", "product_a.exe", "alpha.exe", {"notes.txt": "Alpha 1.0\r\n"}),
    ("alpha-2", "life-alpha", "Life Alpha", "2.0.0.0", "product_a.exe", "alpha.exe",
     {"notes.txt": "Alpha 2.0\r\n", "news.txt": "New in 2.0\r\n"}),
    # A code name with a character beyond U+FFFF: recorded and asked about
    # in its UTF-8 form.
    ("bravo-1", "life-bravo-\U0001F331", "Life Bravo", "1.0.0.0", "product_b.exe", "bravo.exe",
     {"notes.txt": "Bravo 1.0\r\n"}),
]

DOCUMENTS = {
    "welcome": "<text ml=12 mr=12 mt=10 a=c>Welcome</text>\n<text ml=12 mr=12 mt=8>This installs a product of the manager's test.</text>\n",
    "readme": "<text ml=12 mr=12 mt=10>Read me: nothing to read.</text>\n",
    "eula": "<text ml=12 mr=12 mt=10>You may install and remove this test product.</text>\n",
}


def main():
    root = os.path.join(sys.argv[1], "life")
    os.makedirs(os.path.join(root, "docs"), exist_ok=True)
    for name, text in DOCUMENTS.items():
        with open(os.path.join(root, "docs", name + ".idx"), "w", encoding="utf-8") as out:
            out.write('ENG = "./%s_eng.txt"\n' % name)
        with open(os.path.join(root, "docs", name + "_eng.txt"), "w", encoding="utf-8") as out:
            out.write(text)
    for scenario, code, name, version, source, program, extra in PRODUCTS:
        lines = []
        for file_name, text in extra.items():
            os.makedirs(os.path.join(root, scenario), exist_ok=True)
            with open(os.path.join(root, scenario, file_name), "w", encoding="utf-8", newline="") as out:
                out.write(text)
            lines.append('"./%s/%s" = $pgm "%s", 644' % (scenario, file_name, file_name))
        text = SCENARIO.format(code=code, name=name, version=version, source=source, program=program,
                               files="".join(line + "\n" for line in lines))
        with open(os.path.join(root, scenario + ".scn"), "w", encoding="utf-8-sig", newline="\r\n") as out:
            out.write(text)


if __name__ == "__main__":
    main()
