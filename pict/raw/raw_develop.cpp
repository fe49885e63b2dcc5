#include "pict/raw/raw_develop.h"

#include <string.h>

cRawFilterPattern::cRawFilterPattern(int32_t tile_width, int32_t tile_height, const uint8_t* tile)
    : width(tile_width >= 1 && tile_width <= 8 ? tile_width : 1),
      height(tile_height >= 1 && tile_height <= 8 ? tile_height : 1)
{
    memset(colours, 0, sizeof colours);
    if (tile && width == tile_width && height == tile_height)
        memcpy(colours, tile, size_t(width * height));
}

cRawFilterPattern::~cRawFilterPattern()
{
}

int32_t cRawFilterPattern::ColourAt(int32_t x, int32_t y) const
{
    const int32_t column = ((x % width) + width) % width;
    const int32_t row = ((y % height) + height) % height;
    return colours[row * width + column];
}

cRawDevelopParams::cRawDevelopParams()
    : raw(nullptr), output(nullptr), raw_width(0), raw_height(0), pattern(nullptr), progress(nullptr),
      multipliers{1.0, 1.0, 1.0, 1.0}, bottom_up(1), black_level(0), sample_minimum(0), sample_maximum(65535)
{
}

cRawDevelopParams::~cRawDevelopParams()
{
    delete pattern;
}

void raw_develop_params_init(cRawDevelopParams* params, const uint16_t* raw, uint64_t* output, int32_t raw_width,
                             int32_t raw_height, cRawFilterPattern* pattern, int32_t black_level, double red,
                             double green, double blue)
{
    params->raw = raw;
    params->output = output;
    params->raw_width = raw_width;
    params->raw_height = raw_height;
    if (params->pattern != pattern)
        delete params->pattern;
    params->pattern = pattern;
    params->progress = nullptr;
    params->multipliers[0] = red;
    params->multipliers[1] = green;
    params->multipliers[2] = blue;
    params->multipliers[3] = green;
    params->bottom_up = 1;
    params->black_level = black_level;
    params->sample_minimum = 0;
    params->sample_maximum = 65535;
}
