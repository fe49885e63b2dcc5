#!/usr/bin/env python3
"""Writes language containers for the catalog reader's tests into the folder given.

Each case NAME is NAME.bin; cases.txt says what a reader must make of it:
  good NAME CODE NAME16        the container reads; CODE and the language name
                               (UTF-16 units in hex, "-" when empty) result
  section NAME SECTION COUNT   it holds SECTION with COUNT strings
  string NAME SECTION ID TEXT  string ID of SECTION: UTF-16 units in hex,
                               "-" absent, "." present and empty
  bad NAME                     the container is refused
Every bad container's catalog starts with records that would replace
"test::first" of base.bin and add "test::new" before its fault.
"""
import os
import random
import struct
import sys
import zlib

ABSENT = None


def u16(n):
    return struct.pack("<H", n)


def u32(n):
    return struct.pack("<I", n)


def padded_key(name):
    raw = name.encode("ascii")
    while len(raw) % 4:
        raw += b"\0"
    return raw


def array_value(strings, lengths=None, count=None, extra=b""):
    """A string array of strings (bytes or ABSENT); lengths and count override."""
    present = [s for s in strings if s is not ABSENT]
    if lengths is None:
        lengths = [0xFFFF if s is ABSENT else len(s) for s in strings]
    if count is None:
        count = len(lengths)
    return u16(count) + b"".join(u16(n) for n in lengths) + b"".join(present) + extra


def record(key, value):
    return u32(len(key)) + key + u32(len(value)) + value


def section(name, texts):
    encoded = [ABSENT if t is ABSENT else t.encode("utf-8") for t in texts]
    return record(padded_key(name), array_value(encoded))


def catalog_bytes(records, magic=b"CIOMLANG"):
    return magic + b"".join(records)


def container(catalog, code=b"TST", name="Test", size=None, stream=None, magic=b"CIOMLAFI",
              set_name=b"TESTSET ", tail=b""):
    name_bytes = name.encode("utf-8")
    if size is None:
        size = len(catalog)
    if stream is None:
        stream = zlib.compress(catalog, 6)
    return magic + set_name + code + bytes([len(name_bytes)]) + name_bytes + u32(size) + stream + tail


def hex16(text):
    return "".join("%04x" % u for u in struct.unpack("<%dH" % len(text), text.encode("utf-16-le"))) or "-"


class Cases:
    def __init__(self, folder):
        self.folder = folder
        self.lines = []

    def write(self, name, data):
        with open(os.path.join(self.folder, name + ".bin"), "wb") as f:
            f.write(data)

    def good(self, name, sections, code="TST", language="Test", **options):
        records = [section(s, texts) for s, texts in sections]
        self.write(name, container(catalog_bytes(records), code=code.encode("ascii"), name=language, **options))
        self.expect(name, sections, code, language)

    def expect(self, name, sections, code, language):
        self.lines.append("good %s %s %s" % (name, code, hex16(language)))
        for s, texts in sections:
            self.lines.append("section %s %s %d" % (name, s, len(texts)))
            for i, t in enumerate(texts):
                shown = "-" if t is ABSENT else (hex16(t) if t else ".")
                self.lines.append("string %s %s %d %s" % (name, s, i, shown))

    def bad(self, name, data):
        self.write(name, data)
        self.lines.append("bad " + name)

    def finish(self):
        with open(os.path.join(self.folder, "cases.txt"), "w") as f:
            f.write("\n".join(self.lines) + "\n")


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    cases = Cases(folder)
    rng = random.Random(2121)

    cases.good("base", [("test::first", ["kept"])], code="BAS", language="Base")
    cases.good("plain", [
        ("ciom::messages", ["Ok", "Yes", "No"]),
        ("ciom::filechoose", ["a sixteen-byte key field without a zero byte"]),
        ("x", ["line one\nline two"]),
    ], language="Prüfung ✓")
    cases.good("replace", [("ciom::messages", ["Replaced"])], code="RPL", language="Replacement")
    cases.good("unicode", [("texts", ["Русский", "日本語のテキスト", "한국어", "Ελληνικά €", "tab\there"])])
    cases.good("absent", [("holes", [ABSENT, "abc"]), ("tail", ["x", ABSENT, ABSENT])])
    cases.good("empty_string", [("empties", ["", "hi", ABSENT])])
    cases.good("empty_name", [("s", ["t"])], language="")

    # A key whose zero padding is followed by more bytes ends at the zero.
    key = b"abc\0xyz\0"
    cases.write("key_ends_at_zero", container(catalog_bytes([record(key, array_value([b"v"]))])))
    cases.expect("key_ends_at_zero", [("abc", ["v"])], "TST", "Test")

    # Bytes in a value behind its strings, and behind the stream, are ignored.
    value = array_value([b"one", b"two"], extra=b"\x01\x02\x03\x04\x05")
    cases.write("value_tail", container(catalog_bytes([record(padded_key("s"), value)])))
    cases.expect("value_tail", [("s", ["one", "two"])], "TST", "Test")
    cases.write("container_tail", container(catalog_bytes([section("s", ["z"])]), tail=b"\0\0not zlib"))
    cases.expect("container_tail", [("s", ["z"])], "TST", "Test")

    # The largest catalog allowed: one value filling it to 0x400000 bytes.
    largest = 0x400000
    head = catalog_bytes([]) + u32(4) + padded_key("big") + u32(0)
    value_size = largest - len(head)
    value = array_value([b"end"], extra=bytes(value_size - 7))
    data = head[:-4] + u32(value_size) + value
    assert len(data) == largest
    cases.write("largest", container(data, stream=zlib.compress(data, 9)))
    cases.expect("largest", [("big", ["end"])], "TST", "Test")

    # Faulty containers. Their first records would change base.bin's texts.
    lead = [section("test::first", ["replaced"]), section("test::new", ["new"])]
    good_catalog = catalog_bytes(lead)

    def faulty(name, *more, **options):
        cases.bad(name, container(catalog_bytes(lead + list(more)), **options))

    cases.bad("wrong_magic", container(good_catalog, magic=b"CIOMLAFX"))
    cases.bad("wrong_catalog_magic", container(catalog_bytes(lead, magic=b"CIOMLANX")))
    cases.bad("short_header", container(good_catalog)[:19])
    cases.bad("header_only", b"CIOMLAFI" + b"TESTSET " + b"TST" + b"\0")
    for n in (1, 2, 3):
        cases.bad("payload_%d" % n, b"CIOMLAFI" + b"TESTSET " + b"TST" + b"\x04" + b"Name" + bytes(n))
    cases.bad("name_beyond", b"CIOMLAFI" + b"TESTSET " + b"TST" + b"\xff" + b"short")
    cases.bad("size_zero", container(good_catalog, size=0))
    cases.bad("size_too_big", container(good_catalog, size=0x400001))
    cases.bad("size_huge", container(good_catalog, size=0xFFFFFFFF))
    cases.bad("size_below_magic", container(b"CIOM"))
    whole = zlib.compress(good_catalog, 6)
    cases.bad("stream_truncated", container(good_catalog, stream=whole[: len(whole) // 2]))
    cases.bad("stream_garbage", container(good_catalog, stream=bytes(rng.getrandbits(8) for _ in range(64))))
    cases.bad("stream_missing", container(good_catalog, stream=b""))
    cases.bad("stream_checksum", container(good_catalog, stream=whole[:-1] + bytes([whole[-1] ^ 0x55])))
    cases.bad("stream_shorter_than_size", container(good_catalog, size=len(good_catalog) + 16))
    cases.bad("stream_longer_than_size",
              container(good_catalog, stream=zlib.compress(good_catalog + bytes(16), 6)))
    cases.bad("no_record", container(catalog_bytes([])))
    for n in (1, 2, 3):
        cases.bad("stray_%d" % n, container(good_catalog + b"\x07" * n))
    # Lengths reaching beyond the catalog, small and huge.
    cases.bad("key_beyond", container(good_catalog + u32(9) + b"12345678"))
    cases.bad("key_huge", container(good_catalog + u32(0xFFFFFFFF) + b"abcdefgh"))
    cases.bad("value_size_cut", container(good_catalog + u32(4) + b"abcd" + b"\0\0"))
    cases.bad("value_beyond", container(good_catalog + u32(4) + b"abcd" + u32(7) + array_value([b"ab"])))
    cases.bad("value_huge", container(good_catalog + u32(4) + b"abcd" + u32(0xFFFFFFFF) + array_value([b"ab"])))
    cases.bad("value_half_huge", container(good_catalog + u32(4) + b"abcd" + u32(0x80000000) + bytes(8)))
    # Faulty string arrays.
    key = padded_key("test::bad")
    faulty("array_count_zero", record(key, u16(0) + u16(0)))
    faulty("array_value_short", record(key, u16(1) + u16(0)[:1]))
    faulty("array_value_empty", record(key, b""))
    faulty("array_lengths_beyond", record(key, array_value([b"a", b"b", b"c"])[:6]))
    faulty("array_string_beyond", record(key, array_value([b"abcdefghij"])[:13]))  # one byte short
    faulty("array_count_huge", record(key, u16(0xFFFF) + u16(1) + b"a"))
    cases.finish()


if __name__ == "__main__":
    main()
