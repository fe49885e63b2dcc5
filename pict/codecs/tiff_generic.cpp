#include "pict/codecs/tiff_generic.h"

#include <string.h>

#include "base/byte_order.h"

namespace {

// Far above any real file, low enough that a crafted one costs little: a
// parse walks at most this many IFDs and entries.
const int32_t max_ifds = 1024;
const int64_t max_entries = int64_t(1) << 20;

inline uint64_t read_u64_be(const uint8_t* bytes)
{
    return uint64_t(read_u32_be(bytes)) << 32 | read_u32_be(bytes + 4);
}

// Digits text[0..n) as a number; false unless all are digits.
bool read_digits(const uint8_t* text, int32_t n, int32_t* value)
{
    int32_t number = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    *value = number;
    return true;
}

}  // namespace

uint32_t tiff_type_size(uint16_t type)
{
    switch (type) {
    case tiff_byte:
    case tiff_ascii:
    case tiff_sbyte:
    case tiff_undefined: return 1;
    case tiff_short:
    case tiff_sshort: return 2;
    case tiff_long:
    case tiff_slong:
    case tiff_float:
    case tiff_ifd: return 4;
    case tiff_rational:
    case tiff_srational:
    case tiff_double:
    case tiff_long8:
    case tiff_slong8:
    case tiff_ifd8: return 8;
    default: return 0;
    }
}

bool tiff_read_date(const uint8_t* text, uint64_t size, cPictPropTimestamp* date)
{
    int32_t year, month, day, hour = 0, minute = 0, second = 0;
    if (!text || size < 10 || !read_digits(text, 4, &year) || text[4] != ':' || !read_digits(text + 5, 2, &month) ||
        text[7] != ':' || !read_digits(text + 8, 2, &day))
        return false;
    if (size >= 19 && text[10] != 0) {
        if (text[10] != ' ' || !read_digits(text + 11, 2, &hour) || text[13] != ':' ||
            !read_digits(text + 14, 2, &minute) || text[16] != ':' || !read_digits(text + 17, 2, &second))
            return false;
    } else if (size > 10 && text[10] != 0) {
        return false;
    }
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return false;
    date->year = uint16_t(year);
    date->month = uint8_t(month);
    date->day = uint8_t(day);
    date->hour = uint8_t(hour);
    date->minute = uint8_t(minute);
    date->second = uint8_t(second);
    return true;
}

cTiffGeneric::cTiffGeneric()
    : stream(nullptr), stream_size(0), byte_order(0), big(0), first_ifd(0), next_ifd(0), error_code(0),
      error_position(0), visited_count(0), entries_left(max_entries)
{
    memset(value_field, 0, sizeof value_field);
}

cTiffGeneric::~cTiffGeneric()
{
}

uint16_t cTiffGeneric::Read16(const uint8_t* bytes) const
{
    return byte_order ? read_u16_be(bytes) : read_u16_le(bytes);
}

uint32_t cTiffGeneric::Read32(const uint8_t* bytes) const
{
    return byte_order ? read_u32_be(bytes) : read_u32_le(bytes);
}

uint64_t cTiffGeneric::Read64(const uint8_t* bytes) const
{
    return byte_order ? read_u64_be(bytes) : read_u64_le(bytes);
}

bool cTiffGeneric::Fail(int32_t code, uint64_t position)
{
    if (error_code == tiff_error_none) {
        error_code = code;
        error_position = position;
    }
    return false;
}

bool cTiffGeneric::ReadAt(uint64_t position, void* buffer, uint32_t count)
{
    return position <= stream_size && count <= stream_size - position && stream->Seek(position) &&
           stream->ReadExact(buffer, count);
}

bool cTiffGeneric::Walked(uint64_t offset) const
{
    for (int32_t i = 0; i < visited_count; ++i)
        if (visited.Data()[i] == offset)
            return true;
    return false;
}

void cTiffGeneric::ResetVisits()
{
    visited_count = 0;
    entries_left = max_entries;
    error_code = tiff_error_none;
    error_position = 0;
}

void cTiffGeneric::FreeScratch()
{
    scratch.Clear();
}

bool cTiffGeneric::ParseStream(cFileIOTarget* source, uint64_t size)
{
    ResetVisits();
    next_ifd = 0;
    stream = source;
    if (!stream || !stream->IsOpen())
        return Fail(tiff_error_short, 0);
    stream_size = stream->GetSize();
    if (size && size < stream_size)
        stream_size = size;
    uint8_t header[16];
    if (stream_size < 8)
        return Fail(tiff_error_short, 0);
    if (!ReadAt(0, header, 8))
        return Fail(tiff_error_offset, 0);
    if (header[0] == 'I' && header[1] == 'I')
        byte_order = 0;
    else if (header[0] == 'M' && header[1] == 'M')
        byte_order = 1;
    else
        return Fail(tiff_error_byte_order, 0);
    const uint16_t version = Read16(header + 2);
    if (version == 42) {
        big = 0;
        first_ifd = Read32(header + 4);
    } else if (version == 43) {
        big = 1;
        if (stream_size < 16)
            return Fail(tiff_error_short, 8);
        if (!ReadAt(8, header + 8, 8))
            return Fail(tiff_error_offset, 8);
        if (Read16(header + 4) != 8 || Read16(header + 6) != 0)
            return Fail(tiff_error_version, 4);
        first_ifd = Read64(header + 8);
    } else {
        return Fail(tiff_error_version, 2);
    }
    return WalkChain(first_ifd);
}

bool cTiffGeneric::WalkChain(uint64_t offset)
{
    for (int32_t index = 0; offset != 0 && !Walked(offset) && OnIfd(index, offset); ++index) {
        if (!ParseIfd(offset, byte_order, big, stream_size))
            return false;
        offset = next_ifd;
    }
    return true;
}

bool cTiffGeneric::ParseIfd(uint64_t offset, uint8_t order, uint8_t big_tiff, uint64_t size)
{
    byte_order = order;
    big = big_tiff;
    stream_size = size;
    next_ifd = 0;
    if (!stream)
        return Fail(tiff_error_offset, offset);
    // Offsets inside the header cannot start an IFD.
    if (offset < (big ? 16u : 8u) || offset >= stream_size)
        return Fail(tiff_error_offset, offset);
    if (Walked(offset))
        return true;
    if (visited_count == max_ifds)
        return Fail(tiff_error_limit, offset);
    if (visited.Count() == visited_count) {
        int32_t grown = visited_count ? 2 * visited_count : 8;
        if (!visited.Realloc(grown))
            return Fail(tiff_error_limit, offset);
    }
    visited[visited_count++] = offset;

    const uint32_t count_size = big ? 8 : 2;
    const uint32_t entry_size = big ? 20 : 12;
    const uint32_t link_size = big ? 8 : 4;
    uint8_t bytes[20];
    if (!ReadAt(offset, bytes, count_size))
        return Fail(tiff_error_offset, offset);
    const uint64_t count = big ? Read64(bytes) : Read16(bytes);
    const uint64_t room = stream_size - offset - count_size;
    if (count > room / entry_size || count * entry_size + link_size > room)
        return Fail(tiff_error_offset, offset);
    if (int64_t(count) > entries_left)
        return Fail(tiff_error_limit, offset);
    entries_left -= int64_t(count);

    const uint32_t inline_size = big ? 8 : 4;
    uint64_t position = offset + count_size;
    for (uint64_t i = 0; i < count; ++i, position += entry_size) {
        if (!ReadAt(position, bytes, entry_size))
            return Fail(tiff_error_offset, position);
        cTiffEntry entry;
        entry.tag = Read16(bytes);
        entry.type = Read16(bytes + 2);
        entry.count = big ? Read64(bytes + 4) : Read32(bytes + 4);
        const uint32_t type_size = tiff_type_size(entry.type);
        if (type_size == 0)
            continue;
        if (entry.count > stream_size / type_size)
            return Fail(tiff_error_offset, position);
        entry.size = entry.count * type_size;
        const uint8_t* field = bytes + (big ? 12 : 8);
        entry.data = nullptr;
        if (entry.size <= inline_size) {
            entry.value_offset = position + (big ? 12 : 8);
            memcpy(value_field, field, inline_size);
            entry.data = value_field;
        } else {
            entry.value_offset = big ? Read64(field) : Read32(field);
            if (entry.value_offset > stream_size || entry.size > stream_size - entry.value_offset)
                return Fail(tiff_error_offset, position);
        }
        if (!LoadEntryData(entry))
            return Fail(tiff_error_entry, position);
    }
    if (!ReadAt(position, bytes, link_size))
        return Fail(tiff_error_offset, position);
    const uint64_t link = big ? Read64(bytes) : Read32(bytes);
    cTiffEntry entry = {tiff_next_ifd_tag, big ? tiff_long8 : tiff_long, 1, link_size, position, value_field};
    memcpy(value_field, bytes, link_size);
    if (!LoadEntryData(entry))
        return Fail(tiff_error_entry, position);
    next_ifd = link;
    return true;
}

bool cTiffGeneric::FetchEntryData(cTiffEntry& entry)
{
    if (entry.data)
        return true;
    if (entry.size > uint64_t(INT32_MAX))
        return Fail(tiff_error_offset, entry.value_offset);
    if (uint64_t(scratch.Count()) < entry.size) {
        scratch.Resize(int32_t(entry.size));
        if (!scratch.Data())
            return Fail(tiff_error_offset, entry.value_offset);
    }
    if (!ReadAt(entry.value_offset, scratch.Data(), uint32_t(entry.size)))
        return Fail(tiff_error_offset, entry.value_offset);
    entry.data = scratch.Data();
    return true;
}

bool cTiffGeneric::LoadEntryData(cTiffEntry& entry)
{
    if (entry.size <= tiff_fetch_limit && !FetchEntryData(entry))
        return false;
    return OnEntry(entry);
}

bool cTiffGeneric::OnEntry(const cTiffEntry&)
{
    return true;
}

bool cTiffGeneric::OnIfd(int32_t, uint64_t)
{
    return true;
}

bool cTiffGeneric::EntryUnsigned(const cTiffEntry& entry, uint64_t index, uint64_t* value) const
{
    if (!entry.data || index >= entry.count)
        return false;
    switch (entry.type) {
    case tiff_byte:
    case tiff_undefined: *value = entry.data[index]; return true;
    case tiff_short: *value = Read16(entry.data + 2 * index); return true;
    case tiff_long:
    case tiff_ifd: *value = Read32(entry.data + 4 * index); return true;
    case tiff_long8:
    case tiff_ifd8: *value = Read64(entry.data + 8 * index); return true;
    default: return false;
    }
}

bool cTiffGeneric::EntryRational(const cTiffEntry& entry, uint64_t index, double* value) const
{
    if (!entry.data || index >= entry.count || (entry.type != tiff_rational && entry.type != tiff_srational))
        return false;
    const uint32_t numerator = Read32(entry.data + 8 * index);
    const uint32_t denominator = Read32(entry.data + 8 * index + 4);
    if (denominator == 0)
        return false;
    if (entry.type == tiff_rational)
        *value = double(numerator) / double(denominator);
    else
        *value = double(int32_t(numerator)) / double(int32_t(denominator));
    return true;
}
