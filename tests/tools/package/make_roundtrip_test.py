#!/usr/bin/env python3
""""pelmarodesk.exe make" under Wine, its installer checked from outside by a
reader written from the formats alone (PE, the self-command block, the
package): the installer is the bare manager except in the ranges its block
records, undoing them gives the bare file back byte for byte, the
certificate entry and checksum are cleared, the package's digest, records
and every member's complete zlib stream match the sources, and Windows reads
the rebuilt version strings. A manager signed with a throwaway certificate
verifies again once its installer's records are undone. Scenarios the
installer would refuse leave no installer. The test build of the manager,
in a heap without large blocks, packs a member larger than its largest
block, and names a member it has no room for, with its size and the cause.

Usage: make_roundtrip_test.py WINE_RUN MANAGER VERSION_PROBE WORK_FOLDER CROWDED_MANAGER
"""

import concurrent.futures
import hashlib
import ntpath
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
sys.path.insert(0, HERE)
from package_fixtures import REFUSED_MEMBER_PATHS, TAKEN_MEMBER_PATHS  # noqa: E402
from pe_layout import pe_layout, u16, u32  # noqa: E402
from process_output import output_until_exit  # noqa: E402

BLOCK_SIZE = 8192
TEMPLATE = b"<ICMDBLOCK>" + bytes(BLOCK_SIZE - 11)
# Around the member builder's 4,096-byte pieces, and past the 1 MiB pieces
# in which the package's block is deflated.
SIZES = (1, 4095, 4096, 8192, 10000, 2500000)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


# --- the self-command block -----------------------------------------------

def block_records(installer, block_at):
    area = installer[block_at + 268: block_at + BLOCK_SIZE]
    records, at = [], 0
    while True:
        offset, length = struct.unpack_from("<IH", area, at)
        if offset == 0xFFFFFFFF:
            check(length == 0, "end record with a length")
            return records
        records.append((offset, area[at + 6: at + 6 + length]))
        at += 6 + length


def undo(installer, block_at):
    manager_length = u32(installer, block_at + 264)
    bare = bytearray(installer[:manager_length])
    for offset, data in block_records(installer, block_at):
        if offset == block_at:
            bare[offset: offset + BLOCK_SIZE] = TEMPLATE
        else:
            bare[offset: offset + len(data)] = data
    return bytes(bare)


def check_installer(bare, installer):
    block_at = bare.find(TEMPLATE)
    check(block_at > 0 and bare.find(TEMPLATE, block_at + 1) < 0, "one template in the bare manager")
    block = installer[block_at: block_at + BLOCK_SIZE]
    check(block[0] == 1 and block[1:256] == bytes(255), "kind 1, no path")
    check(struct.unpack_from("<III", block, 256) == (len(bare), block_at, len(bare)), "block offsets")
    layout = pe_layout(bare)
    records = block_records(installer, block_at)
    offsets = [offset for offset, _ in records]
    check(offsets == sorted(offsets), "records in rising order")
    expected = {layout["optional"][0]: layout["optional"][1], block_at: 0, layout["version"][0]: layout["version"][1]}
    check({offset: len(data) for offset, data in records} == expected, "records: %s" % records)
    changed = [(o, o + (BLOCK_SIZE if o == block_at else len(d))) for o, d in records]
    check(all(a[1] <= b[0] for a, b in zip(changed, changed[1:])), "records overlap")
    check(installer[layout["certificate"]: layout["certificate"] + 8] == bytes(8), "certificate entry cleared")
    check(installer[layout["checksum"]: layout["checksum"] + 4] == bytes(4), "checksum cleared")
    # With the ranges apart, this also says that the records hold the bare
    # bytes and that nothing else changed.
    check(undo(installer, block_at) == bare, "undoing the records gives the bare manager")
    return installer[len(bare):]


# --- the package ----------------------------------------------------------

class Records:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, n):
        check(self.at + n <= len(self.data), "record block cut short")
        self.at += n
        return self.data[self.at - n: self.at]

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return u16(self.take(2), 0)

    def u32(self):
        return u32(self.take(4), 0)

    def text(self):
        return self.take(self.u16()).decode("utf-8")

    def key(self):
        raw = self.take(self.u16())
        check(len(raw) % 4 == 0 and raw, "key padded to words")
        return raw.split(b"\0")[0].decode("utf-8")

    def table(self):
        entries = []
        while self.u8() == 1:
            entries.append((self.key(), self.text()))
        check([k for k, _ in entries] == sorted(k for k, _ in entries), "table in key order")
        return dict(entries)

    def listed(self, entry):
        items = []
        while True:
            flag = self.u8()
            if flag == 0:
                return items
            check(flag == 1, "continuation byte")
            items.append(entry())


def deflated_block(block):
    """The block's zlib stream as the maker lays it out, whatever its number
    of threads: 1 MiB pieces, each deflated at level 9 primed with the 32 KiB
    before it and ended by a sync flush (the last one by the stream's end)."""
    pieces = [b"\x78\xda"]
    for start in range(0, len(block), 1 << 20):
        primer = block[max(0, start - 32768): start]
        options = {"zdict": primer} if primer else {}
        stream = zlib.compressobj(9, zlib.DEFLATED, -15, 8, zlib.Z_DEFAULT_STRATEGY, **options)
        last = start + (1 << 20) >= len(block)
        pieces.append(stream.compress(block[start: start + (1 << 20)]) +
                      stream.flush(zlib.Z_FINISH if last else zlib.Z_SYNC_FLUSH))
    return b"".join(pieces) + struct.pack(">I", zlib.adler32(block))


def deflated_member(data):
    """A file's member stream: level 9, a partial flush after each full
    4,096-byte piece, finished with the last short (or empty) piece."""
    stream, out = zlib.compressobj(9), []
    for start in range(0, len(data) + 1, 4096):
        piece = data[start: start + 4096]
        out.append(stream.compress(piece) + stream.flush(zlib.Z_FINISH if len(piece) < 4096 else zlib.Z_PARTIAL_FLUSH))
    return b"".join(out)


def read_package(data):
    check(data[:8] == b"QRVSOPKG" and data[8] == 1, "package header")
    unpacked_size, packed_size = struct.unpack_from("<II", data, 9)
    check(49 + packed_size == len(data), "the package ends the file")
    stream = zlib.decompressobj()
    block = stream.decompress(data[49:])
    check(stream.eof and not stream.unused_data and len(block) == unpacked_size, "one whole zlib stream")
    check(hashlib.sha256(block).digest() == data[17:49], "block digest")
    # Byte for byte, so that a package never changes with the machine that
    # made it (zlib here is the program's version).
    check(data[49:] == deflated_block(block), "the block's stream is laid out in its 1 MiB pieces")
    r = Records(block)

    def until_ff(read):
        items = []
        while (byte := r.u8()) != 0xFF:
            items.append(read(byte))
        return items

    def members():
        found = []
        while (sizes := (r.u32(), r.u32()))[1]:
            found.append((sizes[0], r.take(32), r.take(sizes[1])))
        check(sizes[0] == 0, "member list end")
        return found

    readers = {
        1: lambda: (struct.unpack("<4I", r.take(16)), r.text(), r.text(), r.text()),
        6: r.table,
        7: lambda: dict(until_ff(lambda language: (language, r.table()))),
        2: lambda: (r.text(), r.text()),
        3: lambda: r.listed(lambda: tuple(r.text() for _ in range(7)) + (r.u8(),)),
        4: lambda: r.listed(lambda: (r.u32(), r.u32(), r.text(), r.text(), until_ff(lambda language: language))),
        5: lambda: r.listed(lambda: (r.u8(), r.text(), r.text(), r.text(), r.text())),
        8: lambda: r.listed(lambda: (r.take(r.u16()), r.take(r.u16()))),
        12: lambda: r.listed(lambda: (r.text(), r.u16())),
        9: lambda: r.take(r.u32()),
        10: lambda: (r.u8(), r.take(r.u32())),
        11: lambda: r.take(r.u32()),
        13: members,
    }
    package, order = {}, []
    while kind := r.u8():
        check(kind in readers, "record type %d" % kind)
        order.append(kind)
        package[kind] = readers[kind]()
    check(r.at == len(block), "nothing after the end record")
    package["order"] = order + [0]
    return package


def member_bytes(member):
    unpacked, digest, stored = member
    stream = zlib.decompressobj()
    data = stream.decompress(stored)
    check(stream.eof and not stream.unused_data, "member stream complete, with its checksum")
    check(len(data) == unpacked and hashlib.sha256(data).digest() == digest, "member size and digest")
    check(stored == deflated_member(data), "member stream laid out in its 4,096-byte pieces")
    return data


# --- the product and the runs ---------------------------------------------

SCENARIO = """[General]
langs = ENG DEU
[Software]
codename = "roundtrip"
name = "Round Trip"
publisher = "Test Maker"
copyright = "(C) Test Maker"
version = "6.9.2.0"
eula = "./docs/doc.idx"
welcome = "./docs/doc.idx"
icon = $pgm "bin/f1"
[Strings]
longest = "{longest}"
[Install]
{install}x64."./files/f4096" = $pgm "x64/f4096", , DEU
[Menu]
"Round Trip" = $pgm "bin/f1", $pgm "bin/f1"
[Settings]
"n" = d, "5"
[Run]
"Start" = $pgm "bin/f1", yes
[Deprecates]
"older" = *
"""


# The longest text a package holds, in bytes of UTF-8.
LONGEST_TEXT = 65535


def quoted(text):
    """A scenario's quoted text."""
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def write_product(folder):
    os.makedirs(os.path.join(folder, "files"), exist_ok=True)
    os.makedirs(os.path.join(folder, "docs"), exist_ok=True)
    rng = random.Random(16)
    sources = {}
    for size in SIZES:
        data = rng.randbytes(size // 2) + b"text line\n" * (size // 10 + 1)
        sources["bin/f%d" % size] = data[:size]
        with open(os.path.join(folder, "files", "f%d" % size), "wb") as f:
            f.write(data[:size])
    sources["x64/f4096"] = sources["bin/f4096"]
    for language, word in (("eng", "Licence"), ("deu", "Lizenz")):
        with open(os.path.join(folder, "docs", language + ".txt"), "w") as f:
            f.write("<text>%s</text>\n" % word)
    with open(os.path.join(folder, "docs", "doc.idx"), "w") as f:
        f.write('ENG = "./eng.txt"\nDEU = "./deu.txt"\n')
    install = "".join('"./files/f%d" = $pgm "bin/f%d", 755\n' % (s, s) for s in SIZES)
    # Names that only look like those a package cannot hold.
    for path in TAKEN_MEMBER_PATHS.values():
        sources[path] = sources["bin/f1"]
        install += '"./files/f1" = $pgm %s, 755\n' % quoted(path)
    with open(os.path.join(folder, "s.scn"), "w", encoding="utf-8") as f:
        f.write(SCENARIO.format(install=install, longest="x" * LONGEST_TEXT))
    return sources


def make(wine_run, manager, folder, scenario="s.scn", target="setup.exe"):
    # Bare names, as a user types them in the scenario's folder.
    code, _ = output_until_exit([wine_run, manager, "make", scenario, target], 120, cwd=folder)
    with open(os.path.join(folder, scenario + ".log"), "rb") as f:
        log = f.read().decode("utf-8", errors="replace")
    return code, log


def line_of_first_non_utf8(data):
    """The line (from 0; LF, CR, CR LF and NUL end lines) of the first byte
    that is not UTF-8, or None."""
    try:
        data.decode("utf-8")
        return None
    except UnicodeDecodeError as error:
        return len(re.findall(rb"\r\n|[\r\n\0]", data[:error.start]))


def check_package(package, sources):
    check(package["order"] == [1, 6, 7, 2, 3, 4, 5, 8, 12, 9, 11, 13, 0], "record order %s" % package["order"])
    strings = package[6]
    check(package[1][0] == (6, 9, 2, 0) and strings["publisher"] == "Test Maker", "version and strings")
    check(strings["longest"] == "x" * LONGEST_TEXT, "the longest text a package holds")
    check(sorted(package[7]) == [0, 2] and package[2] == ("pgm", "bin/f1"), "languages and icon")
    check(package[8] == [(b"n", b"\x05\0\0\0")] and package[12] == [("older", 65535)], "settings, replaced")
    check(package[5][0][0] == 1 and strings[package[5][0][1]] == "Start", "finish-page entry")
    check(strings[package[3][0][0]] == "Round Trip", "shortcut name")
    check(len(package[13]) == len(package[4]) == len(sources), "one member per file")
    for member, word, folder, path, languages in package[4]:
        check(folder == "pgm" and member_bytes(package[13][member]) == sources[path], "file %s" % path)
        expected = (0x02080808, [2]) if path.startswith("x64/") else (0x03070505, [])
        check((word, languages) == expected, "file word of %s: %08x" % (path, word))


def check_version(wine_run, probe, installer):
    code, output = output_until_exit([wine_run, probe, installer], 60, stderr=None)
    check(code == 0, "Windows reads a version resource")
    values = dict(line.split("=", 1) for line in output.decode("utf-8").splitlines())
    days = {(int(time.time()) - 1103627298) // 86400 + d for d in (-1, 0)}
    file_version = values["FileVersion"].split(".")
    check(file_version[:3] == ["6", "9", "2"] and int(file_version[3]) in days, "FileVersion " + values["FileVersion"])
    day = int(file_version[3])
    check(values["fixed"].split() == ["00060009", "%08x" % (2 << 16 | day), "00060009", "00020000"], values["fixed"])
    for key, value in (("CompanyName", "Test Maker"), ("FileDescription", "Round Trip"), ("ProductName", "Round Trip"),
                       ("LegalCopyright", "(C) Test Maker"), ("ProductVersion", "6.9.2.0")):
        check(values.get(key) == value, "%s: %r" % (key, values.get(key)))


def check_signed(wine_run, manager, folder):
    """A signed bare manager makes an installer whose records undo to it."""
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=pelmaro-test",
                    "-keyout", os.path.join(folder, "key.pem"), "-out", os.path.join(folder, "cert.pem"),
                    "-days", "2"], check=True, capture_output=True, timeout=60)
    signed = os.path.join(folder, "signed.exe")
    subprocess.run(["osslsigncode", "sign", "-certs", os.path.join(folder, "cert.pem"),
                    "-key", os.path.join(folder, "key.pem"), "-in", manager, "-out", signed],
                   check=True, capture_output=True, timeout=60)
    code, log = make(wine_run, signed, folder, target="signed-setup.exe")
    check(code == 0, "make from the signed manager: %d\n%s" % (code, log))
    with open(signed, "rb") as f:
        bare = f.read()
    with open(os.path.join(folder, "signed-setup.exe"), "rb") as f:
        installer = f.read()
    check_installer(bare, installer)
    undone = os.path.join(folder, "undone.exe")
    with open(undone, "wb") as f:
        f.write(undo(installer, bare.find(TEMPLATE)))
    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(folder, "cert.pem"), "-in", undone],
                            capture_output=True, timeout=60)
    check(verify.returncode == 0, "the undone installer's signature verifies:\n%s" % verify.stdout.decode())


def check_ansi(wine_run, manager, folder):
    """A scenario without a byte-order mark that is not UTF-8 is read in the
    ANSI code page, and the log names it and the line of the first byte
    that is not UTF-8; a UTF-8 one is named so."""
    with open(os.path.join(folder, "s.scn.log"), "rb") as f:
        check(b"\r\n(i) Scenario read as UTF-8\r\n" in f.read(), "the log names UTF-8")
    with open(os.path.join(folder, "s.scn"), "rb") as f:
        text = f.read().replace(b"\n", b"\r\n").replace(b'name = "Round Trip"', b'name = "Round Tr\xe9p"')
    with open(os.path.join(folder, "ansi.scn"), "wb") as f:
        f.write(text)
    code, log = make(wine_run, manager, folder, "ansi.scn", "ansi.exe")
    check(code == 0, "make of the ANSI scenario: exit %d\n%s" % (code, log))
    found = re.search(r"\r\n\(i\) Scenario read as ANSI code page (\d+): line (\d+) holds the first byte that is "
                      r"not UTF-8\r\n", log)
    check(found and int(found.group(2)) == line_of_first_non_utf8(text), "the ANSI line of the log:\n" + log)
    with open(manager, "rb") as f:
        bare = f.read()
    with open(os.path.join(folder, "ansi.exe"), "rb") as f:
        package = read_package(check_installer(bare, f.read()))
    name = b"Round Tr\xe9p".decode("cp" + found.group(1))
    check(package[6]["name"] == name, "the name in code page %s: %r" % (found.group(1), package[6]["name"]))


def text_position(text, offset):
    """(line, column) of text[offset], both from 0."""
    line = text.count("\n", 0, offset)
    return line, offset - (text.rfind("\n", 0, offset) + 1)


def version_strings_size(strings):
    """The bytes of a version resource's String entries (VS_VERSIONINFO):
    each a 6-byte head and its key in UTF-16 with its zero, padded to four
    bytes, then the value in UTF-16 with its zero, padded to four."""
    def padded(size):
        return (size + 3) & ~3
    return sum(padded(padded(6 + 2 * (len(key) + 1)) + 2 * (len(value) + 1)) for key, value in strings)


def message_cases(folder, good, manager):
    """Faults whose cause make's log names beside the scenario line and the
    result code: {scenario: (text or bytes, what the log holds, exit code)}."""
    lines = good.split("\n")

    def line_of(prefix):
        return next(number for number, line in enumerate(lines) if line.startswith(prefix))

    def with_line(prefix, line):
        return "\n".join(lines[:line_of(prefix)] + [line] + lines[line_of(prefix) + 1:])

    def fault(prefix, code, cause):
        return "(i) Loading scenario... ERROR:\r\n - at line %d: error code %d!\r\n - %s\r\n" % (
            line_of(prefix), code, cause)

    docs = os.path.join(folder, "docs")
    sources = {
        # A closing tag of another kind: its place is just after it.
        "markup.txt": ("<text>Lizenz\n  see </b></text>\n", lambda text: text.index("</b>") + 4),
        # A tag that is never closed: its place is its '<'.
        "open.txt": ("<text>Licence</text> <b", lambda text: text.rindex("<")),
        "markup.idx": ('ENG = "./eng.txt"\nDEU = "./markup.txt"\n', None),
        "open.idx": ('ENG = "./open.txt"\nDEU = "./deu.txt"\n', None),
        # No '=' on the second line, which starts with the code.
        "index.idx": ('ENG = "./eng.txt"\nDEU "./deu.txt"\n', lambda text: text.index("DEU")),
        # A picture that the compiler recognises and the loader cannot decode.
        "gif.txt": ("<text><img src=./pixel.gif></text>", None),
        "gif.idx": ('ENG = "./eng.txt"\nDEU = "./gif.txt"\n', None),
    }
    # A GIF of one pixel, made from the format.
    with open(os.path.join(docs, "pixel.gif"), "wb") as f:
        f.write(b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff" +
                b",\0\0\0\0" + struct.pack("<HHB", 1, 1, 0) + b"\x02\x02\x44\x01\0;")
    where = {}
    for name, (text, place) in sources.items():
        with open(os.path.join(docs, name), "w") as f:
            f.write(text)
        if place:
            where[name] = "./docs/%s, line %d, column %d" % ((name,) + text_position(text, place(text)))

    # A product name that cannot fit the manager's version resource.
    with open(manager, "rb") as f:
        name = "R" * pe_layout(f.read())["version"][1]
    day = (int(time.time()) - 1103627298) // 86400
    strings = (("CompanyName", "Test Maker"), ("FileDescription", name), ("FileVersion", "6.9.2.%d" % day),
               ("LegalCopyright", "(C) Test Maker"), ("ProductName", name), ("ProductVersion", "6.9.2.0"))
    # The figure counts the resource without its 52-byte fixed file info.
    too_big = "(e) New expected version is too big (0x%X)!\r\n" % (version_strings_size(strings) + 168)

    # One byte more than a package holds, in half as many characters.
    longer = "\u00e9" * ((LONGEST_TEXT + 2) // 2)

    def utf16(text, byte_order):
        return {"le": b"\xff\xfe", "be": b"\xfe\xff"}[byte_order] + text.encode("utf-16-" + byte_order, "surrogatepass")

    lone = 'publisher = "Test \ud800Maker"'
    swapped = 'publisher = "Test \udc00\ud800Maker"'
    return {
        "long_text.scn": (with_line("longest", 'longest = "%s"' % longer), fault(
            "longest", 7, "The text is %d bytes long in UTF-8: a package holds at most 65535"
            % len(longer.encode("utf-8"))), 1),
        "long_key.scn": (with_line("longest", '%s = "x"' % longer), fault(
            "longest", 17, "The key is %d bytes long in UTF-8: a package holds at most 65532"
            % len(longer.encode("utf-8"))), 1),
        "pgm.scn": (with_line("longest", 'pgm = "C:/Product"'), fault(
            "longest", 17, 'The string "pgm" names the install folder, which the installer sets'), 1),
        "markup.scn": (with_line("welcome", 'welcome = "./docs/markup.idx"'), fault(
            "welcome", 19, where["markup.txt"] + ": close tag mismatch"), 1),
        "index.scn": (with_line("welcome", 'readme = "./docs/index.idx", yes'), fault(
            "welcome", 20, where["index.idx"] + ": expected EQ sign after lang code"), 1),
        "open.scn": (with_line("eula", 'eula = "./docs/open.idx"'), fault(
            "eula", 21, where["open.txt"] + ": unexpected termination"), 1),
        "gif.scn": (with_line("welcome", 'welcome = "./docs/gif.idx"'), fault(
            "welcome", 19, "./docs/gif.idx: compiled, but the document loader refuses it"), 1),
        "empty.scn": (with_line("[Menu]", '"./files/empty" = $pgm "bin/empty"\n[Menu]'), fault(
            "[Menu]", 26, 'Empty source file "./files/empty", which a package cannot hold'), 1),
        "lone.scn": (utf16(with_line("publisher", lone), "le"), fault(
            "publisher", 7, "A lone UTF-16 surrogate (0xD800) at column %d, which UTF-8 cannot carry"
            % lone.index("\ud800")), 1),
        "swapped.scn": (utf16(with_line("publisher", swapped), "be"), fault(
            "publisher", 7, "A lone UTF-16 surrogate (0xDC00) at column %d, which UTF-8 cannot carry"
            % swapped.index("\udc00")), 1),
        "version.scn": (with_line("version", 'version = "65536.65537.65538.65539"'), fault(
            "version", 18, "A part of the version is out of range: each is 0 to 65,535"), 1),
        # A fault of the whole file names it; one of a source names that.
        "empty_file.scn": ("", "(i) Loading scenario... ERROR:\r\n - at line -1: error code 9!\r\n - No language is "
                           'declared ("langs" in [General]): Z:%s/empty_file.scn\r\n' % os.path.realpath(folder), 1),
        "missing.scn": (with_line("[Menu]", '"./files/missing.bin" = $pgm "bin/missing"\n[Menu]'), fault(
            "[Menu]", 26, 'No source file or folder "./files/missing.bin" (a relative path starts at the folder make '
            "runs in)"), 1),
        # Found and read, but UTF-16 without its byte-order mark.
        "unmarked.scn": (good.encode("utf-16-le"), "(i) Loading scenario... ERROR:\r\n - at line 0: error code 7!\r\n"
                         " - The scenario has no byte-order mark and holds a NUL byte, which neither UTF-8 nor text of "
                         "the ANSI code page holds: UTF-16 text must begin with its byte-order mark\r\n", 1),
        "too_big.scn": (with_line("name", 'name = "%s"' % name), too_big, 3),
    }


def refuse_new_files(folder, refused):
    """Makes the folder refuse new files, or take them again: by its mode
    bits, and for root, whom those do not bind, by the immutable
    attribute."""
    # An immutable folder keeps its mode bits too.
    if refused:
        os.chmod(folder, 0o555)
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i" if refused else "-i", folder], check=True, capture_output=True)
    if not refused:
        os.chmod(folder, 0o755)


def check_refusals(wine_run, manager, folder):
    """Packages the installer would refuse: an error line, exit code 1 (3
    for a product the version resource cannot hold), no installer and
    nothing beside it. Each member path that a package cannot hold is
    refused at its [Install] line. A target that cannot be written (exit
    code 4) is named in the log with the cause."""
    with open(os.path.join(folder, "files", "empty"), "wb"):
        pass
    with open(os.path.join(folder, "s.scn"), encoding="utf-8") as f:
        good = f.read()
    cases = {
        "undefined.scn": ('[Install]\n"./files/f1" = $nowhere "f1"\n' + good, '(e) Key "nowhere"'),
        "section.scn": ("[General]\n[Nonsense]\n", "(i) Loading scenario... ERROR:\r\n - at line 1: Unknown section!"),
    }
    lines = good.split("\n")
    menu_line = lines.index("[Menu]")
    f1_line = lines.index('"./files/f1" = $pgm "bin/f1", 755')
    codename_line = lines.index('codename = "roundtrip"')

    def added(*install):
        return good.replace("[Menu]", "\n".join(install) + "\n[Menu]")

    # Targets that the installer could not put where they go, each refused
    # with the scenario lines that give them: two that Windows takes for one
    # file (its case folding reaches past ASCII and past older Unicode), one
    # inside another, one outside its folder.
    cases.update({
        "alias.scn": (added('"./files/f1" = "C:/Data" "notes.txt"', '"./files/f1" = "c:/data. " "Notes.txt"'),
                      '(e) Lines %d and %d install one file: "C:/Data" "notes.txt" and "c:/data. " "Notes.txt"!'
                      % (menu_line, menu_line + 1)),
        "twice.scn": (added('"./files/f1" = $pgm "twice.txt"', '"./files/f1" = $pgm "twice.txt"'),
                      '(e) Lines %d and %d install one file: $pgm "twice.txt" and $pgm "twice.txt"!'
                      % (menu_line, menu_line + 1)),
        "case.scn": (added('"./files/f1" = $pgm "x.txt"', '"./files/f1" = $pgm "X.TXT"'),
                     "(e) Lines %d and %d install one file" % (menu_line, menu_line + 1)),
        "umlaut.scn": (added('"./files/f1" = $pgm "\u00e4.txt"', '"./files/f1" = $pgm "\u00c4.txt"'),
                       '(e) Lines %d and %d install one file: $pgm "\u00e4.txt" and $pgm "\u00c4.txt"!'
                       % (menu_line, menu_line + 1)),
        "glagolitic.scn": (added('"./files/f1" = $pgm "\u2c5f"', '"./files/f1" = $pgm "\u2c2f"'),
                           "(e) Lines %d and %d install one file" % (menu_line, menu_line + 1)),
        "german_only.scn": (added('"./files/f1" = $pgm "BIN/F1", , DEU'),
                            "(e) Lines %d and %d install one file" % (f1_line, menu_line)),
        "nested.scn": (added('"./files/f1" = $pgm "notes.txt"', '"./files/f1" = $pgm "notes.txt/inner.txt"'),
                       '(e) Line %d installs $pgm "notes.txt/inner.txt" into the file that line %d installs: '
                       '$pgm "notes.txt"!' % (menu_line + 1, menu_line)),
        "nested_first.scn": (added('"./files/f1" = $pgm "Notes.txt/inner.txt"', '"./files/f1" = $pgm "notes.txt"'),
                             "(e) Line %d installs $pgm \"Notes.txt/inner.txt\" into the file that line %d installs"
                             % (menu_line, menu_line + 1)),
        "dotdot.scn": (added("[Strings]", 'dd = ".."', "[Install]", '"./files/f1" = $dd "evil.txt"'),
                       '(e) Line %d installs $dd "evil.txt" outside its folder, or past the longest path: '
                       "../evil.txt!" % (menu_line + 3)),
        "relative.scn": (added('"./files/f1" = "sub" "x.txt"'),
                         '(e) Line %d installs "sub" "x.txt" outside its folder' % menu_line),
        # Two lines for 64-bit Windows only that are one file there.
        "x64_only.scn": (added('x64."./files/f1" = $pgm "dup64.txt"', 'x64."./files/f1" = $pgm "DUP64.TXT"'),
                         "(e) Lines %d and %d install one file" % (menu_line, menu_line + 1)),
        # A target where the installer puts another aside, or writes it
        # first, while it replaces it: a later run's repair would take it.
        "backup_name.scn": (added('"./files/f1" = $pgm "x.txt"', '"./files/f1" = $pgm "x.txt.bkp"'),
                            '(e) Line %d installs $pgm "x.txt.bkp", the temporary or backup name of line %d\'s '
                            '$pgm "x.txt"!' % (menu_line + 1, menu_line)),
        "temporary_name.scn": (added('"./files/f1" = $pgm "Y.TXT.TMP"', '"./files/f1" = $pgm "y.txt"'),
                               '(e) Line %d installs $pgm "Y.TXT.TMP", the temporary or backup name of line %d\'s '
                               '$pgm "y.txt"!' % (menu_line, menu_line + 1)),
        "temporary_elsewhere.scn": (added('"./files/f1" = "C:/Data" "notes.txt"',
                                          '"./files/f1" = "c:/data/" "NOTES.TXT.tmp"'),
                                    '(e) Line %d installs "c:/data/" "NOTES.TXT.tmp", the temporary or backup name '
                                    'of line %d\'s "C:/Data" "notes.txt"!' % (menu_line + 1, menu_line)),
        # A folder that is a drive's or share's root.
        "root.scn": (added('"./files/f1" = "Q:/" "x.txt"'),
                     '(e) Line %d installs "Q:/" "x.txt" into the root of a drive or share: Q:/x.txt!' % menu_line),
        "drive.scn": (added('"./files/f1" = "Z:" "x.txt"'),
                      '(e) Line %d installs "Z:" "x.txt" into the root of a drive or share: Z:/x.txt!' % menu_line),
        "share_root.scn": (added('"./files/f1" = "//server/share" "x.txt"'),
                           '(e) Line %d installs "//server/share" "x.txt" into the root of a drive or share'
                           % menu_line),
        "root_string.scn": (added("[Strings]", 'top = "Z:/"', "[Install]", '"./files/f1" = $top "x.txt"'),
                            '(e) Line %d installs $top "x.txt" into the root of a drive or share: Z:/x.txt!'
                            % (menu_line + 3)),
        # A code name is one record's and one Windows entry's name.
        "codename_slash.scn": (good.replace('codename = "roundtrip"', 'codename = "round/trip"'),
                               " - at line %d: error code 7!\r\n - A code name is not empty and holds neither "
                               "'/' nor '\\'" % codename_line),
        "codename_backslash.scn": (good.replace('codename = "roundtrip"', 'codename = "round\\\\trip"'),
                                   " - at line %d: error code 7!\r\n - A code name" % codename_line),
        "codename_string.scn": (added("[Strings]", 'DEU.codename = "a/b"'),
                                " - at line %d: error code 7!\r\n - A code name" % (menu_line + 1)),
        # Windows' entry drops a leading blank: " roundtrip" would be another
        # product's "roundtrip".
        "codename_leading_blank.scn": (good.replace('codename = "roundtrip"', 'codename = " roundtrip"'),
                                       " - at line %d: error code 7!\r\n - A code name is not empty and holds "
                                       "neither '/' nor '\\', nor a blank at either end" % codename_line),
        "codename_trailing_blank.scn": (good.replace('codename = "roundtrip"', 'codename = "roundtrip\t"'),
                                        " - at line %d: error code 7!\r\n - A code name" % codename_line),
    })
    # A folder the start-up refuses: a name whose end Windows drops, a folder
    # of the machine's own (in any language).
    ends, own = "whose name ends in a dot or blank", "of the system or of the user"
    for name, target, kind in (("dot", "C:/mk6.", ends), ("blank", "C:/a /b", ends), ("pf", "C:/Program Files", own),
                               ("data", "C:/ProgramData", own), ("sys", "C:/windows/system32", own),
                               ("users", "C:/users", own)):
        cases["folder_%s.scn" % name] = (added('"./files/f1" = "%s" "x.txt"' % target),
                                         '(e) Line %d installs "%s" "x.txt" into a folder %s: %s!'
                                         % (menu_line, target, kind, target))
    cases["folder_german.scn"] = (added("[Strings]", 'data = "C:/Data"', 'DEU.data = "C:/ProgramData/"', "[Install]",
                                        '"./files/f1" = $data "x.txt"'),
                                  '(e) Line %d installs $data "x.txt" into a folder %s: C:/ProgramData/!'
                                  % (menu_line + 4, own))
    for name, path in REFUSED_MEMBER_PATHS.items():
        cases["path_%s.scn" % name] = (good.replace("[Menu]", '"./files/f1" = $pgm %s\n[Menu]' % quoted(path)),
                                       " - at line %d: error code 23!" % menu_line)

    cases = {scenario: (text, expected, 1) for scenario, (text, expected) in cases.items()}
    cases.update(message_cases(folder, good, manager))
    targets = {}
    for scenario, target, named, cause in (
            ("target_folder.scn", "target_folder.exe", "target_folder.exe",
             "A folder or another object that is not a file stands there"),
            ("target_nowhere.scn", "nowhere/target.exe", "nowhere/target.exe.tmp", "Its folder does not exist"),
            ("target_refused.scn", "refused/target.exe", "refused/target.exe.tmp",
             "Writing there is refused (no permission, a read-only file, or a program that holds it)")):
        targets[scenario] = target
        cases[scenario] = (good, '(e) Unable to create target file!\r\n - %s: "Z:%s/%s"\r\n'
                           % (cause, os.path.realpath(folder), named), 4)
    for made in ("target_folder.exe", "refused"):
        os.mkdir(os.path.join(folder, made))

    def run(scenario, text):
        with open(os.path.join(folder, scenario), "wb") as f:
            f.write(text if isinstance(text, bytes) else text.encode("utf-8"))
        target = targets.get(scenario, scenario[:-4] + ".exe")
        code, log = make(wine_run, manager, folder, scenario, target)
        left = [name for name in (target, target + ".tmp") if os.path.isfile(os.path.join(folder, name))]
        return code, log, left

    # A few at once: each run has its own scenario, log and target. Every
    # case is judged before the first failure is raised.
    failures = []
    refuse_new_files(os.path.join(folder, "refused"), True)
    try:
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            runs = {scenario: pool.submit(run, scenario, text) for scenario, (text, _, _) in cases.items()}
            for scenario, (_, expected, exit_code) in cases.items():
                code, log, left = runs[scenario].result()
                if code != exit_code or expected not in log or left:
                    failures.append("%s: exit %d, left %s, expected %r in\n%s" % (scenario, code, left, expected,
                                                                                  log))
    finally:
        refuse_new_files(os.path.join(folder, "refused"), False)
    check(not failures, "\n".join(failures))


def check_inputs_kept(wine_run, manager, folder):
    """A target that is a file make reads, in whatever spelling, or whose
    temporary file beside it is one: make refuses it with exit code 4 and
    names the file in its log, and the file keeps its bytes. Its own program
    file is one: a copy of the manager makes with the copy as the target."""
    with open(os.path.join(folder, "s.scn"), encoding="utf-8") as f:
        good = f.read()
    # A welcome page with a picture: a PNG of one red pixel, made from the
    # format.
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    with open(os.path.join(folder, "docs", "pixel.png"), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(b"\0\xff\0\0\xff")) + chunk(b"IEND", b""))
    with open(os.path.join(folder, "docs", "picture.txt"), "w") as f:
        f.write("<text><img src=./pixel.png></text>")
    with open(os.path.join(folder, "docs", "picture.idx"), "w") as f:
        f.write('ENG = "./eng.txt"\nDEU = "./picture.txt"\n')
    long_name = "scenario_of_a_long_name.scn"
    shutil.copyfile(manager, os.path.join(folder, "maker_copy.exe"))
    for scenario in ("self_target.scn", "member_target.scn", "markup_target.scn", "temporary_target.tmp", long_name,
                     "maker_target.scn", "maker_case_target.scn"):
        with open(os.path.join(folder, scenario), "w", encoding="utf-8") as f:
            f.write(good)
    with open(os.path.join(folder, "picture_target.scn"), "w", encoding="utf-8") as f:
        f.write(good.replace('welcome = "./docs/doc.idx"', 'welcome = "./docs/picture.idx"'))
    # Windows' own short (8.3) spelling of the scenario, as Wine gives it.
    windows_path = "Z:" + os.path.join(os.path.realpath(folder), long_name).replace("/", "\\")
    short = output_until_exit([wine_run, "winepath", "-s", windows_path], 60,
                              stderr=subprocess.DEVNULL)[1].decode().strip()
    check("~" in short, "no short name of %s: %r" % (windows_path, short))
    cases = (
        # scenario, target, the file as the log names it, the copy of the
        # manager that makes (None: the manager)
        ("self_target.scn", "self_target.scn", None),
        (long_name, short, None),
        ("member_target.scn", "./FILES/F4096", "./files/f4096"),
        ("markup_target.scn", "./Docs/Eng.TXT", "./docs/eng.txt"),
        ("picture_target.scn", "./docs/PIXEL.PNG", "./docs/pixel.png"),
        ("temporary_target.tmp", "temporary_target", None),
        ("maker_target.scn", "maker_copy.exe", None, "maker_copy.exe"),
        ("maker_case_target.scn", "MAKER_Copy.EXE", None, "maker_copy.exe"),
    )

    def run(scenario, target, named, maker=None):
        read = os.path.join(folder, (maker or named or scenario).lower())
        with open(read, "rb") as f:
            before = f.read()
        code, log = make(wine_run, read if maker else manager, folder, scenario, target)
        with open(read, "rb") as f:
            kept = f.read() == before
        named = named or "Z:%s/%s" % (os.path.realpath(folder), maker or scenario)
        expected = 'is a file that make reads: "%s"!\r\n' % named
        # Neither the target nor its temporary file, where it is not the
        # file read, is there (the names as Wine matches them: in any case).
        written = {ntpath.basename(target).lower(), ntpath.basename(target).lower() + ".tmp"}
        written.discard(os.path.basename(read))
        left = [name for name in os.listdir(os.path.dirname(read)) if name.lower() in written]
        if code != 4 or expected not in log or not kept or left:
            return "%s to %s: exit %d, kept %s, left %s, expected %r in\n%s" % (scenario, target, code, kept, left,
                                                                             expected, log)
        return None

    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        failures = [failure for failure in pool.map(lambda case: run(*case), cases) if failure]
    check(not failures, "\n".join(failures))


def check_crowded_heap(wine_run, crowded_manager, folder, sources):
    """make in a heap that has no block larger than a limit (the test
    build's stand-in for a crowded address space): a member larger than the
    largest block is still packed whole; one that finds no room at all is
    named in the log with its size and the cause."""
    big = max(SIZES)
    lines = open(os.path.join(folder, "s.scn"), encoding="utf-8").read().split("\n")
    big_line = next(n for n, line in enumerate(lines) if line.startswith('"./files/f%d"' % big))
    cases = (
        # Above every run, below the big member's packed size.
        (1500000, 0, "(i) Saved SOPKG\r\n"),
        # Room for the small members, none for a run of the big one.
        (100000, 1, "(i) Loading scenario... ERROR:\r\n - at line %d: error code 26!\r\n - \"%s\" (%d bytes) "
         "cannot be packed: out of memory for its compressed data\r\n" % (big_line, "./files/f%d" % big, big)),
    )
    with open(crowded_manager, "rb") as f:
        bare = f.read()
    for largest, exit_code, expected in cases:
        target = "crowded-%d.exe" % largest
        saved = os.environ.get("PELMARO_TEST_LARGEST_BLOCK")
        os.environ["PELMARO_TEST_LARGEST_BLOCK"] = str(largest)
        try:
            code, log = make(wine_run, crowded_manager, folder, target=target)
        finally:
            os.environ.pop("PELMARO_TEST_LARGEST_BLOCK")
            if saved is not None:
                os.environ["PELMARO_TEST_LARGEST_BLOCK"] = saved
        check(code == exit_code and expected in log, "largest block %d: exit %d, expected %r in\n%s" % (
            largest, code, expected, log))
        if exit_code == 0:
            with open(os.path.join(folder, target), "rb") as f:
                check_package(read_package(check_installer(bare, f.read())), sources)


def main():
    wine_run, manager, probe, folder, crowded_manager = sys.argv[1:6]
    # A run cut off while its folder refused writes left it so.
    if os.path.isdir(os.path.join(folder, "refused")):
        refuse_new_files(os.path.join(folder, "refused"), False)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    sources = write_product(folder)
    code, log = make(wine_run, manager, folder)
    check(code == 0 and log.endswith("(i) Saved SOPKG\r\n"), "make: exit %d\n%s" % (code, log))
    with open(manager, "rb") as f:
        bare = f.read()
    with open(os.path.join(folder, "setup.exe"), "rb") as f:
        installer = f.read()
    check_package(read_package(check_installer(bare, installer)), sources)
    # 4 GiB of address space on 64-bit Windows for a large product's package.
    check(u16(bare, u32(bare, 60) + 22) & 0x20, "the manager is large-address-aware")
    check_crowded_heap(wine_run, crowded_manager, folder, sources)
    check_version(wine_run, probe, os.path.join(folder, "setup.exe"))
    check_signed(wine_run, manager, folder)
    check_ansi(wine_run, manager, folder)
    check_refusals(wine_run, manager, folder)
    check_inputs_kept(wine_run, manager, folder)
    print("make round trip: all checks passed")


if __name__ == "__main__":
    main()
