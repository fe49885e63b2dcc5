#!/usr/bin/env python3
"""Writes what the code-page and case-map tests expect, from converters
independent of the program: Python's codecs and unicodedata, and glibc's
iconv. Run by the build:

    codepage_expected.py sb|dbcs|iso_euc|case OUTPUT

Each line of the output is one expectation, fields separated by spaces, code
pages in decimal and everything else in hex:

    sb:      CODEPAGE BYTE UNIT, where UNIT may also be P (a private-use unit
             that Windows' own table of the code page gives) or G (the
             graphic character Windows shows for the byte of code page 437)
    dbcs:    single CODEPAGE BYTE UNIT
             pair CODEPAGE LEAD TRAIL UNIT
             rowless CODEPAGE LEAD             (a lead byte no pair uses)
             text CODEPAGE BYTES UNITS
    iso_euc: cell SET INDEX UNIT               (UNIT - for no character)
             text CODEPAGE BYTES UNITS
    case:    UNIT LOWER UPPER TITLE            (- where the mapping is not
                                                one unit; only units that
                                                some mapping changes)

Where the program's conversions depart from these converters on purpose,
the departures are written out below.
"""

import ctypes
import subprocess
import sys

QUESTION = 0x3F


def decode_one(codec, data):
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


def iconv_bytes(data, source, target):
    return subprocess.run(['iconv', '-f', source, '-t', target], input=data,
                          check=True, capture_output=True).stdout


class GlibcDecoder:
    """glibc's iconv for one byte sequence at a time: the command-line tool
    cannot say which of many sequences failed."""

    def __init__(self, charset):
        self.libc = ctypes.CDLL(None)
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        pointer = ctypes.POINTER(ctypes.c_char_p)
        size = ctypes.POINTER(ctypes.c_size_t)
        self.libc.iconv.argtypes = [ctypes.c_void_p, pointer, size, pointer, size]
        self.handle = self.libc.iconv_open(b'UTF-16LE', charset.encode())

    def unit(self, data):
        self.libc.iconv(self.handle, None, None, None, None)
        source = ctypes.create_string_buffer(data, len(data))
        target = ctypes.create_string_buffer(16)
        source_at = ctypes.c_char_p(ctypes.addressof(source))
        target_at = ctypes.c_char_p(ctypes.addressof(target))
        source_left = ctypes.c_size_t(len(data))
        target_left = ctypes.c_size_t(16)
        result = self.libc.iconv(self.handle, ctypes.byref(source_at), ctypes.byref(source_left),
                                 ctypes.byref(target_at), ctypes.byref(target_left))
        if result == ctypes.c_size_t(-1).value or source_left.value or 16 - target_left.value != 2:
            return None
        return int.from_bytes(target.raw[:2], 'little')


def units_hex(text):
    return ''.join('%04x' % ord(c) for c in text)


# ---------------------------------------------------------------------------
# Single-byte code pages.

SINGLE_BYTE_CODECS = {
    28591: 'latin-1', 1250: 'cp1250', 1251: 'cp1251', 1255: 'cp1255', 850: 'cp850',
    866: 'cp866', 862: 'cp862', 37: 'cp037', 437: 'cp437', 500: 'cp500',
    20866: 'koi8_r', 21866: 'koi8_u', 28592: 'iso8859_2', 28593: 'iso8859_3',
    28595: 'iso8859_5', 28596: 'iso8859_6', 28597: 'iso8859_7', 28598: 'iso8859_8',
    28599: 'iso8859_9', 28605: 'iso8859_15', 737: 'cp737', 852: 'cp852', 855: 'cp855',
    858: 'cp858', 857: 'cp857', 870: None, 1252: 'cp1252', 1254: 'cp1254',
    10007: 'mac_cyrillic', 10029: 'mac_latin2',
}

# Bytes the codecs leave undefined: "?" on three code pages, the byte's own
# unit on two, and a private-use unit of Windows' own table on five.
UNDEFINED_QUESTION = {1250, 1251, 1255}
UNDEFINED_OWN_UNIT = {1252, 1254}
UNDEFINED_PRIVATE_USE = {28593, 28596, 28597, 28598, 857}

# Positions where Windows keeps another mapping than the codecs.
SINGLE_BYTE_EXCEPTIONS = {
    28593: {0xA5: 0xF7F5},
    28597: {0xA1: 0x02BD, 0xA2: 0x02BC, 0xA4: 'P', 0xA5: 'P', 0xAA: 'P'},
    28598: {0xAF: 0x203E},
    21866: {0xAE: 0x045E, 0xBE: 0x040E},
    10007: {0xA2: 0x00A2, 0xB6: 0x2202, 0xFF: 0x00A4},
    437: {b: 'G' for b in list(range(0x01, 0x20)) + [0x7F]},
}


def single_byte_lines():
    cp870 = iconv_bytes(bytes(range(256)), 'IBM870', 'UTF-16LE')
    for codepage, codec in SINGLE_BYTE_CODECS.items():
        for byte in range(256):
            if codec:
                unit = decode_one(codec, bytes([byte]))
            else:
                unit = int.from_bytes(cp870[2 * byte:2 * byte + 2], 'little')
            if unit is None and codepage in UNDEFINED_QUESTION:
                unit = QUESTION
            elif unit is None and codepage in UNDEFINED_OWN_UNIT:
                unit = byte
            elif unit is None and codepage in UNDEFINED_PRIVATE_USE:
                unit = 'P'
            unit = SINGLE_BYTE_EXCEPTIONS.get(codepage, {}).get(byte, unit)
            assert unit is not None, (codepage, byte)
            shown = unit if isinstance(unit, str) else '%x' % unit
            yield '%d %x %s' % (codepage, byte, shown)


# ---------------------------------------------------------------------------
# Double-byte code pages: Microsoft's published tables, as Python's codecs
# have them, with 936's euro sign at 0x80; Python's 932 codec also maps the
# user-defined rows 0xF0-0xF9, which the published table leaves out.

DOUBLE_BYTE = {
    932: ('cp932', [range(0x81, 0xA0), range(0xE0, 0xFD)]),
    936: ('gbk', [range(0x81, 0xFF)]),
    949: ('cp949', [range(0x81, 0xFF)]),
    950: ('cp950', [range(0x81, 0xFF)]),
}
DOUBLE_BYTE_SINGLES = {936: {0x80: 0x20AC}}
USER_DEFINED_932 = range(0xF0, 0xFA)

DOUBLE_BYTE_TEXTS = {
    932: 'Shift_JIS: 日本語のテキスト、ｶﾀｶﾅ ｱｲｳ と ①② ∑ ￥',
    936: 'GBK: 简体中文文本，包括扩展字符 丂 亐 100',
    949: 'UHC: 한국어 텍스트 똠방각하 漢字',
    950: 'Big5: 繁體中文文字 測試 碁銹 ￠',
}


def double_byte_lines():
    for codepage, (codec, lead_ranges) in DOUBLE_BYTE.items():
        leads = {b for r in lead_ranges for b in r}
        for byte in range(256):
            if byte not in leads:
                unit = DOUBLE_BYTE_SINGLES.get(codepage, {}).get(byte)
                if unit is None:
                    unit = decode_one(codec, bytes([byte]))
                if unit is None:
                    unit = QUESTION
                yield 'single %d %x %x' % (codepage, byte, unit)
        for lead in sorted(leads):
            row = [decode_one(codec, bytes([lead, trail])) for trail in range(0x40, 0x100)]
            if codepage == 932 and lead in USER_DEFINED_932:
                row = [None] * len(row)
            if all(unit is None for unit in row):
                yield 'rowless %d %x' % (codepage, lead)
                continue
            for trail, unit in zip(range(0x40, 0x100), row):
                yield 'pair %d %x %x %x' % (codepage, lead, trail, QUESTION if unit is None else unit)
        text = DOUBLE_BYTE_TEXTS[codepage]
        yield 'text %d %s %s' % (codepage, text.encode(codec).hex(), units_hex(text))


# ---------------------------------------------------------------------------
# ISO-2022 and EUC code pages: the cells of their five 94 x 94 sets, from
# Python's gb2312 and euc_jp codecs and glibc's EUC-TW, and texts encoded by
# Python's codecs and glibc's ISO-2022-CN encoder.

def charset_cells():
    euc_tw = GlibcDecoder('EUC-TW')
    sets = [
        ('gb2312', lambda b: decode_one('gb2312', b)),
        ('jis0208', lambda b: decode_one('euc_jp', b)),
        ('jis0212', lambda b: decode_one('euc_jp', b'\x8f' + b)),
        ('cns1', euc_tw.unit),
        ('cns2', lambda b: euc_tw.unit(b'\x8e\xa2' + b)),
    ]
    for name, decode in sets:
        for index in range(94 * 94):
            unit = decode(bytes([0xA1 + index // 94, 0xA1 + index % 94]))
            yield 'cell %s %x %s' % (name, index, '-' if unit is None else '%x' % unit)


ISO_EUC_TEXTS = [
    (51936, 'gb2312', 'EUC-CN: 简体中文 GB 2312 文本，第二行\r\n结束。'),
    (51932, 'euc_jp', 'EUC-JP: 日本語テキスト ｶﾀｶﾅ 丂 ＜漢字＞'),
    (50221, 'iso2022_jp_ext', 'ISO-2022-JP: 日本語 ｶﾀｶﾅ ¥100 ‾ 丂 終わり'),
    (50227, None, 'ISO-2022-CN: 中文 台灣 乂 繁體 简体 end'),
]


def iso_euc_lines():
    yield from charset_cells()
    for codepage, codec, text in ISO_EUC_TEXTS:
        if codec:
            data = text.encode(codec)
        else:
            data = iconv_bytes(text.encode('utf-8'), 'UTF-8', 'ISO-2022-CN')
        yield 'text %d %s %s' % (codepage, data.hex(), units_hex(text))


# ---------------------------------------------------------------------------
# Case mappings of the Basic Multilingual Plane, as Python's str methods give
# them for each unit.

def case_lines():
    def one_unit(mapped):
        return '%x' % ord(mapped) if len(mapped) == 1 and ord(mapped) < 0x10000 else '-'
    for unit in range(0x10000):
        if 0xD800 <= unit < 0xE000:
            continue
        char = chr(unit)
        mappings = [char.lower(), char.upper(), char.title()]
        if any(mapped != char for mapped in mappings):
            yield '%x %s' % (unit, ' '.join(one_unit(mapped) for mapped in mappings))


def main():
    kind, output = sys.argv[1], sys.argv[2]
    kinds = {'sb': single_byte_lines, 'dbcs': double_byte_lines, 'iso_euc': iso_euc_lines,
             'case': case_lines}
    lines = kinds[kind]()
    with open(output, 'w', newline='\n') as f:
        for line in lines:
            f.write(line + '\n')


if __name__ == '__main__':
    main()
