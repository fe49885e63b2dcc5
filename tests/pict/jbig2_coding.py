"""JBIG2 coding written from the standard's description (T.88, 6.2 and
Annex E), for the tests: the MQ arithmetic encoder (INITENC, CODELPS,
CODEMPS, RENORME, BYTEOUT, FLUSH with its 0xFF 0xAC end), the generic
region encoding of templates 0 to 3 with their adaptive pixels and typical
prediction, and the file and segment headers around them. Debian has no
JBIG2 encoder; jbig2dec checks what this one writes.
"""

import struct

# Probability estimation: Qe, next state after an MPS, after an LPS, switch.
QE = [(0x5601, 1, 1, 1), (0x3401, 2, 6, 0), (0x1801, 3, 9, 0), (0x0AC1, 4, 12, 0), (0x0521, 5, 29, 0),
      (0x0221, 38, 33, 0), (0x5601, 7, 6, 1), (0x5401, 8, 14, 0), (0x4801, 9, 14, 0), (0x3801, 10, 14, 0),
      (0x3001, 11, 17, 0), (0x2401, 12, 18, 0), (0x1C01, 13, 20, 0), (0x1601, 29, 21, 0), (0x5601, 15, 14, 1),
      (0x5401, 16, 14, 0), (0x5101, 17, 15, 0), (0x4801, 18, 16, 0), (0x3801, 19, 17, 0), (0x3401, 20, 18, 0),
      (0x3001, 21, 19, 0), (0x2801, 22, 19, 0), (0x2401, 23, 20, 0), (0x2201, 24, 21, 0), (0x1C01, 25, 22, 0),
      (0x1801, 26, 23, 0), (0x1601, 27, 24, 0), (0x1401, 28, 25, 0), (0x1201, 29, 26, 0), (0x1101, 30, 27, 0),
      (0x0AC1, 31, 28, 0), (0x09C1, 32, 29, 0), (0x08A1, 33, 30, 0), (0x0521, 34, 31, 0), (0x0441, 35, 32, 0),
      (0x02A1, 36, 33, 0), (0x0221, 37, 34, 0), (0x0141, 38, 35, 0), (0x0111, 39, 36, 0), (0x0085, 40, 37, 0),
      (0x0049, 41, 38, 0), (0x0025, 42, 39, 0), (0x0015, 43, 40, 0), (0x0009, 44, 41, 0), (0x0005, 45, 42, 0),
      (0x0001, 45, 43, 0), (0x5601, 46, 46, 0)]


class MQEncoder:
    def __init__(self, contexts):
        self.a, self.c, self.ct = 0x8000, 0, 12
        self.data = bytearray([0])  # the byte before the first: never written out
        self.index = [0] * contexts
        self.mps = [0] * contexts

    def byte_out(self):
        if self.data[-1] == 0xFF:
            self.data.append(self.c >> 20)
            self.c &= 0xFFFFF
            self.ct = 7
        elif self.c < 0x8000000:
            self.data.append(self.c >> 19)
            self.c &= 0x7FFFF
            self.ct = 8
        else:
            self.data[-1] += 1
            if self.data[-1] == 0xFF:
                self.c &= 0x7FFFFFF
                self.data.append(self.c >> 20)
                self.c &= 0xFFFFF
                self.ct = 7
            else:
                # The carry went into the byte before: a byte holds 8 bits.
                self.data.append(self.c >> 19 & 0xFF)
                self.c &= 0x7FFFF
                self.ct = 8

    def renormalise(self):
        while True:
            self.a <<= 1
            self.c <<= 1
            self.ct -= 1
            if self.ct == 0:
                self.byte_out()
            if self.a & 0x8000:
                break

    def encode(self, cx, decision):
        qe, next_mps, next_lps, switch = QE[self.index[cx]]
        self.a -= qe
        if decision == self.mps[cx]:
            if self.a & 0x8000:
                self.c += qe
                return
            if self.a < qe:
                self.a = qe
            else:
                self.c += qe
            self.index[cx] = next_mps
        else:
            if self.a < qe:
                self.c += qe
            else:
                self.a = qe
            if switch:
                self.mps[cx] = 1 - self.mps[cx]
            self.index[cx] = next_lps
        self.renormalise()

    def flush(self):
        temp = self.c + self.a
        self.c |= 0xFFFF
        if self.c >= temp:
            self.c -= 0x8000
        self.c <<= self.ct
        self.byte_out()
        self.c <<= self.ct
        self.byte_out()
        if self.data[-1] != 0xFF:
            self.data.append(0xFF)
        self.data.append(0xAC)
        return bytes(self.data[1:])


NOMINAL_AT = {0: [3, -1, -3, -1, 2, -2, -2, -2], 1: [3, -1], 2: [2, -1], 3: [2, -1]}
TYPICAL_CONTEXT = {0: 0x9B25, 1: 0x0795, 2: 0x00E5, 3: 0x0195}


def context(rows, width, x, y, template, at):
    def p(dx, dy):
        xx, yy = x + dx, y + dy
        return rows[yy][xx] if 0 <= xx < width and yy >= 0 else 0

    if template == 0:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(-4, 0), p(at[0], at[1]), p(2, -1), p(1, -1), p(0, -1), p(-1, -1),
                p(-2, -1), p(at[2], at[3]), p(at[4], at[5]), p(1, -2), p(0, -2), p(-1, -2), p(at[6], at[7])]
    elif template == 1:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(at[0], at[1]), p(2, -1), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1),
                p(2, -2), p(1, -2), p(0, -2), p(-1, -2)]
    elif template == 2:
        bits = [p(-1, 0), p(-2, 0), p(at[0], at[1]), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1), p(1, -2), p(0, -2),
                p(-1, -2)]
    else:
        bits = [p(-1, 0), p(-2, 0), p(-3, 0), p(-4, 0), p(at[0], at[1]), p(1, -1), p(0, -1), p(-1, -1), p(-2, -1),
                p(-3, -1)]
    return sum(b << i for i, b in enumerate(bits))


def encode_generic(rows, template, typical, at):
    width = len(rows[0])
    encoder = MQEncoder(1 << 16)
    previous_typical = 0
    for y, row in enumerate(rows):
        if typical:
            same = int(row == (rows[y - 1] if y else [0] * width))
            encoder.encode(TYPICAL_CONTEXT[template], same ^ previous_typical)
            previous_typical = same
            if same:
                continue
        for x in range(width):
            encoder.encode(context(rows, width, x, y, template, at), row[x])
    return encoder.flush()


def segment(number, kind, page, data, references=(), long_page=False):
    head = struct.pack(">IB", number, kind | (0x40 if long_page else 0))
    head += bytes([len(references) << 5]) + bytes(references)
    head += struct.pack(">I", page) if long_page else bytes([page])
    return head + struct.pack(">I", len(data)) + data


def page_information(width, height, overridden=True):
    return struct.pack(">IIIIBH", width, height, 0, 0, 0x40 if overridden else 0, 0)


def region(rows, x, y, template=0, typical=True, at=None, operator=4, mmr=False):
    at = NOMINAL_AT[template] if at is None else at
    flags = (1 if mmr else 0) | template << 1 | (8 if typical else 0)
    head = struct.pack(">IIIIB", len(rows[0]), len(rows), x, y, operator) + bytes([flags])
    if mmr:
        return head + bytes((37 * i + 11) & 0xFF for i in range(40))
    return head + struct.pack(">%db" % len(at), *at) + encode_generic(rows, template, typical, at)


def file_header(pages, sequential=True):
    flags = (1 if sequential else 0) | (2 if pages is None else 0)
    return b"\x97JB2\r\n\x1a\n" + bytes([flags]) + (b"" if pages is None else struct.pack(">I", pages))


class Builder:
    """Segments numbered in order, with the page ends and the file end."""

    def __init__(self):
        self.segments = []

    def add(self, kind, page, data, **options):
        self.segments.append((kind, page, data, options))

    def build(self, header=b"", sequential=True, keep=lambda number: True):
        parts = []
        number = 0
        for kind, page, data, options in self.segments:
            if keep(number):
                parts.append(segment(len(parts), kind, page, data, **options))
            number += 1
        if sequential:
            return header + b"".join(parts)
        # Random access: every header first, then the data in order.
        heads, bodies = [], []
        for part in parts:
            references = part[5] >> 5
            page_size = 4 if part[4] & 0x40 else 1
            head_length = 6 + references + page_size + 4
            heads.append(part[:head_length])
            bodies.append(part[head_length:])
        return header + b"".join(heads) + b"".join(bodies)
