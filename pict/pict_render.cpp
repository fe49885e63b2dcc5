#include "pict/pict_base.h"
#include "pict/pict_target.h"

namespace {

// A block of source pixels: columns x rows starting at first, rows stride
// pixels apart.
template <class T>
struct cSourceBlock {
    const T* first;
    int32_t stride;
    int32_t columns;
    int32_t rows;
};

// Channel c of a pixel on the 8-bit scale: deep channels are read times
// 1/256, whatever the picture's divisor.
inline double channel_of(uint32_t pixel, int c)
{
    return double((pixel >> (8 * c)) & 0xFF);
}

inline double channel_of(uint64_t pixel, int c)
{
    return double((pixel >> (16 * c)) & 0xFFFF) * (1.0 / 256.0);
}

// One pixel copied 1:1.
inline uint32_t copied(uint32_t pixel, const cPictBase&)
{
    return pixel;
}

inline uint32_t copied(uint64_t pixel, const cPictBase& picture)
{
    if (picture.deep_divisor != 256.0)
        return pict_deep_to_32(pixel, 1.0 / picture.deep_divisor, picture.deep_offset);
    uint32_t result = 0;
    for (int c = 0; c < 4; ++c) {
        int32_t v = (int32_t((pixel >> (16 * c)) & 0xFFFF) + picture.deep_offset) >> 8;
        result |= uint32_t(v < 0 ? 0 : v > 255 ? 255 : v) << (8 * c);
    }
    return result;
}

// How much of pixel i lies in [from, to).
inline double overlap(int32_t i, double from, double to)
{
    double low = i > from ? i : from;
    double high = i + 1 < to ? i + 1 : to;
    return high - low;
}

template <class T>
void copy_block(const cSourceBlock<T>& source, const cPictBase& picture, cPictTarget* target, int32_t left,
                int32_t top, int32_t columns, int32_t rows)
{
    for (int32_t y = 0; y < rows; ++y) {
        const T* from = source.first + size_t(y) * source.stride;
        uint32_t* to = target->pixels + size_t(top + y) * target->width + left;
        for (int32_t x = 0; x < columns; ++x)
            to[x] = copied(from[x], picture);
    }
}

// Box-scales the source block into out_width x out_height pixels of the
// target at (left, top), step_x and step_y source pixels a target pixel
// (at least 1). Works column by column through one column of accumulators.
template <class T>
bool box_scale(const cSourceBlock<T>& source, cPictTarget* target, int32_t left, int32_t top,
               int32_t out_width, int32_t out_height, double step_x, double step_y)
{
    _typebuf<double> column(source.rows * 4);
    if (!column.Data())
        return false;
    double* acc = column.Data();
    double x = 0.0;
    for (int32_t c = 0; c < out_width; ++c, x += step_x) {
        if (step_x == 1.0) {
            for (int32_t r = 0; r < source.rows; ++r)
                for (int k = 0; k < 4; ++k)
                    acc[r * 4 + k] = channel_of(source.first[size_t(r) * source.stride + c], k);
        } else {
            // The span ends at the row's end, however the steps add up.
            double end = x + step_x < source.columns ? x + step_x : source.columns;
            int32_t x0 = int32_t(x);
            int32_t x1 = int32_t(end);
            for (int32_t r = 0; r < source.rows; ++r) {
                const T* row = source.first + size_t(r) * source.stride;
                double sums[4] = {0, 0, 0, 0};
                double total = 0;
                for (int32_t i = x0; i <= x1 && i < source.columns; ++i) {
                    double w = overlap(i, x, end);
                    if (w <= (i == x1 ? 0.01 : 0.0))
                        continue;
                    for (int k = 0; k < 4; ++k)
                        sums[k] += channel_of(row[i], k) * w;
                    total += w;
                }
                for (int k = 0; k < 4; ++k)
                    acc[r * 4 + k] = total > 0 ? sums[k] / total : 0.0;
            }
        }
        double y = 0.0;
        for (int32_t r = 0; r < out_height; ++r, y += step_y) {
            uint32_t pixel = 0;
            if (step_y == 1.0) {
                for (int k = 0; k < 4; ++k) {
                    double v = acc[r * 4 + k];
                    pixel |= uint32_t(v < 0 ? 0 : v > 255 ? 255 : int32_t(v + 0.5)) << (8 * k);
                }
            } else {
                double end = y + step_y < source.rows ? y + step_y : source.rows;
                int32_t y0 = int32_t(y);
                int32_t y1 = int32_t(end);
                double sums[4] = {0, 0, 0, 0};
                double total = 0;
                for (int32_t i = y0; i <= y1 && i < source.rows; ++i) {
                    double w = overlap(i, y, end);
                    if (w <= 0)
                        continue;
                    for (int k = 0; k < 4; ++k)
                        sums[k] += acc[i * 4 + k] * w;
                    total += w;
                }
                for (int k = 0; k < 4; ++k) {
                    int32_t v = total > 0 ? int32_t(sums[k] * (1.0 / total)) : 0;
                    pixel |= uint32_t(v < 0 ? 0 : v > 255 ? 255 : v) << (8 * k);
                }
            }
            target->pixels[size_t(top + r) * target->width + left + c] = pixel;
        }
    }
    return true;
}

int32_t fitted_size(int32_t size, double zoom)
{
    int32_t fitted = int32_t(size * zoom + 0.5);
    return fitted < 1 ? 1 : fitted;
}

int32_t limited_offset(int32_t offset, int32_t scaled, int32_t room, double zoom)
{
    if (scaled <= room || offset < 0)
        return 0;
    int32_t limit = int32_t((scaled - room) / zoom + 0.5);
    return offset < limit ? offset : limit;
}

template <class T>
bool render(cPictTarget* target, const cPictBase& picture, const T* pixels)
{
    const int32_t w = picture.width;
    const int32_t h = picture.height;
    const int32_t tw = target->width;
    const int32_t th = target->height;
    int32_t left, top;
    if (tw >= w && th >= h) {
        pict_target_fill_around(target, w, h, &left, &top);
        copy_block(cSourceBlock<T>{pixels, w, w, h}, picture, target, left, top, w, h);
        return true;
    }
    if (target->fit_mode == 0) {
        double zoom = double(tw) / w < double(th) / h ? double(tw) / w : double(th) / h;
        int32_t sw = fitted_size(w, zoom);
        int32_t sh = fitted_size(h, zoom);
        pict_target_fill_around(target, sw, sh, &left, &top);
        // Each axis by its own step, so that both spans end at the edges.
        return box_scale(cSourceBlock<T>{pixels, w, w, h}, target, left, top, sw, sh, double(w) / sw,
                         double(h) / sh);
    }
    if (target->fit_mode != 1)
        return false;
    if (target->zoom > 1.0)
        target->zoom = 1.0;
    double zoom = target->zoom;
    if (!(zoom > 0.0))
        return false;
    int32_t sw = fitted_size(w, zoom);
    int32_t sh = fitted_size(h, zoom);
    target->x_offset = limited_offset(target->x_offset, sw, tw, zoom);
    target->y_offset = limited_offset(target->y_offset, sh, th, zoom);
    int32_t vw = sw < tw ? sw : tw;
    int32_t vh = sh < th ? sh : th;
    pict_target_fill_around(target, vw, vh, &left, &top);
    cSourceBlock<T> block = {pixels + size_t(target->y_offset) * w + target->x_offset, w, w - target->x_offset,
                             h - target->y_offset};
    if (sw == w && sh == h) {
        copy_block(block, picture, target, left, top, vw, vh);
        return true;
    }
    return box_scale(block, target, left, top, vw, vh, 1.0 / zoom, 1.0 / zoom);
}

}  // namespace

bool pict_target_render(cPictTarget* target, cPictBase* picture)
{
    if (!pict_target_is_valid(target) || !picture || picture->width <= 0 || picture->height <= 0)
        return false;
    int64_t count = int64_t(picture->width) * picture->height;
    if (picture->deep)
        return picture->pixels64.Count() >= count && render(target, *picture, picture->pixels64.Data());
    return picture->pixels32.Count() >= count && render(target, *picture, picture->pixels32.Data());
}
