#include "base/case_map.h"

#include "base/codepage_tables/codepage_tables.h"
#include "base/tree_map.h"

namespace {

typedef cTreeMap<uint16_t, uint16_t> cCaseMap;

cCaseMap lower_map(256);
bool lower_loaded = false;
cCaseMap upper_map(256);
bool upper_loaded = false;

// The map, filled from its pairs on first use. A map the heap could not
// fill completely stays unmarked, and the next call fills it again.
const cCaseMap& loaded(cCaseMap& map, bool& is_loaded, const cCasePair* pairs)
{
    if (is_loaded)
        return map;
    for (int i = 0; i < case_pair_count; ++i) {
        uint16_t* to = tree_get_or_add(map, pairs[i].from);
        if (!to)
            return map;
        *to = pairs[i].to;
    }
    is_loaded = true;
    return map;
}

wchar_t mapped(const cCaseMap& map, wchar_t unit)
{
    const uint16_t* to = tree_find_value(map, uint16_t(unit));
    return to ? wchar_t(*to) : unit;
}

bool is_space(unsigned value)
{
    return value == 9 || value == 10 || value == 13 || value == 32;
}

}  // namespace

wchar_t wchar_to_lower(wchar_t unit)
{
    return mapped(loaded(lower_map, lower_loaded, case_pairs_lower), unit);
}

wchar_t wchar_to_upper(wchar_t unit)
{
    return mapped(loaded(upper_map, upper_loaded, case_pairs_upper), unit);
}

wchar_t wchar_to_name_upper(wchar_t unit)
{
    // Most names are ASCII: no search for them.
    if (unit < 0x80)
        return unit >= L'a' && unit <= L'z' ? wchar_t(unit - 32) : unit;
    int low = 0, high = name_upper_pair_count;
    while (low < high) {
        int middle = (low + high) / 2;
        if (name_upper_pairs[middle].from < uint16_t(unit))
            low = middle + 1;
        else
            high = middle;
    }
    return low < name_upper_pair_count && name_upper_pairs[low].from == uint16_t(unit) ? wchar_t(name_upper_pairs[low].to)
                                                                                       : unit;
}

bool wchar_is_space(wchar_t unit)
{
    return is_space(unit);
}

bool char_is_space(char byte)
{
    return is_space(static_cast<unsigned char>(byte));
}
