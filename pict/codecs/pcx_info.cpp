#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

bool pcx_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t header[128];
    if (!stream || !stream->ReadExact(header, sizeof header))
        return false;
    uint8_t version = header[1];
    uint8_t bits = header[3];
    uint8_t planes = header[65];
    if (header[0] != 0x0A || !(version == 0 || (version >= 2 && version <= 5)) || header[2] != 1)
        return false;
    if (!(bits == 1 || bits == 2 || bits == 4 || bits == 8) || planes < 1 || planes > 4)
        return false;
    // Several planes only as 1-bit planes or as 8-bit colour channels.
    if (planes > 1 && bits != 1 && !(bits == 8 && planes >= 3))
        return false;
    int64_t width = int64_t(read_u16_le(header + 8)) - read_u16_le(header + 4) + 1;
    int64_t height = int64_t(read_u16_le(header + 10)) - read_u16_le(header + 6) + 1;
    uint16_t bytes_per_line = read_u16_le(header + 66);
    if (width < 1 || bytes_per_line < (width * bits + 7) / 8)
        return false;
    return read_info_found(info, width, height);
}
