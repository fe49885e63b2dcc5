#ifndef PICT_RAW_RAW_DEVELOP_H
#define PICT_RAW_RAW_DEVELOP_H

#include <stdint.h>

#include "pict/progress_target.h"

// A sensor's colour-filter pattern: the colour (0 red, 1 green, 2 blue) of
// each site of a tile of up to 8 x 8 sites that repeats over the sensor.
class cRawFilterPattern {
public:
    // colours: width x height entries, row by row; sizes outside 1..8
    // become 1.
    cRawFilterPattern(int32_t width, int32_t height, const uint8_t* colours);
    virtual ~cRawFilterPattern();
    cRawFilterPattern(const cRawFilterPattern&) = delete;
    cRawFilterPattern& operator=(const cRawFilterPattern&) = delete;

    int32_t ColourAt(int32_t x, int32_t y) const;

    int32_t width;
    int32_t height;
    uint8_t colours[64];
};

// What raw development works from: the samples, where the pixels go, the
// sensor's pattern (owned) and levels.
class cRawDevelopParams {
public:
    cRawDevelopParams();
    ~cRawDevelopParams();
    cRawDevelopParams(const cRawDevelopParams&) = delete;
    cRawDevelopParams& operator=(const cRawDevelopParams&) = delete;

    const uint16_t* raw;  // raw_width x raw_height samples, not owned
    uint64_t* output;     // deep pixels, not owned
    int32_t raw_width;
    int32_t raw_height;
    cRawFilterPattern* pattern;        // owned
    cProgressNotifyTarget* progress;   // not owned; null for none
    double multipliers[4];             // red, green, blue, second green
    uint8_t bottom_up;
    int32_t black_level;
    int32_t sample_minimum;
    int32_t sample_maximum;
};

// Fills params (taking the pattern over, freeing one it held): no progress
// receiver, the green multiplier for both greens, rows bottom-up, samples
// bounded by 0 and 65535.
void raw_develop_params_init(cRawDevelopParams* params, const uint16_t* raw, uint64_t* output, int32_t raw_width,
                             int32_t raw_height, cRawFilterPattern* pattern, int32_t black_level, double red,
                             double green, double blue);

#endif
