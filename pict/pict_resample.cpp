#include "pict/pict_resample.h"

#include <string.h>

#include "pict/pict_base.h"

namespace {

// 8-bit channels in 32-bit pixels, 16-bit channels in deep pixels.
template <class T>
struct cChannelLayout {
    static const int bits = int(sizeof(T) * 2);
    static const uint32_t mask = (1u << bits) - 1;
    static double Get(T pixel, int c) { return double(uint32_t(pixel >> (bits * c)) & mask); }
    static T Put(double value, int c) { return T(uint32_t(value) & mask) << (bits * c); }
};

template <class T>
T blend(T a, double share_a, T b)
{
    typedef cChannelLayout<T> L;
    T result = 0;
    for (int c = 0; c < 4; ++c)
        result |= L::Put(L::Get(a, c) * share_a + L::Get(b, c) * (1.0 - share_a), c);
    return result;
}

template <class T>
void grow_row(const T* source, int32_t s, T* destination, int32_t d)
{
    const double step = double(s) / d;
    double p = 0.0;
    for (int32_t k = 0; k < d; ++k, p += step) {
        int32_t i = int32_t(p);
        if (i > s - 1)
            i = s - 1;
        double f = p - i;
        T value = source[i];
        if (f < 0.5 && i > 0)
            value = blend(source[i], f + 0.5, source[i - 1]);
        else if (f > 0.5 && i < s - 1)
            value = blend(source[i], 1.5 - f, source[i + 1]);
        destination[k] = value;
    }
}

template <class T>
void shrink_row(const T* source, int32_t s, T* destination, int32_t d)
{
    typedef cChannelLayout<T> L;
    const double step = double(s) / d;
    double p = 0.0;
    for (int32_t k = 0; k < d; ++k) {
        double end = p + step;
        int32_t first = int32_t(p);
        int32_t last = int32_t(end);
        double sums[4] = {0, 0, 0, 0};
        double total = 0.0;
        auto add = [&](int32_t i, double w) {
            for (int c = 0; c < 4; ++c)
                sums[c] += L::Get(source[i], c) * w;
            total += w;
        };
        int32_t start = first;
        if (p != first) {
            add(first, (first + 1) - p);
            start = first + 1;
        }
        for (int32_t i = start; i < last && i < s; ++i)
            add(i, 1.0);
        if (end > last && last < s)
            add(last, end - last);
        T value = 0;
        for (int c = 0; c < 4; ++c)
            value |= L::Put(sums[c] * (1.0 / total), c);
        destination[k] = value;
        p = end;
    }
}

template <class T>
bool resample_rows(int32_t rows, const T* source, T* destination, int32_t s, int32_t d)
{
    if (!source || !destination || rows <= 0 || s <= 0 || d <= 0)
        return false;
    for (int32_t r = 0; r < rows; ++r) {
        const T* from = source + size_t(r) * s;
        T* to = destination + size_t(r) * d;
        if (s == d)
            memcpy(to, from, size_t(s) * sizeof(T));
        else if (s < d)
            grow_row(from, s, to, d);
        else
            shrink_row(from, s, to, d);
    }
    return true;
}

template <class T>
void rotate_ccw(const T* source, T* destination, int32_t width, int32_t height)
{
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            destination[size_t(width - 1 - x) * height + y] = source[size_t(y) * width + x];
}

template <class T>
void rotate_cw(const T* source, T* destination, int32_t rows, int32_t columns)
{
    for (int32_t i = 0; i < rows; ++i)
        for (int32_t j = 0; j < columns; ++j)
            destination[size_t(j) * rows + (rows - 1 - i)] = source[size_t(i) * columns + j];
}

template <class T>
bool allocate(_typebuf<T>& buffer, int32_t width, int32_t height)
{
    if (int64_t(width) * height > pict_max_pixels)
        return false;
    buffer.Resize(width * height);
    return buffer.Data() != nullptr;
}

// Rows first, then the columns: turned into rows, scaled, turned back. Every
// step writes a buffer of its own.
template <class T>
bool resample(const T* source, int32_t w, int32_t h, int32_t new_width, int32_t new_height, _typebuf<T>& out)
{
    _typebuf<T> rows;
    if (!allocate(rows, new_width, h) || !resample_rows(h, source, rows.Data(), w, new_width))
        return false;
    if (new_height == h) {
        out = static_cast<_typebuf<T>&&>(rows);
        return true;
    }
    _typebuf<T> turned;
    _typebuf<T> scaled;
    if (!allocate(turned, h, new_width) || !allocate(scaled, new_height, new_width))
        return false;
    rotate_ccw(rows.Data(), turned.Data(), new_width, h);
    resample_rows(new_width, turned.Data(), scaled.Data(), h, new_height);
    rows.Clear();
    if (!allocate(out, new_width, new_height))
        return false;
    rotate_cw(scaled.Data(), out.Data(), new_width, new_height);
    return true;
}

}  // namespace

bool resample_rows_u8(int32_t rows, const uint32_t* source, uint32_t* destination, int32_t source_width,
                      int32_t destination_width)
{
    return resample_rows(rows, source, destination, source_width, destination_width);
}

bool resample_rows_u16(int32_t rows, const uint64_t* source, uint64_t* destination, int32_t source_width,
                       int32_t destination_width)
{
    return resample_rows(rows, source, destination, source_width, destination_width);
}

void rotate_ccw_u32(const uint32_t* source, uint32_t* destination, int32_t width, int32_t height)
{
    rotate_ccw(source, destination, width, height);
}

void rotate_ccw_u64(const uint64_t* source, uint64_t* destination, int32_t width, int32_t height)
{
    rotate_ccw(source, destination, width, height);
}

void rotate_cw_u32(const uint32_t* source, uint32_t* destination, int32_t rows, int32_t columns)
{
    rotate_cw(source, destination, rows, columns);
}

void rotate_cw_u64(const uint64_t* source, uint64_t* destination, int32_t rows, int32_t columns)
{
    rotate_cw(source, destination, rows, columns);
}

bool cPictBase::ResampleTo(int32_t new_width, int32_t new_height, cPictBase* destination)
{
    if (!destination)
        return false;
    const int64_t count = int64_t(width) * height;
    bool done = false;
    if (new_width > 0 && new_height > 0 && width > 0 && height > 0) {
        if (deep && pixels64.Count() >= count) {
            _typebuf<uint64_t> result;
            done = resample(pixels64.Data(), width, height, new_width, new_height, result);
            if (done)
                destination->pixels64 = static_cast<_typebuf<uint64_t>&&>(result);
        } else if (!deep && pixels32.Count() >= count) {
            _typebuf<uint32_t> result;
            done = resample(pixels32.Data(), width, height, new_width, new_height, result);
            if (done)
                destination->pixels32 = static_cast<_typebuf<uint32_t>&&>(result);
        }
    }
    if (!done) {
        destination->FreePixels();
        return false;
    }
    destination->width = new_width;
    destination->height = new_height;
    return true;
}
