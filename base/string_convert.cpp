#include "base/string_convert.h"

#include <string.h>

#include "base/case_map.h"
#include "base/string_utils.h"
#include "base/utf8.h"

int wstr_assign_text(const wchar_t* text, int32_t length, _guardchar<wchar_t>& out)
{
    out.AssignN(text, length < 0 ? wstr_length(text) : length);
    return 0;
}

bool wstr_assign_lower(_guardchar<wchar_t>& out, const _guardchar<wchar_t>& source)
{
    out.Assign(source.Text());
    if (source.Text() && !out.Text())
        return false;
    for (wchar_t* unit = out.Buffer(); unit && *unit; ++unit)
        *unit = wchar_to_lower(*unit);
    return true;
}

void wstr_from_utf8(int32_t length, const char* text, _guardchar<wchar_t>& out)
{
    out.Clear();
    if (!text || length == 0)
        return;
    int32_t n = utf8_char_count(text, length);
    out.Allocate(n + 1);
    if (out.Buffer())
        utf8_decode(length, text, out.Buffer(), n + 1);
}

int32_t str_from_wstr_utf8(const wchar_t* text, int32_t length, _guardchar<char>& out)
{
    out.Clear();
    if (!text || length == 0)
        return 0;
    int32_t n = utf8_length_of_wstr(text, length);
    out.Allocate(n + 1);
    if (!out.Buffer())
        return 0;
    return utf8_encode(n + 1, out.Buffer(), length, text);
}

void wbuf_from_wstr(const wchar_t* text, int32_t length, _typebuf<wchar_t>& out)
{
    out.Resize(text ? (length < 0 ? wstr_length(text) : length) : 0);
    if (out.Data())
        memcpy(out.Data(), text, size_t(out.Count()) * sizeof(wchar_t));
}

void wbuf_from_utf8(const char* text, int32_t length, _typebuf<wchar_t>& out)
{
    out.Resize(text && length ? utf8_char_count(text, length) : 0);
    if (out.Data())
        utf8_decode(length, text, out.Data(), out.Count());
}

void utf8buf_from_wstr(const wchar_t* text, int32_t length, _typebuf<uint8_t>& out)
{
    out.Resize(text && length ? utf8_length_of_wstr(text, length) : 0);
    if (out.Data())
        utf8_encode(out.Count(), reinterpret_cast<char*>(out.Data()), length, text);
}
