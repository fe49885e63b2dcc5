#include "gui/image_buffer.h"

#include <string.h>

// Resampling positions and weights are kept as exact fractions of the
// target size (numerators over target width, or over both target sizes), so
// every result is the exact weighted mean with its fraction dropped: equal
// neighbours interpolate to themselves and no result depends on the
// floating-point unit's precision.

namespace {

// The finished block replaces what out held; out may have held the source.
bool hand_over(_typebuf<uint32_t>& block, _typebuf<uint32_t>& out)
{
    out = static_cast<_typebuf<uint32_t>&&>(block);
    return true;
}

uint32_t channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFF;
}

// Weighted sum of two pixels, channel by channel, divided by divisor.
uint32_t blend_two(uint32_t a, int64_t weight_a, uint32_t b, int64_t weight_b, int64_t divisor)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int64_t sum = int64_t(channel(a, shift)) * weight_a + int64_t(channel(b, shift)) * weight_b;
        result |= uint32_t(sum / divisor) << shift;
    }
    return result;
}

// Linear interpolation between pixel centres. Target pixel k sits at
// p = k * source / target; with i = trunc(p) and f = p - i, f is held as
// remainder / target.
void enlarge_row(const uint32_t* source, int32_t source_width, int32_t target_width, uint32_t* target)
{
    const int64_t t = target_width;
    for (int64_t k = 0; k < t; ++k) {
        int64_t position = k * source_width;
        int64_t i = position / t;
        int64_t twice_remainder = 2 * (position % t);
        uint32_t pixel = source[i];
        if (twice_remainder < t && i >= 1)
            pixel = blend_two(source[i], twice_remainder + t, source[i - 1], t - twice_remainder, 2 * t);
        else if (twice_remainder > t && i < source_width - 1)
            pixel = blend_two(source[i], 3 * t - twice_remainder, source[i + 1], twice_remainder - t, 2 * t);
        target[k] = pixel;
    }
}

// Box filter: target pixel k covers [k * step, (k + 1) * step) of the row,
// step = source / target; partly covered pixels count with the covered part.
// Weights are in units of 1 / target, so they always sum to source.
void shrink_row(const uint32_t* source, int32_t source_width, int32_t target_width, uint32_t* target)
{
    const int64_t t = target_width;
    for (int64_t k = 0; k < t; ++k) {
        int64_t start = k * source_width;
        int64_t end = start + source_width;
        int64_t sums[4] = {0, 0, 0, 0};
        int64_t total = 0;
        for (int64_t i = start / t; i < source_width && i * t < end; ++i) {
            int64_t from = i * t > start ? i * t : start;
            int64_t to = (i + 1) * t < end ? (i + 1) * t : end;
            int64_t weight = to - from;
            for (int c = 0; c < 4; ++c)
                sums[c] += int64_t(channel(source[i], 8 * c)) * weight;
            total += weight;
        }
        uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c)
            pixel |= uint32_t(sums[c] / total) << (8 * c);
        target[k] = pixel;
    }
}

// A quarter turn of rows of row_length pixels: to the left the last column
// becomes the first row, to the right the first column becomes the first
// row read from the top (the last stored row).
bool rotate(const uint32_t* source, int32_t row_length, int32_t rows, bool left, _typebuf<uint32_t>& out)
{
    if (!source || row_length <= 0 || rows <= 0)
        return false;
    _typebuf<uint32_t> block;
    if (!cImageBuffer::AllocateBlock(int64_t(row_length) * rows, block))
        return false;
    uint32_t* target = block.Data();
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < row_length; ++x) {
            size_t to = left ? size_t(row_length - 1 - x) * rows + y : size_t(x) * rows + (rows - 1 - y);
            target[to] = source[size_t(y) * row_length + x];
        }
    return hand_over(block, out);
}

bool usable(const cImageBuffer* image)
{
    return image && image->IsConsistent();
}

}  // namespace

bool cImageBuffer::ResampleRows(const uint32_t* source, int32_t source_width, int32_t rows, int32_t target_width,
                                _typebuf<uint32_t>& out)
{
    if (!source || source_width <= 0 || rows <= 0 || target_width <= 0)
        return false;
    _typebuf<uint32_t> block;
    if (!AllocateBlock(int64_t(rows) * target_width, block))
        return false;
    for (int32_t row = 0; row < rows; ++row) {
        const uint32_t* from = source + size_t(row) * source_width;
        uint32_t* to = block.Data() + size_t(row) * target_width;
        if (source_width == target_width)
            memcpy(to, from, size_t(target_width) * sizeof(uint32_t));
        else if (source_width < target_width)
            enlarge_row(from, source_width, target_width, to);
        else
            shrink_row(from, source_width, target_width, to);
    }
    return hand_over(block, out);
}

bool cImageBuffer::RotateLeft(const uint32_t* source, int32_t source_width, int32_t source_height,
                              _typebuf<uint32_t>& out)
{
    return rotate(source, source_width, source_height, true, out);
}

bool cImageBuffer::RotateRight(const uint32_t* source, int32_t row_length, int32_t rows, _typebuf<uint32_t>& out)
{
    return rotate(source, row_length, rows, false, out);
}

// The vertical pass runs along memory too: the rows are turned into columns,
// resampled as rows, and turned back.
bool cImageBuffer::ScaleLinear(const cImageBuffer* image, int32_t target_width, int32_t target_height,
                               cImageBuffer* out)
{
    if (!out || !usable(image) || target_width <= 0 || target_height <= 0)
        return false;
    const int32_t width = image->width;
    const int32_t height = image->height;
    if (width == target_width && height == target_height)
        return out == image || out->SetPixels(image->GetPixels(), width, height, false);
    _typebuf<uint32_t> rows;
    _typebuf<uint32_t> turned;
    if (height == target_height) {
        if (!ResampleRows(image->GetPixels(), width, height, target_width, rows))
            return false;
        return out->Attach(rows, target_width, target_height);
    }
    const uint32_t* columns_source = image->GetPixels();
    if (width != target_width) {
        if (!ResampleRows(image->GetPixels(), width, height, target_width, rows))
            return false;
        columns_source = rows.Data();
    }
    if (!RotateLeft(columns_source, target_width, height, turned) ||
        !ResampleRows(turned.Data(), height, target_width, target_height, rows) ||
        !RotateRight(rows.Data(), target_height, target_width, turned))
        return false;
    return out->Attach(turned, target_width, target_height);
}

// Each target pixel averages the source over its own rectangle. Overlaps are
// counted in units of 1 / target width across and 1 / target height down, so
// a cell's overlaps sum to width x height of the source.
bool cImageBuffer::ScaleArea(const cImageBuffer* image, int32_t target_width, int32_t target_height,
                             cImageBuffer* out)
{
    if (!out || !usable(image) || target_width <= 0 || target_height <= 0)
        return false;
    const int64_t width = image->width;
    const int64_t height = image->height;
    if (width == target_width && height == target_height)
        return out == image || out->SetPixels(image->GetPixels(), image->width, image->height, false);
    _typebuf<uint32_t> block;
    if (!AllocateBlock(int64_t(target_width) * target_height, block))
        return false;
    const uint32_t* source = image->GetPixels();
    const int64_t tw = target_width;
    const int64_t th = target_height;
    for (int64_t ty = 0; ty < th; ++ty) {
        const int64_t top = ty * height;
        const int64_t bottom = top + height;
        for (int64_t tx = 0; tx < tw; ++tx) {
            const int64_t left = tx * width;
            const int64_t right = left + width;
            int64_t sums[4] = {0, 0, 0, 0};
            for (int64_t y = top / th; y < height && y * th < bottom; ++y) {
                int64_t down = ((y + 1) * th < bottom ? (y + 1) * th : bottom) - (y * th > top ? y * th : top);
                for (int64_t x = left / tw; x < width && x * tw < right; ++x) {
                    int64_t across = ((x + 1) * tw < right ? (x + 1) * tw : right) - (x * tw > left ? x * tw : left);
                    uint32_t pixel = source[y * width + x];
                    for (int c = 0; c < 4; ++c)
                        sums[c] += int64_t(channel(pixel, 8 * c)) * across * down;
                }
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= uint32_t(sums[c] / (width * height)) << (8 * c);
            block.Data()[ty * tw + tx] = pixel;
        }
    }
    return out->Attach(block, target_width, target_height);
}

bool cImageBuffer::Scale(int32_t mode, const cImageBuffer* image, int32_t target_width, int32_t target_height,
                         cImageBuffer* out)
{
    if (mode == 0)
        return ScaleLinear(image, target_width, target_height, out);
    if (mode == 1)
        return ScaleArea(image, target_width, target_height, out);
    return false;
}
