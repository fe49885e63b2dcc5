#include "pict/codecs/png_filters.h"

#include <string.h>

// Without vector instructions to count on: Up, and Sub and Average of
// 4-byte pixels, work on four bytes at once in one 32-bit word; Sub and
// Average of 1- and 3-byte pixels keep the left pixel in registers; Paeth
// works byte by byte, without branches.

namespace {

uint32_t load_word(const uint8_t* bytes)
{
    uint32_t word;
    memcpy(&word, bytes, 4);
    return word;
}

void store_word(uint8_t* bytes, uint32_t word)
{
    memcpy(bytes, &word, 4);
}

// The four bytes of two words added lane by lane, each modulo 256: the low
// seven bits of each lane add without carrying into the next, the top bit
// is added on its own.
uint32_t add_lanes(uint32_t x, uint32_t y)
{
    return ((x & 0x7F7F7F7Fu) + (y & 0x7F7F7F7Fu)) ^ ((x ^ y) & 0x80808080u);
}

// floor((x + y) / 2) lane by lane.
uint32_t average_lanes(uint32_t x, uint32_t y)
{
    return (x & y) + (((x ^ y) & 0xFEFEFEFEu) >> 1);
}

int distance(int d)
{
    return d < 0 ? -d : d;
}

// The standard predictor of the left (a), upper (b) and upper-left (c)
// bytes, each choice a single select that compiles to a conditional move:
// photo-like rows pick each byte about as often, and branches on the
// choice would mostly be mispredicted.
uint8_t paeth(int a, int b, int c)
{
    const int from_a = b - c;  // the estimate a + b - c, less a
    const int from_b = a - c;
    const int pa = distance(from_a);
    const int pb = distance(from_b);
    const int pc = distance(from_a + from_b);
    const bool b_nearer = pb < pa;
    const int nearest = b_nearer ? pb : pa;
    const int chosen = b_nearer ? b : a;
    return uint8_t(pc < nearest ? c : chosen);
}

void unfilter_up(uint8_t* row, const uint8_t* prior, int32_t n)
{
    int32_t i = 0;
    for (; i + 4 <= n; i += 4)
        store_word(row + i, add_lanes(load_word(row + i), load_word(prior + i)));
    for (; i < n; ++i)
        row[i] = uint8_t(row[i] + prior[i]);
}

// Sub and Average keep the left pixel in registers when its size is
// fixed: no step waits on the byte it stored one pixel earlier. Rows hold
// whole pixels, so n is a multiple of bpp.
template <int bpp>
void unfilter_sub(uint8_t* row, int32_t n)
{
    uint8_t left[bpp] = {};
    for (int32_t i = 0; i < n; i += bpp)
#pragma GCC unroll 4
        for (int32_t k = 0; k < bpp; ++k)
            row[i + k] = left[k] = uint8_t(row[i + k] + left[k]);
}

template <>
void unfilter_sub<4>(uint8_t* row, int32_t n)
{
    uint32_t left = 0;
    for (int32_t i = 0; i < n; i += 4) {
        left = add_lanes(load_word(row + i), left);
        store_word(row + i, left);
    }
}

// The left pixel of the first is taken as zeros.
template <int bpp>
void unfilter_average(uint8_t* row, const uint8_t* prior, int32_t n)
{
    uint8_t left[bpp] = {};
    for (int32_t i = 0; i < n; i += bpp)
#pragma GCC unroll 4
        for (int32_t k = 0; k < bpp; ++k)
            row[i + k] = left[k] = uint8_t(row[i + k] + ((left[k] + prior[i + k]) >> 1));
}

template <>
void unfilter_average<4>(uint8_t* row, const uint8_t* prior, int32_t n)
{
    uint32_t left = 0;
    for (int32_t i = 0; i < n; i += 4) {
        left = add_lanes(load_word(row + i), average_lanes(left, load_word(prior + i)));
        store_word(row + i, left);
    }
}

// Sub and Average of any other pixel size, byte by byte from memory.
void unfilter_sub_any(uint8_t* row, int32_t n, int32_t bpp)
{
    for (int32_t i = bpp; i < n; ++i)
        row[i] = uint8_t(row[i] + row[i - bpp]);
}

void unfilter_average_any(uint8_t* row, const uint8_t* prior, int32_t n, int32_t bpp)
{
    for (int32_t i = 0; i < bpp && i < n; ++i)
        row[i] = uint8_t(row[i] + (prior[i] >> 1));
    for (int32_t i = bpp; i < n; ++i)
        row[i] = uint8_t(row[i] + ((row[i - bpp] + prior[i]) >> 1));
}

// Paeth reads the left bytes back from the row: its predictor needs more
// registers than the processor has to spare for a whole pixel. A fixed
// size (0 for any_bpp) tells the compiler the stride.
template <int fixed_bpp>
void unfilter_paeth(uint8_t* row, const uint8_t* prior, int32_t n, int32_t any_bpp)
{
    const int32_t bpp = fixed_bpp ? fixed_bpp : any_bpp;
    // On the first pixel the predictor picks the upper byte.
    for (int32_t i = 0; i < bpp && i < n; ++i)
        row[i] = uint8_t(row[i] + prior[i]);
    for (int32_t i = bpp; i < n; ++i)
        row[i] = uint8_t(row[i] + paeth(row[i - bpp], prior[i], prior[i - bpp]));
}

void unfilter_sub(uint8_t* row, int32_t n, int32_t bpp)
{
    switch (bpp) {
    case 1: unfilter_sub<1>(row, n); break;
    case 3: unfilter_sub<3>(row, n); break;
    case 4: unfilter_sub<4>(row, n); break;
    default: unfilter_sub_any(row, n, bpp); break;
    }
}

void unfilter_average(uint8_t* row, const uint8_t* prior, int32_t n, int32_t bpp)
{
    switch (bpp) {
    case 1: unfilter_average<1>(row, prior, n); break;
    case 3: unfilter_average<3>(row, prior, n); break;
    case 4: unfilter_average<4>(row, prior, n); break;
    default: unfilter_average_any(row, prior, n, bpp); break;
    }
}

void unfilter_paeth(uint8_t* row, const uint8_t* prior, int32_t n, int32_t bpp)
{
    switch (bpp) {
    case 3: unfilter_paeth<3>(row, prior, n, bpp); break;
    case 4: unfilter_paeth<4>(row, prior, n, bpp); break;
    default: unfilter_paeth<0>(row, prior, n, bpp); break;
    }
}

}  // namespace

void png_unfilter_row(uint8_t type, uint8_t* row, const uint8_t* prior, int32_t n, int32_t bpp)
{
    switch (type) {
    case 1: unfilter_sub(row, n, bpp); break;
    case 2: unfilter_up(row, prior, n); break;
    case 3: unfilter_average(row, prior, n, bpp); break;
    case 4: unfilter_paeth(row, prior, n, bpp); break;
    default: break;  // 0, and unknown types, leave the row as it is
    }
}
