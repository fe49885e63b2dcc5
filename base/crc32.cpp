#include "base/crc32.h"

namespace {

struct cCrc32Table {
    uint32_t entries[256];
};

// Built by the compiler, so the table is constant data of the program.
constexpr cCrc32Table make_crc32_table()
{
    cCrc32Table table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320 ^ (c >> 1) : c >> 1;
        table.entries[i] = c;
    }
    return table;
}

constexpr cCrc32Table crc32_table = make_crc32_table();
static_assert(crc32_table.entries[1] == 0x77073096, "reflected table of 0xEDB88320");

}  // namespace

uint32_t crc32_compute(const void* data, int32_t length)
{
    if (!data || length < 1)
        return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t c = 0xFFFFFFFF;
    for (int32_t i = 0; i < length; ++i)
        c = crc32_table.entries[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}
