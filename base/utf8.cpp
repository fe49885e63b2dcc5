#include "base/utf8.h"

namespace {

int sequence_bytes(wchar_t unit)
{
    return unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
}

bool is_continuation(int32_t at, int32_t end, const unsigned char* bytes)
{
    return at < end && (bytes[at] & 0xC0) == 0x80;
}

// Decodes one character at bytes[at]; end is the counted end, or INT32_MAX
// for NUL-terminated input (a NUL is never a continuation byte, so the scan
// cannot pass it). Returns the bytes used.
int decode_one(const unsigned char* bytes, int32_t at, int32_t end, wchar_t* unit)
{
    unsigned b = bytes[at];
    if (b >= 0xC0 && b <= 0xDF && is_continuation(at + 1, end, bytes)) {
        *unit = wchar_t(((b & 0x1F) << 6) | (bytes[at + 1] & 0x3F));
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && is_continuation(at + 1, end, bytes) &&
        is_continuation(at + 2, end, bytes)) {
        *unit = wchar_t(((b & 0x0F) << 12) | ((bytes[at + 1] & 0x3F) << 6) | (bytes[at + 2] & 0x3F));
        return 3;
    }
    *unit = wchar_t(b);
    return 1;
}

// The bytes of the well-formed standard sequence at bytes[at], 0 for none;
// its code point goes to *code.
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

}  // namespace

int32_t utf8_length_of_wstr(const wchar_t* units, int32_t length)
{
    if (!units)
        return 0;
    int32_t bytes = 0;
    for (int32_t i = 0; length < 0 ? units[i] != 0 : i < length; ++i)
        bytes += sequence_bytes(units[i]);
    return bytes;
}

int32_t utf8_char_count(const char* text, int32_t length)
{
    if (!text)
        return 0;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    int32_t end = length < 0 ? INT32_MAX : length;
    int32_t count = 0;
    wchar_t unit;
    for (int32_t at = 0; at < end && (length >= 0 || bytes[at]); ++count)
        at += decode_one(bytes, at, end, &unit);
    return count;
}

int32_t utf8_encode(int32_t capacity, char* out, int32_t length, const wchar_t* units)
{
    if (!units || !out || length == 0 || capacity <= 0)
        return 0;
    int32_t written = 0;
    for (int32_t i = 0; length < 0 || i < length; ++i) {
        unsigned u = units[i];
        if (length < 0 && u == 0) {
            if (written < capacity)
                out[written] = 0;
            break;
        }
        unsigned char sequence[3];
        int n = sequence_bytes(wchar_t(u));
        if (n == 1) {
            sequence[0] = (unsigned char)u;
        } else if (n == 2) {
            sequence[0] = (unsigned char)(0xC0 | (u >> 6));
            sequence[1] = (unsigned char)(0x80 | (u & 0x3F));
        } else {
            sequence[0] = (unsigned char)(0xE0 | (u >> 12));
            sequence[1] = (unsigned char)(0x80 | ((u >> 6) & 0x3F));
            sequence[2] = (unsigned char)(0x80 | (u & 0x3F));
        }
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
        at += decode_one(bytes, at, end, &out[written]);
        ++written;
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
        if (code >= 0x10000) {
            if (out) {
                out[written] = wchar_t(0xD800 + ((code - 0x10000) >> 10));
                out[written + 1] = wchar_t(0xDC00 + (code & 0x3FF));
            }
            written += 2;
        } else {
            if (out)
                out[written] = wchar_t(code);
            ++written;
        }
    }
    if (units)
        *units = written;
    return at;
}
