#include "gui/image_buffer.h"

#include <string.h>

void cImageBuffer::Init()
{
    pixels.Clear();
    width = 0;
    height = 0;
}

bool cImageBuffer::IsConsistent() const
{
    return pixels.Data() && width > 0 && height > 0 && int64_t(width) * height == pixels.Count();
}

bool cImageBuffer::Attach(_typebuf<uint32_t>& block, int32_t new_width, int32_t new_height)
{
    _typebuf<uint32_t> old(static_cast<_typebuf<uint32_t>&&>(pixels));
    pixels = static_cast<_typebuf<uint32_t>&&>(block);
    block = static_cast<_typebuf<uint32_t>&&>(old);
    block.Clear();
    width = new_width;
    height = new_height;
    return pixels.Data() && width && height;
}

bool cImageBuffer::AllocateBlock(int64_t count, _typebuf<uint32_t>& block)
{
    if (count <= 0 || count > INT32_MAX / int32_t(sizeof(uint32_t)))
        return false;
    _typebuf<uint32_t> fresh;
    fresh.Resize(int32_t(count));
    if (!fresh.Data())
        return false;
    block = static_cast<_typebuf<uint32_t>&&>(fresh);
    return true;
}

bool cImageBuffer::Resize(int32_t new_width, int32_t new_height)
{
    if (new_width <= 0 || new_height <= 0)
        return false;
    int64_t count = int64_t(new_width) * new_height;
    // Compared with the block actually held, so that a block attached with
    // a mismatched size is never written past its end.
    if (count != pixels.Count()) {
        if (!AllocateBlock(count, pixels))
            return false;
        memset(pixels.Data(), 0, size_t(count) * sizeof(uint32_t));
    }
    width = new_width;
    height = new_height;
    return true;
}

bool cImageBuffer::SetPixels(const uint32_t* source, int32_t source_width, int32_t source_height, bool flip)
{
    if (!source || !Resize(source_width, source_height))
        return false;
    for (int32_t row = 0; row < source_height; ++row) {
        int32_t from = flip ? source_height - 1 - row : row;
        memmove(pixels.Data() + size_t(row) * source_width, source + size_t(from) * source_width,
               size_t(source_width) * sizeof(uint32_t));
    }
    return true;
}

bool cImageBuffer::Fill(uint32_t colour, int32_t new_width, int32_t new_height)
{
    if (!Resize(new_width, new_height))
        return false;
    uint32_t* p = pixels.Data();
    for (int32_t i = 0; i < pixels.Count(); ++i)
        p[i] = colour;
    return true;
}
