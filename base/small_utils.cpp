#include "base/small_utils.h"

#include <string.h>

#include "base/case_map.h"
#include "base/format.h"

namespace {

int hex_digit_value(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

template <class T>
const T* skip_blanks(const T* text)
{
    while (*text == 9 || *text == 10 || *text == 13 || *text == 32)
        ++text;
    return text;
}

// Scanner over the text's own character type, with the hexadecimal and
// decimal formats of that type.
template <class T, class Scan>
int64_t parse_int64(const T* text, Scan scan, const T* hex_format, const T* decimal_format)
{
    if (!text)
        return 0;
    text = skip_blanks(text);
    if (!*text)
        return 0;
    int64_t value = 0;
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    int fields = hex ? scan(text + 2, hex_format, &value) : scan(text, decimal_format, &value);
    return fields == 1 ? value : -1;
}

}  // namespace

bool mem_is_zero(const void* data, size_t length)
{
    if (!data)
        return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (; length >= 4; bytes += 4, length -= 4) {
        uint32_t word;
        memcpy(&word, bytes, 4);
        if (word)
            return false;
    }
    for (; length; ++bytes, --length)
        if (*bytes)
            return false;
    return true;
}

uint8_t count_bits64(uint64_t value) { return uint8_t(__builtin_popcountll(value)); }

uint32_t parse_hex_byte_w(const wchar_t* text)
{
    if (!text)
        return 0xFFFFFFFF;
    int high = hex_digit_value(text[0]);
    if (high < 0)
        return 0xFFFFFFFF;
    int low = hex_digit_value(text[1]);
    if (low < 0)
        return 0xFFFFFFFF;
    return uint32_t(high << 4 | low);
}

int32_t wstr_copy_to_capacity(const wchar_t* source, int32_t count, wchar_t* destination, int32_t capacity)
{
    if (!destination || capacity < 1)
        return 0;
    if (!source) {
        destination[0] = 0;
        return 0;
    }
    if (count == -1)
        count = int32_t(wcslen(source));
    if (count < 0)
        count = 0;
    if (count > capacity - 1)
        count = capacity - 1;
    memcpy(destination, source, size_t(count) * sizeof(wchar_t));
    destination[count] = 0;
    return count;
}

wchar_t char_lower_a(char c) { return wchar_to_lower(wchar_t(int16_t(static_cast<signed char>(c)))); }

int64_t parse_int64_w(const wchar_t* text)
{
    return parse_int64(
        text, [](const wchar_t* t, const wchar_t* f, int64_t* v) { return wstr_scan(t, f, v); }, L"%I64x", L"%I64d");
}

int64_t parse_int64_a(const char* text)
{
    return parse_int64(
        text, [](const char* t, const char* f, int64_t* v) { return str_scan(t, f, v); }, "%llx", "%lld");
}
