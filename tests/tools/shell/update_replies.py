#!/usr/bin/env python3
"""The update check's table: what the server answers to a product's check,
and what the check must make of it, written down here from the reply rules
(not from the program's output).

Run with a folder, it writes <folder>/update_replies.txt, one case a line:
  name ok version installer web notes
ok 1 or 0; version 16 hex digits (a<<48 | b<<32 | c<<16 | d); the texts as
UTF-8 in hex, "-" for empty, and notes "keep" when the check must leave the
caller's notes as they were. A failed case expects every output untouched.
update_test_server.py imports CASES to answer the checks.
"""
import os
import sys

# The raw HTTP answers that are not a plain 200 with a length: served by name
# in update_test_server.py.
SPECIAL = {"silent", "headerflood", "declared70000"}


def http(body, status=b"200 OK", length=True, declared=None):
    head = b"HTTP/1.1 " + status + b"\r\n"
    if length:
        head += b"Content-Length: %d\r\n" % (len(body) if declared is None else declared)
    return head + b"\r\n" + body


def chunked(body):
    """A 200 reply with its body as one chunk, announcing both the chunked
    coding and the framed bytes' length."""
    framed = b"%x\r\n" % len(body) + body + b"\r\n0\r\n\r\n"
    return (b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: %d\r\n\r\n" % len(framed)) + framed


def ok(version, installer, web, notes="keep"):
    return (1, version, installer, web, notes)


FAIL = (0, None, None, None, "keep")
GERMAN = "Neu: Größe ✓\r\nzweite Zeile"
LIMIT_NOTES = "n" * (65536 - len(b"1.0\r\nhttp://h/s.exe\r\nhttp://h/\r\n"))

# name, raw answer (None for the SPECIAL ones), expectation
CASES = [
    ("three_lines", http(b"2.1\r\nhttp://h/setup.exe\r\nhttp://h/\r\n"), ok((2, 1, 0, 0), "http://h/setup.exe", "http://h/")),
    ("bare_lf", http(b"2.1\nhttp://h/setup.exe\nhttp://h/\n"), FAIL),
    ("part_too_large", http(b"70000.1\r\na\r\nb\r\n"), FAIL),
    ("part_one_over", http(b"1.2.3.65536\r\na\r\nb\r\n"), FAIL),
    ("one_number", http(b"5\r\na\r\nb\r\n"), FAIL),
    ("five_numbers", http(b"1.2.3.4.5\r\na\r\nb\r\n"), ok((1, 2, 3, 4), "a", "b")),
    ("three_numbers", http(b"1.2.3\r\na\r\nb\r\n"), ok((1, 2, 3, 0), "a", "b")),
    ("largest_parts", http(b"65535.65535.65535.65535\r\na\r\nb\r\n"), ok((65535, 65535, 65535, 65535), "a", "b")),
    ("negative_part", http(b"-1.2\r\na\r\nb\r\n"), FAIL),
    ("not_a_number", http(b"x.2\r\na\r\nb\r\n"), FAIL),
    ("empty_line_between", http(b"2.1\r\n\r\nhttp://a\r\nhttp://b\r\n"), ok((2, 1, 0, 0), "http://a", "http://b")),
    ("notes_keep_line_ends", http(b"3.0\r\na\r\nb\r\nline one\r\nline two\r\n"),
     ok((3, 0, 0, 0), "a", "b", "line one\r\nline two\r\n")),
    ("utf8_notes", http(b"3.0.1\r\nhttp://h/\xc3\xa4.exe\r\nb\r\n" + GERMAN.encode("utf-8")),
     ok((3, 0, 1, 0), "http://h/ä.exe", "b", GERMAN)),
    ("no_line_three", http(b"2.1\r\nhttp://a\r\n"), FAIL),
    ("line_three_unended", http(b"2.1\r\nhttp://a\r\nhttp://b"), FAIL),
    ("no_line_end", http(b"2.1"), FAIL),
    ("empty_first_line", http(b"\r\n2.1\r\na\r\nb\r\n"), FAIL),
    ("status_404", http(b"2.1\r\na\r\nb\r\n", status=b"404 Not Found"), FAIL),
    ("no_length", http(b"2.1\r\na\r\nb\r\n", length=False), FAIL),
    ("length_zero", http(b""), FAIL),
    ("exactly_64k", http(("1.0\r\nhttp://h/s.exe\r\nhttp://h/\r\n" + LIMIT_NOTES).encode()),
     ok((1, 0, 0, 0), "http://h/s.exe", "http://h/", LIMIT_NOTES)),
    ("one_over_64k", http(("1.0\r\nhttp://h/s.exe\r\nhttp://h/\r\n" + LIMIT_NOTES + "n").encode()), FAIL),
    # A whole reply, but in chunks: its end is not the plain length's.
    ("chunked", chunked(b"2.1\r\nhttp://h/setup.exe\r\nhttp://h/\r\n"), FAIL),
    # Announces more than the limit, sends a little and waits: refused by
    # the announcement, at once.
    ("declared70000", None, FAIL),
    # Never answers: only the caller's stop ends the wait.
    ("silent", None, FAIL),
    # Header lines without end.
    ("headerflood", None, FAIL),
]


def text_field(text):
    if text is None or text == "":
        return "-"
    return text.encode("utf-8").hex()


def main():
    lines = []
    for name, _, (good, version, installer, web, notes) in CASES:
        packed = 0
        for part in version or (0, 0, 0, 0):
            packed = packed << 16 | part
        lines.append("%s %d %016x %s %s %s" % (name, good, packed, text_field(installer), text_field(web),
                                              "keep" if notes == "keep" else text_field(notes)))
    with open(os.path.join(sys.argv[1], "update_replies.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
