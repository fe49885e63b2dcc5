#include "base/path.h"

#include <stdarg.h>
#include <wchar.h>

#include "base/case_map.h"
#include "base/format.h"
#include "base/string_utils.h"

namespace {

bool is_separator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Only dots from here to the end of the text.
bool only_dots_remain(const wchar_t* text)
{
    while (*text == L'.')
        ++text;
    return *text == 0;
}

wchar_t safe_file_name_char(wchar_t c)
{
    switch (c) {
    case L'"':
    case 0x201C:
    case 0x201D:
        return L'\'';
    case L'*':
        return L'@';
    case L'/':
    case L'<':
    case L'>':
        return L'=';
    case L':':
    case L'|':
        return L'_';
    case L'?':
        return L'~';
    case L'\\':
        return L'-';
    default:
        return c < 32 ? L' ' : c;
    }
}

bool is_drive_letter(wchar_t unit)
{
    return (unit >= L'A' && unit <= L'Z') || (unit >= L'a' && unit <= L'z');
}

bool is_dropped_at_name_end(wchar_t unit)
{
    return unit == L'.' || unit == L' ';
}

// Whether test(segment, end) holds for one of the segments of path, the
// texts between its separators.
template <class Test>
bool any_segment(const wchar_t* path, Test test)
{
    if (!path)
        return false;
    const wchar_t* segment = path;
    for (const wchar_t* at = path;; ++at) {
        if (*at && !is_separator(*at))
            continue;
        if (test(segment, at))
            return true;
        if (!*at)
            return false;
        segment = at + 1;
    }
}

// The ASCII letters of name[0, length) equal word's, in any case.
bool equals_ascii_nocase(const wchar_t* name, int32_t length, const char* word)
{
    int32_t i = 0;
    for (; i < length && word[i]; ++i) {
        wchar_t unit = name[i] >= L'a' && name[i] <= L'z' ? wchar_t(name[i] - 32) : name[i];
        if (unit != wchar_t(word[i]))
            return false;
    }
    return i == length && !word[i];
}

}  // namespace

bool path_to_native(const wchar_t* path, _typebuf<wchar_t>& native)
{
    if (!path || !path[0])
        return false;
    int32_t length = wstr_length(path);

    static const wchar_t long_prefix[] = L"\\\\?\\";
    const wchar_t* head = long_prefix;
    int32_t head_length = 4;
    const wchar_t* body = path;
    if (path[0] == L'.' || is_separator(path[0])) {
        head = path[0] == L'.' ? L"." : L"\\";
        head_length = 1;
        body = path + 1;
    }

    // Head, body and terminator, and room for a drive's root backslash.
    _typebuf<wchar_t> out(head_length + (length - int32_t(body - path)) + 2);
    if (!out.Data())
        return false;
    wchar_t* write = out.Data();
    for (int32_t i = 0; i < head_length; ++i)
        *write++ = head[i];
    for (const wchar_t* read = body; *read; ++read) {
        if (!is_separator(*read))
            *write++ = *read;
        else if (!is_separator(read[1]))
            *write++ = L'\\';
    }
    if (write[-1] == L':')
        *write++ = L'\\';
    *write = 0;
    native = static_cast<_typebuf<wchar_t>&&>(out);
    return true;
}

void path_from_native(wchar_t* text)
{
    if (!text || !text[0])
        return;
    int32_t length = 0;
    int32_t skip = text[0] == L'"' ? 1 : 0;
    for (wchar_t* read = text + skip; *read; ++read)
        text[length++] = *read == L'\\' ? L'/' : *read;
    while (length > 0 && (text[length - 1] == L' ' || text[length - 1] == L'"'))
        --length;
    text[length] = 0;
}

void path_to_backslashes(wchar_t* text)
{
    for (; text && *text; ++text)
        if (*text == L'/')
            *text = L'\\';
}

bool path_format(_guardchar<wchar_t>& out, const wchar_t* format, ...)
{
    wchar_t buffer[path_format_limit + 1];
    va_list args;
    va_start(args, format);
    int32_t written = wstr_format_va(buffer, path_format_limit + 1, format, args);
    va_end(args);
    if (written < 0)
        return false;
    out.Assign(buffer);
    return written == 0 || !out.IsEmpty();
}

bool path_join(const wchar_t* folder, const wchar_t* name, _guardchar<wchar_t>& out)
{
    if (!folder || !name)
        return false;
    bool ends_with_separator = folder[0] && is_separator(folder[wstr_length(folder) - 1]);
    return path_format(out, ends_with_separator ? L"%s%s" : L"%s/%s", folder, name);
}

int32_t make_safe_file_name(const wchar_t* source, wchar_t* destination, int32_t capacity)
{
    if (!source || !destination || capacity < 1)
        return 0;
    while (*source && (*source < 32 || *source == L' '))
        ++source;
    int32_t written = 0;
    for (; *source && written < capacity - 1; ++source) {
        if (*source == L'.' && only_dots_remain(source))
            break;
        destination[written++] = safe_file_name_char(*source);
    }
    while (written > 0 && (destination[written - 1] == 9 || destination[written - 1] == 10 ||
                           destination[written - 1] == 13 || destination[written - 1] == 32))
        --written;
    destination[written] = 0;
    return written;
}

bool path_identity_text(const wchar_t* path, _typebuf<wchar_t>& out, int32_t& length)
{
    length = 0;
    int32_t size = path ? wstr_length(path) : 0;
    out.Resize(size + 1);
    wchar_t* write = out.Data();
    if (!write)
        return false;
    wchar_t* start = write;
    const wchar_t* at = path ? path : L"";
    while (*at) {
        if (is_separator(*at)) {
            ++at;
            continue;
        }
        const wchar_t* segment_end = at;
        while (*segment_end && !is_separator(*segment_end))
            ++segment_end;
        bool dot = segment_end - at == 1 && *at == L'.';
        bool dot_dot = segment_end - at == 2 && at[0] == L'.' && at[1] == L'.';
        if (!dot) {
            // A leading separator of the path stays: "/x" is not "x".
            if (write != start || is_separator(path[0]))
                *write++ = L'/';
            const wchar_t* name_end = segment_end;
            while (!dot_dot && name_end > at && is_dropped_at_name_end(name_end[-1]))
                --name_end;
            while (at < name_end)
                *write++ = wchar_to_name_upper(*at++);
        }
        at = segment_end;
    }
    *write = 0;
    length = int32_t(write - start);
    return true;
}

void path_identity_key(const wchar_t* path, cPackedKey& key)
{
    _typebuf<wchar_t> text;
    int32_t length = 0;
    if (!path_identity_text(path, text, length)) {
        packedkey_from_wstr(key, L"", -1);
        return;
    }
    packedkey_from_wstr(key, text.Data(), length);
}

bool path_same_identity(const wchar_t* one, const wchar_t* other)
{
    cPackedKey one_key, other_key;
    path_identity_key(one, one_key);
    path_identity_key(other, other_key);
    return one_key.Data() && other_key.Data() && packedkey_equal(one_key, other_key);
}

bool parent_folder_of(const wchar_t* path, _guardchar<wchar_t>& out)
{
    const wchar_t* cut = path ? wstr_find_last_char(path, L'/') : nullptr;
    if (!cut)
        return false;
    out.AssignN(path, int32_t(cut - path));
    return true;
}

bool path_has_parent_step(const wchar_t* path)
{
    // A name of dots and blanks alone ("..", "... ") is no file name that
    // Windows keeps: taken as a step up, or refused.
    return any_segment(path, [](const wchar_t* segment, const wchar_t* end) {
        bool only_dots_and_blanks = end - segment > 1;
        for (const wchar_t* unit = segment; unit < end && only_dots_and_blanks; ++unit)
            only_dots_and_blanks = is_dropped_at_name_end(*unit);
        return only_dots_and_blanks;
    });
}

bool path_has_dropped_name_end(const wchar_t* path)
{
    return any_segment(path, [](const wchar_t* segment, const wchar_t* end) {
        bool dot = end - segment == 1 && *segment == L'.';
        return end > segment && !dot && is_dropped_at_name_end(end[-1]);
    });
}

bool path_is_folder_below_root(const wchar_t* path)
{
    if (!path_is_absolute(path) || path_has_parent_step(path))
        return false;
    _typebuf<wchar_t> text;
    int32_t length = 0;
    if (!path_identity_text(path, text, length))
        return false;
    // Segments of the identity text: "C:" and "/server/share" are roots.
    int32_t separators = 0;
    for (int32_t i = 0; i < length; ++i)
        if (text[i] == L'/')
            ++separators;
    return separators >= (text[0] == L'/' ? 3 : 1);
}

bool path_is_inside(const wchar_t* path, const wchar_t* folder)
{
    if (!path_is_absolute(path) || path_is_drive(path) || !path_is_absolute(folder) ||
        path_has_parent_step(path) || path_has_parent_step(folder))
        return false;
    _typebuf<wchar_t> inner, outer;
    int32_t inner_length = 0, outer_length = 0;
    if (!path_identity_text(path, inner, inner_length) || !path_identity_text(folder, outer, outer_length))
        return false;
    return path_identity_within(inner.Data(), inner_length, outer.Data(), outer_length, false);
}

bool path_identity_within(const wchar_t* inner, int32_t inner_length, const wchar_t* outer, int32_t outer_length,
                          bool or_same)
{
    if (inner_length == outer_length)
        return or_same && wmemcmp(inner, outer, size_t(outer_length)) == 0;
    return inner_length > outer_length + 1 && inner[outer_length] == L'/' &&
           wmemcmp(inner, outer, size_t(outer_length)) == 0;
}

bool path_char_refused_in_name(wchar_t unit)
{
    switch (unit) {
    case L'<':
    case L'>':
    case L':':
    case L'"':
    case L'/':
    case L'\\':
    case L'|':
    case L'?':
    case L'*':
    case 127:
        return true;
    default:
        return unit < 32;
    }
}

// Newer versions of Windows also take the superscript digits after COM
// and LPT.
bool path_names_device(const wchar_t* name, int32_t length)
{
    int32_t base = 0;
    while (base < length && name[base] != L'.')
        ++base;
    while (base > 0 && name[base - 1] == L' ')
        --base;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (equals_ascii_nocase(name, base, device))
            return true;
    if (base != 4 || !(equals_ascii_nocase(name, 3, "COM") || equals_ascii_nocase(name, 3, "LPT")))
        return false;
    wchar_t digit = name[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool path_is_plain_file_name(const wchar_t* name, int32_t length)
{
    if (!name || length < 1 || length > 255 || is_dropped_at_name_end(name[length - 1]))
        return false;
    for (int32_t i = 0; i < length; ++i)
        if (path_char_refused_in_name(name[i]))
            return false;
    return !path_names_device(name, length);
}

bool path_is_drive(const wchar_t* path)
{
    return path && is_drive_letter(path[0]) && path[1] == L':' && path[2] == 0;
}

bool path_is_absolute(const wchar_t* path)
{
    if (!path)
        return false;
    if (path[0] == L'/' && path[1] == L'/')
        return true;
    return is_drive_letter(path[0]) && path[1] == L':' && (path[2] == 0 || path[2] == L'/');
}
