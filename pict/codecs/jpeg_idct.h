#ifndef PICT_CODECS_JPEG_IDCT_H
#define PICT_CODECS_JPEG_IDCT_H

#include <stdint.h>

// The inverse DCT of one block of dequantised coefficients (natural order)
// into 8 x 8 samples at out, rows stride samples apart: the separable
// integer transform of 13-bit constants (columns first, then rows) whose
// results decoders of the reference family give, rounded and clamped to the
// sample range. The block is left as it was. Arithmetic wraps on crafted
// coefficients instead of overflowing (the file is built with -fwrapv).
void jpeg_idct8(const int32_t* block, uint8_t* out, int32_t stride);
void jpeg_idct12(const int32_t* block, uint16_t* out, int32_t stride);

// A block whose only coefficient is the dequantised DC value.
void jpeg_idct8_dc(int32_t dc, uint8_t* out, int32_t stride);
void jpeg_idct12_dc(int32_t dc, uint16_t* out, int32_t stride);

#endif
