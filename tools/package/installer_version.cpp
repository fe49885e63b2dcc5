#include "tools/package/installer_version.h"

#include <string.h>

#include "base/byte_order.h"
#include "base/format.h"
#include "base/string_utils.h"

namespace {

// 2004-12-21 11:08:18 UTC, day 0 of the file version's fourth part.
const uint64_t day_number_origin = 1103627298;
// Bytes around the string entries: VS_VERSION_INFO with its fixed part,
// StringFileInfo and the string table's head before them, VarFileInfo after.
const uint32_t head_size = 152;
const uint32_t frame_size = 220;

struct cVersionString {
    const wchar_t* key;
    const wchar_t* value;  // null or empty: not written
};

// The text in UTF-16 with its zero; answers the bytes written.
uint32_t put_text(uint8_t* at, const wchar_t* text)
{
    uint32_t units = uint32_t(wstr_length(text)) + 1;
    for (uint32_t i = 0; i < units; ++i)
        write_u16_le(at + 2 * i, uint16_t(text[i]));
    return 2 * units;
}

// A block's head: length, value length, type, key with its zero, padded to
// four bytes; answers the bytes it takes.
uint32_t put_head(uint8_t* at, uint32_t length, uint32_t value_length, uint32_t type, const wchar_t* key)
{
    write_u16_le(at, length);
    write_u16_le(at + 2, value_length);
    write_u16_le(at + 4, type);
    uint32_t used = 6 + put_text(at + 6, key);
    return (used + 3) & ~3u;
}

uint32_t head_bytes(const wchar_t* key)
{
    return (6 + 2 * (uint32_t(wstr_length(key)) + 1) + 3) & ~3u;
}

// The bytes a string entry takes, its padding after an odd value included.
uint32_t entry_bytes(const cVersionString& entry)
{
    uint32_t units = uint32_t(wstr_length(entry.value)) + 1;
    return head_bytes(entry.key) + 2 * units + (units & 1) * 2;
}

void put_entry(uint8_t* at, const cVersionString& entry)
{
    uint32_t units = uint32_t(wstr_length(entry.value)) + 1;
    uint32_t head = put_head(at, head_bytes(entry.key) + 2 * units, units, 1, entry.key);
    put_text(at + head, entry.value);
}

void put_frame(uint8_t* at, const uint32_t version[4], uint32_t day_number, uint32_t strings)
{
    uint32_t used = put_head(at, strings + frame_size, 52, 0, L"VS_VERSION_INFO");
    const uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, version[0] << 16 | version[1], version[2] << 16 | day_number,
                                version[0] << 16 | version[1], version[2] << 16 | version[3], 0x3F, 0, 0x00040004,
                                1, 0, 0, 0};
    for (uint32_t value : fixed) {
        write_u32_le(at + used, value);
        used += 4;
    }
    used += put_head(at + used, strings + 60, 0, 1, L"StringFileInfo");
    put_head(at + used, strings + 24, 0, 1, L"000004b0");
    uint8_t* after = at + head_size + strings;
    uint32_t var_info = put_head(after, 68, 0, 1, L"VarFileInfo");
    uint32_t translation = put_head(after + var_info, 36, 4, 0, L"Translation");
    write_u32_le(after + var_info + translation, 0x04B0u << 16);
}

}  // namespace

uint32_t installer_day_number(uint64_t unix_seconds)
{
    return (uint32_t(unix_seconds) - uint32_t(day_number_origin)) / 86400;
}

bool build_installer_version(const cPackage& package, uint32_t day_number, uint32_t size,
                             _typebuf<uint8_t>& resource, uint32_t& needed)
{
    const uint32_t* v = package.version;
    wchar_t file_version[100], product_version[100];
    wstr_format(file_version, 100, L"%d.%d.%d.%d", v[0], v[1], v[2], day_number);
    wstr_format(product_version, 100, L"%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
    const cVersionString strings[] = {
        {L"CompanyName", package.GetString(L"publisher")}, {L"FileDescription", package.GetString(L"name")},
        {L"FileVersion", file_version},                    {L"LegalCopyright", package.GetString(L"copyright")},
        {L"ProductName", package.GetString(L"name")},      {L"ProductVersion", product_version},
    };
    uint32_t strings_size = 0;
    for (const cVersionString& entry : strings)
        if (entry.value && entry.value[0])
            strings_size += entry_bytes(entry);
    needed = strings_size + frame_size;
    if (needed > size)
        return false;
    resource.Resize(int32_t(size));
    if (!resource.Data())
        return false;
    memset(resource.Data(), 0, size);
    uint8_t* at = resource.Data() + head_size;
    for (const cVersionString& entry : strings)
        if (entry.value && entry.value[0]) {
            put_entry(at, entry);
            at += entry_bytes(entry);
        }
    put_frame(resource.Data(), v, day_number, strings_size);
    return true;
}
