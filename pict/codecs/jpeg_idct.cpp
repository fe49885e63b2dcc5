#include "pict/codecs/jpeg_idct.h"

namespace {

// The transform's constants: cosine terms scaled by 2^13 and rounded.
const int32_t c0_298631336 = 2446;
const int32_t c0_390180644 = 3196;
const int32_t c0_541196100 = 4433;
const int32_t c0_765366865 = 6270;
const int32_t c0_899976223 = 7373;
const int32_t c1_175875602 = 9633;
const int32_t c1_501321110 = 12299;
const int32_t c1_847759065 = 15137;
const int32_t c1_961570560 = 16069;
const int32_t c2_053119869 = 16819;
const int32_t c2_562915447 = 20995;
const int32_t c3_072711026 = 25172;
const int32_t const_bits = 13;

// Eight outputs of the one-dimensional transform of in[0], in[step], ...
// before their final descaling: out[i] for i = 0..7.
inline void transform8(const int32_t* in, int32_t step, int32_t* out)
{
    // Even part.
    int32_t z2 = in[2 * step];
    int32_t z3 = in[6 * step];
    int32_t z1 = (z2 + z3) * c0_541196100;
    const int32_t tmp2 = z1 - z3 * c1_847759065;
    const int32_t tmp3 = z1 + z2 * c0_765366865;
    z2 = in[0];
    z3 = in[4 * step];
    const int32_t tmp0 = (z2 + z3) * (1 << const_bits);
    const int32_t tmp1 = (z2 - z3) * (1 << const_bits);
    const int32_t tmp10 = tmp0 + tmp3;
    const int32_t tmp13 = tmp0 - tmp3;
    const int32_t tmp11 = tmp1 + tmp2;
    const int32_t tmp12 = tmp1 - tmp2;

    // Odd part.
    int32_t t0 = in[7 * step];
    int32_t t1 = in[5 * step];
    int32_t t2 = in[3 * step];
    int32_t t3 = in[step];
    z1 = t0 + t3;
    z2 = t1 + t2;
    z3 = t0 + t2;
    int32_t z4 = t1 + t3;
    const int32_t z5 = (z3 + z4) * c1_175875602;
    t0 *= c0_298631336;
    t1 *= c2_053119869;
    t2 *= c3_072711026;
    t3 *= c1_501321110;
    z1 *= -c0_899976223;
    z2 *= -c2_562915447;
    z3 = z3 * -c1_961570560 + z5;
    z4 = z4 * -c0_390180644 + z5;
    t0 += z1 + z3;
    t1 += z2 + z4;
    t2 += z2 + z3;
    t3 += z1 + z4;

    out[0] = tmp10 + t3;
    out[7] = tmp10 - t3;
    out[1] = tmp11 + t2;
    out[6] = tmp11 - t2;
    out[2] = tmp12 + t1;
    out[5] = tmp12 - t1;
    out[3] = tmp13 + t0;
    out[4] = tmp13 - t0;
}

template <class Sample, int32_t Top>
inline Sample clamp_sample(int32_t value)
{
    value += (Top + 1) / 2;
    if (uint32_t(value) > uint32_t(Top))
        value = value < 0 ? 0 : Top;
    return Sample(value);
}

template <class Sample, int32_t PassBits, int32_t Top>
void idct(const int32_t* block, Sample* out, int32_t stride)
{
    int32_t work[64];
    // Columns: scaled up by 2^PassBits for the row pass's precision.
    for (int32_t column = 0; column < 8; ++column) {
        const int32_t* in = block + column;
        int32_t* w = work + column;
        if ((in[8] | in[16] | in[24] | in[32] | in[40] | in[48] | in[56]) == 0) {
            const int32_t dc = in[0] * (1 << PassBits);
            for (int32_t row = 0; row < 8; ++row)
                w[8 * row] = dc;
            continue;
        }
        int32_t result[8];
        transform8(in, 8, result);
        const int32_t shift = const_bits - PassBits;
        for (int32_t row = 0; row < 8; ++row)
            w[8 * row] = (result[row] + (1 << (shift - 1))) >> shift;
    }
    // Rows, descaled by the constants, the pass bits and the transform's 8.
    const int32_t shift = const_bits + PassBits + 3;
    for (int32_t row = 0; row < 8; ++row, out += stride) {
        const int32_t* w = work + 8 * row;
        if ((w[1] | w[2] | w[3] | w[4] | w[5] | w[6] | w[7]) == 0) {
            const Sample value = clamp_sample<Sample, Top>((w[0] + (1 << (PassBits + 2))) >> (PassBits + 3));
            for (int32_t i = 0; i < 8; ++i)
                out[i] = value;
            continue;
        }
        int32_t result[8];
        transform8(w, 1, result);
        for (int32_t i = 0; i < 8; ++i)
            out[i] = clamp_sample<Sample, Top>((result[i] + (1 << (shift - 1))) >> shift);
    }
}

template <class Sample, int32_t PassBits, int32_t Top>
void idct_dc(int32_t dc, Sample* out, int32_t stride)
{
    const int32_t scaled = dc * (1 << PassBits);
    const Sample value = clamp_sample<Sample, Top>((scaled + (1 << (PassBits + 2))) >> (PassBits + 3));
    for (int32_t row = 0; row < 8; ++row, out += stride)
        for (int32_t i = 0; i < 8; ++i)
            out[i] = value;
}

}  // namespace

void jpeg_idct8(const int32_t* block, uint8_t* out, int32_t stride)
{
    idct<uint8_t, 2, 255>(block, out, stride);
}

void jpeg_idct12(const int32_t* block, uint16_t* out, int32_t stride)
{
    idct<uint16_t, 1, 4095>(block, out, stride);
}

void jpeg_idct8_dc(int32_t dc, uint8_t* out, int32_t stride)
{
    idct_dc<uint8_t, 2, 255>(dc, out, stride);
}

void jpeg_idct12_dc(int32_t dc, uint16_t* out, int32_t stride)
{
    idct_dc<uint16_t, 1, 4095>(dc, out, stride);
}
