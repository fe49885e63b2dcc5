#include "pict/pict_base.h"

#include <string.h>

#include "pict/pict_fit.h"

namespace {

bool valid_size(int32_t width, int32_t height)
{
    return width > 0 && height > 0 && int64_t(width) * height <= pict_max_pixels;
}

template <class T>
void swap_buffers(_typebuf<T>& a, _typebuf<T>& b)
{
    _typebuf<T> held(static_cast<_typebuf<T>&&>(a));
    a = static_cast<_typebuf<T>&&>(b);
    b = static_cast<_typebuf<T>&&>(held);
}

// Makes buffer width x height zero pixels (reallocated only for another
// count) and frees the buffer of the other kind.
template <class T, class Other>
bool allocate_zeroed(cPictBase& picture, _typebuf<T>& buffer, _typebuf<Other>& other, int32_t width,
                     int32_t height, uint8_t deep)
{
    if (!valid_size(width, height))
        return false;
    picture.width = width;
    picture.height = height;
    picture.deep = deep;
    other.Clear();
    int32_t count = width * height;
    if (buffer.Count() != count)
        buffer.Resize(count);
    if (!buffer.Data())
        return false;
    memset(buffer.Data(), 0, size_t(count) * sizeof(T));
    return true;
}

template <class T>
bool flip_rows(_typebuf<T>& buffer, int32_t width, int32_t height)
{
    if (!buffer.Data() || int64_t(width) * height > buffer.Count())
        return false;
    T* pixels = buffer.Data();
    for (int32_t i = 0; i < height / 2; ++i) {
        T* a = pixels + size_t(i) * width;
        T* b = pixels + size_t(height - 1 - i) * width;
        for (int32_t x = 0; x < width; ++x) {
            T held = a[x];
            a[x] = b[x];
            b[x] = held;
        }
    }
    return true;
}

}  // namespace

uint32_t pict_deep_to_32(uint64_t pixel, double reciprocal, int32_t offset)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 4; ++shift) {
        double value = (double(uint16_t(pixel >> (16 * shift))) + offset) * reciprocal;
        int32_t channel = value <= 0.0 ? 0 : value >= 255.0 ? 255 : int32_t(value);
        result |= uint32_t(channel) << (8 * shift);
    }
    return result;
}

cPictBase::cPictBase()
    : progress(nullptr), width(0), height(0), deep_divisor(256.0), deep_offset(0), deep(0),
      option_moves_with_pixels(1), option_raw(1), scaled_width(0), scaled_height(0), output(nullptr),
      margin_left(0), margin_top(0), zoom(1.0), visible_first_column(0), visible_last_column(0),
      visible_first_row(0), visible_last_row(0)
{
}

cPictBase::~cPictBase()
{
    output_weights.Clear();
    output_sums.Clear();
    tree_clear(properties);
    pixels64.Clear();
    pixels32.Clear();
    delete progress;
}

int32_t cPictBase::GetFormatId()
{
    return 0;
}

bool cPictBase::HasDeepPixels()
{
    return deep != 0;
}

bool cPictBase::CopyPixels32(_typebuf<uint32_t>& out)
{
    if (deep)
        return ConvertDeepTo32(pixels64.Data(), pixels64.Count(), out);
    if (!pixels32.Data())
        return false;
    out.Resize(pixels32.Count());
    if (!out.Data())
        return false;
    memcpy(out.Data(), pixels32.Data(), size_t(out.Count()) * sizeof(uint32_t));
    return true;
}

int32_t cPictBase::GetWidth()
{
    return width;
}

int32_t cPictBase::GetHeight()
{
    return height;
}

bool cPictBase::CanDecodeToTarget()
{
    return false;
}

bool cPictBase::HasPages()
{
    return false;
}

int32_t cPictBase::GetPageCount(cFileIOTarget*)
{
    return 1;
}

bool cPictBase::GetPageInfo(cFileIOTarget* stream, int32_t page, int32_t* page_width, int32_t* page_height)
{
    if (page != 0 || !stream)
        return false;
    cPictInfo info = {};
    if (!ReadInfo(stream, &info))
        return false;
    if (page_width)
        *page_width = info.width;
    if (page_height)
        *page_height = info.height;
    return true;
}

bool cPictBase::LoadPage(cFileIOTarget* stream, int32_t page)
{
    return page == 0 && Load(stream);
}

bool cPictBase::LoadPageScaled(cFileIOTarget* stream, cPictBase* target, int32_t maximum_width,
                               int32_t maximum_height, int32_t page, bool full_decode_allowed, uint32_t background)
{
    if (page != 0 || !stream)
        return false;
    cPictInfo info = {};
    if (!ReadInfo(stream, &info) || !stream->Seek(0))
        return false;
    return pict_load_fit(&info, this, stream, target, maximum_width, maximum_height, full_decode_allowed,
                         background) == 0;
}

bool cPictBase::LoadPreview(cFileIOTarget*, cPictBase*, int32_t, int32_t)
{
    return false;
}

bool cPictBase::AllocPixels32(int32_t new_width, int32_t new_height)
{
    return allocate_zeroed(*this, pixels32, pixels64, new_width, new_height, 0);
}

bool cPictBase::AllocDeepPixels(int32_t new_width, int32_t new_height)
{
    return allocate_zeroed(*this, pixels64, pixels32, new_width, new_height, 1);
}

void cPictBase::TakePixels(cPictBase* source)
{
    if (!source || source == this)
        return;
    width = source->width;
    height = source->height;
    deep = source->deep;
    option_moves_with_pixels = source->option_moves_with_pixels;
    if (source->deep) {
        deep_divisor = source->deep_divisor;
        deep_offset = source->deep_offset;
        swap_buffers(pixels64, source->pixels64);
    } else {
        swap_buffers(pixels32, source->pixels32);
    }
    source->pixels32.Clear();
    source->pixels64.Clear();
}

void cPictBase::FreePixels()
{
    width = 0;
    height = 0;
    pixels32.Clear();
    pixels64.Clear();
}

bool cPictBase::DetachPixels32(_typebuf<uint32_t>& out)
{
    if (deep) {
        if (!pixels64.Data() || !ConvertDeepTo32(pixels64.Data(), pixels64.Count(), out))
            return false;
    } else {
        if (!pixels32.Data())
            return false;
        out = static_cast<_typebuf<uint32_t>&&>(pixels32);
    }
    FreePixels();
    return true;
}

bool cPictBase::ConvertDeepTo32(const uint64_t* deep_pixels, int32_t count, _typebuf<uint32_t>& out)
{
    if (!deep_pixels || count <= 0)
        return false;
    out.Resize(count);
    if (!out.Data())
        return false;
    double reciprocal = 1.0 / deep_divisor;
    uint32_t* to = out.Data();
    for (int32_t i = 0; i < count; ++i)
        to[i] = pict_deep_to_32(deep_pixels[i], reciprocal, deep_offset);
    return true;
}

bool cPictBase::FlipVertical()
{
    return deep ? flip_rows(pixels64, width, height) : flip_rows(pixels32, width, height);
}

bool cPictDummy::ReadInfo(cFileIOTarget*, cPictInfo*)
{
    return false;
}

bool cPictDummy::Load(cFileIOTarget*)
{
    return false;
}
