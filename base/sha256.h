#ifndef BASE_SHA256_H
#define BASE_SHA256_H

#include <stddef.h>
#include <stdint.h>

#include "base/sha256_blocks.h"

// SHA-256 of FIPS 180-4. The digest is 32 bytes, the chaining values written
// big-endian.

// Hashing state. The byte count is split in two 32-bit halves, low first;
// the block buffer holds count % 64 bytes not yet compressed; compress is
// the routine that hashes whole blocks.
struct cSha256Context {
    uint32_t count_low;
    uint32_t count_high;
    uint32_t state[8];
    uint8_t block[64];
    cSha256Blocks compress;
};

// Count 0 and the standard initial chaining values; callers that hash a
// stream start here, then update and finish. Whole blocks go through the
// processor's SHA instructions when it has them.
void sha256_init(cSha256Context& context);
// The same with the given block routine (tests compare the two).
void sha256_init_with(cSha256Context& context, cSha256Blocks compress);

void sha256_update(cSha256Context& context, const void* data, size_t length);

// Pads, appends the bit count and writes the digest. The context is spent.
void sha256_final(cSha256Context& context, uint8_t out[32]);

// One-shot. A length of -1 hashes up to the NUL (not included); any other
// negative length, or a null pointer, hashes nothing.
void sha256_digest(uint8_t out[32], const void* data, int32_t length);

#endif
