#include "pict/codecs/j2k_image.h"

#include <string.h>

#include "pict/codecs/j2k_colour.h"

namespace {

// A channel's levels for the inner loop, read once a row: the table of
// levels by sample, its bounds, and the sample of each column.
struct cJ2kLevels {
    const OPJ_INT32* row;
    const uint32_t* columns;
    const uint16_t* table;
    int32_t low;
    int32_t high;
    bool direct;  // column x is sample x

    // Level of column x; direct when column x is sample x.
    template <bool direct>
    uint32_t At(int32_t x) const
    {
        int32_t v = row[direct ? x : int32_t(columns[x])];
        return table[v < low ? low : v > high ? high : v];
    }
};

// One component's samples on the image's grid.
class cJ2kChannel {
public:
    cJ2kChannel()
        : component(nullptr), top(0), signed_offset(0), identity(false), deep(false), table(nullptr), low(0), high(0)
    {
    }

    // Maps each image column to the sample that covers it and, for
    // precisions up to 16 bits, each sample value to its channel level.
    // False for a component without samples.
    bool Prepare(const opj_image_comp_t* c, const opj_image_t* image, int32_t width, bool deep_pixels)
    {
        component = c;
        deep = deep_pixels;
        if (!c || !c->data || c->w == 0 || c->h == 0 || c->dx == 0 || c->dy == 0 || c->prec == 0 || c->prec > 31)
            return false;
        top = (int64_t(1) << c->prec) - 1;
        signed_offset = c->sgnd ? int64_t(1) << (c->prec - 1) : 0;
        columns.Resize(width);
        if (!columns.Data())
            return false;
        identity = true;
        for (int32_t x = 0; x < width; ++x) {
            columns[x] = Index(image->x0 + uint32_t(x), c->dx, c->x0, c->w);
            identity = identity && columns[x] == uint32_t(x);
        }
        levels.Clear();
        table = nullptr;
        if (c->prec <= 16) {
            levels.Resize(int32_t(top + 1));
            if (!levels.Data())
                return false;
            for (int64_t v = 0; v <= top; ++v)
                levels[int32_t(v)] = uint16_t(Scale(v));
            // Up to 16 bits the clamp and the table stay in 32 bits.
            table = levels.Data() + signed_offset;
            low = int32_t(-signed_offset);
            high = int32_t(top - signed_offset);
        }
        return true;
    }

    // The samples of the component row that covers image row y (from the
    // image's top).
    const OPJ_INT32* Row(const opj_image_t* image, int32_t y) const
    {
        uint32_t row = Index(image->y0 + uint32_t(y), component->dy, component->y0, component->h);
        return component->data + size_t(row) * component->w;
    }

    // Sample x of a row, moved to the unsigned range and clamped to it.
    int64_t Sample(const OPJ_INT32* row, int32_t x) const
    {
        int64_t v = int64_t(row[columns[x]]) + signed_offset;
        return v < 0 ? 0 : v > top ? top : v;
    }

    // Sample x as a channel level: 8 bits, or 16 for deep pixels.
    uint32_t Level(const OPJ_INT32* row, int32_t x) const
    {
        if (!table)
            return Scale(Sample(row, x));
        int32_t v = row[identity ? x : int32_t(columns.Data()[x])];
        return table[v < low ? low : v > high ? high : v];
    }

    // The row's lookup for the inner loop; false past 16 bits.
    bool Levels(const OPJ_INT32* row, cJ2kLevels* levels) const
    {
        *levels = {row, columns.Data(), table, low, high, identity};
        return table != nullptr;
    }

    // Sample x in 0..1; chroma samples centred on 0.
    double Unit(const OPJ_INT32* row, int32_t x, bool chroma) const
    {
        return (double(Sample(row, x)) - (chroma ? double(top + 1) / 2 : 0.0)) / double(top);
    }

    // Sample x as stored, for formulas with their own offsets.
    double Raw(const OPJ_INT32* row, int32_t x) const { return double(row[columns[x]]); }

private:
    static uint32_t Index(uint32_t grid, uint32_t step, uint32_t first, uint32_t count)
    {
        int64_t i = int64_t(grid / step) - first;
        return uint32_t(i < 0 ? 0 : i >= count ? count - 1 : i);
    }

    uint32_t Scale(int64_t v) const
    {
        const int64_t full = deep ? 65535 : 255;
        return uint32_t((v * full + top / 2) / top);
    }

    const opj_image_comp_t* component;
    int64_t top;  // the largest sample, 2^precision - 1
    int64_t signed_offset;
    _typebuf<uint32_t> columns;
    bool identity;  // column x is sample x
    bool deep;
    _typebuf<uint16_t> levels;
    const uint16_t* table;  // levels by signed sample; null past 16 bits
    int32_t low;            // the samples the table holds
    int32_t high;
};

enum eJ2kModel { model_grey, model_rgb, model_ycc, model_lab };

bool subsampled(const opj_image_comp_t& component)
{
    return component.dx != 1 || component.dy != 1;
}

// A codestream that names no colour space but subsamples its second and
// third of three components carries luma and chroma, as coders write them.
bool implied_ycc(const opj_image_t* image)
{
    return image->color_space == OPJ_CLRSPC_UNSPECIFIED && image->numcomps == 3 && !subsampled(image->comps[0]) &&
           subsampled(image->comps[1]) && subsampled(image->comps[2]);
}

// What the components are: colour components in order and an alpha
// component (-1 for none).
struct cJ2kLayout {
    eJ2kModel model;
    int32_t colour[3];
    int32_t colours;
    int32_t alpha;
};

bool lay_out(const opj_image_t* image, cJ2kLayout* layout)
{
    layout->colours = 0;
    layout->alpha = -1;
    int32_t others[4];
    int32_t count = 0;
    for (uint32_t i = 0; i < image->numcomps; ++i) {
        if (image->comps[i].alpha && layout->alpha < 0)
            layout->alpha = int32_t(i);
        else if (!image->comps[i].alpha && count < 4)
            others[count++] = int32_t(i);
    }
    if (count == 0 || image->color_space == OPJ_CLRSPC_CMYK)
        return false;
    // Without marks, a second or fourth component is alpha.
    if (layout->alpha < 0 && (count == 2 || count == 4) && image->color_space != OPJ_CLRSPC_GRAY)
        layout->alpha = others[--count];
    bool colour = count >= 3 && image->color_space != OPJ_CLRSPC_GRAY;
    layout->model = !colour ? model_grey
                    : j2k_lab_parameters(image, nullptr)                 ? model_lab
                    : image->color_space == OPJ_CLRSPC_SYCC || image->color_space == OPJ_CLRSPC_EYCC ||
                            implied_ycc(image)
                        ? model_ycc
                        : model_rgb;
    layout->colours = colour ? 3 : 1;
    memcpy(layout->colour, others, sizeof(int32_t) * size_t(layout->colours));
    return true;
}

// Grey or RGB, with or without alpha, every channel of 16 bits at most:
// each level straight from its table; direct when no channel is
// subsampled.
template <class T, bool rgb, bool alpha, bool direct>
void compose_levels(const cJ2kLevels* levels, int32_t width, T* out)
{
    const int shift = sizeof(T) == 8 ? 16 : 8;
    const T opaque = sizeof(T) == 8 ? 0xFFFF : 0xFF;
    for (int32_t x = 0; x < width; ++x) {
        const T r = levels[0].At<direct>(x);
        const T g = rgb ? T(levels[1].At<direct>(x)) : r;
        const T b = rgb ? T(levels[2].At<direct>(x)) : r;
        const T a = alpha ? T(levels[3].At<direct>(x)) : opaque;
        out[x] = a << (3 * shift) | r << (2 * shift) | g << shift | b;
    }
}

template <class T, bool rgb, bool alpha>
void compose_levels(const cJ2kLevels* levels, bool direct, int32_t width, T* out)
{
    if (direct)
        compose_levels<T, rgb, alpha, true>(levels, width, out);
    else
        compose_levels<T, rgb, alpha, false>(levels, width, out);
}

// Composes the pixels of one row, 32-bit or deep by T, from its channels'
// samples.
template <class T>
void compose_row(const cJ2kLayout& layout, const cJ2kChannel* channels, const cJ2kLab& lab,
                 const OPJ_INT32* const* rows, int32_t width, T* out)
{
    const bool alpha = layout.alpha >= 0;
    cJ2kLevels levels[4];
    bool tables = true;
    bool direct = true;
    for (int32_t i = 0; i < 4; ++i) {
        if (rows[i]) {
            tables = channels[i].Levels(rows[i], &levels[i]) && tables;
            direct = direct && levels[i].direct;
        }
    }
    const bool rgb = layout.model == model_rgb;
    if (tables && (rgb || layout.model == model_grey)) {
        if (rgb && alpha)
            compose_levels<T, true, true>(levels, direct, width, out);
        else if (rgb)
            compose_levels<T, true, false>(levels, direct, width, out);
        else if (alpha)
            compose_levels<T, false, true>(levels, direct, width, out);
        else
            compose_levels<T, false, false>(levels, direct, width, out);
        return;
    }
    const bool deep = sizeof(T) == 8;
    const int shift = deep ? 16 : 8;
    const T opaque = deep ? 0xFFFF : 0xFF;
    const double full = deep ? 65535.0 : 255.0;
    for (int32_t x = 0; x < width; ++x) {
        T r, g, b;
        if (layout.model == model_grey) {
            r = g = b = channels[0].Level(rows[0], x);
        } else if (rgb) {
            r = channels[0].Level(rows[0], x);
            g = channels[1].Level(rows[1], x);
            b = channels[2].Level(rows[2], x);
        } else {
            double converted[3];
            if (layout.model == model_ycc)
                j2k_ycc_to_rgb(channels[0].Unit(rows[0], x, false), channels[1].Unit(rows[1], x, true),
                               channels[2].Unit(rows[2], x, true), converted);
            else
                lab.ToRgb(channels[0].Raw(rows[0], x), channels[1].Raw(rows[1], x), channels[2].Raw(rows[2], x),
                          converted);
            r = T(converted[0] * full + 0.5);
            g = T(converted[1] * full + 0.5);
            b = T(converted[2] * full + 0.5);
        }
        T a = alpha ? T(channels[3].Level(rows[3], x)) : opaque;
        out[x] = a << (3 * shift) | r << (2 * shift) | g << shift | b;
    }
}

}  // namespace

bool j2k_image_to_picture(cPictBase* picture, const opj_image_t* image)
{
    if (!picture || !image || !image->comps)
        return false;
    const int64_t width = int64_t(image->x1) - image->x0;
    const int64_t height = int64_t(image->y1) - image->y0;
    cJ2kLayout layout;
    if (width <= 0 || height <= 0 || width * height > pict_max_pixels || !lay_out(image, &layout))
        return false;
    const int32_t w = int32_t(width);
    bool deep = false;
    for (int32_t i = 0; i < layout.colours; ++i)
        deep = deep || image->comps[layout.colour[i]].prec > 8;
    if (layout.alpha >= 0)
        deep = deep || image->comps[layout.alpha].prec > 8;

    // Channels 0-2 colour, 3 alpha.
    cJ2kChannel channels[4];
    bool used[4] = {true, layout.colours == 3, layout.colours == 3, layout.alpha >= 0};
    const int32_t component[4] = {layout.colour[0], layout.colour[1], layout.colour[2], layout.alpha};
    _typebuf<uint64_t> target_row(w);  // a row on its way to an output target
    if (!target_row.Data())
        return false;
    for (int32_t i = 0; i < 4; ++i)
        if (used[i] && !channels[i].Prepare(&image->comps[component[i]], image, w, deep))
            return false;
    cJ2kLab lab;
    if (layout.model == model_lab)
        lab.Prepare(image, image->comps[layout.colour[0]].prec, image->comps[layout.colour[1]].prec,
                    image->comps[layout.colour[2]].prec);

    if (!picture->BeginPixels(w, int32_t(height), deep))
        return false;
    for (int32_t y = 0; y < int32_t(height); ++y) {
        const OPJ_INT32* rows[4] = {};
        for (int32_t i = 0; i < 4; ++i)
            if (used[i])
                rows[i] = channels[i].Row(image, y);
        const int32_t to = int32_t(height) - 1 - y;
        if (deep) {
            uint64_t* out = picture->output ? target_row.Data() : picture->pixels64.Data() + size_t(to) * w;
            compose_row(layout, channels, lab, rows, w, out);
            for (int32_t x = 0; picture->output && x < w; ++x)
                picture->PutPixel64(x, to, out[x]);
        } else {
            uint32_t* out = picture->output ? reinterpret_cast<uint32_t*>(target_row.Data())
                                            : picture->pixels32.Data() + size_t(to) * w;
            compose_row(layout, channels, lab, rows, w, out);
            for (int32_t x = 0; picture->output && x < w; ++x)
                picture->PutPixel32(x, to, out[x]);
        }
    }
    if (picture->output)
        picture->FinishOutput();
    return true;
}
