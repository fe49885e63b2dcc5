#ifndef BASE_ZLIB_DEFLATE_H
#define BASE_ZLIB_DEFLATE_H

#include <stdint.h>
#include <zlib.h>

#include "base/buffers/typebuf.h"

// Zeroes z and sets it up to write zlib-wrapped data (header and trailer)
// with a 15-bit window and memory level 8 at level 0-9. False when zlib
// refuses; z is then zeroed and needs no deflateEnd.
bool deflate_init_stream(z_stream& z, int level);

// The whole input as one complete zlib stream at level, in an output
// sized to the compressed bytes. The room is zlib's bound for the input,
// so a single finishing call always completes the stream. False (output
// empty) when zlib fails or memory runs out.
bool deflate_buffer(const void* input, uint32_t size, int level, _typebuf<uint8_t>& output);

#endif
