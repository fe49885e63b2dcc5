#include "base/case_map.h"

#include "base/codepage_tables/codepage_tables.h"

namespace {

// The tables are sorted constants: a search needs no state, so any thread
// may map at any time.
wchar_t mapped(const cCasePair* pairs, int count, wchar_t unit)
{
    int low = 0, high = count;
    while (low < high) {
        int middle = (low + high) / 2;
        if (pairs[middle].from < uint16_t(unit))
            low = middle + 1;
        else
            high = middle;
    }
    return low < count && pairs[low].from == uint16_t(unit) ? wchar_t(pairs[low].to) : unit;
}

bool is_space(unsigned value)
{
    return value == 9 || value == 10 || value == 13 || value == 32;
}

}  // namespace

wchar_t wchar_to_lower(wchar_t unit)
{
    return mapped(case_pairs_lower, case_pair_count, unit);
}

wchar_t wchar_to_upper(wchar_t unit)
{
    return mapped(case_pairs_upper, case_pair_count, unit);
}

wchar_t wchar_to_name_upper(wchar_t unit)
{
    // Most names are ASCII: no search for them.
    if (unit < 0x80)
        return unit >= L'a' && unit <= L'z' ? wchar_t(unit - 32) : unit;
    return mapped(name_upper_pairs, name_upper_pair_count, unit);
}

bool wchar_is_space(wchar_t unit)
{
    return is_space(unit);
}

bool char_is_space(char byte)
{
    return is_space(static_cast<unsigned char>(byte));
}
