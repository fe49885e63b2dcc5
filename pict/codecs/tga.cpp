#include "pict/codecs/tga.h"

#include <string.h>

#include "base/byte_order.h"
#include "base/mem_buffered_io.h"
#include "pict/codecs/read_info.h"

namespace {

// Header fields.
const int id_length = 0;
const int map_type = 1;
const int image_type = 2;
const int map_first = 3;
const int map_length = 5;
const int map_entry_bits = 7;
const int x_origin = 8;
const int y_origin = 10;
const int image_width = 12;
const int image_height = 14;
const int pixel_depth = 16;
const int descriptor = 17;

const uint8_t right_to_left = 0x10;
const uint8_t top_first = 0x20;
const uint8_t interleaving = 0xC0;

bool colour_mapped(uint8_t type)
{
    return type == 1 || type == 9;
}

bool run_length(uint8_t type)
{
    return type >= 9;
}

// 5 bits a channel, bits 10-14 red; bit 15 carries nothing.
uint32_t pixel_from_16(uint16_t value)
{
    uint32_t r = uint32_t((value >> 10 & 31) * 8.2258);
    uint32_t g = uint32_t((value >> 5 & 31) * 8.2258);
    uint32_t b = uint32_t((value & 31) * 8.2258);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// A stored colour of 2 bytes, or of 3 or 4 (B, G, R and alpha).
uint32_t pixel_from_value(const uint8_t* value, int32_t size)
{
    if (size == 2)
        return pixel_from_16(read_u16_le(value));
    return uint32_t(value[2]) << 16 | uint32_t(value[1]) << 8 | value[0] |
           (size == 4 ? uint32_t(value[3]) << 24 : 0xFF000000u);
}

// The stored values of the image, row by row, from plain rows or from
// run-length packets that run on across rows.
class cTgaValues {
public:
    cTgaValues(cFileIOTarget* stream, int32_t value_size, bool packets)
        : stream(stream), value_size(value_size), packets(packets), left(0), repeat(false)
    {
    }

    bool NextRow(uint8_t* row, int32_t count)
    {
        if (!packets)
            return stream->ReadExact(row, uint32_t(count * value_size));
        for (int32_t i = 0; i < count;) {
            if (left == 0) {
                uint8_t head;
                if (!stream->ReadExact(&head, 1))
                    return false;
                left = (head & 0x7F) + 1;
                repeat = (head & 0x80) != 0;
                if (repeat && !stream->ReadExact(value, uint32_t(value_size)))
                    return false;
            }
            int32_t take = left < count - i ? left : count - i;
            uint8_t* out = row + size_t(i) * value_size;
            if (repeat) {
                for (int32_t k = 0; k < take; ++k)
                    memcpy(out + size_t(k) * value_size, value, size_t(value_size));
            } else if (!stream->ReadExact(out, uint32_t(take * value_size))) {
                return false;
            }
            left -= take;
            i += take;
        }
        return true;
    }

private:
    cFileIOTarget* stream;
    int32_t value_size;
    bool packets;
    int32_t left;  // values still due from the current packet
    bool repeat;
    uint8_t value[4];
};

}  // namespace

cPictTGA::cPictTGA() : palette_count(0), any_alpha(0)
{
    memset(header, 0, sizeof header);
}

bool tga_read_info(cFileIOTarget* stream, cPictInfo* info)
{
    cPictTGA probe;
    return probe.ReadInfo(stream, info);
}

bool cPictTGA::ReadHeader(cFileIOTarget* stream)
{
    if (!stream || !stream->ReadExact(header, sizeof header))
        return false;
    const uint8_t type = header[image_type];
    const bool map_fields = header[map_type] != 0 || read_u16_le(header + map_length) != 0 ||
                            header[map_entry_bits] != 0;
    if (colour_mapped(type)) {
        if (header[map_type] != 1 || read_u16_le(header + map_length) == 0 || header[map_entry_bits] == 0)
            return false;
    } else if (type == 2 || type == 3 || type == 10 || type == 11) {
        if (map_fields)
            return false;
    } else {
        return false;
    }
    const uint8_t depth = header[pixel_depth];
    return read_u16_le(header + x_origin) == 0 && read_u16_le(header + y_origin) == 0 &&
           read_u16_le(header + image_width) != 0 && read_u16_le(header + image_height) != 0 &&
           (depth == 8 || depth == 16 || depth == 24 || depth == 32);
}

bool cPictTGA::ReadInfo(cFileIOTarget* stream, cPictInfo* info)
{
    return ReadHeader(stream) &&
           read_info_found(info, read_u16_le(header + image_width), read_u16_le(header + image_height));
}

bool cPictTGA::ReadPalette(cFileIOTarget* stream)
{
    const int32_t count = read_u16_le(header + map_length);
    const uint8_t bits = header[map_entry_bits];
    const int32_t entry_size = bits / 8;
    if (header[pixel_depth] != 8 || (bits != 16 && bits != 24 && bits != 32))
        return false;
    _typebuf<uint8_t> entries(count * entry_size);
    palette.Resize(count);
    if (!entries.Data() || !palette.Data() || !stream->ReadExact(entries.Data(), uint32_t(count * entry_size)))
        return false;
    bool alpha_seen = false;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* e = entries.Data() + size_t(i) * entry_size;
        palette[i] = pixel_from_value(e, entry_size);
        alpha_seen = alpha_seen || (entry_size == 4 && e[3] != 0);
    }
    // Writers that leave the alpha bits unused leave them all 0.
    if (entry_size == 4 && !alpha_seen)
        for (int32_t i = 0; i < count; ++i)
            palette[i] |= 0xFF000000u;
    palette_count = count;
    return true;
}

bool cPictTGA::ConvertRow(const uint8_t* values, uint32_t* row)
{
    const uint8_t type = header[image_type];
    const int32_t depth = header[pixel_depth];
    // The map's stored entries stand for the indices from its first entry on.
    const int32_t first = read_u16_le(header + map_first);
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* v = values + size_t(x) * (depth / 8);
        if (colour_mapped(type)) {
            int32_t index = int32_t(v[0]) - first;
            if (index < 0 || index >= palette_count)
                return false;
            row[x] = palette[index];
        } else if (type == 3 || type == 11) {
            // Grey, and grey with alpha in a second byte.
            row[x] = v[0] * 0x010101u | (depth == 16 ? uint32_t(v[1]) << 24 : 0xFF000000u);
            any_alpha |= depth == 16 && v[1] != 0;
        } else {
            row[x] = pixel_from_value(v, depth / 8);
            any_alpha |= depth == 32 && v[3] != 0;
        }
    }
    return true;
}

bool cPictTGA::DecodePixels(cFileIOTarget* stream)
{
    const uint8_t type = header[image_type];
    const int32_t value_size = header[pixel_depth] / 8;
    const bool alpha_channel = header[pixel_depth] == 32 || ((type == 3 || type == 11) && value_size == 2);
    _typebuf<uint8_t> values(width * value_size);
    _typebuf<uint32_t> row(width);
    if (!values.Data() || !row.Data() || !BeginPixels(width, height, false))
        return false;
    const bool mirrored = (header[descriptor] & right_to_left) != 0;
    const bool from_top = (header[descriptor] & top_first) != 0;
    cTgaValues source(stream, value_size, run_length(type));
    any_alpha = 0;
    bool decoded = true;
    for (int32_t r = 0; r < height && decoded; ++r) {
        decoded = source.NextRow(values.Data(), width) && ConvertRow(values.Data(), row.Data());
        const int32_t y = from_top ? height - 1 - r : r;
        for (int32_t x = 0; x < width && decoded; ++x)
            StorePixel32(mirrored ? width - 1 - x : x, y, row[x]);
    }
    // Writers that leave the alpha bits unused leave them all 0.
    if (decoded && alpha_channel && !any_alpha) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                if (output)
                    PutChannel(x, y, 3, 0xFF);
                else
                    pixels32[y * width + x] |= 0xFF000000u;
            }
    }
    if (output)
        FinishOutput();
    return decoded;
}

bool cPictTGA::Load(cFileIOTarget* stream)
{
    FreePixels();
    palette.Clear();
    palette_count = 0;
    // Run-length packets are read a byte at a time: through a read-ahead
    // window.
    cMemBufferedIO buffered;
    if (!ReadHeader(stream) || (header[descriptor] & interleaving) != 0 ||
        !buffered.Attach(stream) || !buffered.Seek(sizeof header + header[id_length]))
        return false;
    const uint8_t type = header[image_type];
    const int32_t depth = header[pixel_depth];
    if ((type == 2 || type == 10) && depth == 8)
        return false;
    if ((type == 3 || type == 11) && depth != 8 && depth != 16)
        return false;
    if (colour_mapped(type) && !ReadPalette(&buffered))
        return false;
    width = read_u16_le(header + image_width);
    height = read_u16_le(header + image_height);
    return DecodePixels(&buffered);
}
