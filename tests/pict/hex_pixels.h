#ifndef TESTS_PICT_HEX_PIXELS_H
#define TESTS_PICT_HEX_PIXELS_H

#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

// Compares pixels with hex ones ("????????" matches anything) channel by
// channel within tolerance; digits is 8 for 32-bit and 16 for deep pixels.
// With alpha_only_when_clear, an expected pixel of alpha 0 checks only the
// alpha.
template <class T>
void expect_pixels_near(const T* got, size_t count, const std::string& expected, int digits, int tolerance,
                        bool alpha_only_when_clear = false)
{
    ASSERT_EQ(expected.size(), count * digits);
    const int bits = digits;  // a channel has a quarter of the pixel's 4 * digits bits
    const uint64_t mask = (1ull << bits) - 1;
    for (size_t i = 0; i < count; ++i) {
        const std::string field = expected.substr(i * digits, digits);
        if (field[0] == '?')
            continue;
        uint64_t want = std::stoull(field, nullptr, 16);
        for (int c = alpha_only_when_clear && (want >> (3 * bits)) == 0 ? 3 : 0; c < 4; ++c) {
            int64_t a = int64_t(uint64_t(got[i]) >> (c * bits) & mask);
            int64_t b = int64_t(want >> (c * bits) & mask);
            if (llabs(a - b) > tolerance) {
                ADD_FAILURE() << "pixel " << i << " channel " << c << ": " << a << " instead of " << b;
                return;
            }
        }
    }
}

#endif
