#include "pict/icon_image.h"

#include <string.h>

#include "base/buf_wrapper_io.h"
#include "base/byte_order.h"
#include "pict/codecs/png.h"

namespace {

bool decode_png(const uint8_t* data, uint32_t size, cPictBase* picture)
{
    cBufWrapperIO stream(const_cast<uint8_t*>(data), int32_t(size), false);
    cPictPNG png;
    _typebuf<uint32_t> pixels;
    if (!png.Load(&stream) || !png.DetachPixels32(pixels))
        return false;
    picture->FreePixels();
    picture->deep = 0;
    picture->width = int32_t(png.png_width);
    picture->height = int32_t(png.png_height);
    picture->pixels32 = static_cast<_typebuf<uint32_t>&&>(pixels);
    return true;
}

uint32_t sample_of(const uint8_t* row, int32_t x, int32_t bits)
{
    int64_t bit = int64_t(x) * bits;
    return (row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
}

bool decode_bitmap(const uint8_t* data, uint32_t size, cPictBase* picture)
{
    if (size < 40)
        return false;
    const uint32_t header_size = read_u32_le(data);
    const int32_t width = int32_t(read_u32_le(data + 4));
    const int32_t both_heights = int32_t(read_u32_le(data + 8));
    const uint16_t bits = read_u16_le(data + 14);
    const uint32_t colours_used = read_u32_le(data + 32);
    if (header_size < 40 || header_size > size || read_u16_le(data + 12) != 1 || read_u32_le(data + 16) != 0)
        return false;
    if (!(bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32))
        return false;
    if (width < 1 || both_heights < 2 || both_heights % 2 != 0)
        return false;
    const int32_t height = both_heights / 2;
    const uint32_t colours = bits <= 8 ? (colours_used ? colours_used : 1u << bits) : 0;
    if (bits <= 8 && colours > (1u << bits))
        return false;
    const uint64_t colour_stride = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t mask_stride = (uint64_t(width) + 31) / 32 * 4;
    const uint64_t colour_start = uint64_t(header_size) + uint64_t(colours) * 4;
    const uint64_t mask_start = colour_start + colour_stride * height;
    // A 32-bit image carries its own alpha; its mask may be left out.
    const bool has_mask = mask_start + mask_stride * height <= size;
    if (mask_start > size || (!has_mask && bits != 32))
        return false;
    if (!picture->AllocPixels32(width, height))
        return false;
    const uint8_t* table = data + header_size;
    uint32_t* pixels = picture->pixels32.Data();
    bool any_alpha = false;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = data + colour_start + colour_stride * y;
        uint32_t* out = pixels + size_t(y) * width;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel;
            if (bits == 32) {
                pixel = read_u32_le(row + 4 * x);
                any_alpha = any_alpha || (pixel >> 24) != 0;
            } else if (bits == 24) {
                pixel = 0xFF000000u | row[3 * x] | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
            } else {
                uint32_t index = sample_of(row, x, bits);
                pixel = index < colours ? 0xFF000000u | (read_u32_le(table + 4 * index) & 0xFFFFFF) : 0xFF000000u;
            }
            out[x] = pixel;
        }
    }
    // Without alpha of its own, the mask says which pixels are transparent.
    if (bits == 32 && any_alpha)
        return true;
    if (!has_mask)
        return true;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* mask = data + mask_start + mask_stride * y;
        uint32_t* out = pixels + size_t(y) * width;
        for (int32_t x = 0; x < width; ++x)
            out[x] = sample_of(mask, x, 1) ? 0 : out[x] | 0xFF000000u;
    }
    return true;
}

}  // namespace

bool icon_image_decode(const uint8_t* data, uint32_t size, cPictBase* picture)
{
    static const uint8_t png_signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (!data || !picture || size > uint32_t(INT32_MAX))
        return false;
    if (size >= 8 && memcmp(data, png_signature, 8) == 0)
        return decode_png(data, size, picture);
    return decode_bitmap(data, size, picture);
}
