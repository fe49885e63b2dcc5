#include "base/string_utils.h"

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
