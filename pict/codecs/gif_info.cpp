#include <string.h>

#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

bool gif_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t header[13];
    if (!stream || !stream->ReadExact(header, sizeof header))
        return false;
    if (memcmp(header, "GIF87a", 6) != 0 && memcmp(header, "GIF89a", 6) != 0)
        return false;
    return read_info_found(info, read_u16_le(header + 6), read_u16_le(header + 8));
}
