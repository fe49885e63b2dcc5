#!/usr/bin/env python3
"""Writes configuration store files ("QRVC") from their byte layout, on its
own, for the tests to read and to compare the program's output with.

Layout, little-endian: b"QRVC", then the root node. A node is its value
length (16 bits) and value bytes, then per child 0x01, the name length
(8 bits, 1..255) and name bytes, and the child node, then 0x00. A name is
its UTF-8 bytes zero-padded to a multiple of 4 and cut to 255 bytes; the
empty name is four zero bytes. Values are cut to 65535 bytes. Children are
written in ascending order of their UTF-8 bytes.

Output folder (argument 1): <case>.qrvc per case and cases.txt, whose
records are:
  case <name> <ok|fail> <roundtrip|read>
  in <path> <value>    the tree the program is to write (roundtrip cases)
  out <path> <value>   the tree that reading the file gives (as far as read)
Paths are "." for the root, else names as "x" + hex joined by "/"; values
are hex, "-" when empty. Every node of a tree is listed.
"""
import os
import struct
import sys


class Node:
    def __init__(self, value=b"", children=None):
        self.value = value
        # (name bytes, Node) in file order; a name may repeat.
        self.children = children or []


def encode_name(name):
    padded = name + b"\0" * (-len(name) % 4) if name else b"\0" * 4
    return padded[:255]


def encode(node, ordered=True):
    out = bytearray()
    value = node.value[:65535]
    out += struct.pack("<H", len(value)) + value
    children = sorted(node.children, key=lambda c: c[0]) if ordered else node.children
    for name, child in children:
        stored = encode_name(name)
        out += b"\x01" + bytes([len(stored)]) + stored
        out += encode(child, ordered)
    out += b"\0"
    return bytes(out)


def store_file(node, ordered=True):
    return b"QRVC" + encode(node, ordered)


def as_read(name):
    """A name as the reader keeps it: a character beyond U+FFFF written as
    its two surrogate halves, three bytes each (as earlier versions of the
    program wrote it), becomes its UTF-8 form."""
    try:
        text = name.decode("utf-8", "surrogatepass")
    except UnicodeDecodeError:
        return name
    joined = text.encode("utf-16-le", "surrogatepass").decode("utf-16-le", "surrogatepass")
    return joined.encode("utf-8", "surrogatepass")


def split_halves(text):
    """text with each character beyond U+FFFF as its two surrogate halves,
    three bytes each."""
    units = text.encode("utf-16-le", "surrogatepass")
    return "".join(chr(int.from_bytes(units[i:i + 2], "little")) for i in range(0, len(units), 2)).encode(
        "utf-8", "surrogatepass")


def stored_tree(node):
    """The tree a reader gets from the file of node: cut values and names,
    names up to their first zero byte and as_read, repeated names merged."""
    result = Node(node.value[:65535])
    merged = {}
    for name, child in node.children:
        key = as_read(encode_name(name).split(b"\0")[0])
        inner = stored_tree(child)
        if key in merged:
            merged[key] = merge(merged[key], inner)
        else:
            merged[key] = inner
    result.children = sorted(merged.items())
    return result


def merge(earlier, later):
    names = dict(earlier.children)
    for name, child in later.children:
        names[name] = merge(names[name], child) if name in names else child
    return Node(later.value, sorted(names.items()))


def tree_lines(kind, node, path="."):
    lines = ["%s %s %s" % (kind, path, node.value.hex() or "-")]
    for name, child in node.children:
        inner = "x" + name.hex()
        lines += tree_lines(kind, child, inner if path == "." else path + "/" + inner)
    return lines


def chain(depth):
    """depth levels of children called "d" below an empty root."""
    root = Node()
    node = root
    for _ in range(depth):
        child = Node()
        node.children.append((b"d", child))
        node = child
    return root


def deep_file(depth):
    # Written flat: a recursive writer would not reach the deepest case.
    return b"QRVC" + b"\0\0\x01\x04d\0\0\0" * depth + b"\0\0\0" + b"\0" * depth


def rich_tree():
    return Node(b"\x10\x20\x30", [
        (b"B", Node(b"upper")),
        (b"a", Node(b"", [
            (b"abcd", Node(b"\x01\x02\x03\x04")),
            (b"abcde", Node(b"\xff" * 300)),
            (b"abc", Node(b"", [(b"leaf", Node(b"\0\0\0\0\0\0\0\0"))])),
        ])),
        ("größe".encode(), Node("значение".encode())),
        ("日本語".encode(), Node(bytes(range(256)) * 255 + bytes(range(255)))),
        (b"ab", Node(b"\x2a\0\0\0")),
        (b"b", Node()),
    ])


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    records = []

    def add(name, data, ok, written=None, read=None):
        with open(os.path.join(folder, name + ".qrvc"), "wb") as f:
            f.write(data)
        records.append("case %s %s %s" % (name, "ok" if ok else "fail",
                                          "roundtrip" if written else "read"))
        if written:
            records.extend(tree_lines("in", written))
        records.extend(tree_lines("out", read if read else stored_tree(written)))

    empty = Node()
    assert store_file(empty) == b"QRVC\0\0\0"
    add("empty", store_file(empty), True, empty)

    ab = Node(b"\x01\x02", [(b"ab", Node(b"\x2a\0\0\0"))])
    assert store_file(ab) == bytes.fromhex(
        "51525643" "0200" "0102" "01" "04" "61620000" "0400" "2a000000" "00" "00")
    add("ab", store_file(ab), True, ab)

    # The file "a" after writing the 32-bit value 5 under the key a/b.
    int_b = Node(b"", [(b"b", Node(b"\x05\0\0\0"))])
    add("int_b", store_file(int_b), True, int_b)

    rich = rich_tree()
    add("rich", store_file(rich), True, rich)

    long_value = Node(b"", [(b"v", Node(bytes((i * 7) & 0xFF for i in range(70000))))])
    add("long_value", store_file(long_value), True, long_value)

    long_name = Node(b"", [(b"n" * 300, Node(b"\x01")), (b"m" * 253, Node(b"\x02"))])
    add("long_name", store_file(long_name), True, long_name)

    empty_name = Node(b"", [(b"", Node(b"\x07", [(b"x", Node(b"\x08"))])), (b"y", Node())])
    add("empty_name", store_file(empty_name), True, empty_name)

    # Repeated names, written in file order: the later value wins and the
    # children merge.
    repeated = Node(b"", [
        (b"a", Node(b"\x11", [(b"x", Node(b"\x01"))])),
        (b"b", Node(b"\x22")),
        (b"a", Node(b"\x33", [(b"y", Node(b"\x02")), (b"x", Node(b"\x03"))])),
        (b"b", Node(b"")),
    ])
    add("duplicates", store_file(repeated, ordered=False), True, read=stored_tree(repeated))

    # Names beyond U+FFFF as earlier versions wrote them: read in their
    # UTF-8 form, and merged with a child of that name. Lone halves, and a
    # low half before a high one, stay as they are.
    earlier = Node(b"", [
        (split_halves("install"), Node(b"", [
            (split_halves("notes-\U0001F600"), Node(b"\x01", [(b"ver", Node(b"\x02\0"))])),
            ("notes-\U0001F600".encode(), Node(b"\x03", [(b"name", Node("Notes \U0001F600".encode()))])),
            (split_halves("\U00010000x\U0010FFFF"), Node(b"\x04")),
            ("a\ud83d".encode("utf-8", "surrogatepass"), Node(b"\x05")),
            ("\ude00\ud83d".encode("utf-8", "surrogatepass"), Node(b"\x06")),
        ])),
    ])
    add("earlier_pairs", store_file(earlier, ordered=False), True, read=stored_tree(earlier))

    with_tail = store_file(ab) + b"\x01\x04junk\xff\xff\x05"
    add("tail", with_tail, True, read=ab)

    add("wrong_magic", b"QRVX" + store_file(ab)[4:], False, read=Node())

    # Faults after a complete first child: that child stays, the root's
    # value was read.
    head = b"QRVC" + b"\x01\x00\xaa" + b"\x01\x04a\0\0\0" + b"\x01\x00\x01\x00"
    partial = Node(b"\xaa", [(b"a", Node(b"\x01"))])
    add("bad_marker", head + b"\x02\x04b\0\0\0\0\0\0\0", False, read=partial)
    add("zero_name_length", head + b"\x01\x00\0\0\0", False, read=partial)
    # Cut inside the value of the second child: the child is there, its
    # value left empty.
    two = Node(b"", [(b"a", Node(b"\x01")), (b"b", Node(b"\x02\x03\x04"))])
    add("truncated_value", store_file(two)[:-3], False,
        read=Node(b"", [(b"a", Node(b"\x01")), (b"b", Node())]))
    add("truncated_name", store_file(two)[:20], False, read=Node(b"", [(b"a", Node(b"\x01"))]))
    add("no_end_byte", store_file(two)[:-1], False, read=stored_tree(two))

    add("deep_64", deep_file(64), True, read=chain(64))
    add("deep_65", deep_file(65), False, read=chain(64))
    add("deep_200000", deep_file(200000), False, read=chain(64))

    for name, data in [("short_0", b""), ("short_3", b"QRV"), ("short_4", b"QRVC"),
                       ("short_5", b"QRVC\0"), ("short_value", b"QRVC\x05\x00ab")]:
        add(name, data, False, read=Node())

    with open(os.path.join(folder, "cases.txt"), "w") as f:
        f.write("\n".join(records) + "\n")


if __name__ == "__main__":
    main()
