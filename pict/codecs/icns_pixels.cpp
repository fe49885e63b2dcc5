#include "pict/codecs/icns_pixels.h"

#include <string.h>

namespace {

const uint32_t palette4[16] = {0xFFFFFF, 0xFCF305, 0xFF6402, 0xDD0806, 0xF20884, 0x4600A5, 0x0000D4, 0x02ABEA,
                               0x1FB714, 0x006411, 0x562C05, 0x90713A, 0xC0C0C0, 0x808080, 0x404040, 0x000000};

// The 256 colours: a cube of six levels a channel, red slowest, without
// its black corner; then ramps of ten levels of red, green, blue and grey;
// then black.
uint32_t palette8(uint32_t index)
{
    static const uint8_t cube[6] = {0xFF, 0xCC, 0x99, 0x66, 0x33, 0x00};
    static const uint8_t ramp[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    if (index < 215)
        return uint32_t(cube[index / 36]) << 16 | uint32_t(cube[index / 6 % 6]) << 8 | cube[index % 6];
    if (index < 255) {
        const uint32_t level = ramp[(index - 215) % 10];
        switch ((index - 215) / 10) {
        case 0: return level << 16;
        case 1: return level << 8;
        case 2: return level;
        default: return level * 0x010101u;
        }
    }
    return 0;
}

}  // namespace

uint32_t icns_palette_colour(int32_t depth, uint32_t index)
{
    return depth == 4 ? palette4[index & 15] : palette8(index & 255);
}

bool icns_rle_decode(const uint8_t* data, uint32_t length, uint8_t* out, int32_t pixel_count)
{
    memset(out, 0, size_t(pixel_count) * 3);
    uint32_t at = length >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0 ? 4 : 0;
    bool exact = true;
    for (int32_t channel = 0; channel < 3; ++channel) {
        int32_t filled = 0;
        while (filled < pixel_count && at < length) {
            const uint8_t control = data[at++];
            const bool repeat = control >= 0x80;
            const uint32_t count = repeat ? control - 125u : control + 1u;
            const uint32_t taken = repeat ? 1 : count;
            exact = exact && taken <= length - at && count <= uint32_t(pixel_count - filled);
            for (uint32_t i = 0; i < count && filled < pixel_count && at + (repeat ? 0 : i) < length; ++i)
                out[size_t(filled++) * 3 + channel] = data[at + (repeat ? 0 : i)];
            at = taken > length - at ? length : at + taken;
        }
        exact = exact && filled == pixel_count;
    }
    return exact && at == length;
}
