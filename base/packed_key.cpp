#include "base/packed_key.h"

#include <string.h>

#include "base/utf8.h"

namespace {

// Words were filled in memory byte order; make each most significant first.
void words_to_key_order(cPackedKey& key)
{
    uint32_t* words = key.Data();
    for (int32_t i = 0; i < key.Count(); ++i)
        words[i] = __builtin_bswap32(words[i]);
}

// Room for `bytes` bytes in whole zeroed words; false when it cannot be had.
bool resize_for_bytes(cPackedKey& key, uint32_t bytes)
{
    int32_t words = int32_t((bytes + 3) / 4);
    key.Resize(words);
    if (!key.Data())
        return false;
    memset(key.Data(), 0, size_t(words) * 4);
    return true;
}

}  // namespace

cPackedKey::cPackedKey(const cPackedKey& other) : _typebuf<uint32_t>()
{
    packedkey_assign(*this, other);
}

void packedkey_from_str(cPackedKey& key, const char* text, int32_t length)
{
    key.Clear();
    if (!text || length == 0)
        return;
    uint32_t bytes = length < 0 ? uint32_t(strlen(text)) : uint32_t(length);
    bytes &= 0x7FFFFFFF;
    if (bytes == 0 || !resize_for_bytes(key, bytes))
        return;
    memcpy(key.Data(), text, bytes);
    words_to_key_order(key);
}

void packedkey_from_wstr(cPackedKey& key, const wchar_t* text, int32_t length)
{
    key.Clear();
    if (!text || length == 0)
        return;
    uint32_t bytes = uint32_t(utf8_length_of_wstr(text, length)) + (length < 0 ? 1 : 0);
    if (!resize_for_bytes(key, bytes))
        return;
    utf8_encode(key.Count() * 4, reinterpret_cast<char*>(key.Data()), length, text);
    words_to_key_order(key);
    if (key[key.Count() - 1] == 0)
        key.Realloc(key.Count() - 1);
}

void packedkey_assign(cPackedKey& key, const cPackedKey& other)
{
    key.Resize(other.Count());
    if (key.Data())
        memcpy(key.Data(), other.Data(), size_t(other.Count()) * 4);
}

void packedkey_to_bytes(const cPackedKey& key, _typebuf<uint8_t>& out)
{
    out.Resize(key.Count() * 4);
    if (!out.Data())
        return;
    for (int32_t i = 0; i < key.Count(); ++i) {
        uint32_t word = key[i];
        for (int k = 0; k < 4; ++k)
            out[i * 4 + k] = uint8_t(word >> (24 - 8 * k));
    }
}

int packedkey_compare(const cPackedKey& a, const cPackedKey& b)
{
    int32_t common = a.Count() < b.Count() ? a.Count() : b.Count();
    const uint32_t* wa = a.Data();
    const uint32_t* wb = b.Data();
    for (int32_t i = 0; i < common; ++i)
        if (wa[i] != wb[i])
            return wa[i] < wb[i] ? -1 : 1;
    if (a.Count() != b.Count())
        return a.Count() < b.Count() ? -1 : 1;
    return 0;
}

bool packedkey_less(const cPackedKey& a, const cPackedKey& b) { return packedkey_compare(a, b) < 0; }
bool packedkey_greater(const cPackedKey& a, const cPackedKey& b) { return packedkey_compare(a, b) > 0; }
bool packedkey_not_equal(const cPackedKey& a, const cPackedKey& b) { return packedkey_compare(a, b) != 0; }
bool packedkey_equal(const cPackedKey& a, const cPackedKey& b) { return packedkey_compare(a, b) == 0; }
