#include "base/codepage_dbcs.h"

#include "base/codepage_decode.h"
#include "base/codepage_tables/codepage_tables.h"

namespace {

const cDbcsTable* table_of(int32_t codepage)
{
    switch (codepage) {
    case 932:
        return &dbcs_table_932;
    case 936:
        return &dbcs_table_936;
    case 949:
        return &dbcs_table_949;
    case 950:
        return &dbcs_table_950;
    default:
        return nullptr;
    }
}

// Decodes into out, or only counts when out has no array. Counting and
// decoding take the same path so that a count always sizes the output.
int32_t decode(const cDbcsTable& table, cDecodeInput& in, cDecodeOutput& out)
{
    while (!in.AtEnd() && !out.IsFull()) {
        int byte = in.Peek(0);
        if (byte == 0) {
            out.Terminate();
            break;
        }
        wchar_t unit = table.lead[byte];
        if (unit != dbcs_lead_byte) {
            out.Put(unit);
            in.Skip(1);
            continue;
        }
        const wchar_t* row = table.rows[byte];
        if (row) {
            int trail = in.Peek(1);
            if (trail < 0)
                break;  // the input ends inside the pair
            if (in.DropBeforeNul(1))
                continue;
            if (trail >= dbcs_first_trail) {
                out.Put(row[trail - dbcs_first_trail]);
                in.Skip(2);
                continue;
            }
        }
        out.Put(L'?');
        in.Skip(1);
    }
    return out.Written();
}

}  // namespace

int32_t dbcs_char_count(const char* bytes, int32_t length, int32_t codepage)
{
    const cDbcsTable* table = table_of(codepage);
    if (!bytes || length == 0 || !table)
        return 0;
    cDecodeInput in(bytes, length);
    cDecodeOutput counter(nullptr, 0);
    return decode(*table, in, counter);
}

int32_t dbcs_decode(const char* bytes, int32_t length, wchar_t* out, int32_t capacity,
                    int32_t codepage)
{
    const cDbcsTable* table = table_of(codepage);
    if (!bytes || !out || length == 0 || capacity <= 0 || !table)
        return 0;
    cDecodeInput in(bytes, length);
    cDecodeOutput units(out, capacity);
    return decode(*table, in, units);
}
