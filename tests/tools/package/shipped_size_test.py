#!/usr/bin/env python3
"""What ships, read from the PE format alone: the bare manager and an
installer that "pelmarodesk.exe make" writes under Wine of a 1 MiB product
that does not compress hold no debug sections and no symbols, and stay
within their sizes. Both keep their sections page-aligned in the file (the
headers and every section's bytes start on a 4 KiB page and fill whole
pages), so that a loader can map the image's pages as they are used
instead of reading it whole. The debug information lies beside the
manager in the file its debug link names, with the CRC-32 the link gives.

Usage: shipped_size_test.py WINE_RUN MANAGER WORK_FOLDER
"""

import os
import random
import shutil
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
from pe_layout import pe_sections, u16, u32  # noqa: E402
from process_output import output_until_exit  # noqa: E402

PRODUCT_SIZE = 1 << 20
PAGE = 4096
SCENARIO = """[General]
langs = ENG
[Software]
codename = "shipped"
name = "Shipped"
version = "1.0"
eula = "./eula.idx"
[Install]
"./product.bin" = $pgm "product.bin"
"""


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def make_installer(wine_run, manager, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "product.bin"), "wb") as f:
        f.write(random.Random(1).randbytes(PRODUCT_SIZE))
    with open(os.path.join(folder, "eula.txt"), "w") as f:
        f.write("<text>Licence</text>\n")
    with open(os.path.join(folder, "eula.idx"), "w") as f:
        f.write('ENG = "./eula.txt"\n')
    with open(os.path.join(folder, "s.scn"), "w") as f:
        f.write(SCENARIO)
    code, _ = output_until_exit([wine_run, manager, "make", "s.scn", "setup.exe"], 120, cwd=folder)
    with open(os.path.join(folder, "s.scn.log"), "rb") as f:
        log = f.read().decode("utf-8", errors="replace")
    check(code == 0, "make: exit %d\n%s" % (code, log))
    return os.path.join(folder, "setup.exe")


def check_shipped(what, path, largest):
    with open(path, "rb") as f:
        data = f.read()
    names = [name for name, _, _ in pe_sections(data)]
    debug = [name for name in names if name.startswith((".debug", ".zdebug", ".stab"))]
    check(not debug, "%s holds debug sections %s" % (what, ", ".join(debug)))
    pe = u32(data, 60)
    check(u32(data, pe + 16) == 0, "%s holds %d symbols" % (what, u32(data, pe + 16)))
    check(len(data) <= largest, "%s: %d bytes, more than %d" % (what, len(data), largest))
    print("%s: %d bytes (at most %d), sections %s" % (what, len(data), largest, " ".join(names)))


def check_page_aligned(what, path):
    """The optional header's alignments and the section table, read from
    the file: the headers and every section's bytes on whole pages."""
    with open(path, "rb") as f:
        data = f.read()
    pe = u32(data, 60)
    count, optional_size = u16(data, pe + 6), u16(data, pe + 20)
    optional = pe + 24
    section_alignment, file_alignment = u32(data, optional + 32), u32(data, optional + 36)
    headers = u32(data, optional + 60)
    check(file_alignment == PAGE and section_alignment == PAGE,
          "%s: file alignment %d, section alignment %d, not one page each" % (what, file_alignment,
                                                                               section_alignment))
    check(headers % PAGE == 0, "%s: headers of %d bytes, not whole pages" % (what, headers))
    table = optional + optional_size
    placed = 0
    for i in range(count):
        name = data[table + 40 * i: table + 40 * i + 8].rstrip(b"\0").decode("ascii")
        raw_size, raw = struct.unpack_from("<II", data, table + 40 * i + 16)
        if raw_size == 0:
            continue
        check(raw % PAGE == 0 and raw_size % PAGE == 0,
              "%s: section %s at %#x, %#x bytes in the file: not on whole pages" % (what, name, raw, raw_size))
        check(raw + raw_size <= len(data), "%s: section %s runs past the file's end" % (what, name))
        placed += 1
    check(placed > 0, "%s: no section with bytes in the file" % what)
    print("%s: %d sections on whole pages of %d bytes" % (what, placed, PAGE))


def check_debug_link(manager):
    with open(manager, "rb") as f:
        data = f.read()
    links = [(raw, size) for name, raw, size in pe_sections(data) if name == ".gnu_debuglink"]
    check(len(links) == 1, "the manager has no debug link")
    raw, size = links[0]
    name = data[raw:data.index(b"\0", raw)].decode("utf-8")
    crc_at = raw + (len(name) + 1 + 3) // 4 * 4
    check(crc_at + 4 <= raw + size, "the debug link has no CRC")
    debug_file = os.path.join(os.path.dirname(manager), name)
    check(os.path.exists(debug_file), "no %s beside the manager" % name)
    with open(debug_file, "rb") as f:
        debug = f.read()
    check(zlib.crc32(debug) == u32(data, crc_at), "%s does not match the manager's debug link" % name)
    check(".debug_info" in [section for section, _, _ in pe_sections(debug)], "%s holds no .debug_info" % name)


def main():
    wine_run, manager, folder = sys.argv[1:4]
    installer = make_installer(wine_run, manager, folder)
    # Sizes in bytes: what a user downloads. An installer is the bare
    # manager and the package, whose 1 MiB does not compress: its bound is
    # the manager's with that on top, so that the two never disagree.
    for what, path, largest in (("the bare manager", manager, 2520000),
                                ("an installer of a 1 MiB product", installer, 3570000)):
        check_shipped(what, path, largest)
        check_page_aligned(what, path)
    check_debug_link(manager)
    print("shipped size: all checks passed")


if __name__ == "__main__":
    main()
