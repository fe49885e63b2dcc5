"""The places in a PE file (PE32 or PE32+) that make edits, read from the
format alone: the optional header, its checksum and certificate entry, and
the first version resource (type 16, id 1); and its section table."""

import struct


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def pe_layout(data):
    """{"optional": (offset, size), "checksum": offset, "certificate":
    offset, "version": (offset, size)}, file offsets."""
    pe = u32(data, 60)
    if data[pe:pe + 4] != b"PE\0\0":
        raise AssertionError("no PE signature")
    sections, optional_size = u16(data, pe + 6), u16(data, pe + 20)
    optional = pe + 24
    magic = u16(data, optional)
    layout = {"optional": (optional, optional_size), "checksum": optional + 64,
              "certificate": optional + {0x10B: 128, 0x20B: 144}[magic]}
    table = optional + optional_size
    for i in range(sections):
        header = data[table + 40 * i: table + 40 * i + 40]
        if header[:8] == b".rsrc\0\0\0":
            address, raw_size, raw = struct.unpack_from("<III", header, 12)
            break
    else:
        raise AssertionError("no resource section")

    def entries(offset):
        named, ids = u16(data, raw + offset + 12), u16(data, raw + offset + 14)
        first = raw + offset + 16 + 8 * named
        return [struct.unpack_from("<II", data, first + 8 * i) for i in range(ids)]

    types = dict(entries(0))
    ids = dict(entries(types[16] & 0x7FFFFFFF))
    language = entries(ids[1] & 0x7FFFFFFF)[0][1]
    rva, size = struct.unpack_from("<II", data, raw + language)
    layout["version"] = (rva - address + raw, size)
    return layout


def pe_sections(data):
    """[(name, file offset, size in the file)] of the section table, long
    names ("/<offset>") read from the COFF string table."""
    pe = u32(data, 60)
    if data[pe:pe + 4] != b"PE\0\0":
        raise AssertionError("no PE signature")
    count, symbols, symbol_count, optional_size = (u16(data, pe + 6), u32(data, pe + 12), u32(data, pe + 16),
                                                   u16(data, pe + 20))
    strings = symbols + 18 * symbol_count
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        header = data[table + 40 * i: table + 40 * i + 40]
        name = header[:8].rstrip(b"\0").decode("ascii")
        if name.startswith("/"):
            at = strings + int(name[1:])
            name = data[at:data.index(b"\0", at)].decode("ascii")
        raw_size, raw = struct.unpack_from("<II", header, 16)
        sections.append((name, raw, raw_size))
    return sections
