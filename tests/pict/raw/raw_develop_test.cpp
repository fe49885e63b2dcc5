#include "pict/raw/raw_develop.h"

#include <gtest/gtest.h>

#include "pict/raw/pef_meta.h"

namespace {

// A pattern that counts its destruction.
class cCountedPattern : public cRawFilterPattern {
public:
    cCountedPattern(int* deaths, const uint8_t* colours) : cRawFilterPattern(2, 2, colours), deaths(deaths) {}
    ~cCountedPattern() override { ++*deaths; }
    int* deaths;
};

}  // namespace

// The record takes the samples, the output, the size and levels; green's
// multiplier serves both greens; rows go bottom-up within 0 to 65535; it
// owns its pattern: a second one replaces (and frees) the first, and the
// record frees the last.
TEST(RawDevelopParams, HoldWhatDevelopmentNeeds)
{
    const uint8_t bayer[4] = {0, 1, 1, 2};
    int deaths = 0;
    uint16_t samples[4] = {};
    uint64_t pixels[4] = {};
    {
        cRawDevelopParams params;
        params.sample_maximum = 9;
        params.bottom_up = 0;
        raw_develop_params_init(&params, samples, pixels, 2, 2, new cCountedPattern(&deaths, bayer), 128, 2.0, 1.0,
                                1.5);
        EXPECT_EQ(params.raw, samples);
        EXPECT_EQ(params.output, pixels);
        EXPECT_EQ(params.raw_width, 2);
        EXPECT_EQ(params.raw_height, 2);
        EXPECT_EQ(params.progress, nullptr);
        EXPECT_EQ(params.multipliers[0], 2.0);
        EXPECT_EQ(params.multipliers[1], 1.0);
        EXPECT_EQ(params.multipliers[2], 1.5);
        EXPECT_EQ(params.multipliers[3], 1.0);
        EXPECT_EQ(params.bottom_up, 1);
        EXPECT_EQ(params.black_level, 128);
        EXPECT_EQ(params.sample_minimum, 0);
        EXPECT_EQ(params.sample_maximum, 65535);
        EXPECT_EQ(params.pattern->ColourAt(0, 0), 0);
        EXPECT_EQ(params.pattern->ColourAt(3, 0), 1);
        EXPECT_EQ(params.pattern->ColourAt(-1, -1), 2);
        raw_develop_params_init(&params, samples, pixels, 2, 2, new cCountedPattern(&deaths, bayer), 0, 1.0, 1.0,
                                1.0);
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 2);
}

// Reset forgets what a maker note gave: the block cleared, the multipliers
// 1.0, the tables freed.
TEST(PefMeta, ResetForgetsWhatWasRead)
{
    cPefMeta meta;
    meta.block[0] = 7;
    meta.block[cPefMeta::block_size - 1] = 9;
    meta.multipliers[2] = 3.5;
    meta.tables[0].Resize(10);
    meta.tables[1].Resize(20);
    ASSERT_NE(meta.tables[1].Data(), nullptr);
    meta.Reset();
    for (int32_t i = 0; i < cPefMeta::block_size; ++i)
        ASSERT_EQ(meta.block[i], 0) << i;
    for (double multiplier : meta.multipliers)
        EXPECT_EQ(multiplier, 1.0);
    EXPECT_EQ(meta.tables[0].Count(), 0);
    EXPECT_EQ(meta.tables[1].Data(), nullptr);
}
