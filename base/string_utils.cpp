#include "base/string_utils.h"

#include "base/case_map.h"

int wstr_compare(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return 1;
    for (;; ++a, ++b) {
        uint16_t ua = uint16_t(*a);
        uint16_t ub = uint16_t(*b);
        if (ua != ub)
            return ua < ub ? -1 : 1;
        if (!ua)
            return 0;
    }
}

int32_t wstr_length(const wchar_t* text)
{
    int32_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

const wchar_t* wstr_find_char(const wchar_t* text, wchar_t unit)
{
    if (!text)
        return nullptr;
    for (; *text; ++text)
        if (*text == unit)
            return text;
    return nullptr;
}

const wchar_t* wstr_find_last_char(const wchar_t* text, wchar_t unit)
{
    if (!text)
        return nullptr;
    const wchar_t* found = nullptr;
    for (;; ++text) {
        if (*text == unit)
            found = text;
        if (!*text)
            return found;
    }
}

int wstr_copy_bounded(wchar_t* destination, int32_t n, const wchar_t* source)
{
    if (!destination || !source || n < 1)
        return 0;
    for (int32_t i = 0; i < n; ++i) {
        destination[i] = source[i];
        if (!source[i])
            return 0;
    }
    destination[n - 1] = 0;
    return 0;
}

namespace {

int compare_nocase_units(const wchar_t* a, const wchar_t* b, int32_t limit)
{
    if (!a || !b)
        return -1;
    for (int32_t i = 0; i < limit; ++i) {
        uint16_t la = uint16_t(wchar_to_lower(a[i]));
        uint16_t lb = uint16_t(wchar_to_lower(b[i]));
        if (la != lb)
            return la < lb ? -1 : 1;
        if (!la)
            return 0;
    }
    return 0;
}

// A narrow byte as the runtime widens a plain char: with its sign.
uint8_t lowered_byte(char byte)
{
    return uint8_t(wchar_to_lower(wchar_t(int(byte))));
}

int compare_nocase_bytes(const char* a, const char* b, int32_t limit)
{
    if (!a || !b)
        return -1;
    for (int32_t i = 0; i < limit; ++i) {
        uint8_t la = lowered_byte(a[i]);
        uint8_t lb = lowered_byte(b[i]);
        if (la != lb)
            return la < lb ? -1 : 1;
        if (!a[i])
            return 0;
    }
    return 0;
}

}  // namespace

int wstr_compare_nocase(const wchar_t* a, const wchar_t* b)
{
    return compare_nocase_units(a, b, INT32_MAX);
}

int wstr_compare_nocase_n5(const wchar_t* a, const wchar_t* b)
{
    return compare_nocase_units(a, b, 5);
}

bool wstr_equal_as_names(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return false;
    for (;; ++a, ++b) {
        if (wchar_to_name_upper(*a) != wchar_to_name_upper(*b))
            return false;
        if (!*a)
            return true;
    }
}

int str_compare_nocase_n(const char* a, const char* b, int32_t n)
{
    if (n < 1)
        return (a && b) ? 0 : -1;
    return compare_nocase_bytes(a, b, n);
}

int str_compare_nocase_n4(const char* a, const char* b)
{
    if (!a || !b)
        return 1;
    for (int i = 0; i < 4; ++i) {
        int8_t la = int8_t(lowered_byte(a[i]));
        int8_t lb = int8_t(lowered_byte(b[i]));
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    return 0;
}

int str_is_content_length(const char* text)
{
    return compare_nocase_bytes("Content-Length", text, INT32_MAX);
}
