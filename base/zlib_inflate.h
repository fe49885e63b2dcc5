#ifndef BASE_ZLIB_INFLATE_H
#define BASE_ZLIB_INFLATE_H

#include <zlib.h>

// Zeroes z and sets it up to inflate zlib-wrapped data (header and trailer)
// with the default 15-bit window and zlib's own allocator. A failure shows
// in the next inflateReset or inflate on z.
void zlib_inflate_init(z_stream& z);

// Frees what zlib_inflate_init set up (nothing for a zeroed z) and zeroes z.
void zlib_inflate_release(z_stream& z);

#endif
