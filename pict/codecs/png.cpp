#include "pict/codecs/png.h"

#include <string.h>

#include "base/crc32.h"
#include "base/byte_order.h"

namespace {

const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The standard bounds chunk lengths at 2^31 - 1; the chunk buffer holds the
// type too, and its size must still be a signed 32-bit count.
const uint32_t max_chunk_length = 0x7FFFFFFF - 4;

uint32_t chunk_type(const char* name)
{
    return read_u32_be(reinterpret_cast<const uint8_t*>(name));
}

// Samples per pixel of each colour type, 0 for none.
int32_t samples_of(uint8_t colour_type)
{
    static const uint8_t samples[7] = {1, 0, 3, 1, 2, 0, 4};
    return colour_type < 7 ? samples[colour_type] : 0;
}

bool depth_allowed(uint8_t colour_type, uint8_t depth)
{
    switch (colour_type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

}  // namespace

cPictPNG::cPictPNG()
    : position(0), png_width(0), png_height(0), bit_depth(0), colour_type(0), compression(0), filter_method(0),
      interlace(0), palette_count(0), has_key(0), key32(0xFFFFFFFF), key64(UINT64_MAX), target_mode(0),
      info_only(0), header_seen(false), image_started(false), rows_done(false), y(0), pass(-1), x_start(0),
      x_step(1), y_step(1), pass_columns(0), bits_per_pixel(0), row_size(0), row_fill(0)
{
}

bool cPictPNG::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    info_only = 1;
    if (!Decode(stream) || png_width == 0 || png_height == 0)
        return false;
    if (info) {
        info->width = int32_t(png_width);
        info->height = int32_t(png_height);
        info->has_preview = 0;
    }
    return true;
}

bool cPictPNG::Load(cFileIOTarget* stream)
{
    info_only = 0;
    return Decode(stream);
}

bool png_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictPNG probe;
    return probe.ReadInfo(stream, info);
}

bool cPictPNG::ReadHeader(const uint8_t* data, uint32_t length)
{
    if (header_seen || length < 13)
        return false;
    header_seen = true;
    png_width = read_u32_be(data);
    png_height = read_u32_be(data + 4);
    bit_depth = data[8];
    colour_type = data[9];
    compression = data[10];
    filter_method = data[11];
    interlace = data[12];
    // A failed field leaves the position at that field.
    uint64_t chunk_start = position;
    position = chunk_start + 8;
    if (png_width == 0 || png_width > uint32_t(INT32_MAX))
        return false;
    position = chunk_start + 12;
    if (png_height == 0 || png_height > uint32_t(INT32_MAX) || uint64_t(png_width) * png_height > pict_max_pixels)
        return false;
    position = chunk_start + 16;
    if (!depth_allowed(colour_type, bit_depth))
        return false;
    bits_per_pixel = bit_depth * samples_of(colour_type);
    // Rows of 8 bytes a pixel must still be counted in 32 bits.
    if ((uint64_t(png_width) * bits_per_pixel + 7) / 8 + 1 > uint64_t(INT32_MAX))
        return false;
    position = chunk_start + 20;
    if (interlace != 0 && interlace != 1 && interlace != 255)
        return false;
    position = chunk_start;
    return true;
}

bool cPictPNG::ReadPalette(const uint8_t* data, uint32_t length)
{
    uint32_t count = length / 3;
    if (length == 0 || length % 3 != 0 || count > 256 || (bit_depth < 16 && count > (1u << bit_depth)))
        return false;
    if (palette.Count() != 256)
        palette.Resize(256);
    if (!palette.Data())
        return false;
    memset(palette.Data(), 0, 256 * sizeof(uint32_t));
    for (uint32_t i = 0; i < count; ++i, data += 3)
        palette[int32_t(i)] = 0xFF000000u | uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2];
    palette_count = int32_t(count);
    return true;
}

bool cPictPNG::ReadTransparency(const uint8_t* data, uint32_t length)
{
    if (colour_type == 3) {
        if (length > uint32_t(palette_count))
            return false;
        for (uint32_t i = 0; i < length; ++i)
            palette[int32_t(i)] = (palette[int32_t(i)] & 0x00FFFFFF) | uint32_t(data[i]) << 24;
        return true;
    }
    int32_t samples = colour_type == 0 ? 1 : colour_type == 2 ? 3 : 0;
    if (samples == 0 || length != uint32_t(2 * samples))
        return false;
    uint16_t value[3];
    for (int32_t s = 0; s < 3; ++s)
        value[s] = read_u16_be(data + 2 * (samples == 1 ? 0 : s));
    if (bit_depth == 16) {
        key64 = uint64_t(value[0]) << 32 | uint64_t(value[1]) << 16 | value[2];
    } else {
        uint32_t top = (1u << bit_depth) - 1;
        key32 = 0;
        for (int32_t s = 0; s < 3; ++s) {
            if (value[s] > top)
                return false;
            key32 |= (value[s] * 255 / top) << (16 - 8 * s);
        }
    }
    has_key = 1;
    return true;
}

bool cPictPNG::Decode(cFileIOTarget* stream)
{
    position = 0;
    if (!stream || !stream->IsOpen())
        return false;
    FreePixels();
    png_width = png_height = 0;
    bit_depth = colour_type = compression = filter_method = interlace = 0;
    has_key = 0;
    key32 = 0xFFFFFFFF;
    key64 = UINT64_MAX;
    target_mode = 0;
    header_seen = image_started = rows_done = false;
    y = 0;
    pass = -1;
    row_fill = 0;
    palette.Clear();
    palette_count = 0;
    prior_row.Clear();
    current_row.Clear();
    if (!inflater.Reset())
        return false;

    uint8_t head[8];
    if (!stream->ReadExact(head, 8) || memcmp(head, signature, 8) != 0)
        return false;
    position = 8;
    const uint64_t stream_size = stream->GetSize();
    _typebuf<uint8_t> chunk;  // type, then data
    bool done = false;
    for (;;) {
        if (!stream->ReadExact(head, 8))
            break;
        uint32_t length = read_u32_be(head);
        if (length > max_chunk_length || position + 12 + length > stream_size)
            break;
        if (uint32_t(chunk.Count()) < length + 4) {
            chunk.Resize(int32_t(length + 4));
            if (!chunk.Data())
                break;
        }
        memcpy(chunk.Data(), head + 4, 4);
        uint8_t crc[4];
        if ((length && !stream->ReadExact(chunk.Data() + 4, length)) || !stream->ReadExact(crc, 4) ||
            crc32_compute(chunk.Data(), int32_t(length + 4)) != read_u32_be(crc))
            break;
        const uint32_t type = read_u32_be(chunk.Data());
        const uint8_t* data = chunk.Data() + 4;
        // IHDR comes first and only once; everything else only after it.
        if (!header_seen && type != chunk_type("IHDR"))
            break;
        bool accepted = true;
        if (type == chunk_type("IHDR"))
            accepted = ReadHeader(data, length);
        else if (type == chunk_type("PLTE"))
            accepted = ReadPalette(data, length);
        else if (type == chunk_type("tRNS"))
            accepted = ReadTransparency(data, length);
        else if (type == chunk_type("IDAT"))
            accepted = FeedImageData(data, length);
        else if (type == chunk_type("IEND"))
            accepted = length == 0 && rows_done;
        if (!accepted)
            break;
        position += uint64_t(length) + 12;
        if (type == chunk_type("IEND") || (info_only && header_seen)) {
            done = true;
            break;
        }
    }
    if (target_mode)
        FinishOutput();
    return done;
}
