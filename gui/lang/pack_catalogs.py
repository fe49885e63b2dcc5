#!/usr/bin/env python3
"""Packs the framework's interface texts into its built-in language containers.

Usage: pack_catalogs.py OUTPUT.cpp NAMES.txt LANGUAGE.txt...

Every LANGUAGE.txt becomes a "CIOMLAFI" container of the set "CIOMBASE" with
the file's language code and name; NAMES.txt becomes the language-name
container of the set "CIOMLN  ". The first LANGUAGE.txt is the reference:
every other language must have exactly its sections and string ids. OUTPUT.cpp
receives the containers as byte arrays, in the order of the arguments, for
gui/builtin_catalogs.h.

Text files are UTF-8: "key = value" header lines (index, code, name), then
"[section]" lines, each followed by "id = text" lines with the ids 0, 1, 2...
in order; "\\n" in a text is a line break and "\\\\" a backslash. Blank lines
and lines starting with "#" are skipped.
"""
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


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    output, names_path, language_paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    try:
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
            languages.append((int(header["index"]), header["code"], container(LANGUAGE_SET, header, sections)))
    except (OSError, TextError, UnicodeError) as error:
        sys.exit("pack_catalogs: %s" % error)

    parts = [
        "// Generated by pack_catalogs.py from the language text files; edit those.",
        '#include "gui/builtin_catalogs.h"',
        "",
        "namespace {",
        "",
        byte_array("language_names", names),
    ]
    for index, code, data in languages:
        parts += ["", byte_array("container_%s" % code.lower(), data)]
    parts += ["", "}  // namespace", "",
              "const uint8_t* const builtin_language_names = language_names;",
              "const uint32_t builtin_language_names_size = sizeof language_names;",
              "",
              "const cBuiltinContainer builtin_language_containers[] = {"]
    for index, code, data in languages:
        parts.append("    {%d, container_%s, sizeof container_%s}," % (index, code.lower(), code.lower()))
    parts += ["};",
              "const uint32_t builtin_language_container_count = %d;" % len(languages),
              ""]
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(parts))


if __name__ == "__main__":
    main()
