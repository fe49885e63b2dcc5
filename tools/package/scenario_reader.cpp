#include "tools/package/scenario_reader.h"

#include <string.h>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/string_convert.h"
#include "base/utf8.h"

namespace {

typedef int32_t (*tSectionParser)(cPackage& package, const wchar_t* line);

struct cSection {
    const wchar_t* header;  // after the '['
    tSectionParser parser;
};

// Section n + 1 of the package's scenario_section, in the order headers
// are matched.
const cSection sections[] = {
    {L"General]", scenario_read_general},   {L"Software]", scenario_read_software},
    {L"Strings]", scenario_read_strings},   {L"Install]", scenario_read_install},
    {L"Menu]", scenario_read_menu},         {L"Settings]", scenario_read_settings},
    {L"Run]", scenario_read_run},           {L"Deprecates]", scenario_read_deprecates},
};
const uint32_t section_count = sizeof sections / sizeof sections[0];

bool utf16_from_bytes(const uint8_t* bytes, int32_t size, bool big_endian, _typebuf<wchar_t>& text)
{
    text.Resize(size / 2);
    if (size >= 2 && !text.Data())
        return false;
    for (int32_t i = 0; i < size / 2; ++i) {
        const uint8_t* unit = bytes + 2 * i;
        text[i] = wchar_t(big_endian ? unit[0] << 8 | unit[1] : unit[1] << 8 | unit[0]);
    }
    return true;
}

bool is_line_end(uint32_t unit)
{
    return unit == L'\n' || unit == L'\r' || unit == 0;
}

// The bytes as standard UTF-8; false, with the offset of the first byte
// that is not part of a well-formed sequence, when they are not.
bool utf8_from_bytes(const uint8_t* bytes, int32_t size, _typebuf<wchar_t>& text, int32_t* invalid_at)
{
    const char* narrow = reinterpret_cast<const char*>(bytes);
    int32_t units = 0;
    *invalid_at = utf8_standard_prefix(narrow, size, nullptr, &units);
    if (*invalid_at < size)
        return false;
    text.Resize(units);
    if (units > 0 && !text.Data())
        return false;
    utf8_standard_prefix(narrow, size, text.Data(), &units);
    return true;
}

// The line (from 0) that holds the byte at offset: line ends as next_line
// counts them.
int32_t line_of_offset(const uint8_t* bytes, int32_t offset)
{
    int32_t line = 0;
    for (int32_t at = 0; at < offset; ++at)
        if (is_line_end(bytes[at]) && !(bytes[at] == '\r' && at + 1 < offset && bytes[at + 1] == '\n'))
            ++line;
    return line;
}

bool ansi_from_bytes(const uint8_t* bytes, int32_t size, _typebuf<wchar_t>& text)
{
    const char* narrow = reinterpret_cast<const char*>(bytes);
    int32_t units = wstr_length_of_mb(narrow, size, 0);
    text.Resize(units);
    if (units > 0 && !text.Data())
        return false;
    return mb_to_wstr(narrow, size, text.Data(), units, 0) == units;
}

// The whole file as UTF-16 text, its byte-order mark left out: SCENARIO_OK;
// SCENARIO_NO_SOURCE when it cannot be read; SCENARIO_BAD_TEXT, at the line
// of the byte, for unmarked bytes that hold a NUL.
int32_t read_scenario_text(const wchar_t* path, cPackage& package, _typebuf<wchar_t>& text,
                           cScenarioEncoding& encoding, int32_t& line)
{
    encoding = {SCENARIO_TEXT_UNREAD, 0};
    cFileIO file;
    if (!file.Open(path, FILE_MODE_READ))
        return scenario_fail(package, SCENARIO_NO_SOURCE, L"The scenario \"%s\" cannot be opened", path);
    uint64_t size = file.GetSize();
    _typebuf<uint8_t> bytes(size > INT32_MAX ? 0 : int32_t(size));
    if (size && (!bytes.Data() || !file.ReadExact(bytes.Data(), uint32_t(size))))
        return scenario_fail(package, SCENARIO_NO_SOURCE, L"The scenario \"%s\" cannot be read", path);
    if (!list_append_text(package.scenario_inputs, path))
        return SCENARIO_NO_SOURCE;
    const uint8_t* data = bytes.Data();
    int32_t count = bytes.Count();
    bool read = false;
    if (count >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        encoding.kind = SCENARIO_TEXT_UTF16_LE;
        read = utf16_from_bytes(data + 2, count - 2, false, text);
    } else if (count >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        encoding.kind = SCENARIO_TEXT_UTF16_BE;
        read = utf16_from_bytes(data + 2, count - 2, true, text);
    } else if (count >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        // Marked as UTF-8, it is read as such: invalid bytes pass one by one.
        encoding.kind = SCENARIO_TEXT_UTF8_MARKED;
        int32_t invalid_at;
        read = utf8_from_bytes(data + 3, count - 3, text, &invalid_at);
        if (!read && invalid_at < count - 3) {
            wbuf_from_utf8(reinterpret_cast<const char*>(data + 3), count - 3, text);
            read = text.Data() != nullptr;
        }
    } else if (const void* nul = count ? memchr(data, 0, size_t(count)) : nullptr) {
        // 8-bit text holds no NUL, but UTF-16 text saved without its mark
        // holds one beside every Latin letter: it is not guessed at.
        line = line_of_offset(data, int32_t(static_cast<const uint8_t*>(nul) - data));
        return scenario_fail(package, SCENARIO_BAD_TEXT,
                             L"The scenario has no byte-order mark and holds a NUL byte, which neither UTF-8 nor text "
                             L"of the ANSI code page holds: UTF-16 text must begin with its byte-order mark");
    } else {
        int32_t invalid_at;
        read = utf8_from_bytes(data, count, text, &invalid_at);
        encoding.kind = invalid_at == count ? SCENARIO_TEXT_UTF8 : SCENARIO_TEXT_ANSI;
        if (invalid_at < count) {
            encoding.ansi_line = line_of_offset(data, invalid_at);
            read = ansi_from_bytes(data, count, text);
        }
    }
    if (read)
        return SCENARIO_OK;
    encoding.kind = SCENARIO_TEXT_UNREAD;
    return scenario_fail(package, SCENARIO_NO_SOURCE, L"The scenario \"%s\" cannot be read as text", path);
}

// The line starting at at (its end: LF, CR, CR LF or NUL) into line; at
// moves past the line end.
bool next_line(const _typebuf<wchar_t>& text, int32_t& at, _guardchar<wchar_t>& line)
{
    if (at >= text.Count())
        return false;
    int32_t start = at;
    while (at < text.Count() && !is_line_end(uint32_t(text[at])))
        ++at;
    line.AssignN(text.Data() + start, at - start);
    if (at < text.Count() && text[at] == L'\r' && at + 1 < text.Count() && text[at + 1] == L'\n')
        ++at;
    ++at;
    return true;
}

// A header line from its '['.
int32_t read_header(cPackage& package, const wchar_t* at)
{
    ++at;
    uint32_t section = 0;
    while (section < section_count && !scenario_skip_word(at, sections[section].header))
        ++section;
    if (section == section_count)
        return SCENARIO_UNKNOWN_SECTION;
    scenario_skip_blanks(at);
    if (!scenario_line_ends(at))
        return SCENARIO_AFTER_HEADER;
    package.scenario_section = section + 1;
    return SCENARIO_OK;
}

bool is_high_surrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(wchar_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The column of the line's first surrogate that is not half of a pair, or
// -1: such a unit is no character, and UTF-8 in the package cannot carry it.
int32_t lone_surrogate_column(const wchar_t* line)
{
    for (int32_t at = 0; line[at]; ++at) {
        if (is_high_surrogate(line[at]) && is_low_surrogate(line[at + 1]))
            ++at;
        else if (is_high_surrogate(line[at]) || is_low_surrogate(line[at]))
            return at;
    }
    return -1;
}

int32_t read_line(cPackage& package, const wchar_t* line)
{
    int32_t lone = lone_surrogate_column(line);
    if (lone >= 0)
        return scenario_fail(package, SCENARIO_BAD_TEXT, L"A lone UTF-16 surrogate (0x%04X) at column %d, which UTF-8 "
                             L"cannot carry", uint32_t(line[lone]), lone);
    const wchar_t* at = line;
    scenario_skip_blanks(at);
    if (*at == 0 || *at == L'#')
        return SCENARIO_OK;
    if (*at == L'[')
        return read_header(package, at);
    if (package.scenario_section == 0)
        return SCENARIO_NO_SECTION;
    return sections[package.scenario_section - 1].parser(package, at);
}

bool document_has(const cPackageDocument& document, int32_t language)
{
    return tree_find_node(document.loader.languages, language) != nullptr;
}

// Every key of a language's own (not default) strings is in every language.
bool strings_complete(const cPackage& package, const cPackageStrings& table)
{
    for (auto* key = tree_first_node(table); key; key = tree_next_node(key)) {
        if (tree_find_node(package.strings, key->key))
            continue;
        for (auto* other = tree_first_node(package.language_strings); other; other = tree_next_node(other))
            if (!tree_find_node(other->value, key->key))
                return false;
    }
    return true;
}

int32_t final_checks(cPackage& package)
{
    auto* first = tree_first_node(package.language_strings);
    package.current_language = first ? first->key : 0;
    if (!first)
        return SCENARIO_NO_LANGUAGE;
    cPackedKey codename;
    packedkey_from_str(codename, "codename", -1);
    if (!tree_find_node(package.strings, codename))
        return SCENARIO_NO_CODENAME;
    if (!package.licence.bytes.Count())
        return SCENARIO_NO_LICENCE;
    for (auto* node = first; node; node = tree_next_node(node)) {
        if (!document_has(package.licence, node->key))
            return SCENARIO_LICENCE_LANGUAGE;
        if (package.welcome.bytes.Count() && !document_has(package.welcome, node->key))
            return SCENARIO_WELCOME_LANGUAGE;
        if (package.readme.bytes.Count() && !document_has(package.readme, node->key))
            return SCENARIO_README_LANGUAGE;
        if (!strings_complete(package, node->value))
            return SCENARIO_STRING_LANGUAGE;
    }
    return SCENARIO_OK;
}

}  // namespace

int32_t read_scenario(const wchar_t* path, cPackage& package, int32_t& line, cScenarioEncoding* encoding)
{
    package.Clear();
    _typebuf<wchar_t> text;
    cScenarioEncoding read;
    int32_t result = read_scenario_text(path, package, text, read, line);
    if (encoding)
        *encoding = read;
    if (result != SCENARIO_OK)
        return result;
    int32_t at = 0;
    _guardchar<wchar_t> content;
    while (next_line(text, at, content)) {
        package.scenario_line = line;
        result = read_line(package, content.Text() ? content.Text() : L"");
        if (result != SCENARIO_OK)
            return result;
        ++line;
    }
    // A file that cannot be read fails at the line that named it, as if it
    // had been compressed there.
    if (!scenario_compress_members(package, line))
        return SCENARIO_BAD_SOURCE;
    line = -1;
    return final_checks(package);
}
