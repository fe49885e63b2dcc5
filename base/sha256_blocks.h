#ifndef BASE_SHA256_BLOCKS_H
#define BASE_SHA256_BLOCKS_H

#include <stddef.h>
#include <stdint.h>

// The SHA-256 compression of whole 64-byte blocks, in two forms: portable
// code, and the processor's SHA instructions where it has them. Both give
// the same chaining values.
// The 64 round constants.
extern const uint32_t sha256_round_constants[64];

typedef void (*cSha256Blocks)(uint32_t state[8], const uint8_t* blocks, size_t count);

void sha256_blocks_portable(uint32_t state[8], const uint8_t* blocks, size_t count);

// True when this processor runs the SHA instructions and the SSE4.1 ones
// the routine below needs with them.
bool sha256_has_sha_instructions();
// Only where sha256_has_sha_instructions answers true.
void sha256_blocks_sha_instructions(uint32_t state[8], const uint8_t* blocks, size_t count);

#endif
