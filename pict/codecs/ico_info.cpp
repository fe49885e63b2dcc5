#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

bool ico_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t header[6];
    if (!stream || !stream->ReadExact(header, sizeof header))
        return false;
    uint16_t count = read_u16_le(header + 4);
    if (read_u16_le(header) != 0 || read_u16_le(header + 2) != 1 || count == 0)
        return false;
    const uint64_t size = stream->GetSize();
    const uint64_t data_start = 6 + 16 * uint64_t(count);
    int64_t best_width = 0;
    int64_t best_height = 0;
    for (uint16_t i = 0; i < count; ++i) {
        uint8_t entry[16];
        if (!stream->ReadExact(entry, sizeof entry))
            return false;
        uint16_t planes = read_u16_le(entry + 4);
        uint16_t bits = read_u16_le(entry + 6);
        uint32_t bytes = read_u32_le(entry + 8);
        uint32_t offset = read_u32_le(entry + 12);
        if (planes > 1 || !(bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
            return false;
        if (bytes == 0 || offset < data_start || uint64_t(offset) + bytes > size)
            return false;
        int64_t width = entry[0] ? entry[0] : 256;
        int64_t height = entry[1] ? entry[1] : 256;
        if (width * height > best_width * best_height) {
            best_width = width;
            best_height = height;
        }
    }
    return read_info_found(info, best_width, best_height);
}
