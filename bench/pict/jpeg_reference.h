#ifndef BENCH_PICT_JPEG_REFERENCE_H
#define BENCH_PICT_JPEG_REFERENCE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "bench/pict/pixels.h"

// libjpeg-turbo 2.1.5 built without SIMD (plain) and with it (simd), the
// same calling code compiled against each.

// Decodes a JPEG in memory into 32-bit pixels B, G, R, A (alpha 0xFF),
// bottom row first, as the program keeps pixels; false on an error.
bool jpeg_reference_decode_plain(const std::vector<uint8_t>& file, cPixels& pixels);
bool jpeg_reference_decode_simd(const std::vector<uint8_t>& file, cPixels& pixels);

// Encodes R, G, B pixels (top row first) at the quality, the luma sampling
// factors over 1 x 1 chroma, baseline or progressive (plain library).
std::vector<uint8_t> jpeg_reference_encode(const std::vector<uint8_t>& rgb, int width, int height, int quality,
                                           int h, int v, bool progressive);

#endif
