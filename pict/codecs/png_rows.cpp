#include <string.h>

#include "base/byte_order.h"
#include "pict/codecs/png.h"
#include "pict/codecs/png_filters.h"

// Image data: inflated a row at a time into the current row buffer, then
// unfiltered against the prior row and converted into pixels.

namespace {

struct cAdam7Pass {
    int32_t x_start, y_start, x_step, y_step;
};

const cAdam7Pass adam7[7] = {
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};

int32_t row_bytes(int64_t columns, int32_t bits_per_pixel)
{
    return int32_t((columns * bits_per_pixel + 7) / 8);
}

// Sample i of a row packed depth bits a sample from the high bit.
inline uint32_t packed_sample(const uint8_t* row, int32_t i, int32_t depth)
{
    if (depth == 8)
        return row[i];
    int64_t bit = int64_t(i) * depth;
    return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1u << depth) - 1);
}

template <class T>
void swap_rows(_typebuf<T>& a, _typebuf<T>& b)
{
    _typebuf<T> held(static_cast<_typebuf<T>&&>(a));
    a = static_cast<_typebuf<T>&&>(b);
    b = static_cast<_typebuf<T>&&>(held);
}

}  // namespace

bool cPictPNG::FeedImageData(const uint8_t* data, uint32_t length)
{
    if (rows_done)
        return true;
    if (!current_row.Data()) {
        // Sized for a full row; the rows of Adam7 passes are shorter.
        int32_t full = row_bytes(png_width, bits_per_pixel) + 1;
        prior_row.Resize(full);
        current_row.Resize(full);
        if (!prior_row.Data() || !current_row.Data())
            return false;
        if (interlace == 1) {
            if (!OpenPass())
                return true;
        } else {
            x_start = 0;
            x_step = 1;
            y_step = 1;
            pass_columns = int32_t(png_width);
            row_size = full;
            memset(prior_row.Data(), 0, size_t(full));
            y = 0;
        }
    }
    for (;;) {
        // With the chunk used up, what inflate still holds comes out too.
        uint32_t consumed = length;
        uint32_t produced = uint32_t(row_size - row_fill);
        if (!inflater.InflateStep(length ? data : nullptr, &consumed, current_row.Data() + row_fill, &produced))
            return false;
        data += consumed;
        length -= consumed;
        row_fill += int32_t(produced);
        if (row_fill == row_size) {
            if (!FinishRow())
                return false;
            if (rows_done)
                return true;
        } else if (consumed == 0 && produced == 0) {
            return true;
        }
    }
}

bool cPictPNG::OpenPass()
{
    while (++pass < 7) {
        const cAdam7Pass& p = adam7[pass];
        int64_t columns = int64_t(png_width) > p.x_start ? (int64_t(png_width) - p.x_start + p.x_step - 1) / p.x_step : 0;
        if (columns == 0 || uint32_t(p.y_start) >= png_height)
            continue;
        x_start = p.x_start;
        x_step = p.x_step;
        y_step = p.y_step;
        pass_columns = int32_t(columns);
        row_size = row_bytes(columns, bits_per_pixel) + 1;
        memset(prior_row.Data(), 0, size_t(row_size));
        y = p.y_start;
        row_fill = 0;
        return true;
    }
    rows_done = true;
    return false;
}

bool cPictPNG::StartImage()
{
    width = int32_t(png_width);
    height = int32_t(png_height);
    deep = bit_depth == 16;
    target_mode = BeginOutput();
    if (!target_mode && !(deep ? AllocDeepPixels(width, height) : AllocPixels32(width, height)))
        return false;
    // Rows that do not go straight into the own buffer pass through here.
    if (target_mode || interlace == 1) {
        if (deep)
            converted64.Resize(width);
        else
            converted32.Resize(width);
        if (!(deep ? (void*)converted64.Data() : (void*)converted32.Data()))
            return false;
    }
    image_started = true;
    return true;
}

bool cPictPNG::FinishRow()
{
    if (filter_method != 0)
        return false;
    if (!image_started && !StartImage())
        return false;
    UnfilterRow();
    if (!ConvertRow())
        return false;
    swap_rows(prior_row, current_row);
    row_fill = 0;
    y += y_step;
    if (y >= int64_t(png_height)) {
        if (interlace == 1)
            OpenPass();
        else
            rows_done = true;
    }
    return true;
}

void cPictPNG::UnfilterRow()
{
    png_unfilter_row(current_row[0], current_row.Data() + 1, prior_row.Data() + 1, row_size - 1,
                     (bits_per_pixel + 7) / 8);
}

bool cPictPNG::ConvertRow()
{
    const uint8_t* s = current_row.Data() + 1;
    const int32_t count = pass_columns;
    const bool direct = !target_mode && x_step == 1;
    const size_t memory_row = size_t(png_height - 1 - y);
    if (bit_depth == 16) {
        uint64_t* out = direct ? pixels64.Data() + memory_row * width : converted64.Data();
        const uint64_t opaque = uint64_t(0xFFFF) << 48;
        for (int32_t i = 0; i < count; ++i) {
            uint64_t pixel;
            switch (colour_type) {
            case 0:
                pixel = read_u16_be(s + 2 * i) * 0x0000000100010001ull | opaque;
                break;
            case 2:
                pixel = uint64_t(read_u16_be(s + 6 * i)) << 32 | uint64_t(read_u16_be(s + 6 * i + 2)) << 16 |
                        read_u16_be(s + 6 * i + 4) | opaque;
                break;
            case 4:
                pixel = read_u16_be(s + 4 * i) * 0x0000000100010001ull | uint64_t(read_u16_be(s + 4 * i + 2)) << 48;
                break;
            default:
                pixel = uint64_t(read_u16_be(s + 8 * i)) << 32 | uint64_t(read_u16_be(s + 8 * i + 2)) << 16 |
                        read_u16_be(s + 8 * i + 4) | uint64_t(read_u16_be(s + 8 * i + 6)) << 48;
                break;
            }
            if (has_key && (pixel & 0xFFFFFFFFFFFFull) == key64)
                pixel &= 0xFFFFFFFFFFFFull;
            out[i] = pixel;
        }
        return direct || PlaceRow(out, count);
    }
    uint32_t* out = direct ? pixels32.Data() + memory_row * width : converted32.Data();
    switch (colour_type) {
    case 0: {
        const uint32_t scale = 255 / ((1u << bit_depth) - 1);
        for (int32_t i = 0; i < count; ++i)
            out[i] = 0xFF000000u | packed_sample(s, i, bit_depth) * scale * 0x010101u;
        break;
    }
    case 2:
        for (int32_t i = 0; i < count; ++i, s += 3)
            out[i] = 0xFF000000u | uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
        break;
    case 3:
        for (int32_t i = 0; i < count; ++i) {
            uint32_t index = packed_sample(s, i, bit_depth);
            if (int32_t(index) >= palette_count)
                return false;
            out[i] = palette.Data()[index];
        }
        break;
    case 4:
        for (int32_t i = 0; i < count; ++i, s += 2)
            out[i] = uint32_t(s[0]) * 0x010101u | uint32_t(s[1]) << 24;
        break;
    default:
        // R, G, B, A read as one little-endian word: G and A stay, R and B
        // trade places.
        for (int32_t i = 0; i < count; ++i, s += 4) {
            const uint32_t v = read_u32_le(s);
            const uint32_t red_blue = v & 0x00FF00FFu;
            out[i] = (v & 0xFF00FF00u) | red_blue << 16 | red_blue >> 16;
        }
        break;
    }
    if (has_key && (colour_type == 0 || colour_type == 2))
        for (int32_t i = 0; i < count; ++i)
            if ((out[i] & 0x00FFFFFF) == key32)
                out[i] &= 0x00FFFFFF;
    return direct || PlaceRow(out, count);
}

template <class T>
bool cPictPNG::PlaceRow(const T* converted, int32_t count)
{
    const int32_t image_row = int32_t(png_height - 1 - y);
    for (int32_t i = 0; i < count; ++i) {
        int32_t x = x_start + i * x_step;
        if (target_mode) {
            if (sizeof(T) == 8)
                PutPixel64(x, image_row, uint64_t(converted[i]));
            else
                PutPixel32(x, image_row, uint32_t(converted[i]));
        } else if (sizeof(T) == 8) {
            pixels64.Data()[size_t(image_row) * width + x] = uint64_t(converted[i]);
        } else {
            pixels32.Data()[size_t(image_row) * width + x] = uint32_t(converted[i]);
        }
    }
    return true;
}
