#!/usr/bin/env python3
"""Writes packages from the package format alone (header "QRVSOPKG", one
zlib stream of typed records, members deflated on their own), for the
reader's tests: a sound package with every record, variants of it that a
reader must take, and variants it must refuse.

Usage: package_fixtures.py OUTPUT_FOLDER

package_cases.txt: one line per package, "<file> <1 taken | 0 refused>".
good_members.txt: per member of good.pkg, "<index> <size> <sha256 hex>".
"""

import hashlib
import os
import random
import struct
import sys
import zlib


def text(value):
    data = value.encode("utf-8") if isinstance(value, str) else value
    return struct.pack("<H", len(data)) + data


def key(value):
    data = value.encode("utf-8") if isinstance(value, str) else value
    data += bytes(-len(data) % 4)
    return struct.pack("<H", len(data)) + data


def table(entries):
    body = b"".join(b"\x01" + key(k) + text(v) for k, v in entries)
    return body + b"\x00"


def listed(entries):
    return b"".join(b"\x01" + e for e in entries) + b"\x00"


def file_entry(member, folder, path, digits=(7, 5, 5), bits=3, languages=()):
    word = digits[0] << 16 | digits[1] << 8 | digits[2] | bits << 24
    return struct.pack("<II", member, word) + text(folder) + text(path) + bytes(languages) + b"\xff"


def member(data, stored=False):
    packed = data if stored else zlib.compress(data, 9)
    return struct.pack("<II", 0 if stored else len(data), len(packed)) + hashlib.sha256(data).digest() + packed


def member_data(index, size):
    rng = random.Random(index)
    text_part = b"".join(b"line %d of member %d\n" % (i, index) for i in range(size // 20 + 1))
    noise = bytes(rng.randrange(256) for _ in range(size // 3))
    return (noise + text_part)[:size]


MEMBERS = [member_data(i, size) for i, size in enumerate((1, 4095, 4096, 8192, 10000, 150000))]

# Member paths that a package cannot hold: each must name a file of its own
# under its folder, the same file on every Windows. The reader refuses a
# package with one of them, and make a scenario that gives one.
REFUSED_MEMBER_PATHS = {
    "dotdot": "a/../b", "drive": "C:/x", "stream": "a:b", "empty_segment": "a//b", "backslash": "a\\b",
    "absolute": "/a", "dot": "./a", "empty": "", "control": "a\tb", "trailing_slash": "a/",
    # Devices, in any case, with or without an extension, in any segment.
    "nul_txt": "NUL.txt", "com1": "COM1", "aux_in_folder": "d/AUX", "nul_dot": "nul.", "lpt9_log": "x/lpt9.log",
    "con_folder": "Con/readme.txt", "prn_blank_ext": "prn .txt", "conin": "CONIN$", "conout_ext": "d/conout$.x",
    "com_superscript": "com\u00b9",
    # Names Windows cuts short or refuses.
    "dots": "...", "blank": " ", "trailing_dot": "notes.txt.", "trailing_blank": "notes.txt ",
    "folder_trailing_dot": "docs./a", "less": "a<b", "greater": "a>b", "quote": 'a"b', "bar": "a|b",
    "question": "a?b", "star": "a*b", "segment_256": "d/" + "n" * 256,
    # Plain names, but longer than any path Windows can write.
    "path_40000": ("d" * 199 + "/") * 200 + "x",
    # A file name whose "<name>.tmp" and "<name>.bkp" are longer than 255.
    "leaf_252": "d/" + "n" * 252,
    # Names of the shape of Windows' short names, which may be another
    # member's: at most eight characters with a '~', then at most three.
    "short_name": "LONG~XJ3.TXT", "short_folder": "PROGRA~1/x.txt", "short_bare": "a~1", "short_tilde": "~.t",
}
# Near misses of the above that are plain names.
TAKEN_MEMBER_PATHS = {
    "segment_255": "n" * 255 + "/x", "leaf_251": "d/" + "n" * 251,
    "device_like": "console/com10/com0/lpt/x.nul/nul_.txt", "leading_dots": "..x/.y",
    "inner_blank": "a b/c d.txt", "non_ascii": "\u00e4/\u30d5\u30a1\u30a4\u30eb",
    "tilde_nine": "LONGNA~1X.TXT", "tilde_extension_four": "LONG~XJ3.TEXT", "tilde_in_extension": "long.~1",
    "tilde_two_dots": "a~1.b.c",
}


def records(change=None):
    """The sound package's records by type; change replaces a record's
    bytes (None drops it)."""
    parts = {
        1: struct.pack("<4I", 6, 9, 2, 0) + text("http://s/") + text("http://p/") + text("http://u/"),
        6: table([("codename", "demo"), ("folder", "Demo"), ("group", "Demo"), ("name", "Demo")]),
        7: b"\x00" + table([("hello", "Hello")]) + b"\x02" + table([("hello", "Hallo")]) + b"\xff",
        2: text("pgm") + text("demo.ico"),
        3: listed([text("name") + text("pgm") + text("demo.exe") + text("") + text("pgm") + text("demo.ico")
                   + text("") + b"\x01"]),
        4: listed([file_entry(i, "pgm", "bin/file%d.dat" % i, languages=(0,) if i == 1 else ())
                   for i in range(len(MEMBERS))]),
        5: listed([b"\x01" + text("name") + text("pgm") + text("demo.exe") + text("")]),
        8: listed([struct.pack("<H", 4) + b"size" + struct.pack("<H", 2) + b"\x34\x12"]),
        12: listed([text("older") + struct.pack("<H", 65535)]),
        13: b"".join(member(m) for m in MEMBERS) + bytes(8),
    }
    parts.update(change or {})
    return b"".join(bytes([t]) + body for t, body in parts.items() if body is not None)


def package(block, version=1, magic=b"QRVSOPKG", digest=None, sizes=None):
    packed = zlib.compress(block, 9)
    unpacked_size, packed_size = sizes or (len(block), len(packed))
    digest = digest or hashlib.sha256(block).digest()
    return magic + bytes([version]) + struct.pack("<II", unpacked_size, packed_size) + digest + packed


def good(change=None):
    return package(records(change) + b"\x00")


# Sixty-four keys of a default table, of many lengths, out of key order.
MANY_KEYS = [("codename", "demo"), ("folder", "Demo"), ("group", "Demo"), ("name", "Demo")]
MANY_KEYS += [("k%d-" % i + hashlib.sha256(b"%d" % i).hexdigest()[:i % 9], "v%d" % i) for i in range(60)]


def path_entry(path):
    return good({4: listed([file_entry(0, "pgm", path)])})


def folder_entry(values):
    """A file under the folder key "where", valued in the default strings
    (6) and in a language's table (the language id) as given."""
    strings = [("codename", "demo"), ("name", "Demo")]
    if 6 in values:
        strings.append(("where", values[6]))
    languages = b"\x02" + table([])
    for language in (3,):
        languages += bytes([language]) + table([("where", values[language])] if language in values else [])
    return good({6: table(sorted(strings)), 7: languages + b"\xff", 4: listed([file_entry(0, "where", "a")])})


def one_language(files, strings=(), codename="demo"):
    """A package in English only (no language question at start-up) whose
    file entries are (folder key, path) pairs, each its own member."""
    default = sorted([("codename", codename), ("name", "Demo")] + list(strings))
    entries = [file_entry(i, folder, path) for i, (folder, path) in enumerate(files)]
    members = b"".join(member(member_data(i, 100)) for i in range(len(files))) + bytes(8)
    return good({6: table(default), 7: b"\x00" + table([("hello", "Hello")]) + b"\xff", 4: listed(entries),
                 13: members})


# Packages the install start-up refuses as damaged, though the reader takes
# them: their targets collide, or one lies in another, or one is where the
# installer puts another aside while it replaces it, as Windows sees names,
# or a folder's name ends where Windows drops it; or (the last two) not as
# damaged: a folder is one of the machine's own.
STARTUP_REFUSED = {
    "twice": one_language([("pgm", "notes.txt"), ("pgm", "notes.txt")]),
    "case": one_language([("pgm", "bin/App.exe"), ("pgm", "BIN/app.EXE")]),
    "umlaut": one_language([("pgm", "\u00e4.txt"), ("pgm", "\u00c4.txt")]),
    "nested": one_language([("pgm", "notes.txt"), ("pgm", "notes.txt/inner.txt")]),
    "backup_name": one_language([("pgm", "x.txt"), ("pgm", "x.txt.bkp")]),
    "temporary_name": one_language([("pgm", "Y.TXT.tmp"), ("pgm", "y.txt")]),
    "temporary_name_elsewhere": one_language([("data", "notes.txt"), ("other", "NOTES.TXT.TMP")],
                                             [("data", "C:/Data"), ("other", "c:/data/")]),
    "folder_dot_end": one_language([("data", "x.txt")], [("data", "C:/mk6.")]),
    "folder_blank_end": one_language([("data", "x.txt")], [("data", "C:/a /b")]),
    "folder_program_files": one_language([("data", "x.txt")], [("data", "C:/Program Files")]),
    "folder_users": one_language([("data", "x.txt")], [("data", "c:/USERS/")]),
}


def cases():
    block = records() + b"\x00"
    flipped_digest = bytearray(hashlib.sha256(block).digest())
    flipped_digest[31] ^= 1
    taken = {
        "good": good(),
        "version0": package(block, version=0),
        "language10": good({7: b"\x0a" + table([("hello", "x")]) + b"\xff"}),
        "digits_none": good({4: listed([file_entry(0, "pgm", "a", digits=(8, 8, 8))])}),
        "no_icon_with_languages": good({2: None}),
        "stored_member": good({4: listed([file_entry(0, "pgm", "a")]),
                                 13: member(b"stored bytes", stored=True) + bytes(8)}),
        "no_members": good({4: None, 13: None}),
        "key_defined_by_default": good({6: table([("codename", "demo"), ("name", "Demo"), ("where", "C:/Apps")]),
                                          7: b"\x03" + table([("where", "D:/Apps")]) + b"\x02" + table([]) + b"\xff",
                                          4: listed([file_entry(0, "where", "a")])}),
        "keys_many": good({6: table(MANY_KEYS)}),
        "folder_share": folder_entry({6: "//server/share/app"}),
    }
    refused = {
        "version2": package(block, version=2),
        "magic": package(block, magic=b"QRVSOPKH"),
        "packed0": package(block, sizes=(len(block), 0)),
        "unpacked0": package(block, sizes=(0, len(zlib.compress(block, 9)))),
        "unpacked_short": package(block, sizes=(len(block) - 1, len(zlib.compress(block, 9)))),
        "digest": package(block, digest=bytes(flipped_digest)),
        "no_end": package(records()),
        "unknown_type": package(records() + b"\x0e\x00"),
        "language11": good({7: b"\x0b" + table([]) + b"\xff"}),
        "language_twice": good({7: b"\x00" + table([("hello", "a")]) + b"\x00" + table([("hello", "b")]) + b"\xff"}),
        "key_twice": good({6: table([("codename", "a"), ("codename", "b")])}),
        "key_twice_among_many": good({6: table(MANY_KEYS[:30] + [MANY_KEYS[17]] + MANY_KEYS[30:])}),
        "key_empty": good({6: b"\x01" + struct.pack("<H", 0) + text("v") + b"\x00"}),
        "key_all_zero": good({6: b"\x01" + struct.pack("<H", 4) + bytes(4) + text("v") + b"\x00"}),
        "key_past_block": good({6: b"\x01" + struct.pack("<H", 60000) + b"abcd"}),
        "continuation2": good({6: b"\x02"}),
        "digit9": good({4: listed([file_entry(0, "pgm", "a", digits=(9, 5, 5))])}),
        "file_language11": good({4: listed([file_entry(0, "pgm", "a", languages=(11,))])}),
        "member_index": good({4: listed([file_entry(len(MEMBERS), "pgm", "a")])}),
        "member_stop": good({4: None, 13: struct.pack("<II", 5, 0)}),
        "setting_empty_value": good({8: listed([struct.pack("<H", 1) + b"n" + struct.pack("<H", 0)])}),
        "document_empty": good({9: struct.pack("<I", 0)}),
        "document_garbage": good({11: struct.pack("<I", 4) + b"junk"}),
        "folder_key_japanese_only": good({7: b"\x02" + table([]) + b"\x03" + table([("where", "D:/")]) + b"\xff",
                                           4: listed([file_entry(0, "where", "a")])}),
        "icon_key_undefined": good({2: text("nowhere") + text("demo.ico")}),
        # The install folder is the installer's to set, never the package's.
        "pgm_string": good({6: table([("codename", "demo"), ("name", "Demo"), ("pgm", "C:/Demo")])}),
        "pgm_language_string": good({7: b"\x00" + table([("hello", "Hello"), ("pgm", "C:/Demo")]) + b"\x02"
                                       + table([("hello", "Hallo")]) + b"\xff"}),
    }
    # A folder that a file goes to must be a full one without a step up, in
    # every language: else its target lies outside it (beside the
    # installer, for ".."). A NUL would cut the member path short.
    refused.update({
        "folder_dotdot": folder_entry({6: ".."}),
        "folder_relative": folder_entry({6: "Demo"}),
        "folder_empty_value": folder_entry({6: ""}),
        "folder_step_up": folder_entry({6: "C:/Apps/../Windows"}),
        "folder_language_dotdot": folder_entry({6: "C:/Apps", 3: ".."}),
        "folder_empty_key": good({4: listed([file_entry(0, "", "a")])}),
        "path_nul_inside": path_entry("a\0b"),
        # A drive's or share's root is no product's folder: its record
        # could not bound what the product's uninstall deletes.
        "folder_root": folder_entry({6: "Q:/"}),
        "folder_drive": folder_entry({6: "Z:"}),
        "folder_share_root": folder_entry({6: "//server/share/"}),
        "folder_language_root": folder_entry({6: "C:/Apps", 3: "Z:/"}),
    })
    # A code name that would reach into another product's record, or with
    # a blank at either end, in any table: Windows' entry would be another
    # product's, or name two products alike. (The start-up refuses them as
    # damaged packages.)
    refused.update({
        "startup_codename_slash": one_language([("pgm", "a.txt")], codename="demo/other"),
        "startup_codename_backslash": one_language([("pgm", "a.txt")], codename="demo\\other"),
        "codename_leading_blank": one_language([("pgm", "a.txt")], codename=" demo"),
        "codename_trailing_tab": one_language([("pgm", "a.txt")], codename="demo\t"),
        "codename_language_blank": good({7: b"\x00" + table([("codename", "demo "), ("hello", "Hello")]) + b"\x02"
                                           + table([("hello", "Hallo")]) + b"\xff"}),
    })
    # The packed stream followed by bytes that the packed size still counts.
    extra = zlib.compress(block, 9) + b"\x00\x00"
    refused["trailing_packed"] = (b"QRVSOPKG\x01" + struct.pack("<II", len(block), len(extra))
                                  + hashlib.sha256(block).digest() + extra)
    for name, path in REFUSED_MEMBER_PATHS.items():
        refused["path_" + name] = path_entry(path)
    for name, path in TAKEN_MEMBER_PATHS.items():
        taken["path_" + name] = path_entry(path)
    for name, data in STARTUP_REFUSED.items():
        taken["startup_" + name] = data
    refused["startup_dotdot"] = one_language([("dd", "evil.txt")], [("dd", "..")])
    return taken, refused


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    taken, refused = cases()
    lines = []
    for verdict, group in ((1, taken), (0, refused)):
        for name, data in group.items():
            with open(os.path.join(out, "pkg_%s.bin" % name), "wb") as f:
                f.write(data)
            lines.append("pkg_%s.bin %d\n" % (name, verdict))
    with open(os.path.join(out, "package_cases.txt"), "w") as f:
        f.writelines(lines)
    with open(os.path.join(out, "good_members.txt"), "w") as f:
        for i, data in enumerate(MEMBERS):
            f.write("%d %d %s\n" % (i, len(data), hashlib.sha256(data).hexdigest()))


if __name__ == "__main__":
    main()
