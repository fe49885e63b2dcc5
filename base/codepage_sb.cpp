#include "base/codepage_sb.h"

#include "base/codepage.h"
#include "base/codepage_tables/codepage_tables.h"
#include "base/tree_map.h"

namespace {

typedef cTreeMap<uint16_t, uint8_t> cReverseMap;

// Unit -> byte, one map per table, keyed by the table's code page. Each is
// built on its first use and kept for the life of the process. No lock: a
// map is built by the one thread that uses it first.
cTreeMap<int32_t, cReverseMap> reverse_maps(512);

// The table of the code page: code page 0 stands for the user's default
// ANSI code page, and a code page without a table of its own uses 28591's.
int table_of(int32_t codepage)
{
    if (codepage == 0)
        codepage = codepage_default_ansi();
    int index = codepage_sb_table_index(codepage);
    return index < 0 ? 0 : index;
}

// Null when the heap refuses the map; the next call then tries again.
const cReverseMap* reverse_map(int32_t codepage)
{
    int index = table_of(codepage);
    int32_t key = codepage_sb_pages[index];
    cReverseMap* map = tree_find_value(reverse_maps, key);
    if (map && map->root)
        return map;
    map = tree_get_or_add(reverse_maps, key);
    if (!map)
        return nullptr;
    map->depth_limit = 256;
    // Descending, so that of several bytes with one unit the lowest stays.
    const wchar_t* table = codepage_sb_units[index];
    for (int byte = 255; byte >= 0; --byte) {
        uint8_t* slot = tree_get_or_add(*map, uint16_t(table[byte]));
        if (!slot) {
            tree_clear(*map);
            return nullptr;
        }
        *slot = uint8_t(byte);
    }
    return map;
}

// The byte of the unit; null when the code page has none, or when its map
// could not be built.
const uint8_t* byte_of(const cReverseMap* map, wchar_t unit)
{
    return map ? tree_find_value(*map, uint16_t(unit)) : nullptr;
}

// Maps each element of the text through convert until the count or the
// capacity is used up; a NUL ends the text with a NUL (not counted).
template <class In, class Out, class Convert>
int32_t convert_text(const In* text, int32_t length, Out* out, int32_t capacity, Convert convert)
{
    if (!text || !out || length == 0 || capacity <= 0)
        return 0;
    int32_t written = 0;
    for (int32_t i = 0; (length < 0 || i < length) && written < capacity; ++i) {
        if (text[i] == 0) {
            out[written] = 0;
            break;
        }
        out[written++] = convert(text[i]);
    }
    return written;
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
    const uint8_t* byte = byte_of(reverse_map(codepage), unit);
    return byte ? *byte : 0;
}

int32_t codepage_sb_encode(const wchar_t* text, int32_t length, char* out, int32_t capacity,
                           int32_t codepage)
{
    const cReverseMap* map = reverse_map(codepage);
    return convert_text(text, length, out, capacity, [map](wchar_t unit) {
        const uint8_t* byte = byte_of(map, unit);
        return char(byte ? *byte : '?');
    });
}
