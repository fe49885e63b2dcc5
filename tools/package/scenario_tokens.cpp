#include <stdarg.h>

#include "base/format.h"
#include "base/string_utils.h"
#include "base/utf8.h"
#include "tools/package/scenario_reader.h"

namespace {

bool is_blank(wchar_t unit)
{
    return unit == 9 || unit == 10 || unit == 13 || unit == 32;
}

bool key_from_text(const wchar_t* text, cPackedKey& key)
{
    packedkey_from_wstr(key, text ? text : L"", -1);
    return key.Data() || !text || !text[0];
}

// The generated key of a literal text, made on its first use.
bool literal_key(cPackage& package, const _guardchar<wchar_t>& text, _guardchar<wchar_t>& key)
{
    cPackedKey literal;
    if (!key_from_text(text.Text(), literal))
        return false;
    if (const _guardchar<wchar_t>* known = tree_find_value(package.literals, literal)) {
        key.Assign(known->Text());
        return key.Text() != nullptr;
    }
    wchar_t generated[16];
    wstr_format(generated, 16, L".%04u", package.literal_counter++);
    cPackedKey string_key;
    if (!key_from_text(generated, string_key) || tree_find_node(package.strings, string_key))
        return false;
    _guardchar<wchar_t>* value = tree_get_or_add(package.strings, static_cast<cPackedKey&&>(string_key));
    _guardchar<wchar_t>* remembered = tree_get_or_add(package.literals, static_cast<cPackedKey&&>(literal));
    if (!value || !remembered)
        return false;
    value->Assign(text.Text());
    remembered->Assign(generated);
    key.Assign(generated);
    return remembered->Text() && key.Text();
}

}  // namespace

int32_t scenario_fail(cPackage& package, int32_t code, const wchar_t* format, ...)
{
    wchar_t text[1024];
    va_list args;
    va_start(args, format);
    wstr_format_va(text, 1024, format, args);
    va_end(args);
    package.scenario_fault.Assign(text);
    return code;
}

void scenario_skip_blanks(const wchar_t*& at)
{
    while (is_blank(*at))
        ++at;
}

bool scenario_line_ends(const wchar_t* at)
{
    return *at == 0 || *at == L'#';
}

bool scenario_expect_equals(const wchar_t*& at)
{
    scenario_skip_blanks(at);
    if (*at != L'=')
        return false;
    ++at;
    scenario_skip_blanks(at);
    return true;
}

bool scenario_skip_word(const wchar_t*& at, const wchar_t* word)
{
    const wchar_t* cursor = at;
    for (; *word; ++word, ++cursor)
        if (*cursor != *word)
            return false;
    at = cursor;
    return true;
}

bool scenario_read_quoted(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& text)
{
    scenario_skip_blanks(at);
    if (*at != L'"')
        return false;
    const wchar_t* start = at + 1;
    int32_t length = 0;
    const wchar_t* cursor = start;
    for (; *cursor != L'"'; ++cursor, ++length) {
        if (*cursor == L'\\')
            ++cursor;
        if (*cursor == 0)
            return false;
    }
    text.Allocate(length + 1);
    if (!text.Buffer() && length)
        return false;
    wchar_t* out = text.Buffer();
    for (const wchar_t* in = start; in < cursor; ++in) {
        if (*in == L'\\')
            ++in;
        *out++ = *in;
    }
    int32_t bytes = utf8_length_of_wstr(text.Text(), -1);
    if (bytes > package_text_limit) {
        scenario_fail(package, 0, L"The text is %d bytes long in UTF-8: a package holds at most %d", bytes,
                      package_text_limit);
        return false;
    }
    at = cursor + 1;
    scenario_skip_blanks(at);
    return true;
}

bool scenario_read_reference(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& key)
{
    if (*at == L'"') {
        _guardchar<wchar_t> text;
        return scenario_read_quoted(package, at, text) && literal_key(package, text, key);
    }
    if (*at != L'$')
        return false;
    const wchar_t* start = at + 1;
    const wchar_t* end = start;
    while (*end && !is_blank(*end) && *end != L'=' && *end != L',')
        ++end;
    if (end == start || *start == L'.' || key.AssignN(start, int32_t(end - start)) != int32_t(end - start))
        return false;
    if (!is_package_key_defined(package, key.Text(), nullptr))
        return false;
    at = end;
    scenario_skip_blanks(at);
    return true;
}

bool scenario_read_folder_item(cPackage& package, const wchar_t*& at, _guardchar<wchar_t>& key,
                               _guardchar<wchar_t>& path)
{
    return scenario_read_reference(package, at, key) && *at == L'"' && scenario_read_quoted(package, at, path);
}
