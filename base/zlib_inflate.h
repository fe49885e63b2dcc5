#ifndef BASE_ZLIB_INFLATE_H
#define BASE_ZLIB_INFLATE_H

#include <stdint.h>
#include <zlib.h>

// Zeroes z and sets it up to inflate zlib-wrapped data (header and trailer)
// with the default 15-bit window and zlib's own allocator. A failure shows
// in the next inflateReset or inflate on z.
void zlib_inflate_init(z_stream& z);

// Frees what zlib_inflate_init set up (nothing for a zeroed z) and zeroes z.
void zlib_inflate_release(z_stream& z);

// Inflates input, one zlib stream, into output in a single call: the data's
// inflated size must be known. Answers output_size when the stream ends
// (its checksum included) exactly where the output does, 0 when it is
// damaged, cut short, ends sooner or needs more room, or zlib cannot start.
uint32_t inflate_buffer(const void* input, uint32_t input_size, void* output, uint32_t output_size);

#endif
