#!/usr/bin/env python3
"""Writes the code-page and case-map tables of the base library as C++
sources beside this script. The build uses the committed output; run this
again only to change the tables:

    python3 base/codepage_tables/generate.py

Sources, all on a machine set up by scripts/setup:
- Python's codecs for every single-byte code page but 870, for the
  double-byte code pages 932, 936, 949 and 950, and for GB 2312, JIS X 0208
  and JIS X 0212 (through the gb2312 and euc_jp codecs);
- glibc's iconv for code page 870 (IBM870) and for CNS 11643 planes 1 and 2
  (EUC-TW);
- Python's string case mappings (its Unicode database), and Perl's
  Unicode::UCD for the Unicode version in which each character appeared
  (the packages that scripts/setup installs bring Perl with them).

Where Windows departs from those sources, the departures are listed below
with the code page they belong to.
"""

import bisect
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
QUESTION = 0x3F
NO_MAPPING = 0xFFFD
LEAD = 0xFFFF

# ---------------------------------------------------------------------------
# Single-byte code pages, in the order of the tables.

SINGLE_BYTE = [
    (28591, 'latin-1'), (1250, 'cp1250'), (1251, 'cp1251'), (1255, 'cp1255'),
    (850, 'cp850'), (866, 'cp866'), (862, 'cp862'), (37, 'cp037'),
    (437, 'cp437'), (500, 'cp500'), (20866, 'koi8_r'), (21866, 'koi8_u'),
    (28592, 'iso8859_2'), (28593, 'iso8859_3'), (28595, 'iso8859_5'),
    (28596, 'iso8859_6'), (28597, 'iso8859_7'), (28598, 'iso8859_8'),
    (28599, 'iso8859_9'), (28605, 'iso8859_15'), (737, 'cp737'),
    (852, 'cp852'), (855, 'cp855'), (858, 'cp858'), (857, 'cp857'),
    (870, 'glibc:IBM870'), (1252, 'cp1252'), (1254, 'cp1254'),
    (10007, 'mac_cyrillic'), (10029, 'mac_latin2'),
]

# Bytes the codec leaves undefined give "?" on these code pages...
UNDEFINED_AS_QUESTION = {1250, 1251, 1255}
# ...and the unit equal to the byte on these.
UNDEFINED_AS_BYTE = {1252, 1254}

# Code page 437 shows bytes 0x01-0x1F and 0x7F as the graphic characters of
# the IBM PC character set instead of control characters.
CP437_GRAPHICS = {
    0x01: 0x263A, 0x02: 0x263B, 0x03: 0x2665, 0x04: 0x2666, 0x05: 0x2663,
    0x06: 0x2660, 0x07: 0x2022, 0x08: 0x25D8, 0x09: 0x25CB, 0x0A: 0x25D9,
    0x0B: 0x2642, 0x0C: 0x2640, 0x0D: 0x266A, 0x0E: 0x266B, 0x0F: 0x263C,
    0x10: 0x25BA, 0x11: 0x25C4, 0x12: 0x2195, 0x13: 0x203C, 0x14: 0x00B6,
    0x15: 0x00A7, 0x16: 0x25AC, 0x17: 0x21A8, 0x18: 0x2191, 0x19: 0x2193,
    0x1A: 0x2192, 0x1B: 0x2190, 0x1C: 0x221F, 0x1D: 0x2194, 0x1E: 0x25B2,
    0x1F: 0x25BC, 0x7F: 0x2302,
}

# Positions where Windows keeps an older edition of the standard or its own
# variant: ISO 8859-7:1987 quotes, ISO 8859-8:1988 overline, KOI8-U with the
# Belarusian short U, and the older Mac Cyrillic.
OVERRIDES = {
    28597: {0xA1: 0x02BD, 0xA2: 0x02BC},
    28598: {0xAF: 0x203E},
    21866: {0xAE: 0x045E, 0xBE: 0x040E},
    10007: {0xA2: 0x00A2, 0xB6: 0x2202, 0xFF: 0x00A4},
}

# Bytes that the codec defines but the older edition Windows follows leaves
# open: the euro, drachma and ypogegrammeni of ISO 8859-7:2003.
UNDEFINED_IN_OLD_EDITION = {
    28597: {0xA4, 0xA5, 0xAA},
}

# Bytes that Windows maps as the codec does, but that keep their places in
# the private-use numbering below, laid out when the older edition left
# them open: the direction marks of ISO 8859-8:1999.
NUMBERED_THOUGH_DEFINED = {
    28598: {0xFD, 0xFE},
}

# Private-use units for undefined bytes. Windows numbers the undefined bytes
# of ISO 8859-8, -7, -6 and -3 (in that order of code pages, each page's
# bytes in ascending order) with consecutive units from U+F79C: 28598 takes
# 38 places from U+F79C (its 36 undefined bytes and the two direction
# marks), 28597 its 6 from U+F7C2, 28596 its 45 from U+F7C8, and 28593 its
# 7 from U+F7F5, so that byte 0xA5, the first one 28593 leaves open, gives
# U+F7F5. Code page 857's three undefined bytes
# 0xD5, 0xE7 and 0xF2 get U+F8BB, U+F8BC and U+F8BD the same way.
PRIVATE_USE_CHAIN = ([28598, 28597, 28596, 28593], 0xF79C)
PRIVATE_USE_857 = 0xF8BB


def iconv(data, source, target, skip_invalid=False):
    command = ['iconv'] + (['-c'] if skip_invalid else []) + ['-f', source, '-t', target]
    return subprocess.run(command, input=data, check=True, capture_output=True).stdout


def ibm870():
    """Byte -> unit of code page 870; glibc defines all 256 bytes."""
    units = iconv(bytes(range(256)), 'IBM870', 'UTF-16LE')
    assert len(units) == 512
    return {bytes([b]): int.from_bytes(units[2 * b:2 * b + 2], 'little') for b in range(256)}


def euc_tw():
    """Byte sequence -> unit of EUC-TW. The iconv tool cannot tell which of
    many byte sequences fails to decode, so every BMP character is encoded
    on a line of its own (one it cannot encode leaves the line empty) and
    the result inverted; no two characters share a sequence."""
    units = [u for u in range(0x10000) if not 0xD800 <= u < 0xE000 and u != 0x0A]
    text = ''.join(chr(u) + '\n' for u in units).encode('utf-8')
    lines = iconv(text, 'UTF-8', 'EUC-TW', skip_invalid=True).split(b'\n')[:-1]
    assert len(lines) == len(units)
    mapping = {}
    for unit, line in zip(units, lines):
        if line:
            assert line not in mapping, line
            mapping[line] = unit
    return mapping


GLIBC_SOURCES = {'IBM870': ibm870, 'EUC-TW': euc_tw}
_glibc_maps = {}


def glibc_map(name):
    if name not in _glibc_maps:
        _glibc_maps[name] = GLIBC_SOURCES[name]()
    return _glibc_maps[name]


def decode_unit(source, data):
    """The one unit the source gives for the bytes, or None."""
    if source.startswith('glibc:'):
        return glibc_map(source[6:]).get(data)
    try:
        text = data.decode(source)
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else None


def single_byte_table(codepage, source):
    table = []
    undefined = []
    for byte in range(256):
        unit = decode_unit(source, bytes([byte]))
        if byte in UNDEFINED_IN_OLD_EDITION.get(codepage, ()):
            unit = None
        unit = OVERRIDES.get(codepage, {}).get(byte, unit)
        if codepage == 437:
            unit = CP437_GRAPHICS.get(byte, unit)
        if unit is None:
            undefined.append(byte)
            if codepage in UNDEFINED_AS_QUESTION:
                unit = QUESTION
            elif codepage in UNDEFINED_AS_BYTE:
                unit = byte
        table.append(unit)
    return table, undefined


def single_byte_tables():
    tables = {}
    undefined = {}
    for codepage, source in SINGLE_BYTE:
        tables[codepage], undefined[codepage] = single_byte_table(codepage, source)
    pages, unit = PRIVATE_USE_CHAIN
    for codepage in pages:
        for byte in sorted(set(undefined[codepage]) | NUMBERED_THOUGH_DEFINED.get(codepage, set())):
            if byte in undefined[codepage]:
                tables[codepage][byte] = unit
            unit += 1
    for offset, byte in enumerate(undefined[857]):
        tables[857][byte] = PRIVATE_USE_857 + offset
    assert tables[28593][0xA5] == 0xF7F5
    assert tables[28598][0xFD:0xFF] == [0x200E, 0x200F]
    for codepage, table in tables.items():
        missing = [b for b in range(256) if table[b] is None]
        assert not missing, (codepage, missing)
    return [tables[codepage] for codepage, _ in SINGLE_BYTE]


# ---------------------------------------------------------------------------
# Double-byte code pages. The mappings are Microsoft's published tables for
# these code pages, which Python's codecs follow, with two differences: code
# page 936 maps byte 0x80 to the euro sign, and Python's 932 codec adds the
# user-defined rows 0xF0-0xF9 (private use) that the published table leaves
# out. Single bytes and pairs without a mapping give "?".

DOUBLE_BYTE = [
    (932, 'cp932', [(0x81, 0x9F), (0xE0, 0xFC)], {}),
    (936, 'gbk', [(0x81, 0xFE)], {0x80: 0x20AC}),
    (949, 'cp949', [(0x81, 0xFE)], {}),
    (950, 'cp950', [(0x81, 0xFE)], {}),
]


def is_private_use(unit):
    return 0xE000 <= unit <= 0xF8FF


def double_byte_table(codec, lead_ranges, single_overrides):
    leads = {b for first, last in lead_ranges for b in range(first, last + 1)}
    lead_table = []
    for byte in range(256):
        if byte in leads:
            lead_table.append(LEAD)
            continue
        unit = single_overrides.get(byte, decode_unit(codec, bytes([byte])))
        lead_table.append(QUESTION if unit is None else unit)
    rows = {}
    for lead in sorted(leads):
        row = []
        for trail in range(0x40, 0x100):
            unit = decode_unit(codec, bytes([lead, trail]))
            if unit is not None and is_private_use(unit):
                unit = None
            row.append(unit)
        if any(unit is not None for unit in row):
            rows[lead] = [QUESTION if unit is None else unit for unit in row]
    return lead_table, rows


# ---------------------------------------------------------------------------
# 94 x 94 character sets, indexed by (first - 0x21) * 94 + (second - 0x21).
# Each table ends at its last mapped cell; U+FFFD marks a cell without a
# mapping.

def charset94(source, prefix):
    cells = []
    for index in range(94 * 94):
        data = prefix + bytes([0xA1 + index // 94, 0xA1 + index % 94])
        unit = decode_unit(source, data)
        cells.append(NO_MAPPING if unit is None else unit)
    return cells


def trimmed(cells):
    end = len(cells)
    while end and cells[end - 1] == NO_MAPPING:
        end -= 1
    return cells[:end]


# Cells each set may hold, as ranges of indexes; every mapped cell of the
# sources lies within them.
CHARSETS94 = [
    ('gb2312', lambda: charset94('gb2312', b''),
     [(0, 830), (1410, 8177)]),
    ('jis0208', lambda: charset94('euc_jp', b''),
     [(0, 689), (1410, 7807)]),
    ('jis0212', lambda: charset94('euc_jp', b'\x8f'),
     [(94, 174), (470, 657), (752, 1026), (1410, 7210)]),
    ('cns_plane1', lambda: charset94('glibc:EUC-TW', b''),
     [(0, 499), (571, 571), (578, 578), (583, 583), (3102, 3135), (3290, 8690)]),
    ('cns_plane2', lambda: charset94('glibc:EUC-TW', b'\x8e\xa2'),
     [(0, 7649)]),
]


def check_charset94(name, cells, valid):
    inside = {i for first, last in valid for i in range(first, last + 1)}
    stray = [i for i, unit in enumerate(cells) if unit != NO_MAPPING and i not in inside]
    assert not stray, (name, stray[:10])
    assert len(cells) == valid[-1][1] + 1, (name, len(cells))


# ---------------------------------------------------------------------------
# Case pairs: the simple one-to-one case mappings of the Basic Multilingual
# Plane as of Unicode 5.1 that go both ways. Python's tables are of a later
# Unicode version, so both characters of a pair must have existed in 5.1.
# str.lower and str.upper give the full mappings; a character whose full
# upper-case mapping is longer than one unit has the simple mapping its
# title case gives (the Greek letters with ypogegrammeni), or none.

def present_in_unicode_5_1():
    script = 'print join(",", Unicode::UCD::prop_invlist("Present_In=5.1"))'
    out = subprocess.run(['perl', '-MUnicode::UCD', '-e', script],
                         check=True, capture_output=True, text=True).stdout
    bounds = [int(x) for x in out.split(',')]
    return lambda cp: bisect.bisect_right(bounds, cp) % 2 == 1


def simple_upper(char):
    for mapped in (char.upper(), char.title()):
        if len(mapped) == 1:
            return mapped
    return char


def case_pairs():
    present = present_in_unicode_5_1()
    pairs = []
    for cp in range(0x10000):
        if 0xD800 <= cp < 0xE000:
            continue
        char = chr(cp)
        lower = char.lower()
        if len(lower) != 1 or lower == char or simple_upper(lower) != char:
            continue
        if present(cp) and present(ord(lower)):
            pairs.append((cp, ord(lower)))
    assert len(pairs) == 973, len(pairs)
    return pairs


# Name pairs: the upper case that Windows gives a character when it compares
# file names (RtlUpcaseUnicodeChar, CompareStringOrdinal ignoring case): the
# simple upper-case mappings of the whole Basic Multilingual Plane, in
# Python's Unicode version, that go both ways. One-way mappings (the long s,
# the dotless i, the micro sign) are not Windows'.

def name_upper_pairs():
    pairs = []
    for cp in range(0x10000):
        if 0xD800 <= cp < 0xE000:
            continue
        upper = simple_upper(chr(cp))
        if upper != chr(cp) and upper.lower() == chr(cp):
            pairs.append((cp, ord(upper)))
    assert len(pairs) == 1163, len(pairs)
    return pairs


# ---------------------------------------------------------------------------
# Output.

HEADER = '// Generated by base/codepage_tables/generate.py from {}; do not edit.\n'


def unit_lines(units, indent='    ', per_line=12):
    lines = []
    for i in range(0, len(units), per_line):
        lines.append(indent + ', '.join('0x%04X' % u for u in units[i:i + per_line]) + ',')
    return '\n'.join(lines)


def write(name, text):
    with open(os.path.join(HERE, name), 'w', newline='\n') as f:
        f.write(text)


def write_single_byte(tables):
    out = [HEADER.format("Python's codecs and glibc's IBM870"),
           '#include "base/codepage_tables/codepage_tables.h"\n\n',
           'const int32_t codepage_sb_pages[codepage_sb_table_count] = {\n']
    out.append('    ' + ', '.join(str(cp) for cp, _ in SINGLE_BYTE) + ',\n};\n\n')
    out.append('const wchar_t codepage_sb_units[codepage_sb_table_count][256] = {\n')
    for (codepage, _), table in zip(SINGLE_BYTE, tables):
        out.append('    // %d\n    {\n%s\n    },\n' % (codepage, unit_lines(table, ' ' * 8)))
    out.append('};\n')
    write('single_byte.cpp', ''.join(out))


def write_double_byte(codepage, codec, lead_table, rows):
    out = [HEADER.format("Python's %s codec" % codec),
           '#include "base/codepage_tables/codepage_tables.h"\n\nnamespace {\n\n',
           'const wchar_t lead_units[256] = {\n%s\n};\n' % unit_lines(lead_table)]
    for lead, row in rows.items():
        out.append('\nconst wchar_t row_%02X[192] = {\n%s\n};\n' % (lead, unit_lines(row)))
    out.append('\nconst wchar_t* const rows[256] = {\n')
    names = ['row_%02X' % b if b in rows else 'nullptr' for b in range(256)]
    for i in range(0, 256, 8):
        out.append('    ' + ', '.join(names[i:i + 8]) + ',\n')
    out.append('};\n\n}  // namespace\n\n')
    out.append('const cDbcsTable dbcs_table_%d = {lead_units, rows};\n' % codepage)
    write('dbcs_%d.cpp' % codepage, ''.join(out))


def write_charset94(name, cells):
    source = "glibc's EUC-TW" if name.startswith('cns') else "Python's codecs"
    out = [HEADER.format(source),
           '#include "base/codepage_tables/codepage_tables.h"\n\nnamespace {\n\n',
           'const wchar_t cells[%d] = {\n%s\n};\n\n}  // namespace\n\n' % (len(cells), unit_lines(cells)),
           'const cCharset94 charset94_%s = {cells, %d};\n' % (name, len(cells))]
    write('charset94_%s.cpp' % name, ''.join(out))


def write_case_pairs(pairs, name_pairs):
    def table(name, count, items):
        cells = ['{0x%04X, 0x%04X},' % item for item in items]
        body = '\n'.join('    ' + ' '.join(cells[i:i + 6]) for i in range(0, len(cells), 6))
        return 'const cCasePair %s[%s] = {\n%s\n};\n' % (name, count, body)
    out = [HEADER.format("Python's unicodedata and Perl's Unicode::UCD"),
           '#include "base/codepage_tables/codepage_tables.h"\n\n',
           table('case_pairs_lower', 'case_pair_count', sorted(pairs)), '\n',
           table('case_pairs_upper', 'case_pair_count', sorted((lower, upper) for upper, lower in pairs)), '\n',
           table('name_upper_pairs', 'name_upper_pair_count', name_pairs)]
    write('case_pairs.cpp', ''.join(out))


def main():
    write_single_byte(single_byte_tables())
    for codepage, codec, lead_ranges, singles in DOUBLE_BYTE:
        lead_table, rows = double_byte_table(codec, lead_ranges, singles)
        write_double_byte(codepage, codec, lead_table, rows)
    for name, build, valid in CHARSETS94:
        cells = trimmed(build())
        check_charset94(name, cells, valid)
        write_charset94(name, cells)
    write_case_pairs(case_pairs(), name_upper_pairs())


if __name__ == '__main__':
    main()
