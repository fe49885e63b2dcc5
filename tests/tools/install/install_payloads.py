#!/usr/bin/env python3
"""Writes the products that the install road's tests make installers of:
their files, a scenario for each ("@CODENAME@" stands for the code name
each test process gives its products, "@CODENAME_CAPITALS@" for it in
capital letters) and the list of files each installs.

  road/src/<product>/...      the product's files
  road/docs/                  the licence that every product carries
  road/<product>.scn.in       the scenario (UTF-8 with a byte-order mark),
                              source paths relative to road/
  road/<product>.files        "<target>\\t<source>" per installed file,
                              paths relative to the install folder and to
                              road/, UTF-8

Products: v1 (1.0.0.1) and v2 (1.1.0.0) for updates (changed, added,
removed and identical files, nested folders, blanks and non-ASCII names,
sizes that are multiples of 4,096 and more than 64 KiB), same (v1's files
as 1.0.5.0), two (English and
German, for the language question), big (1.2.0.0, 120 files, for kills at
random moments), other (another product, "<code name>-other", installed
beside v1), empty (a 0-byte file, which make refuses), beside (v1 and
a file in a folder the package names beside the install folder), meet
(a file of the install folder and one of a folder the package names that
are one file when the user installs into that folder) and public (v1 and
a file in a folder the package names, the folder being the public profile
itself, which no product owns: make refuses it).

For the wizard: w1 (v1's files and a program the test puts in
road/src/w1/bin/marker.exe, with welcome, read-me to accept and licence,
replacing "<code name>-older", the program ticked on the finish page), w2
(its update: v2's files and the program, replacing its own code name),
older (the product w1 replaces, "<code name>-older") and olds (replacing
"<code name>-a" to "-d").

usage: install_payloads.py <output folder>"""

import os
import random
import sys

HEADER = """[General]
langs = {langs}

[Software]
codename = "@CODENAME@{code_suffix}"
name = "Road Test {label}"
publisher = "Road Works"
group = "{group}"
folder = "Road Test"
version = "{version}"
publish_URL = "http://example.org/"
support_URL = "http://example.org/support"
updates_URL = "http://example.org/updates"
icon = $pgm "bin/app.exe"
eula = "./docs/eula.idx"
{documents}
[Strings]
{strings}
[Install]
"""


def exe_like(rng, size):
    """Code-like bytes: runs of a few repeated words and some noise, which
    compress about as a program does."""
    words = [rng.randbytes(4) for _ in range(64)]
    out = bytearray(b"MZ")
    while len(out) < size:
        if rng.random() < 0.2:
            out += rng.randbytes(rng.randint(1, 16))
        else:
            out += rng.choice(words) * rng.randint(1, 4)
    return bytes(out[:size])


def text_like(rng, size):
    words = ["install", "folder", "update", "ready", "manager", "file", "record", "entry", "Straße", "ファイル"]
    out = ""
    while len(out.encode("utf-8")) < size:
        out += " ".join(rng.choice(words) for _ in range(12)) + "\r\n"
    return out.encode("utf-8")[:size]


def noise(rng, size):
    return rng.randbytes(size)


class Product:
    def __init__(self, name, version, langs="ENG", code_suffix="", group="Road Test"):
        self.name, self.version, self.langs = name, version, langs
        self.code_suffix, self.group = code_suffix, group
        self.documents = []
        self.files = []  # (target, kind, size, seed)
        self.menu = []
        self.strings = []
        self.runs = []
        self.deprecates = []
        self.elsewhere = []  # (folder key, target, kind, size, seed): outside the install folder

    def add(self, target, kind, size, seed):
        self.files.append((target, kind, size, seed))


def write_product(root, product):
    base = os.path.join(root, "src", product.name)
    lines, listing = [], []
    for target, kind, size, seed in product.files:
        path = os.path.join(base, *target.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # An external file is the test's to put there.
        if kind != "external":
            data = {"exe": exe_like, "text": text_like, "noise": noise}[kind](random.Random(seed), size)
            with open(path, "wb") as out:
                out.write(data)
        source = f"./src/{product.name}/{target}"
        listing.append(f"{target}\t{source[2:]}")
        digits = ", 755" if target.endswith(".exe") else ""
        if not target.startswith("data/nested/"):
            lines.append(f'"{source}" = $pgm "{target}"{digits}')
    for key, target, kind, size, seed in product.elsewhere:
        path = os.path.join(base, "elsewhere", *target.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write({"exe": exe_like, "text": text_like, "noise": noise}[kind](random.Random(seed), size))
        lines.append(f'"./src/{product.name}/elsewhere/{target}" = ${key} "{target}"')
    if any(t.startswith("data/nested/") for t, *_ in product.files):
        # One folder line adds the nested folder's files, recursively.
        lines.append(f'"./src/{product.name}/data/nested" = $pgm "data/nested"')
    scenario = HEADER.format(langs=product.langs, label=product.name, version=product.version,
                             code_suffix=product.code_suffix, group=product.group,
                             documents="".join(d + "\n" for d in product.documents),
                             strings="".join(s + "\n" for s in product.strings))
    scenario += "\n".join(lines) + "\n\n[Menu]\n" + "".join(m + "\n" for m in product.menu)
    scenario += "\n[Run]\n" + "".join(r + "\n" for r in product.runs)
    scenario += "\n[Deprecates]\n" + "".join(d + "\n" for d in product.deprecates)
    with open(os.path.join(root, product.name + ".scn.in"), "w", encoding="utf-8-sig", newline="\r\n") as out:
        out.write(scenario)
    with open(os.path.join(root, product.name + ".files"), "w", encoding="utf-8", newline="\n") as out:
        out.write("".join(line + "\n" for line in listing))


def base_strings(product, langs):
    for lang in langs:
        product.strings += [f'{lang}.open = "Road App"', f'{lang}.docs = "Road Docs"', f'{lang}.tool1 = "Tool"',
                            f'{lang}.tool2 = "TOOL"', f'{lang}.show = "Show the notes"',
                            f'{lang}.about = "Starts the road app"', f'{lang}.start = "Start the road app"']


def main():
    root = os.path.join(sys.argv[1], "road")
    os.makedirs(root, exist_ok=True)
    unicode_name = "docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt"

    v1 = Product("v1", "1.0.0.1")
    base_strings(v1, ["ENG"])
    v1.add("bin/app.exe", "exe", 70000, 1)
    v1.add("bin/core.dll", "exe", 8192, 2)
    v1.add("docs/read me.txt", "text", 5000, 3)
    v1.add(unicode_name, "text", 3000, 4)
    v1.add("old/only/gone.txt", "text", 100, 5)
    v1.add("data/nested/deep/blob.bin", "noise", 65536, 6)
    v1.add("keep/spelled.dll", "exe", 4096, 7)
    # Two shortcuts whose files are one on Windows ("Tool" and "TOOL"), one
    # run as administrator.
    v1.menu = ['$open = $pgm "bin/app.exe", $pgm "bin/app.exe", 1, $about',
               '$tool1 = $pgm "bin/core.dll", $pgm "bin/app.exe"',
               '$tool2 = $pgm "bin/core.dll", $pgm "bin/app.exe"']
    v1.runs = ['$show = $pgm "docs/read me.txt", yes']

    v2 = Product("v2", "1.1.0.0")
    base_strings(v2, ["ENG"])
    v2.add("bin/app.exe", "exe", 90000, 11)
    v2.add("bin/core.dll", "exe", 8192, 2)
    v2.add("docs/read me.txt", "text", 5000, 3)
    v2.add(unicode_name, "text", 3500, 14)
    v2.add("data/nested/deep/blob.bin", "noise", 65536, 6)
    v2.add("keep/spelled.dll", "exe", 4096, 7)
    v2.add("bin/plugins/new.dll", "exe", 4096, 17)
    v2.add("data/big.bin", "noise", 300000, 18)
    v2.menu = ['$open = $pgm "bin/app.exe", $pgm "bin/app.exe", 1, $about',
               '$docs = $pgm "docs/read me.txt", $pgm "bin/app.exe"']
    v2.runs = ['$show = $pgm "docs/read me.txt", yes']
    # Its own code name in other letters is itself, never an older product.
    v2.deprecates = ['"@CODENAME@-classic" = *', '"@CODENAME@-old" = "2"', '"@CODENAME_CAPITALS@" = *']

    # v1's files again under a newer version: every file is left alone.
    same = Product("same", "1.0.5.0")
    base_strings(same, ["ENG"])
    same.files, same.menu, same.runs = v1.files, v1.menu, v1.runs

    two = Product("two", "1.0.0.0", "ENG DEU")
    base_strings(two, ["ENG", "DEU"])
    two.add("bin/app.exe", "exe", 5000, 21)
    two.menu = ['$open = $pgm "bin/app.exe", $pgm "bin/app.exe"']

    big = Product("big", "1.2.0.0")
    base_strings(big, ["ENG"])
    rng = random.Random(99)
    for target, kind, size, seed in v2.files:
        big.add(target, kind, size + 1000 if kind == "exe" else size, seed + 100)
    for i in range(112):
        kind = rng.choice(["exe", "exe", "noise", "text"])
        size = rng.choice([4096, 12288, 30000, 70000, 150000])
        big.add(f"lib/part{i // 20}/file{i}.{'dll' if kind == 'exe' else 'dat'}", kind, size, 1000 + i)
    big.menu = v2.menu
    big.runs = v2.runs

    # Another product beside v1, under "<code name>-other" with a Start-menu
    # folder of its own, which uninstalling v1 must leave alone.
    other = Product("other", "1.0.0.0", code_suffix="-other", group="Other Test")
    base_strings(other, ["ENG"])
    other.add("bin/other.exe", "exe", 6000, 41)
    other.add("docs/other notes.txt", "text", 2000, 42)
    other.menu = ['$open = $pgm "bin/other.exe", $pgm "bin/other.exe"']

    empty = Product("empty", "1.0.0.0")
    base_strings(empty, ["ENG"])
    empty.add("bin/app.exe", "exe", 5000, 31)
    empty.add("empty.txt", "text", 0, 32)

    w1 = Product("w1", "1.0.0.1")
    base_strings(w1, ["ENG"])
    w1.files = v1.files + [("bin/marker.exe", "external", 0, 0)]
    w1.documents = ['welcome = "./docs/welcome.idx"', 'readme = "./docs/readme.idx", yes']
    w1.menu = v1.menu
    w1.runs = ['$start = $pgm "bin/marker.exe", yes', '$show = $pgm "docs/read me.txt", no']
    w1.deprecates = ['"@CODENAME@-older" = *']

    w2 = Product("w2", "1.1.0.0")
    base_strings(w2, ["ENG"])
    w2.files = v2.files + [("bin/marker.exe", "external", 0, 0)]
    w2.documents = ['welcome = "./docs/welcome.idx"']
    w2.menu = v2.menu
    w2.runs = ['$start = $pgm "bin/marker.exe", no']
    # Its own earlier version among the products it replaces, as the
    # sample product has it: never offered for removal.
    w2.deprecates = ['"@CODENAME@" = *', '"@CODENAME@-older" = *']

    # v1 with a file in a folder of the package's own beside the install
    # folder, which its updates and its uninstall take as the product's.
    beside = Product("beside", "1.0.0.1")
    base_strings(beside, ["ENG"])
    beside.files, beside.menu = v1.files, v1.menu
    beside.strings.append('shared = "C:/users/Public/@CODENAME@-shared"')
    beside.elsewhere = [("shared", "notes/beside.txt", "text", 700, 61)]

    # Two files that meet only in the folder the user may choose: the
    # package's own folder "shared" as the install folder.
    meet = Product("meet", "1.0.0.0")
    base_strings(meet, ["ENG"])
    meet.add("bin/app.exe", "exe", 5000, 71)
    meet.menu = ['$open = $pgm "bin/app.exe", $pgm "bin/app.exe"']
    meet.strings.append('shared = "C:/users/Public/@CODENAME@-meet"')
    meet.elsewhere = [("shared", "bin/app.exe", "exe", 3000, 72)]

    # The same with its folder the public profile itself, which make refuses.
    public = Product("public", "1.0.0.1")
    base_strings(public, ["ENG"])
    public.files, public.menu = v1.files, v1.menu
    public.strings.append('shared = "C:/users/Public"')
    public.elsewhere = [("shared", "pelmaro-road-public/public.txt", "text", 700, 62)]

    older = Product("older", "1.0.0.0", code_suffix="-older")
    base_strings(older, ["ENG"])
    older.add("old/tool.exe", "exe", 3000, 41)

    olds = Product("olds", "1.0.0.0")
    base_strings(olds, ["ENG"])
    olds.add("bin/app.exe", "exe", 5000, 51)
    olds.deprecates = [f'"@CODENAME@-{letter}" = *' for letter in "abcd"]

    os.makedirs(os.path.join(root, "docs"), exist_ok=True)
    for document, title in (("welcome", "Welcome to the road test"), ("readme", "Read this first")):
        with open(os.path.join(root, "docs", document + ".idx"), "w", encoding="utf-8") as out:
            out.write(f'ENG = "./{document}_eng.txt"\n')
        with open(os.path.join(root, "docs", document + "_eng.txt"), "w", encoding="utf-8") as out:
            out.write(f"<text ml=12 mr=12 mt=10>{title}: a product of the install road's tests.</text>\n")

    # The licence every product must have, in both languages.
    os.makedirs(os.path.join(root, "docs"), exist_ok=True)
    with open(os.path.join(root, "docs", "eula.idx"), "w", encoding="utf-8") as out:
        out.write('ENG = "./eula_eng.txt"\nDEU = "./eula_deu.txt"\n')
    for lang, text in (("eng", "You may install and remove this test product."),
                       ("deu", "Sie d\u00fcrfen dieses Testprodukt installieren und entfernen.")):
        with open(os.path.join(root, "docs", f"eula_{lang}.txt"), "w", encoding="utf-8") as out:
            out.write(f"<text ml=12 mr=12 mt=10>{text}</text>\n")
    for product in (v1, v2, same, two, big, other, empty, beside, meet, public, w1, w2, older, olds):
        write_product(root, product)


if __name__ == "__main__":
    main()
