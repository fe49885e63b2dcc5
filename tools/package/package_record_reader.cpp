#include "tools/package/package_record_reader.h"

#include <string.h>

#include "base/byte_order.h"
#include "base/string_convert.h"

bool cPackageRecordReader::Skip(uint32_t count, const uint8_t** bytes)
{
    if (count > size - at)
        return false;
    *bytes = data + at;
    at += count;
    return true;
}

bool cPackageRecordReader::Bytes(void* out, uint32_t count)
{
    const uint8_t* bytes;
    if (!Skip(count, &bytes))
        return false;
    memcpy(out, bytes, count);
    return true;
}

bool cPackageRecordReader::U8(uint8_t& value)
{
    return Bytes(&value, 1);
}

bool cPackageRecordReader::U16(uint16_t& value)
{
    uint8_t bytes[2];
    if (!Bytes(bytes, 2))
        return false;
    value = read_u16_le(bytes);
    return true;
}

bool cPackageRecordReader::U32(uint32_t& value)
{
    uint8_t bytes[4];
    if (!Bytes(bytes, 4))
        return false;
    value = read_u32_le(bytes);
    return true;
}

bool cPackageRecordReader::Text(_guardchar<wchar_t>& text)
{
    uint16_t length;
    const uint8_t* bytes;
    // A NUL would end the text early: "a\0b" read as "a".
    if (!U16(length) || !Skip(length, &bytes) || memchr(bytes, 0, length))
        return false;
    text.Clear();
    if (length)
        wstr_from_utf8(length, reinterpret_cast<const char*>(bytes), text);
    return true;
}

bool cPackageRecordReader::Key(cPackedKey& key)
{
    uint16_t length;
    const uint8_t* bytes;
    if (!U16(length) || !Skip(length, &bytes))
        return false;
    const void* zero = memchr(bytes, 0, length);
    int32_t used = zero ? int32_t(static_cast<const uint8_t*>(zero) - bytes) : int32_t(length);
    if (used == 0)
        return false;
    packedkey_from_str(key, reinterpret_cast<const char*>(bytes), used);
    return key.Data() != nullptr;
}

bool cPackageRecordReader::Continues(bool& more)
{
    uint8_t flag;
    if (!U8(flag) || flag > 1)
        return false;
    more = flag == 1;
    return true;
}
