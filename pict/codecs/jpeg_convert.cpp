#include "pict/codecs/jpeg_parser.h"

// Upsampling and colour conversion of decoded rows into pixels: the
// triangle filters of 2:1 subsampling, replication for other ratios, and
// YCbCr, YCCK and CMYK conversion with the rounding of the reference
// decoders' integer tables.

namespace {

// YCbCr to RGB terms over the sample range 0..Top, scaled by 2^16: red and
// blue from Cr and Cb alone, green from both (its rounding in cb_g).
template <int32_t Top>
struct cYccTables {
    cYccTables()
    {
        const int32_t half = 1 << 15;
        for (int32_t i = 0; i <= Top; ++i) {
            const int32_t x = i - (Top + 1) / 2;
            cr_r[i] = (91881 * x + half) >> 16;    // 1.40200
            cb_b[i] = (116130 * x + half) >> 16;   // 1.77200
            cr_g[i] = -46802 * x;                  // 0.71414
            cb_g[i] = -22554 * x + half;           // 0.34414
        }
    }
    int32_t cr_r[Top + 1];
    int32_t cb_b[Top + 1];
    int32_t cr_g[Top + 1];
    int32_t cb_g[Top + 1];
};

template <int32_t Top>
const cYccTables<Top>& ycc_tables()
{
    static const cYccTables<Top> tables;
    return tables;
}

template <int32_t Top>
inline int32_t clamp(int32_t value)
{
    if (uint32_t(value) > uint32_t(Top))
        value = value < 0 ? 0 : Top;
    return value;
}

// Pixels of 8-bit samples (0xAARRGGBB) and of 12-bit ones (deep pixels, the
// samples widened to 16 bits).
struct cPixels8 {
    typedef uint8_t Sample;
    typedef uint32_t Pixel;
    static const int32_t top = 255;
    explicit cPixels8(bool opaque) : alpha(opaque ? 0xFF000000u : 0) {}
    Pixel operator()(int32_t r, int32_t g, int32_t b) const { return alpha | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
    uint32_t alpha;
};

struct cPixels16 {
    typedef uint16_t Sample;
    typedef uint64_t Pixel;
    static const int32_t top = 4095;
    explicit cPixels16(bool opaque) : alpha(opaque ? uint64_t(0xFFFF) << 48 : 0) {}
    static uint64_t widen(int32_t v) { return uint64_t(v << 4 | v >> 8); }
    Pixel operator()(int32_t r, int32_t g, int32_t b) const { return alpha | widen(r) << 32 | widen(g) << 16 | widen(b); }
    uint64_t alpha;
};

template <class P>
inline typename P::Pixel ycc_pixel(const P& pack, const cYccTables<P::top>& t, int32_t y, int32_t cb, int32_t cr)
{
    return pack(clamp<P::top>(y + t.cr_r[cr]), clamp<P::top>(y + ((t.cb_g[cb] + t.cr_g[cr]) >> 16)),
                clamp<P::top>(y + t.cb_b[cb]));
}

// Inverted CMYK, as Adobe writes it: each colour times black.
template <int32_t Top>
inline int32_t cmyk_channel(int32_t colour, int32_t black)
{
    return (2 * colour * black + Top) / (2 * Top);
}

// Samples count from column x of one component's upsampled row into out.
template <class Sample>
void upsample_range(const cJPEGComponent& c, int32_t max_h, const Sample* near, const Sample* far, bool below,
                    int32_t x, int32_t count, Sample* out)
{
    const int32_t last = c.width - 1;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t px = x + i;
        const int32_t cx = px >> 1;
        int32_t value;
        switch (c.upsampling) {
        case jpeg_up_h2:
            if (px & 1)
                value = (3 * near[cx] + near[cx < last ? cx + 1 : cx] + 2) >> 2;
            else
                value = (3 * near[cx] + near[cx > 0 ? cx - 1 : 0] + 1) >> 2;
            break;
        case jpeg_up_v2:
            value = (3 * near[px] + far[px] + (below ? 2 : 1)) >> 2;
            break;
        case jpeg_up_h2v2: {
            const int32_t side = px & 1 ? (cx < last ? cx + 1 : cx) : (cx > 0 ? cx - 1 : 0);
            value = (3 * (3 * near[cx] + far[cx]) + 3 * near[side] + far[side] + (px & 1 ? 7 : 8)) >> 4;
            break;
        }
        case jpeg_up_box:
            value = near[int64_t(px) * c.h / max_h];
            break;
        default:
            value = near[px];
            break;
        }
        out[i] = Sample(value);
    }
}

// YCbCr with both chroma components filtered 2:1 across (and, Vertical,
// down too), upsampled and converted in one pass over pixel pairs.
template <class P, bool Vertical>
void ycc_fused(const P& pack, const typename P::Sample* y, const cJPEGRows& rows, int32_t chroma_width, int32_t x,
               int32_t count, typename P::Pixel* out)
{
    typedef typename P::Sample Sample;
    const cYccTables<P::top>& t = ycc_tables<P::top>();
    const Sample* cb_near = static_cast<const Sample*>(rows.near[1]);
    const Sample* cr_near = static_cast<const Sample*>(rows.near[2]);
    const Sample* cb_far = static_cast<const Sample*>(Vertical ? rows.far[1] : rows.near[1]);
    const Sample* cr_far = static_cast<const Sample*>(Vertical ? rows.far[2] : rows.near[2]);
    // Column sums: 3 near + far down, the sample itself across only.
    auto sum = [&](const Sample* near, const Sample* far, int32_t cx) {
        return Vertical ? 3 * near[cx] + far[cx] : int32_t(near[cx]);
    };
    const int32_t last = chroma_width - 1;
    const int32_t shift = Vertical ? 4 : 2;
    const int32_t left_bias = Vertical ? 8 : 1;
    const int32_t right_bias = Vertical ? 7 : 2;
    const int32_t end = x + count;
    int32_t px = x;
    int32_t cx = px >> 1;
    int32_t side = cx > 0 ? cx - 1 : 0;
    int32_t cb_previous = sum(cb_near, cb_far, side), cr_previous = sum(cr_near, cr_far, side);
    int32_t cb_current = sum(cb_near, cb_far, cx), cr_current = sum(cr_near, cr_far, cx);
    for (;;) {
        side = cx < last ? cx + 1 : cx;
        const int32_t cb_next = sum(cb_near, cb_far, side), cr_next = sum(cr_near, cr_far, side);
        if (!(px & 1)) {
            *out++ = ycc_pixel(pack, t, y[px], (3 * cb_current + cb_previous + left_bias) >> shift,
                               (3 * cr_current + cr_previous + left_bias) >> shift);
            if (++px == end)
                return;
        }
        *out++ = ycc_pixel(pack, t, y[px], (3 * cb_current + cb_next + right_bias) >> shift,
                           (3 * cr_current + cr_next + right_bias) >> shift);
        if (++px == end)
            return;
        ++cx;
        cb_previous = cb_current;
        cr_previous = cr_current;
        cb_current = cb_next;
        cr_current = cr_next;
    }
}

template <class P>
void convert(cJPEGParser& parser, const cJPEGComponent* components, int32_t max_h, _typebuf<uint8_t>& scratch,
             const cJPEGRows& rows, int32_t x, int32_t count, typename P::Pixel* out, bool opaque)
{
    typedef typename P::Sample Sample;
    const P pack(opaque);
    if (count <= 0)
        return;
    const Sample* y0 = static_cast<const Sample*>(rows.near[0]);
    if (parser.colour == jpeg_ycbcr && components[0].upsampling == jpeg_up_full &&
        components[1].upsampling == components[2].upsampling && components[1].width == components[2].width) {
        if (components[1].upsampling == jpeg_up_h2v2)
            return ycc_fused<P, true>(pack, y0, rows, components[1].width, x, count, out);
        if (components[1].upsampling == jpeg_up_h2)
            return ycc_fused<P, false>(pack, y0, rows, components[1].width, x, count, out);
    }
    // Every other layout: each component's samples for the range, then the
    // colour conversion.
    const Sample* line[4];
    Sample* room = reinterpret_cast<Sample*>(scratch.Data());
    for (int32_t c = 0; c < parser.component_count; ++c) {
        const Sample* near = static_cast<const Sample*>(rows.near[c]);
        if (components[c].upsampling == jpeg_up_full) {
            line[c] = near + x;
            continue;
        }
        upsample_range<Sample>(components[c], max_h, near, static_cast<const Sample*>(rows.far[c]),
                               rows.far_below[c] != 0, x, count, room);
        line[c] = room;
        room += count;
    }
    const int32_t top = P::top;
    const cYccTables<P::top>& t = ycc_tables<P::top>();
    switch (parser.colour) {
    case jpeg_grey:
        for (int32_t i = 0; i < count; ++i)
            out[i] = pack(line[0][i], line[0][i], line[0][i]);
        break;
    case jpeg_rgb:
        for (int32_t i = 0; i < count; ++i)
            out[i] = pack(line[0][i], line[1][i], line[2][i]);
        break;
    case jpeg_ycbcr:
        for (int32_t i = 0; i < count; ++i)
            out[i] = ycc_pixel(pack, t, line[0][i], line[1][i], line[2][i]);
        break;
    case jpeg_cmyk:
        for (int32_t i = 0; i < count; ++i) {
            const int32_t k = line[3][i];
            out[i] = pack(cmyk_channel<P::top>(line[0][i], k), cmyk_channel<P::top>(line[1][i], k),
                          cmyk_channel<P::top>(line[2][i], k));
        }
        break;
    default:  // YCCK: YCbCr gives the inverted C, M and Y
        for (int32_t i = 0; i < count; ++i) {
            const int32_t y = line[0][i], cb = line[1][i], cr = line[2][i], k = line[3][i];
            const int32_t c = top - clamp<P::top>(y + t.cr_r[cr]);
            const int32_t m = top - clamp<P::top>(y + ((t.cb_g[cb] + t.cr_g[cr]) >> 16));
            const int32_t b = top - clamp<P::top>(y + t.cb_b[cb]);
            out[i] = pack(cmyk_channel<P::top>(c, k), cmyk_channel<P::top>(m, k), cmyk_channel<P::top>(b, k));
        }
        break;
    }
}

}  // namespace

void cJPEGParser::ConvertRows8(const cJPEGRows& rows, int32_t x, int32_t count, uint32_t* out, bool opaque)
{
    convert<cPixels8>(*this, components, max_h, upsampled, rows, x, count, out, opaque);
}

void cJPEGParser::ConvertRows16(const cJPEGRows& rows, int32_t x, int32_t count, uint64_t* out, bool opaque)
{
    convert<cPixels16>(*this, components, max_h, upsampled, rows, x, count, out, opaque);
}

bool cJPEGParser::MCURect(int32_t mcu_column, int32_t mcu_row, int32_t* x, int32_t* y, int32_t* width,
                          int32_t* height)
{
    *x = mcu_column * mcu_width;
    *y = mcu_row * mcu_height;
    if (mcu_column < 0 || mcu_row < 0 || *x >= frame_width || *y >= frame_height)
        return false;
    *width = frame_width - *x < mcu_width ? frame_width - *x : mcu_width;
    *height = frame_height - *y < mcu_height ? frame_height - *y : mcu_height;
    return true;
}

void cJPEGParser::ConvertMCU8(int32_t mcu_column, int32_t mcu_row, uint32_t* const* rows, bool opaque)
{
    int32_t x, y, width, height;
    if (!MCURect(mcu_column, mcu_row, &x, &y, &width, &height))
        return;
    cJPEGRows samples;
    for (int32_t i = 0; i < height; ++i) {
        RowsOf(y + i, &samples);
        ConvertRows8(samples, x, width, rows[i], opaque);
    }
}

void cJPEGParser::ConvertMCU16(int32_t mcu_column, int32_t mcu_row, uint64_t* const* rows, bool opaque)
{
    int32_t x, y, width, height;
    if (!MCURect(mcu_column, mcu_row, &x, &y, &width, &height))
        return;
    cJPEGRows samples;
    for (int32_t i = 0; i < height; ++i) {
        RowsOf(y + i, &samples);
        ConvertRows16(samples, x, width, rows[i], opaque);
    }
}
