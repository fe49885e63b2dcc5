#include "pict/pict_base.h"

namespace {

// Pixel layouts: 8 or 16 bits a channel, alpha in the top channel.
template <class T>
struct cChannels {
    static const int bits = int(sizeof(T) * 2);
    static constexpr double full = double((1u << bits) - 1);
    static uint32_t Get(T pixel, int channel) { return uint32_t(pixel >> (bits * channel)) & ((1u << bits) - 1); }
};

template <class T>
bool stretch(cPictBase& picture, _typebuf<T>& buffer)
{
    typedef cChannels<T> C;
    int64_t count = int64_t(picture.width) * picture.height;
    if (count > buffer.Count())
        return false;
    T* pixels = buffer.Data();
    uint32_t low = UINT32_MAX;
    uint32_t high = 0;
    for (int64_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            uint32_t v = C::Get(pixels[i], c);
            low = v < low ? v : low;
            high = v > high ? v : high;
        }
    double scale = 1.0;
    if (low < high)
        scale = C::full / double(high - low);
    else
        low = 0;
    picture.deep = sizeof(T) == 8;
    bool to_target = picture.BeginOutput();
    for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            T& pixel = pixels[size_t(y) * picture.width + x];
            T stretched = T(C::full) << (3 * C::bits);
            for (int c = 0; c < 3; ++c)
                stretched |= T(uint32_t((double(C::Get(pixel, c)) - low) * scale)) << (C::bits * c);
            if (!to_target)
                pixel = stretched;
            else if (sizeof(T) == 8)
                picture.PutPixel64(x, y, uint64_t(stretched));
            else
                picture.PutPixel32(x, y, uint32_t(stretched));
        }
    if (to_target)
        picture.FinishOutput();
    return true;
}

}  // namespace

bool cPictBase::StretchLevels()
{
    if (width <= 0 || height <= 0)
        return true;
    // The buffer of the picture's kind: one of the other kind may be left
    // over from before the pixels were taken over.
    if (deep)
        return pixels64.Data() && stretch(*this, pixels64);
    return pixels32.Data() && stretch(*this, pixels32);
}
