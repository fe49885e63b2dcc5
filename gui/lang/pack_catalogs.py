#!/usr/bin/env python3
"""Packs interface texts into built-in language containers.

Usage: pack_catalogs.py OUTPUT.cpp NAMES.txt LANGUAGE.txt...
       pack_catalogs.py --set SET --prefix PREFIX --header HEADER OUTPUT.cpp LANGUAGE.txt...

The first form packs the framework's texts: every LANGUAGE.txt becomes a
"CIOMLAFI" container of the set "CIOMBASE" with the file's language code and
name; NAMES.txt becomes the language-name container of the set "CIOMLN  ".
OUTPUT.cpp receives the containers as byte arrays for gui/builtin_catalogs.h.
The second form packs another set of texts (the application's), without
language names, into the table PREFIX_containers and its count
PREFIX_container_count that HEADER declares.

The first LANGUAGE.txt is the reference: every other language must have
exactly its sections and string ids. Containers come in the order of the
arguments.

Text files are UTF-8: "key = value" header lines (index, code, name), then
"[section]" lines, each followed by "id = text" lines with the ids 0, 1, 2...
in order; "\\n" in a text is a line break and "\\\\" a backslash. Blank lines
and lines starting with "#" are skipped.
"""
import argparse
import struct
import sys
import zlib

CONTAINER_MAGIC = b"CIOMLAFI"
CATALOG_MAGIC = b"CIOMLANG"
LANGUAGE_SET = b"CIOMBASE"
NAMES_SET = b"CIOMLN  "
ABSENT_STRING = 0xFFFF
MAX_CATALOG_SIZE = 0x400000


class TextError(Exception):
    pass


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\":
            pair = text[i : i + 2]
            if pair == "\\n":
                out.append("\n")
            elif pair == "\\\\":
                out.append("\\")
            else:
                raise TextError("%s: unknown escape %r" % (where, pair))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_texts(path):
    """The header fields and the sections ({name: [texts]}, in file order)."""
    header = {}
    sections = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            where = "%s:%d" % (path, number)
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1]
                if current in sections:
                    raise TextError("%s: section %s given twice" % (where, current))
                sections[current] = []
                continue
            key, sep, value = line.partition(" = ")
            if not sep:
                raise TextError("%s: expected 'key = value'" % where)
            if current is None:
                header[key] = value
                continue
            texts = sections[current]
            if key != str(len(texts)):
                raise TextError("%s: id %s out of order, expected %d" % (where, key, len(texts)))
            texts.append(unescape(value, where))
    for key in ("code", "name"):
        if key not in header:
            raise TextError("%s: no %s" % (path, key))
    if len(header["code"]) != 3 or not header["code"].isascii():
        raise TextError("%s: the code must be three ASCII letters" % path)
    if not sections:
        raise TextError("%s: no section" % path)
    for name, texts in sections.items():
        if not texts:
            raise TextError("%s: section %s has no text" % (path, name))
    return header, sections


def string_array(texts):
    encoded = [t.encode("utf-8") for t in texts]
    for e in encoded:
        if len(e) >= ABSENT_STRING:
            raise TextError("a text of %d bytes is too long" % len(e))
    lengths = b"".join(struct.pack("<H", len(e)) for e in encoded)
    return struct.pack("<H", len(texts)) + lengths + b"".join(encoded)


def catalog(sections):
    out = bytearray(CATALOG_MAGIC)
    for name, texts in sections.items():
        key = name.encode("ascii")
        key += bytes(-len(key) % 4)
        value = string_array(texts)
        out += struct.pack("<I", len(key)) + key + struct.pack("<I", len(value)) + value
    if len(out) > MAX_CATALOG_SIZE:
        raise TextError("the catalog exceeds %d bytes" % MAX_CATALOG_SIZE)
    return bytes(out)


def container(set_name, header, sections):
    name = header["name"].encode("utf-8")
    if len(name) > 255:
        raise TextError("language name too long")
    unpacked = catalog(sections)
    return (CONTAINER_MAGIC + set_name + header["code"].encode("ascii") + bytes([len(name)]) + name
            + struct.pack("<I", len(unpacked)) + zlib.compress(unpacked, 9))


def check_same_entries(reference_path, reference, path, sections):
    shape = {name: len(texts) for name, texts in reference.items()}
    other = {name: len(texts) for name, texts in sections.items()}
    if shape != other:
        raise TextError("%s: sections and ids differ from %s: %s against %s"
                        % (path, reference_path, other, shape))


def byte_array(name, data):
    lines = ["const uint8_t %s[] = {" % name]
    for start in range(0, len(data), 16):
        lines.append("    " + " ".join("0x%02x," % b for b in data[start : start + 16]))
    lines.append("};")
    return "\n".join(lines)


def parse_arguments():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("--set", default=LANGUAGE_SET.decode("ascii"))
    parser.add_argument("--prefix")
    parser.add_argument("--header", default="gui/builtin_catalogs.h")
    parser.add_argument("output")
    parser.add_argument("texts", nargs="+")
    args = parser.parse_args()
    if len(args.set) != 8 or not args.set.isascii():
        parser.error("the set name must be eight ASCII characters")
    if args.prefix is None and len(args.texts) < 2:
        parser.error("the framework's texts need NAMES.txt and at least one language")
    return args


def main():
    args = parse_arguments()
    set_name = args.set.encode("ascii")
    names_path = None if args.prefix else args.texts[0]
    language_paths = args.texts if args.prefix else args.texts[1:]
    try:
        names = None
        if names_path:
            names_header, names_sections = read_texts(names_path)
            names = container(NAMES_SET, names_header, names_sections)
        languages = []
        reference = None
        for path in language_paths:
            header, sections = read_texts(path)
            if reference is None:
                reference = sections
            check_same_entries(language_paths[0], reference, path, sections)
            if "index" not in header or not header["index"].isdigit():
                raise TextError("%s: no language index" % path)
            languages.append((int(header["index"]), header["code"], container(set_name, header, sections)))
    except (OSError, TextError, UnicodeError) as error:
        sys.exit("pack_catalogs: %s" % error)

    prefix = args.prefix or "builtin_language"
    parts = [
        "// Generated by pack_catalogs.py from the language text files; edit those.",
        '#include "%s"' % args.header,
        "",
        "namespace {",
    ]
    if names:
        parts += ["", byte_array("language_names", names)]
    for index, code, data in languages:
        parts += ["", byte_array("container_%s" % code.lower(), data)]
    parts += ["", "}  // namespace", ""]
    if names:
        parts += ["const uint8_t* const builtin_language_names = language_names;",
                  "const uint32_t builtin_language_names_size = sizeof language_names;",
                  ""]
    parts.append("const cBuiltinContainer %s_containers[] = {" % prefix)
    for index, code, data in languages:
        parts.append("    {%d, container_%s, sizeof container_%s}," % (index, code.lower(), code.lower()))
    parts += ["};",
              "const uint32_t %s_container_count = %d;" % (prefix, len(languages)),
              ""]
    with open(args.output, "w", encoding="utf-8") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    main()
