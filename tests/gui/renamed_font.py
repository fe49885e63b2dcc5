"""Writes a TrueType font whose family is named "Meiryo": a copy of a font
of the build host with its name table replaced. Tests add it privately to
see the interface-face choice adopt an East Asian face that exists.

Arguments: the source .ttf file and the output folder."""

import os
import struct
import sys

FAMILY = "Meiryo"


def read_tables(data):
    count = struct.unpack(">H", data[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        tables[tag] = data[offset:offset + length]
    return struct.unpack(">I", data[:4])[0], tables


def name_table():
    names = [(1, FAMILY), (2, "Regular"), (3, FAMILY + " test face"), (4, FAMILY), (6, FAMILY)]
    entries = []
    for platform, encoding, language, codec in [(1, 0, 0, "mac_roman"), (3, 1, 0x409, "utf-16-be")]:
        for name_id, text in names:
            entries.append((platform, encoding, language, name_id, text.encode(codec)))
    entries.sort(key=lambda e: e[:4])
    records = b""
    strings = b""
    for platform, encoding, language, name_id, raw in entries:
        records += struct.pack(">HHHHHH", platform, encoding, language, name_id, len(raw), len(strings))
        strings += raw
    return struct.pack(">HHH", 0, len(entries), 6 + 12 * len(entries)) + records + strings


def checksum(block):
    block += b"\0" * (-len(block) % 4)
    return sum(struct.unpack(">%dI" % (len(block) // 4), block)) & 0xFFFFFFFF


def write_font(version, tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    search_range = power * 16
    header = struct.pack(">IHHHH", version, count, search_range, power.bit_length() - 1,
                         count * 16 - search_range)
    offset = 12 + 16 * count
    directory = b""
    body = b""
    for tag in tags:
        table = tables[tag]
        directory += struct.pack(">4sIII", tag, checksum(table), offset + len(body), len(table))
        body += table + b"\0" * (-len(table) % 4)
    font = bytearray(header + directory + body)
    head_offset = offset + sum(len(tables[t]) + (-len(tables[t]) % 4) for t in tags[:tags.index(b"head")])
    struct.pack_into(">I", font, head_offset + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def main():
    source, folder = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        version, tables = read_tables(f.read())
    tables[b"name"] = name_table()
    head = bytearray(tables[b"head"])
    struct.pack_into(">I", head, 8, 0)
    tables[b"head"] = bytes(head)
    with open(os.path.join(folder, "east_asian_face.ttf"), "wb") as f:
        f.write(write_font(version, tables))


main()
