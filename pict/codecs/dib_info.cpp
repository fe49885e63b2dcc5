#include "base/byte_order.h"
#include "pict/codecs/read_info.h"

namespace {

// The sizes the information header has had: core, info, the two
// bit-field versions, OS/2's second version, versions 4 and 5.
bool known_header_size(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool read_info_header(cFileIOTarget* stream, cPictInfo* info, uint32_t* header_size)
{
    uint8_t header[124];
    if (!stream || !stream->ReadExact(header, 4))
        return false;
    uint32_t size = read_u32_le(header);
    if (!known_header_size(size) || !stream->ReadExact(header + 4, size - 4))
        return false;
    *header_size = size;
    if (size == 12) {
        uint16_t bits = read_u16_le(header + 10);
        if (read_u16_le(header + 8) != 1 || !(bits == 1 || bits == 4 || bits == 8 || bits == 24))
            return false;
        return read_info_found(info, read_u16_le(header + 4), read_u16_le(header + 6));
    }
    int32_t width = int32_t(read_u32_le(header + 4));
    int32_t height = int32_t(read_u32_le(header + 8));
    uint16_t bits = read_u16_le(header + 14);
    uint32_t compression = read_u32_le(header + 16);
    uint32_t colours_used = read_u32_le(header + 32);
    if (read_u16_le(header + 12) != 1 || height == INT32_MIN)
        return false;
    bool packed_bits = bits == 1 || bits == 4 || bits == 8;
    if (!(packed_bits || bits == 16 || bits == 24 || bits == 32))
        return false;
    if (packed_bits && colours_used > (1u << bits))
        return false;
    // Run-length rows are stored bottom-up only; bit fields need 16 or 32
    // bits a pixel.
    bool allowed;
    switch (compression) {
    case 0: allowed = true; break;
    case 1: allowed = bits == 8 && height > 0; break;
    case 2: allowed = bits == 4 && height > 0; break;
    case 3:
    case 6: allowed = (bits == 16 || bits == 32) && size != 64; break;
    default: allowed = false; break;
    }
    return allowed && read_info_found(info, width, height < 0 ? -int64_t(height) : height);
}

}  // namespace

bool dib_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint32_t header_size;
    return read_info_header(stream, info, &header_size);
}

bool bmp_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    uint8_t file_header[14];
    if (!stream || !stream->ReadExact(file_header, sizeof file_header))
        return false;
    uint32_t file_size = read_u32_le(file_header + 2);
    uint32_t pixel_offset = read_u32_le(file_header + 10);
    if (read_u16_le(file_header) != 0x4D42 || read_u32_le(file_header + 6) != 0 || file_size < pixel_offset)
        return false;
    // The pixels follow the file header and the information header at the
    // least (26 bytes with a core header).
    uint32_t header_size;
    return pixel_offset >= 26 && read_info_header(stream, info, &header_size) &&
           pixel_offset >= 14 + header_size;
}
