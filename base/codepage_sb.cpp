#include "base/codepage_sb.h"

#include <string.h>

#include "base/buffers/typebuf.h"
#include "base/codepage.h"
#include "base/codepage_tables/codepage_tables.h"

namespace {

// Unit -> the byte that encoding writes for it: the lowest byte of the unit
// in the code page, or '?' when it has none. One flat table of every UTF-16
// unit per code-page table, built on its first use and kept for the life of
// the process. No lock: a table is built by the one thread that uses it
// first.
const int32_t unit_count = 0x10000;
const char missing_byte = '?';
_typebuf<uint8_t> reverse_tables[codepage_sb_table_count];

// The table of the code page: code page 0 stands for the user's default
// ANSI code page, and a code page without a table of its own uses 28591's.
int table_of(int32_t codepage)
{
    if (codepage == 0)
        codepage = codepage_default_ansi();
    int index = codepage_sb_table_index(codepage);
    return index < 0 ? 0 : index;
}

// Null when the heap refuses the table; the next call then tries again.
const uint8_t* reverse_table(int index)
{
    _typebuf<uint8_t>& reverse = reverse_tables[index];
    if (!reverse.Data()) {
        _typebuf<uint8_t> built(unit_count);
        if (!built.Data())
            return nullptr;
        memset(built.Data(), missing_byte, unit_count);
        // Descending, so that of several bytes with one unit the lowest stays.
        const wchar_t* units = codepage_sb_units[index];
        for (int byte = 255; byte >= 0; --byte)
            built.Data()[uint16_t(units[byte])] = uint8_t(byte);
        reverse = static_cast<_typebuf<uint8_t>&&>(built);
    }
    return reverse.Data();
}

// Whether none of the four units at p is a NUL, two at a time in a 32-bit
// word: subtracting 1 from each half sets the top bit of a zero half (and
// of none above it unless a zero half lies below), and masking with the
// inverted word drops the halves whose own top bit was set.
bool no_nul_in_four(const wchar_t* p)
{
    uint32_t a, b;
    memcpy(&a, p, 4);
    memcpy(&b, p + 2, 4);
    return ((((a - 0x00010001u) & ~a) | ((b - 0x00010001u) & ~b)) & 0x80008000u) == 0;
}

// The same for four bytes.
bool no_nul_in_four(const char* p)
{
    uint32_t a;
    memcpy(&a, p, 4);
    return (((a - 0x01010101u) & ~a) & 0x80808080u) == 0;
}

// Maps each element of the text through convert until the count or the
// capacity is used up; a NUL ends the text with a NUL (not counted).
template <class In, class Out, class Convert>
int32_t convert_text(const In* text, int32_t length, Out* out, int32_t capacity, Convert convert)
{
    if (!text || !out || length == 0 || capacity <= 0)
        return 0;
    int32_t end = length < 0 || length > capacity ? capacity : length;
    int32_t i = 0;
    // Four at a time where the text is counted, so that reading four never
    // passes its end: the test for a NUL is what costs here.
    for (int32_t counted_end = length < 0 ? 0 : end; i + 4 <= counted_end && no_nul_in_four(text + i); i += 4) {
        out[i] = convert(text[i]);
        out[i + 1] = convert(text[i + 1]);
        out[i + 2] = convert(text[i + 2]);
        out[i + 3] = convert(text[i + 3]);
    }
    for (; i < end; ++i) {
        if (text[i] == 0) {
            out[i] = 0;
            return i;
        }
        out[i] = convert(text[i]);
    }
    return end;
}

}  // namespace

int codepage_sb_table_index(int32_t codepage)
{
    for (int i = 0; i < codepage_sb_table_count; ++i) {
        if (codepage_sb_pages[i] == codepage)
            return i;
    }
    return -1;
}

const wchar_t* codepage_sb_table(int32_t codepage)
{
    return codepage_sb_units[table_of(codepage)];
}

int32_t codepage_sb_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                           int32_t codepage)
{
    const wchar_t* table = codepage_sb_table(codepage);
    return convert_text(bytes, length, out, capacity,
                        [table](char byte) { return table[static_cast<unsigned char>(byte)]; });
}

uint8_t codepage_sb_encode_char(wchar_t unit, int32_t codepage)
{
    int index = table_of(codepage);
    const uint8_t* reverse = reverse_table(index);
    if (!reverse)
        return 0;
    // A missing unit gets '?' too; the code page's own table tells it from
    // the unit of that byte.
    uint8_t byte = reverse[uint16_t(unit)];
    return codepage_sb_units[index][byte] == unit ? byte : 0;
}

int32_t codepage_sb_encode(const wchar_t* text, int32_t length, char* out, int32_t capacity,
                           int32_t codepage)
{
    const uint8_t* reverse = reverse_table(table_of(codepage));
    if (!reverse)
        return convert_text(text, length, out, capacity, [](wchar_t) { return missing_byte; });
    return convert_text(text, length, out, capacity,
                        [reverse](wchar_t unit) { return char(reverse[uint16_t(unit)]); });
}
