#ifndef PICT_CODECS_JBIG2_GENERIC_H
#define PICT_CODECS_JBIG2_GENERIC_H

#include <stdint.h>

#include "base/buffers/typebuf.h"

// A bi-level bitmap: rows of (width + 7) / 8 bytes, the leftmost pixel in
// the top bit, 1 for black.
struct cJbig2Bitmap {
    int32_t width;
    int32_t height;
    int32_t stride;
    _typebuf<uint8_t> bits;

    cJbig2Bitmap() : width(0), height(0), stride(0) {}
    // width x height white pixels; false for a size past 2^27 bytes or a
    // refused allocation.
    bool Allocate(int64_t new_width, int64_t new_height);
    int Pixel(int64_t x, int64_t y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height ? bits[int32_t(y * stride + (x >> 3))] >> (7 - (x & 7)) & 1
                                                           : 0;
    }
};

// How a generic region is coded.
struct cJbig2Generic {
    int32_t template_number;  // 0 to 3
    bool typical_prediction;
    int8_t adaptive[8];  // x, y of up to four adaptive template pixels
};

// The adaptive-template bytes that follow the region flags: 8 for template
// 0, 2 for templates 1 to 3.
int32_t jbig2_adaptive_bytes(int32_t template_number);

// Decodes the arithmetic-coded generic region of data into bitmap, which
// holds the region's size (its first rows, when it holds fewer than the
// region). *budget, in pixels, falls by each row's width; false when it
// runs out or the data ends far too early.
bool jbig2_decode_generic(const cJbig2Generic& coding, const uint8_t* data, uint32_t length, cJbig2Bitmap& bitmap,
                          int64_t* budget);

#endif
