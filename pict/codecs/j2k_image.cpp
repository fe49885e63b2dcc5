#include "pict/codecs/j2k_image.h"

#include <string.h>

#include "pict/codecs/j2k_colour.h"

namespace {

// One component's samples on the image's grid.
class cJ2kChannel {
public:
    cJ2kChannel() : component(nullptr), top(0), signed_offset(0) {}

    // Maps each image column to the sample that covers it and, for
    // precisions up to 16 bits, each sample value to its channel level.
    // False for a component without samples.
    bool Prepare(const opj_image_comp_t* c, const opj_image_t* image, int32_t width, bool deep)
    {
        component = c;
        if (!c || !c->data || c->w == 0 || c->h == 0 || c->dx == 0 || c->dy == 0 || c->prec == 0 || c->prec > 31)
            return false;
        top = (int64_t(1) << c->prec) - 1;
        signed_offset = c->sgnd ? int64_t(1) << (c->prec - 1) : 0;
        columns.Resize(width);
        if (!columns.Data())
            return false;
        for (int32_t x = 0; x < width; ++x)
            columns[x] = Index(image->x0 + uint32_t(x), c->dx, c->x0, c->w);
        levels.Clear();
        if (c->prec <= 16) {
            levels.Resize(int32_t(top + 1));
            if (!levels.Data())
                return false;
            for (int64_t v = 0; v <= top; ++v)
                levels[int32_t(v)] = uint16_t(Scale(v, deep));
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
    uint32_t Level(const OPJ_INT32* row, int32_t x, bool deep) const
    {
        int64_t v = Sample(row, x);
        return levels.Data() ? levels[int32_t(v)] : Scale(v, deep);
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

    uint32_t Scale(int64_t v, bool deep) const
    {
        const int64_t full = deep ? 65535 : 255;
        return uint32_t((v * full + top / 2) / top);
    }

    const opj_image_comp_t* component;
    int64_t top;  // the largest sample, 2^precision - 1
    int64_t signed_offset;
    _typebuf<uint32_t> columns;
    _typebuf<uint16_t> levels;
};

enum eJ2kModel { model_grey, model_rgb, model_ycc, model_lab };

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
                    : image->color_space == OPJ_CLRSPC_SYCC || image->color_space == OPJ_CLRSPC_EYCC ? model_ycc
                                                                                                      : model_rgb;
    layout->colours = colour ? 3 : 1;
    memcpy(layout->colour, others, sizeof(int32_t) * size_t(layout->colours));
    return true;
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
    bool deep = false;
    for (int32_t i = 0; i < layout.colours; ++i)
        deep = deep || image->comps[layout.colour[i]].prec > 8;
    if (layout.alpha >= 0)
        deep = deep || image->comps[layout.alpha].prec > 8;

    cJ2kChannel channels[4];
    for (int32_t i = 0; i < layout.colours; ++i)
        if (!channels[i].Prepare(&image->comps[layout.colour[i]], image, int32_t(width), deep))
            return false;
    if (layout.alpha >= 0 && !channels[3].Prepare(&image->comps[layout.alpha], image, int32_t(width), deep))
        return false;
    cJ2kLab lab;
    if (layout.model == model_lab)
        lab.Prepare(image, image->comps[layout.colour[0]].prec, image->comps[layout.colour[1]].prec,
                    image->comps[layout.colour[2]].prec);

    if (!picture->BeginPixels(int32_t(width), int32_t(height), deep))
        return false;
    const double full = deep ? 65535.0 : 255.0;
    const uint64_t opaque = deep ? 0xFFFF : 0xFF;
    const int shift = deep ? 16 : 8;
    for (int32_t y = 0; y < int32_t(height); ++y) {
        const int32_t to = int32_t(height) - 1 - y;
        const OPJ_INT32* rows[4] = {};
        for (int32_t i = 0; i < 4; ++i)
            if (i < layout.colours || (i == 3 && layout.alpha >= 0))
                rows[i] = channels[i].Row(image, y);
        for (int32_t x = 0; x < int32_t(width); ++x) {
            uint64_t r, g, b;
            if (layout.model == model_grey) {
                r = g = b = channels[0].Level(rows[0], x, deep);
            } else if (layout.model == model_rgb) {
                r = channels[0].Level(rows[0], x, deep);
                g = channels[1].Level(rows[1], x, deep);
                b = channels[2].Level(rows[2], x, deep);
            } else {
                double rgb[3];
                if (layout.model == model_ycc)
                    j2k_ycc_to_rgb(channels[0].Unit(rows[0], x, false), channels[1].Unit(rows[1], x, true),
                                   channels[2].Unit(rows[2], x, true), rgb);
                else
                    lab.ToRgb(channels[0].Raw(rows[0], x), channels[1].Raw(rows[1], x), channels[2].Raw(rows[2], x),
                              rgb);
                r = uint64_t(rgb[0] * full + 0.5);
                g = uint64_t(rgb[1] * full + 0.5);
                b = uint64_t(rgb[2] * full + 0.5);
            }
            uint64_t a = layout.alpha >= 0 ? channels[3].Level(rows[3], x, deep) : opaque;
            uint64_t pixel = a << (3 * shift) | r << (2 * shift) | g << shift | b;
            if (deep)
                picture->StorePixel64(x, to, pixel);
            else
                picture->StorePixel32(x, to, uint32_t(pixel));
        }
    }
    if (picture->output)
        picture->FinishOutput();
    return true;
}
