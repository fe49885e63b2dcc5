#include "pict/codecs/lzw.h"

namespace {

const uint32_t clear_code = 256;
const uint32_t end_code = 257;
const uint32_t first_free = 258;
const uint32_t table_size = 4096;
const uint32_t widest = 12;

}  // namespace

// A string of the table: its last byte, its first byte, its length and the
// code of the string it extends.
struct cLZWString {
    uint16_t prefix;
    uint16_t length;
    uint8_t last;
    uint8_t first;
};

cLZWDecompress::cLZWDecompress() : table(nullptr)
{
}

cLZWDecompress::~cLZWDecompress()
{
    Reset();
}

uint32_t cLZWDecompress::GetKind()
{
    return 5;
}

void cLZWDecompress::Reset()
{
    arena.Release();
    table = nullptr;
}

bool cLZWDecompress::Decompress(const _typebuf<uint8_t>& input, _typebuf<uint8_t>& output)
{
    uint32_t produced = 0;
    bool done = output.Count() > 0 &&
                DecompressTo(input.Data(), uint32_t(input.Count()), output.Data(), uint32_t(output.Count()), &produced);
    if (!done)
        output.Clear();
    else
        output.Realloc(int32_t(produced));
    return done;
}

bool cLZWDecompress::DecompressTo(const uint8_t* input, uint32_t input_size, uint8_t* out, uint32_t capacity,
                                  uint32_t* produced)
{
    *produced = 0;
    if (!out || capacity == 0 || (!input && input_size))
        return false;
    if (!table) {
        table = static_cast<cLZWString*>(arena.Alloc(int32_t(table_size * sizeof(cLZWString))));
        if (!table)
            return false;
        for (uint32_t i = 0; i < 256; ++i)
            table[i] = {0, 1, uint8_t(i), uint8_t(i)};
    }
    uint32_t bits = 0;  // the next bits of the input from bit 31 down
    uint32_t held = 0;  // how many of them
    uint32_t at = 0;
    uint32_t width = 9;
    uint32_t next = first_free;
    uint32_t previous = clear_code;  // clear_code: no string yet
    uint32_t filled = 0;
    for (;;) {
        while (held <= 24 && at < input_size) {
            bits |= uint32_t(input[at++]) << (24 - held);
            held += 8;
        }
        if (held < width)
            break;  // the input ends without an end code
        const uint32_t code = bits >> (32 - width);
        bits <<= width;
        held -= width;
        if (code == clear_code) {
            width = 9;
            next = first_free;
            previous = clear_code;
            continue;
        }
        if (code == end_code)
            break;
        uint32_t string_code = code;
        uint8_t first;
        if (previous == clear_code) {
            if (code > 255) {
                *produced = filled;
                return false;
            }
            first = uint8_t(code);
        } else if (code < next) {
            first = table[code].first;
        } else if (code == next && next < table_size) {
            // The string being defined: the previous one and its own first byte.
            first = table[previous].first;
            string_code = previous;
        } else {
            *produced = filled;
            return false;
        }
        if (previous != clear_code && next < table_size) {
            cLZWString& added = table[next];
            added.prefix = uint16_t(previous);
            added.length = uint16_t(table[previous].length + 1);
            added.last = first;
            added.first = table[previous].first;
            if (++next >= (1u << width) - 1 && width < widest)
                ++width;
        }
        // The string is written from its last byte back; bytes past the
        // capacity are dropped.
        uint32_t length = table[string_code].length + (string_code != code ? 1 : 0);
        uint32_t end = filled + length;
        uint32_t k = end;
        if (string_code != code) {
            if (--k < capacity)
                out[k] = first;
        }
        for (uint32_t c = string_code;; c = table[c].prefix) {
            if (--k < capacity)
                out[k] = table[c].last;
            if (c < 256)
                break;
        }
        previous = code;
        if (end >= capacity) {
            filled = capacity;
            break;
        }
        filled = end;
    }
    *produced = filled;
    return true;
}
