#include "gui/catalog.h"

#include <string.h>

#include "base/buffers/typebuf.h"
#include "base/byte_order.h"
#include "base/string_convert.h"
#include "base/zlib_inflate.h"

// Container: "CIOMLAFI", 8-byte set name, 3-letter language code, u8 name
// length n, n bytes of UTF-8 name, then the payload: u32 U and a zlib stream
// of the U-byte catalog. Catalog: "CIOMLANG", then records up to exactly U:
// u32 K, K bytes of section name (zero-padded, or filling the field), u32 V,
// V bytes of string array: u16 N, N u16 byte lengths (0xFFFF: absent), the
// present strings' UTF-8 bytes. All integers little-endian.

namespace {

const uint8_t container_magic[8] = {'C', 'I', 'O', 'M', 'L', 'A', 'F', 'I'};
const uint8_t catalog_magic[8] = {'C', 'I', 'O', 'M', 'L', 'A', 'N', 'G'};
const uint32_t header_size = 20;  // magic, set name, code, name length
const uint32_t code_offset = 16;
const uint32_t name_length_offset = 19;
const uint32_t max_catalog_size = 0x400000;
const uint16_t absent_string = 0xFFFF;

// Reads front to back through a byte range; every read checks what remains.
struct cByteCursor {
    const uint8_t* data;
    uint32_t size;
    uint32_t position;

    uint32_t Remaining() const { return size - position; }

    bool ReadU32(uint32_t& value)
    {
        if (Remaining() < 4)
            return false;
        value = read_u32_le(data + position);
        position += 4;
        return true;
    }

    bool Take(uint32_t count, const uint8_t*& bytes)
    {
        if (count > Remaining())
            return false;
        bytes = data + position;
        position += count;
        return true;
    }
};

// One string of an array; an empty one is allocated, so that it reads as ""
// rather than as absent. False when the heap refuses it.
bool assign_string(_guardchar<wchar_t>& out, const uint8_t* bytes, uint16_t length)
{
    if (length)
        wstr_from_utf8(length, reinterpret_cast<const char*>(bytes), out);
    else
        out.Allocate(1);
    return out.Text() != nullptr;
}

// Checks the string array in value and, when into is given, replaces its
// strings with the array's. With null into it only checks, so that a fault
// is found before anything changed.
bool parse_string_array(const uint8_t* value, uint32_t size, cStringArray* into)
{
    if (size < 4)
        return false;
    uint32_t count = read_u16_le(value);
    uint64_t text_offset = 2 + 2 * uint64_t(count);
    if (count == 0 || text_offset > size)
        return false;
    uint64_t end = text_offset;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t length = read_u16_le(value + 2 + 2 * i);
        if (length != absent_string)
            end += length;
    }
    if (end > size)
        return false;
    if (!into)
        return true;

    into->strings.Resize(int32_t(count));
    if (into->strings.Count() != int32_t(count))
        return false;
    const uint8_t* text = value + text_offset;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t length = read_u16_le(value + 2 + 2 * i);
        if (length == absent_string)
            continue;
        if (!assign_string(into->strings[int32_t(i)], text, length))
            return false;
        text += length;
    }
    return true;
}

// The section's string array in the catalog, added when absent. The name
// ends at its first zero byte or at the end of its field.
cStringArray* section_for_key(cStringCatalog& catalog, const uint8_t* key, uint32_t size)
{
    const void* zero = memchr(key, 0, size);
    int32_t length = int32_t(zero ? static_cast<const uint8_t*>(zero) - key : size);
    cPackedKey name;
    packedkey_from_str(name, reinterpret_cast<const char*>(key), length);
    if (length && !name.Data())
        return nullptr;
    return tree_get_or_add(catalog.sections, static_cast<cPackedKey&&>(name));
}

// Walks the records behind the catalog's magic; with into given, each
// record's section is replaced. True when at least one record came and the
// last one ends exactly at the end of the catalog.
bool parse_records(const uint8_t* catalog, uint32_t size, cStringCatalog* into)
{
    cByteCursor in{catalog, size, sizeof catalog_magic};
    bool any = false;
    while (in.Remaining() >= 4) {
        uint32_t key_size, value_size;
        const uint8_t* key;
        const uint8_t* value;
        if (!in.ReadU32(key_size) || !in.Take(key_size, key) || !in.ReadU32(value_size) ||
            !in.Take(value_size, value))
            return false;
        cStringArray* section = into ? section_for_key(*into, key, key_size) : nullptr;
        if (into && !section)
            return false;
        if (!parse_string_array(value, value_size, section))
            return false;
        any = true;
    }
    return any && in.Remaining() == 0;
}

}  // namespace

bool catalog_read_container(const uint8_t* data, uint32_t size, cStringCatalog& catalog)
{
    if (!data || size < header_size || memcmp(data, container_magic, sizeof container_magic) != 0)
        return false;
    uint32_t name_size = data[name_length_offset];
    // The payload must at least hold the catalog size.
    if (uint64_t(size) < uint64_t(header_size) + name_size + 4)
        return false;
    const uint8_t* payload = data + header_size + name_size;
    uint32_t payload_size = size - header_size - name_size;
    uint32_t catalog_size = read_u32_le(payload);
    if (catalog_size < sizeof catalog_magic || catalog_size > max_catalog_size)
        return false;

    _typebuf<uint8_t> bytes{int32_t(catalog_size)};
    if (!bytes.Data() || inflate_buffer(payload + 4, payload_size - 4, bytes.Data(), catalog_size) != catalog_size ||
        memcmp(bytes.Data(), catalog_magic, sizeof catalog_magic) != 0)
        return false;
    // A damaged record anywhere leaves the catalog as it was.
    if (!parse_records(bytes.Data(), catalog_size, nullptr) || !parse_records(bytes.Data(), catalog_size, &catalog))
        return false;

    for (uint32_t i = 0; i < 3; ++i)
        catalog.code[i] = wchar_t(data[code_offset + i]);
    catalog.code[3] = 0;
    wstr_from_utf8(int32_t(name_size), reinterpret_cast<const char*>(data + header_size), catalog.name);
    return true;
}
