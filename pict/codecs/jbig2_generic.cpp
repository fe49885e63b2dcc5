#include "pict/codecs/jbig2_generic.h"

#include <string.h>

#include "pict/codecs/mq_decoder.h"

namespace {

// The context of a row's typical-prediction bit, per template: the context
// of a pixel whose neighbourhood has that pattern.
const uint32_t typical_context[4] = {0x9B25, 0x0795, 0x00E5, 0x0195};
const int32_t context_bits[4] = {16, 13, 10, 10};

// The context of pixel (x, y): its neighbours above and to its left, in the
// order the standard numbers them (bit 0 the nearest to the left).
uint32_t context_of(const cJbig2Bitmap& b, const cJbig2Generic& g, int64_t x, int64_t y)
{
    const int8_t* at = g.adaptive;
    auto p = [&](int64_t dx, int64_t dy) { return uint32_t(b.Pixel(x + dx, y + dy)); };
    switch (g.template_number) {
    case 0:
        return p(-1, 0) | p(-2, 0) << 1 | p(-3, 0) << 2 | p(-4, 0) << 3 | p(at[0], at[1]) << 4 | p(2, -1) << 5 |
               p(1, -1) << 6 | p(0, -1) << 7 | p(-1, -1) << 8 | p(-2, -1) << 9 | p(at[2], at[3]) << 10 |
               p(at[4], at[5]) << 11 | p(1, -2) << 12 | p(0, -2) << 13 | p(-1, -2) << 14 | p(at[6], at[7]) << 15;
    case 1:
        return p(-1, 0) | p(-2, 0) << 1 | p(-3, 0) << 2 | p(at[0], at[1]) << 3 | p(2, -1) << 4 | p(1, -1) << 5 |
               p(0, -1) << 6 | p(-1, -1) << 7 | p(-2, -1) << 8 | p(2, -2) << 9 | p(1, -2) << 10 | p(0, -2) << 11 |
               p(-1, -2) << 12;
    case 2:
        return p(-1, 0) | p(-2, 0) << 1 | p(at[0], at[1]) << 2 | p(1, -1) << 3 | p(0, -1) << 4 | p(-1, -1) << 5 |
               p(-2, -1) << 6 | p(1, -2) << 7 | p(0, -2) << 8 | p(-1, -2) << 9;
    default:
        return p(-1, 0) | p(-2, 0) << 1 | p(-3, 0) << 2 | p(-4, 0) << 3 | p(at[0], at[1]) << 4 | p(1, -1) << 5 |
               p(0, -1) << 6 | p(-1, -1) << 7 | p(-2, -1) << 8 | p(-3, -1) << 9;
    }
}

}  // namespace

bool cJbig2Bitmap::Allocate(int64_t new_width, int64_t new_height)
{
    const int64_t row = (new_width + 7) / 8;
    if (new_width < 1 || new_height < 1 || row * new_height > (int64_t(1) << 27))
        return false;
    bits.Resize(int32_t(row * new_height));
    if (!bits.Data())
        return false;
    memset(bits.Data(), 0, size_t(row * new_height));
    width = int32_t(new_width);
    height = int32_t(new_height);
    stride = int32_t(row);
    return true;
}

int32_t jbig2_adaptive_bytes(int32_t template_number)
{
    return template_number == 0 ? 8 : 2;
}

bool jbig2_decode_generic(const cJbig2Generic& coding, const uint8_t* data, uint32_t length, cJbig2Bitmap& bitmap,
                          int64_t* budget)
{
    if (coding.template_number < 0 || coding.template_number > 3)
        return false;
    _typebuf<cMQDecoder::Context> contexts(1 << context_bits[coding.template_number]);
    if (!contexts.Data())
        return false;
    memset(contexts.Data(), 0, size_t(contexts.Count()));
    cMQDecoder decoder;
    decoder.Start(data, length);
    int typical = 0;
    for (int32_t y = 0; y < bitmap.height; ++y) {
        *budget -= bitmap.width;
        if (*budget < 0 || decoder.Exhausted())
            return false;
        uint8_t* row = bitmap.bits.Data() + size_t(y) * bitmap.stride;
        if (coding.typical_prediction) {
            typical ^= decoder.Decode(contexts[int32_t(typical_context[coding.template_number])]);
            if (typical) {
                // The row repeats the one above (white above the first).
                if (y > 0)
                    memcpy(row, row - bitmap.stride, size_t(bitmap.stride));
                continue;
            }
        }
        for (int32_t x = 0; x < bitmap.width; ++x)
            if (decoder.Decode(contexts[int32_t(context_of(bitmap, coding, x, y))]))
                row[x >> 3] |= uint8_t(0x80 >> (x & 7));
    }
    return !decoder.Exhausted();
}
