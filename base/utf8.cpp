#include "base/utf8.h"

namespace {

bool is_high_surrogate(uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

uint32_t code_of_pair(uint32_t high, uint32_t low)
{
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The character whose first unit is units[*at]: a pair's code point, with
// *at moved to its second unit, or the unit itself. length as the callers'
// (-1: up to the NUL; units[*at] is then no NUL, so the unit after it can
// be read).
uint32_t code_at(const wchar_t* units, int32_t* at, int32_t length)
{
    uint32_t unit = units[*at];
    if (is_high_surrogate(unit) && (length < 0 || *at + 1 < length) && is_low_surrogate(units[*at + 1])) {
        ++*at;
        return code_of_pair(unit, units[*at]);
    }
    return unit;
}

int sequence_bytes(uint32_t code)
{
    return code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
}

// The bytes of the code point (below 0x110000); their count.
int encode_code(uint32_t code, unsigned char* sequence)
{
    int n = sequence_bytes(code);
    static const unsigned char lead[5] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    for (int k = n - 1; k > 0; --k) {
        sequence[k] = (unsigned char)(0x80 | (code & 0x3F));
        code >>= 6;
    }
    sequence[0] = (unsigned char)(lead[n] | code);
    return n;
}

// The UTF-16 units of the code point, into out when it is not null; their
// count.
int put_units(uint32_t code, wchar_t* out)
{
    if (code < 0x10000) {
        if (out)
            out[0] = wchar_t(code);
        return 1;
    }
    if (out) {
        out[0] = wchar_t(0xD800 + ((code - 0x10000) >> 10));
        out[1] = wchar_t(0xDC00 + (code & 0x3FF));
    }
    return 2;
}

bool is_continuation(int32_t at, int32_t end, const unsigned char* bytes)
{
    return at < end && (bytes[at] & 0xC0) == 0x80;
}

// The bytes of the well-formed standard sequence at bytes[at], 0 for none;
// its code point goes to *code. end is the counted end, or INT32_MAX for
// NUL-terminated input (a NUL is never a continuation byte, so the scan
// cannot pass it).
int standard_sequence(const unsigned char* bytes, int32_t at, int32_t end, uint32_t* code)
{
    unsigned b = bytes[at];
    int n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    static const uint32_t lowest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (n == 0)
        return 0;
    uint32_t value = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
        if (!is_continuation(at + k, end, bytes))
            return 0;
        value = value << 6 | (bytes[at + k] & 0x3F);
    }
    if (value < lowest[n] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return n;
}

// Decodes one character at bytes[at] into units (room for two), end as
// for standard_sequence. Returns the bytes used; *count gets the units.
int decode_one(const unsigned char* bytes, int32_t at, int32_t end, wchar_t* units, int* count)
{
    unsigned b = bytes[at];
    *count = 1;
    if (b >= 0xC0 && b <= 0xDF && is_continuation(at + 1, end, bytes)) {
        units[0] = wchar_t(((b & 0x1F) << 6) | (bytes[at + 1] & 0x3F));
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && is_continuation(at + 1, end, bytes) && is_continuation(at + 2, end, bytes)) {
        units[0] = wchar_t(((b & 0x0F) << 12) | ((bytes[at + 1] & 0x3F) << 6) | (bytes[at + 2] & 0x3F));
        return 3;
    }
    uint32_t code;
    if (b >= 0xF0 && standard_sequence(bytes, at, end, &code) == 4) {
        *count = put_units(code, units);
        return 4;
    }
    units[0] = wchar_t(b);
    return 1;
}

// The unit of the three-byte surrogate form at bytes (three of them
// readable), 0 when they are no such form.
uint32_t surrogate_form(const unsigned char* bytes)
{
    if (bytes[0] != 0xED || bytes[1] < 0xA0 || bytes[1] > 0xBF || (bytes[2] & 0xC0) != 0x80)
        return 0;
    return 0xD000 | (uint32_t(bytes[1] & 0x3F) << 6) | (bytes[2] & 0x3F);
}

}  // namespace

int32_t utf8_length_of_wstr(const wchar_t* units, int32_t length)
{
    if (!units)
        return 0;
    int32_t bytes = 0;
    for (int32_t i = 0; length < 0 ? units[i] != 0 : i < length; ++i)
        bytes += sequence_bytes(code_at(units, &i, length));
    return bytes;
}

int32_t utf8_char_count(const char* text, int32_t length)
{
    if (!text)
        return 0;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    int32_t end = length < 0 ? INT32_MAX : length;
    int32_t count = 0;
    for (int32_t at = 0; at < end && (length >= 0 || bytes[at]);) {
        wchar_t units[2];
        int n;
        at += decode_one(bytes, at, end, units, &n);
        count += n;
    }
    return count;
}

int32_t utf8_encode(int32_t capacity, char* out, int32_t length, const wchar_t* units)
{
    if (!units || !out || length == 0 || capacity <= 0)
        return 0;
    int32_t written = 0;
    for (int32_t i = 0; length < 0 || i < length; ++i) {
        if (length < 0 && units[i] == 0) {
            if (written < capacity)
                out[written] = 0;
            break;
        }
        unsigned char sequence[4];
        int n = encode_code(code_at(units, &i, length), sequence);
        for (int k = 0; k < n; ++k) {
            if (written == capacity)
                return written;
            out[written++] = char(sequence[k]);
        }
    }
    return written;
}

int32_t utf8_decode(int32_t length, const char* text, wchar_t* out, int32_t capacity)
{
    if (!text || !out || length == 0 || capacity <= 0)
        return 0;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    int32_t end = length < 0 ? INT32_MAX : length;
    int32_t written = 0;
    int32_t at = 0;
    while (at < end && written < capacity) {
        if (length < 0 && bytes[at] == 0) {
            out[written] = 0;
            break;
        }
        wchar_t units[2];
        int n;
        at += decode_one(bytes, at, end, units, &n);
        for (int k = 0; k < n && written < capacity; ++k)
            out[written++] = units[k];
    }
    return written;
}

int32_t utf8_standard_prefix(const char* text, int32_t length, wchar_t* out, int32_t* units)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    int32_t at = 0;
    int32_t written = 0;
    while (bytes && at < length) {
        uint32_t code;
        int n = standard_sequence(bytes, at, length, &code);
        if (n == 0)
            break;
        at += n;
        written += put_units(code, out ? out + written : nullptr);
    }
    if (units)
        *units = written;
    return at;
}

int32_t utf8_join_split_pairs(char* text, int32_t length)
{
    unsigned char* bytes = reinterpret_cast<unsigned char*>(text);
    int32_t kept = 0;
    for (int32_t at = 0; bytes && at < length;) {
        uint32_t high = at + 6 <= length ? surrogate_form(bytes + at) : 0;
        uint32_t low = is_high_surrogate(high) ? surrogate_form(bytes + at + 3) : 0;
        if (is_low_surrogate(low)) {
            kept += encode_code(code_of_pair(high, low), bytes + kept);
            at += 6;
        } else {
            bytes[kept++] = bytes[at++];
        }
    }
    return kept;
}
