#ifndef BENCH_PICT_PIXELS_H
#define BENCH_PICT_PIXELS_H

#include <stddef.h>
#include <stdint.h>

#include <memory>

// Pixels as a reference decoder gives them: a block allocated for the
// decode and not cleared, as the program's own buffer is.
struct cPixels {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
};

#endif
