#include "base/sha256.h"

#include <string.h>

#include "base/sha256_blocks.h"

namespace {

const uint32_t initial_state[8] = {
    0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A, 0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19,
};

}  // namespace

const uint32_t sha256_round_constants[64] = {
    0x428A2F98, 0x71374491, 0xB5C0FBCF, 0xE9B5DBA5, 0x3956C25B, 0x59F111F1, 0x923F82A4, 0xAB1C5ED5,
    0xD807AA98, 0x12835B01, 0x243185BE, 0x550C7DC3, 0x72BE5D74, 0x80DEB1FE, 0x9BDC06A7, 0xC19BF174,
    0xE49B69C1, 0xEFBE4786, 0x0FC19DC6, 0x240CA1CC, 0x2DE92C6F, 0x4A7484AA, 0x5CB0A9DC, 0x76F988DA,
    0x983E5152, 0xA831C66D, 0xB00327C8, 0xBF597FC7, 0xC6E00BF3, 0xD5A79147, 0x06CA6351, 0x14292967,
    0x27B70A85, 0x2E1B2138, 0x4D2C6DFC, 0x53380D13, 0x650A7354, 0x766A0ABB, 0x81C2C92E, 0x92722C85,
    0xA2BFE8A1, 0xA81A664B, 0xC24B8B70, 0xC76C51A3, 0xD192E819, 0xD6990624, 0xF40E3585, 0x106AA070,
    0x19A4C116, 0x1E376C08, 0x2748774C, 0x34B0BCB5, 0x391C0CB3, 0x4ED8AA4A, 0x5B9CCA4F, 0x682E6FF3,
    0x748F82EE, 0x78A5636F, 0x84C87814, 0x8CC70208, 0x90BEFFFA, 0xA4506CEB, 0xBEF9A3F7, 0xC67178F2,
};

namespace {

inline uint32_t rotate_right(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }
inline uint32_t big_sigma0(uint32_t x) { return rotate_right(x, 2) ^ rotate_right(x, 13) ^ rotate_right(x, 22); }
inline uint32_t big_sigma1(uint32_t x) { return rotate_right(x, 6) ^ rotate_right(x, 11) ^ rotate_right(x, 25); }
inline uint32_t small_sigma0(uint32_t x) { return rotate_right(x, 7) ^ rotate_right(x, 18) ^ (x >> 3); }
inline uint32_t small_sigma1(uint32_t x) { return rotate_right(x, 17) ^ rotate_right(x, 19) ^ (x >> 10); }
inline uint32_t choose(uint32_t e, uint32_t f, uint32_t g) { return g ^ (e & (f ^ g)); }
inline uint32_t majority(uint32_t a, uint32_t b, uint32_t c) { return (a & b) | (c & (a | b)); }

inline uint32_t load_big_endian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline void store_big_endian(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// One round. Instead of shifting the eight working variables, the caller
// rotates the roles of its arguments, so only d and h change here.
inline void sha256_round(uint32_t a, uint32_t b, uint32_t c, uint32_t& d, uint32_t e, uint32_t f, uint32_t g,
                         uint32_t& h, uint32_t constant_plus_word)
{
    uint32_t t1 = h + big_sigma1(e) + choose(e, f, g) + constant_plus_word;
    d += t1;
    h = t1 + big_sigma0(a) + majority(a, b, c);
}

// Word i of the message schedule, kept in a window of the last 16 words.
inline uint32_t schedule(uint32_t* w, int i)
{
    if (i >= 16)
        w[i & 15] += small_sigma1(w[(i - 2) & 15]) + w[(i - 7) & 15] + small_sigma0(w[(i - 15) & 15]);
    return w[i & 15];
}

void compress_block(uint32_t* state, const uint8_t* block)
{
    uint32_t w[16];
    for (int i = 0; i < 16; ++i)
        w[i] = load_big_endian(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    // Fully unrolled: after eight rounds the roles are back where they began.
#pragma GCC unroll 8
    for (int i = 0; i < 64; i += 8) {
        sha256_round(a, b, c, d, e, f, g, h, sha256_round_constants[i + 0] + schedule(w, i + 0));
        sha256_round(h, a, b, c, d, e, f, g, sha256_round_constants[i + 1] + schedule(w, i + 1));
        sha256_round(g, h, a, b, c, d, e, f, sha256_round_constants[i + 2] + schedule(w, i + 2));
        sha256_round(f, g, h, a, b, c, d, e, sha256_round_constants[i + 3] + schedule(w, i + 3));
        sha256_round(e, f, g, h, a, b, c, d, sha256_round_constants[i + 4] + schedule(w, i + 4));
        sha256_round(d, e, f, g, h, a, b, c, sha256_round_constants[i + 5] + schedule(w, i + 5));
        sha256_round(c, d, e, f, g, h, a, b, sha256_round_constants[i + 6] + schedule(w, i + 6));
        sha256_round(b, c, d, e, f, g, h, a, sha256_round_constants[i + 7] + schedule(w, i + 7));
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

// The fastest compression this processor offers, chosen once.
cSha256Blocks fastest_blocks()
{
    static cSha256Blocks chosen = sha256_has_sha_instructions() ? sha256_blocks_sha_instructions
                                                                 : sha256_blocks_portable;
    return chosen;
}

}  // namespace

void sha256_blocks_portable(uint32_t state[8], const uint8_t* blocks, size_t count)
{
    for (; count; --count, blocks += 64)
        compress_block(state, blocks);
}

void sha256_init(cSha256Context& context)
{
    sha256_init_with(context, fastest_blocks());
}

void sha256_init_with(cSha256Context& context, cSha256Blocks compress)
{
    context.count_low = 0;
    context.count_high = 0;
    memcpy(context.state, initial_state, sizeof(initial_state));
    context.compress = compress;
}

void sha256_update(cSha256Context& context, const void* data, size_t length)
{
    if (!data || !length)
        return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint32_t buffered = context.count_low & 63;
    uint64_t count = (uint64_t(context.count_high) << 32 | context.count_low) + length;
    context.count_low = uint32_t(count);
    context.count_high = uint32_t(count >> 32);

    if (buffered) {
        size_t room = 64 - buffered;
        if (length < room) {
            memcpy(context.block + buffered, bytes, length);
            return;
        }
        memcpy(context.block + buffered, bytes, room);
        context.compress(context.state, context.block, 1);
        bytes += room;
        length -= room;
    }
    // Whole blocks straight from the caller's data, without copying.
    size_t whole = length / 64;
    if (whole)
        context.compress(context.state, bytes, whole);
    memcpy(context.block, bytes + 64 * whole, length - 64 * whole);
}

void sha256_final(cSha256Context& context, uint8_t out[32])
{
    static const uint8_t padding[64] = {0x80};
    uint8_t bit_count[8];
    store_big_endian(bit_count, context.count_high << 3 | context.count_low >> 29);
    store_big_endian(bit_count + 4, context.count_low << 3);

    uint32_t r = context.count_low & 63;
    sha256_update(context, padding, r < 56 ? 56 - r : 120 - r);
    sha256_update(context, bit_count, 8);
    for (int i = 0; i < 8; ++i)
        store_big_endian(out + 4 * i, context.state[i]);
}

void sha256_digest(uint8_t out[32], const void* data, int32_t length)
{
    cSha256Context context;
    sha256_init(context);
    size_t n = 0;
    if (data && length == -1)
        n = strlen(static_cast<const char*>(data));
    else if (data && length > 0)
        n = size_t(length);
    sha256_update(context, data, n);
    sha256_final(context, out);
}
