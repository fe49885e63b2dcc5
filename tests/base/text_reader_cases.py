#!/usr/bin/env python3
"""Writes the text reader's input files and the lines expected of them.

For each case NAME the folder given gets NAME.txt (the bytes) and a record
in cases.txt:

    NAME HOW ENCODING MARK COUNT LINE...

HOW is "file" (the test opens the file) or "attach" (the test attaches a
memory stream holding the bytes, read as UTF-8); ENCODING and MARK are the
encoding number and byte-order-mark length the reader settles on; then
COUNT lines, each as hexadecimal UTF-16 units ("-" for an empty line).

The lines come from Python's codecs: the bytes after the mark are decoded
with the codec the mark names (UTF-16LE without one, UTF-8 when attached)
and split at CR LF, CR, LF and NUL; a line end at the very end makes no
further line. Invalid UTF-8 decodes byte by byte, each byte as the unit of
its own value (an error handler below); the cases keep to invalid input
where that equals the reader's rules (stray continuation bytes, bytes F5 to
FF, lead bytes without their continuation bytes; no overlong forms, which
the reader passes differently from Python). Characters beyond U+FFFF are
written to UTF-8 files in their four-byte form and read back as the pair.
A byte left over after the last whole UTF-16 unit is no part of the text.
Reading stops before the first line longer than 4096 units of the file's
encoding.

The reader reads windows of 4096 units starting right after the mark; the
cases that put a line or a CR LF across a window boundary place it from
that.
"""
import codecs
import os
import re
import sys

WINDOW = 4096

MARKS = {"utf-8": b"\xef\xbb\xbf", "utf-16-le": b"\xff\xfe", "utf-16-be": b"\xfe\xff"}
ENCODING_NUMBER = {("utf-16-le", False): 1, ("utf-8", True): 2, ("utf-16-le", True): 3, ("utf-16-be", True): 4}


def byte_per_unit(error):
    if error.reason == "truncated data":
        return "", error.end
    # The three-byte form of a surrogate unit (ED A0..BF 80..BF) is the
    # unit, as "surrogatepass" has it.
    three = error.object[error.start:error.start + 3]
    if len(three) == 3 and three[0] == 0xED and 0xA0 <= three[1] <= 0xBF and 0x80 <= three[2] <= 0xBF:
        return three.decode("utf-8", errors="surrogatepass"), error.start + 3
    return "".join(chr(b) for b in error.object[error.start:error.end]), error.end


codecs.register_error("byte_per_unit", byte_per_unit)


def unit_size(codec):
    return 1 if codec == "utf-8" else 2


def expected_lines(data, codec):
    text = data.decode(codec, errors="byte_per_unit")
    if not text:
        return []
    lines = re.split("\r\n|\r|\n|\0", text)
    if lines[-1] == "":
        lines.pop()
    kept = []
    for line in lines:
        units = len(line.encode(codec, errors="surrogatepass")) // unit_size(codec)
        if units > WINDOW:
            break
        kept.append(line)
    return kept


def hex_units(line):
    if not line:
        return "-"
    return line.encode("utf-16-be", errors="surrogatepass").hex()


def encode(text, codec):
    return text.encode(codec, errors="surrogatepass")


class Cases:
    def __init__(self, folder):
        self.folder = folder
        self.records = []

    def add(self, name, body, codec, marked, how="file", trailing=b""):
        """body: text (encoded with codec) or bytes; trailing: raw bytes after it."""
        data = (body if isinstance(body, bytes) else encode(body, codec)) + trailing
        raw = (MARKS[codec] if marked else b"") + data
        with open(os.path.join(self.folder, name + ".txt"), "wb") as f:
            f.write(raw)
        if how == "attach":
            number, mark = 2, 3 if marked else 0
        else:
            number, mark = ENCODING_NUMBER[(codec, marked)], len(MARKS[codec]) if marked else 0
        lines = expected_lines(data, codec)
        self.records.append(" ".join([name, how, str(number), str(mark), str(len(lines))] +
                                     [hex_units(line) for line in lines]))

    def write(self):
        with open(os.path.join(self.folder, "cases.txt"), "w") as f:
            f.write("\n".join(self.records) + "\n")


def filler(n, seed):
    """n characters of plain text (no line ends)."""
    letters = "abcdefghijklmnopqrstuvwxyz0123456789 "
    return "".join(letters[(i * 7 + seed) % len(letters)] for i in range(n))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    cases = Cases(folder)
    codecs_marked = [("utf-8", True), ("utf-16-le", True), ("utf-16-be", True), ("utf-16-le", False)]
    tag = {("utf-8", True): "u8", ("utf-16-le", True): "le", ("utf-16-be", True): "be", ("utf-16-le", False): "nomark"}

    # The examples every reader of this format must get right.
    cases.add("u8_crlf", "a\r\nb", "utf-8", True)
    cases.add("nomark_lf", "a\nb", "utf-16-le", False)
    cases.add("be_one_line", "a\n", "utf-16-be", True)

    # Every kind of line end, an empty line between two LFs, non-ASCII text
    # (a surrogate pair too) and a last line without a line end, in each
    # encoding.
    mixed = "one\ntwo\r\nthree\rfour\0five\n\nseven \u00e9\u20ac\U0001F600 last"
    for codec, marked in codecs_marked:
        cases.add(tag[(codec, marked)] + "_line_ends", mixed, codec, marked)
        cases.add(tag[(codec, marked)] + "_ends_with_lf", "x\r\ny\n", codec, marked)
        cases.add(tag[(codec, marked)] + "_only_marks", "", codec, marked)
        cases.add(tag[(codec, marked)] + "_blank_lines", "\n\r\n\r\0", codec, marked)

    # An odd number of bytes in UTF-16: the last byte is no unit.
    cases.add("le_odd_bytes", "ab\ncd", "utf-16-le", True, trailing=b"\x41")
    cases.add("be_odd_bytes", "ab\ncd\n", "utf-16-be", True, trailing=b"\x00")
    cases.add("nomark_one_byte", b"", "utf-16-le", False, trailing=b"\x61")
    cases.add("nomark_three_bytes", b"\x61\x00", "utf-16-le", False, trailing=b"\x62")

    # Invalid UTF-8 passes byte by byte, also when a line end cuts a
    # sequence and at the end of the file.
    invalid = b"A\x80B\xffC\xe2\x82D\xc3\nE\xf8\xfe\xe2\n\xbf\xbf\r\n\xe2\x82"
    cases.add("u8_invalid", invalid, "utf-8", True)
    cases.add("attach_invalid", invalid, "utf-8", False, how="attach")

    # Lines that cross a window boundary: the boundary falls inside a
    # three-byte character in UTF-8 and inside a surrogate pair in UTF-16.
    for codec, marked in codecs_marked:
        size = unit_size(codec)
        first = filler(WINDOW - 100, 1) + "\n"
        # 98 units of filler put the character's first unit at 4095.
        crossing = filler(98, 2) + ("\u20ac" if size == 1 else "\U0001F600")
        crossing += filler(3000, 3) + "\n"
        assert len(encode(first + filler(98, 2), codec)) == (WINDOW - 1) * size
        cases.add(tag[(codec, marked)] + "_crossing", first + crossing + "after\nend", codec, marked)

    # A line of exactly 4096 units across the boundary is read; one of
    # 4097 units stops the reading; so does one of 5000.
    for codec, marked in [("utf-8", True), ("utf-16-le", False)]:
        t = tag[(codec, marked)]
        head = filler(10, 4) + "\n"
        cases.add(t + "_longest_line", head + filler(WINDOW, 5) + "\nafter", codec, marked)
        cases.add(t + "_too_long_line", head + filler(WINDOW + 1, 6) + "\nafter", codec, marked)
        cases.add(t + "_line_of_5000", head + filler(5000, 7) + "\nafter\n", codec, marked)
        cases.add(t + "_whole_window_line", filler(WINDOW, 8) + "\nafter", codec, marked)

    # CR as the last unit of a window: with LF as the first unit of the
    # next one it is one line end; with another CR LF after it, an empty
    # line; followed by text or by nothing, a line end of its own.
    for codec, marked in codecs_marked:
        t = tag[(codec, marked)]
        before = filler(WINDOW - 1, 9)
        cases.add(t + "_split_crlf", before + "\r\nnext\n", codec, marked)
        cases.add(t + "_split_cr_crlf", before + "\r\r\nnext", codec, marked)
        cases.add(t + "_split_cr_text", before + "\rnext", codec, marked)
        cases.add(t + "_cr_at_end", before + "\r", codec, marked)
        # The CR closes the second window, at the end of a line that
        # crossed the first boundary.
        first = filler(WINDOW - 2, 10) + "\n"
        cases.add(t + "_spill_crlf", first + filler(WINDOW, 11) + "\r\nnext", codec, marked)

    # Attached streams are UTF-8 with or without the mark.
    cases.add("attach_marked", mixed, "utf-8", True, how="attach")
    cases.add("attach_unmarked", mixed, "utf-8", False, how="attach")
    cases.add("attach_crossing_crlf", filler(WINDOW - 1, 12) + "\r\n" + filler(3000, 13) + "\nz", "utf-8", False,
              how="attach")

    cases.write()


if __name__ == "__main__":
    main()
