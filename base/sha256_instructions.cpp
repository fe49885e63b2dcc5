#include <cpuid.h>
#include <immintrin.h>

#include "base/sha256_blocks.h"

// The program is built for processors without SSE: only the routine below
// uses the SHA and SSE4.1 instructions, enabled for it alone, and it runs
// only after the processor said it has them.

namespace {

const unsigned leaf1_ecx_ssse3 = 1u << 9;
const unsigned leaf1_ecx_sse41 = 1u << 19;
const unsigned leaf1_edx_sse2 = 1u << 26;
const unsigned leaf7_ebx_sha = 1u << 29;

}  // namespace

bool sha256_has_sha_instructions()
{
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    unsigned needed_ecx = leaf1_ecx_ssse3 | leaf1_ecx_sse41;
    if ((ecx & needed_ecx) != needed_ecx || !(edx & leaf1_edx_sse2))
        return false;
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & leaf7_ebx_sha);
}

// Windows keeps a 32-bit thread's stack 4-byte aligned only: the routine
// realigns its own for the 16-byte vectors it may spill.
__attribute__((target("sha,sse4.1"), force_align_arg_pointer)) void sha256_blocks_sha_instructions(
    uint32_t state[8], const uint8_t* blocks, size_t count)
{
    // Words big-endian in the message; the instructions want them native.
    const __m128i byte_swap = _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
    // The instructions keep the working variables as {a, b, e, f} and
    // {c, d, g, h}, each listed from the highest lane down.
    __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    __m128i badc = _mm_shuffle_epi32(abcd, 0xB1);
    __m128i hgfe = _mm_shuffle_epi32(efgh, 0x1B);
    __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);
    for (; count; --count, blocks += 64) {
        __m128i abef_before = abef, cdgh_before = cdgh;
        // words[g % 4] holds message words 4g to 4g + 3 once group g is made.
        __m128i words[4];
#pragma GCC unroll 16
        for (int g = 0; g < 16; ++g) {
            __m128i made;
            if (g < 4) {
                made = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * g));
                made = _mm_shuffle_epi8(made, byte_swap);
            } else {
                // From the groups 4, 3, 2 and 1 back: w[t-16] + s0(w[t-15])
                // + w[t-7], then s1 of the two words before each.
                __m128i back4 = words[g & 3], back3 = words[(g + 1) & 3];
                __m128i back2 = words[(g + 2) & 3], back1 = words[(g + 3) & 3];
                made = _mm_sha256msg1_epu32(back4, back3);
                made = _mm_add_epi32(made, _mm_alignr_epi8(back1, back2, 4));
                made = _mm_sha256msg2_epu32(made, back1);
            }
            words[g & 3] = made;
            __m128i plus_constants =
                _mm_add_epi32(made, _mm_loadu_si128(reinterpret_cast<const __m128i*>(sha256_round_constants + 4 * g)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, plus_constants);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(plus_constants, 0x0E));
        }
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }
    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
