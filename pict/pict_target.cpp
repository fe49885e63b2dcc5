#include "pict/pict_target.h"

#include <string.h>

#include "pict/pict_base.h"

namespace {

int32_t fitted_size(int32_t size, double zoom)
{
    int32_t fitted = int32_t(size * zoom + 0.5);
    return fitted < 1 ? 1 : fitted;
}

int32_t at_most(int32_t value, int32_t limit)
{
    return value < limit ? value : limit;
}

// The 32-bit float of one third, by which a colour channel delivered on its
// own weighs, so that the three colour channels of a pixel weigh about 1.
const float channel_weight = 0.3333333134651184f;

}  // namespace

void pict_target_init(cPictTarget* target, cPictBase* picture)
{
    if (!target)
        return;
    memset(target, 0, sizeof *target);
    target->zoom = 1.0;
    if (picture) {
        target->pixels = picture->pixels32.Data();
        target->width = picture->width;
        target->height = picture->height;
    }
}

bool pict_target_is_valid(const cPictTarget* target)
{
    return target && target->pixels && target->width >= 1 && target->height >= 1;
}

void pict_target_fill_around(cPictTarget* target, int32_t hole_width, int32_t hole_height, int32_t* left,
                             int32_t* top)
{
    int32_t tw = target->width;
    int32_t th = target->height;
    *left = tw > hole_width ? (tw - hole_width) / 2 : 0;
    *top = th > hole_height ? (th - hole_height) / 2 : 0;
    int32_t hole_right = at_most(*left + hole_width, tw);
    int32_t hole_bottom = at_most(*top + hole_height, th);
    for (int32_t y = 0; y < th; ++y) {
        uint32_t* row = target->pixels + size_t(y) * tw;
        bool in_hole = y >= *top && y < hole_bottom;
        for (int32_t x = 0; x < tw; ++x)
            if (!in_hole || x < *left || x >= hole_right)
                row[x] = target->background;
    }
}

bool cPictBase::SetOutputTarget(cPictTarget* target)
{
    if (!pict_target_is_valid(target))
        return false;
    output = target;
    return true;
}

bool cPictBase::BeginOutput()
{
    if (!pict_target_is_valid(output) || width <= 0 || height <= 0) {
        output = nullptr;
        return false;
    }
    cPictTarget* target = output;
    const int32_t tw = target->width;
    const int32_t th = target->height;
    visible_first_column = 0;
    visible_last_column = width - 1;
    visible_first_row = 0;
    visible_last_row = height - 1;
    scaled_width = 0;
    scaled_height = 0;
    if (tw >= width && th >= height) {
        pict_target_fill_around(target, width, height, &margin_left, &margin_top);
        zoom = 1.0;
        target->x_offset = 0;
        target->y_offset = 0;
    } else if (target->fit_mode == 0) {
        double fit = double(tw) / width < double(th) / height ? double(tw) / width : double(th) / height;
        int32_t sw = fitted_size(width, fit);
        int32_t sh = fitted_size(height, fit);
        pict_target_fill_around(target, sw, sh, &margin_left, &margin_top);
        zoom = width > height ? double(sw) / width : double(sh) / height;
        target->x_offset = 0;
        target->y_offset = 0;
        if (zoom < 1.0) {
            // Never past the hole the margins were made for.
            scaled_width = at_most(fitted_size(width, zoom), sw);
            scaled_height = at_most(fitted_size(height, zoom), sh);
        }
    } else if (target->fit_mode == 1) {
        if (target->zoom > 1.0)
            target->zoom = 1.0;
        if (!(target->zoom > 0.0)) {
            output = nullptr;
            return false;
        }
        zoom = target->zoom;
        int32_t sw = fitted_size(width, zoom);
        int32_t sh = fitted_size(height, zoom);
        int32_t x_limit = sw > tw ? int32_t((sw - tw) / zoom + 0.5) : 0;
        int32_t y_limit = sh > th ? int32_t((sh - th) / zoom + 0.5) : 0;
        target->x_offset = target->x_offset < 0 ? 0 : at_most(target->x_offset, x_limit);
        target->y_offset = target->y_offset < 0 ? 0 : at_most(target->y_offset, y_limit);
        int32_t vw = at_most(tw, sw);
        int32_t vh = at_most(th, sh);
        visible_first_column = target->x_offset;
        visible_last_column = int32_t(vw / zoom + 0.5 + target->x_offset);
        visible_first_row = target->y_offset;
        visible_last_row = int32_t(vh / zoom + 0.5 + target->y_offset);
        scaled_width = vw;
        scaled_height = vh;
        pict_target_fill_around(target, vw, vh, &margin_left, &margin_top);
    } else {
        output = nullptr;
        return false;
    }
    if (zoom < 1.0) {
        int64_t cells = int64_t(scaled_width) * scaled_height;
        output_sums.Resize(int32_t(cells * 4));
        output_weights.Resize(int32_t(cells));
        if (!output_sums.Data() || !output_weights.Data()) {
            output_sums.Clear();
            output_weights.Clear();
            output = nullptr;
            return false;
        }
        memset(output_sums.Data(), 0, size_t(cells) * 4 * sizeof(float));
        memset(output_weights.Data(), 0, size_t(cells) * sizeof(float));
    }
    return true;
}

template <class Cell>
void cPictBase::DeliverScaled(int32_t x, int32_t y, Cell deliver)
{
    const int32_t sx = x - output->x_offset;
    const int32_t sy = y - output->y_offset;
    if (zoom < 0.5) {
        int32_t cell_x = int32_t(sx * zoom + 0.5);
        int32_t cell_y = int32_t(sy * zoom + 0.5);
        if (cell_x >= 0 && cell_x < scaled_width && cell_y >= 0 && cell_y < scaled_height)
            deliver(cell_x, cell_y, 1.0f);
        return;
    }
    const float z = float(zoom);
    const float px = float(sx) * z;
    const float py = float(sy) * z;
    if (!(px >= 0 && px < scaled_width && py >= 0 && py < scaled_height))
        return;
    const int32_t ix = int32_t(px);
    const int32_t iy = int32_t(py);
    const int32_t ex = int32_t(px + z);
    const int32_t ey = int32_t(py + z);
    // A pixel whose span ends in the next cell gives it its share; the last
    // cell of a row or column takes part like every other.
    const bool split_x = ex != ix && ex < scaled_width;
    const bool split_y = ey != iy && ey < scaled_height;
    const float wx = split_x ? float(ex) - px : 1.0f;
    const float wy = split_y ? float(ey) - py : 1.0f;
    deliver(ix, iy, wx * wy);
    if (split_x)
        deliver(ix + 1, iy, (1.0f - wx) * wy);
    if (split_y)
        deliver(ix, iy + 1, wx * (1.0f - wy));
    if (split_x && split_y)
        deliver(ix + 1, iy + 1, (1.0f - wx) * (1.0f - wy));
}

uint32_t* cPictBase::UnscaledTargetPixel(int32_t x, int32_t y)
{
    int32_t tx = x - output->x_offset + margin_left;
    int32_t ty = y - output->y_offset + margin_top;
    if (tx < 0 || tx >= output->width || ty < 0 || ty >= output->height)
        return nullptr;
    return output->pixels + size_t(ty) * output->width + tx;
}

template <class Add>
bool cPictBase::Accumulate(int32_t x, int32_t y, Add add)
{
    if (!output_weights.Data())
        return false;
    float* sums = output_sums.Data();
    float* weights = output_weights.Data();
    const int32_t stride = scaled_width;
    DeliverScaled(x, y, [&](int32_t cx, int32_t cy, float share) {
        size_t cell = size_t(cy) * stride + cx;
        add(sums + cell * 4, weights + cell, share);
    });
    return true;
}

bool cPictBase::PutPixel32(int32_t x, int32_t y, uint32_t pixel)
{
    if (!output)
        return false;
    if (zoom == 1.0) {
        if (uint32_t* at = UnscaledTargetPixel(x, y))
            *at = pixel;
        return true;
    }
    return Accumulate(x, y, [pixel](float* sums, float* weight, float share) {
        for (int c = 0; c < 4; ++c)
            sums[c] += float((pixel >> (8 * c)) & 0xFF) * share;
        *weight += share;
    });
}

bool cPictBase::PutPixel64(int32_t x, int32_t y, uint64_t pixel)
{
    return PutPixel32(x, y, pict_deep_to_32(pixel, 1.0 / deep_divisor, deep_offset));
}

bool cPictBase::PutChannel(int32_t x, int32_t y, int32_t channel, uint8_t value)
{
    if (!output || channel < 0 || channel > 3)
        return false;
    if (zoom == 1.0) {
        if (uint32_t* at = UnscaledTargetPixel(x, y))
            *at |= uint32_t(value) << (8 * channel);
        return true;
    }
    return Accumulate(x, y, [channel, value](float* sums, float* weight, float share) {
        sums[channel] += float(value) * share;
        if (channel < 3)
            *weight += share * channel_weight;
    });
}

bool cPictBase::PutChannel16(uint16_t value, int32_t x, int32_t y, int32_t channel)
{
    double scaled = (double(value) + deep_offset) / deep_divisor;
    uint8_t v = scaled <= 0.0 ? 0 : scaled >= 255.0 ? 255 : uint8_t(scaled);
    return PutChannel(x, y, channel, v);
}

bool cPictBase::IsRowSpanVisible(int32_t first_row, int32_t first_column, int32_t last_row)
{
    return !(first_column > visible_last_column || first_row > visible_last_row || last_row < visible_first_row);
}

void cPictBase::FinishOutput()
{
    if (output && zoom != 1.0 && output_weights.Data()) {
        const float* sums = output_sums.Data();
        const float* weights = output_weights.Data();
        for (int32_t cy = 0; cy < scaled_height; ++cy)
            for (int32_t cx = 0; cx < scaled_width; ++cx) {
                size_t cell = size_t(cy) * scaled_width + cx;
                uint32_t pixel = 0;
                if (weights[cell] != 0.0f) {
                    float reciprocal = 1.0f / weights[cell];
                    for (int c = 0; c < 4; ++c) {
                        int32_t v = int32_t(sums[cell * 4 + c] * reciprocal + 0.5f);
                        pixel |= uint32_t(v > 255 ? 255 : v < 0 ? 0 : v) << (8 * c);
                    }
                }
                int32_t tx = margin_left + cx;
                int32_t ty = margin_top + cy;
                if (tx < output->width && ty < output->height)
                    output->pixels[size_t(ty) * output->width + tx] = pixel;
            }
    }
    output_sums.Clear();
    output_weights.Clear();
    output = nullptr;
}

bool cPictBase::BeginPixels(int32_t new_width, int32_t new_height, bool deep_pixels)
{
    width = new_width;
    height = new_height;
    deep = deep_pixels;
    if (BeginOutput())
        return true;
    return deep_pixels ? AllocDeepPixels(new_width, new_height) : AllocPixels32(new_width, new_height);
}

void cPictBase::StorePixel32(int32_t x, int32_t y, uint32_t pixel)
{
    if (output)
        PutPixel32(x, y, pixel);
    else
        pixels32.Data()[size_t(y) * width + x] = pixel;
}
