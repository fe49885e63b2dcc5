#include "pict/pict_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "base/mem_io_target.h"
#include "pict/pict_target.h"

namespace {

struct cCountedPicture : cPictDummy {
    explicit cCountedPicture(int* counter) : destroyed(counter) {}
    ~cCountedPicture() override { ++*destroyed; }
    int* destroyed;
};

cPictTarget target_over(std::vector<uint32_t>& pixels, int32_t width, int32_t height, uint32_t background)
{
    cPictTarget target;
    pict_target_init(&target, nullptr);
    pixels.assign(size_t(width) * height, 0x11111111);
    target.pixels = pixels.data();
    target.width = width;
    target.height = height;
    target.background = background;
    return target;
}

}  // namespace

// (channel, divisor, offset) -> 8 bits, through conversion and the sink.
TEST(PictBase, ConvertsDeepPixelsByDivisorAndOffset)
{
    const struct {
        uint16_t channel;
        double divisor;
        int32_t offset;
        uint32_t expected;
    } cases[] = {{0xFFFF, 256.0, 0, 255}, {0x00FF, 256.0, 0, 0}, {0xFFFF, 257.0, 0, 255},
                 {0x8080, 257.0, 0, 128}, {0x0100, 256.0, -512, 0}, {0x0100, 1.0, 0, 255}};
    for (const auto& c : cases) {
        cPictDummy picture;
        ASSERT_TRUE(picture.AllocDeepPixels(1, 1));
        picture.deep_divisor = c.divisor;
        picture.deep_offset = c.offset;
        picture.pixels64[0] = c.channel * 0x0001000100010001ull;
        _typebuf<uint32_t> out;
        ASSERT_TRUE(picture.CopyPixels32(out));
        EXPECT_EQ(out[0], c.expected * 0x01010101u) << c.channel << " / " << c.divisor;
        std::vector<uint32_t> bitmap;
        cPictTarget target = target_over(bitmap, 1, 1, 0);
        ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
        picture.PutPixel64(0, 0, picture.pixels64[0]);
        picture.FinishOutput();
        EXPECT_EQ(bitmap[0], c.expected * 0x01010101u);
    }
}

TEST(PictBase, MovesFlipsAndStretchesPixels)
{
    cPictDummy deep;
    _typebuf<uint32_t> out;
    EXPECT_FALSE(deep.CopyPixels32(out) || deep.DetachPixels32(out));
    EXPECT_FALSE(deep.AllocPixels32(65536, 32768) || deep.AllocPixels32(0, 3));
    ASSERT_TRUE(deep.AllocDeepPixels(1, 3));
    deep.deep_divisor = 300.0;
    deep.deep_offset = 4;
    for (int i = 0; i < 3; ++i)
        deep.pixels64[i] = uint64_t(i + 1);
    ASSERT_TRUE(deep.FlipVertical());
    EXPECT_EQ(deep.pixels64[0], 3u);
    EXPECT_EQ(deep.pixels64[1], 2u);
    cPictDummy taker;
    taker.TakePixels(&deep);
    EXPECT_TRUE(taker.HasDeepPixels());
    EXPECT_EQ(taker.deep_divisor, 300.0);
    EXPECT_EQ(taker.deep_offset, 4);
    EXPECT_EQ(taker.pixels64[2], 1u);
    EXPECT_EQ(deep.pixels64.Data(), nullptr);
    cPictDummy flat;
    ASSERT_TRUE(flat.AllocPixels32(2, 1));
    flat.pixels32[0] = 0x000A0A0A;
    flat.pixels32[1] = 0x00141414;
    taker.TakePixels(&flat);
    EXPECT_EQ(taker.deep_divisor, 300.0);
    EXPECT_FALSE(taker.HasDeepPixels());
    // Channels 10 and 20 stretch to 0 and 255; all 7 stays 7.
    ASSERT_TRUE(taker.StretchLevels());
    EXPECT_EQ(taker.pixels32[0], 0xFF000000u);
    EXPECT_EQ(taker.pixels32[1], 0xFFFFFFFFu);
    taker.pixels32[0] = taker.pixels32[1] = 0x00070707;
    ASSERT_TRUE(taker.StretchLevels());
    EXPECT_EQ(taker.pixels32[1], 0xFF070707u);
    ASSERT_TRUE(taker.DetachPixels32(out));
    EXPECT_EQ(out.Count(), 2);
    EXPECT_EQ(taker.GetWidth(), 0);
}

TEST(PictBase, KeepsPropertiesOfTheClassTheirIdGives)
{
    int destroyed = 0;
    {
        cPictDummy picture;
        EXPECT_EQ(picture.GetProperty(22, true), nullptr);
        EXPECT_EQ(picture.GetProperty(3, false), nullptr);
        cPictProp* thumbnail = picture.GetProperty(13, true);
        ASSERT_NE(thumbnail, nullptr);
        EXPECT_EQ(picture.GetProperty(13, true), thumbnail);
        ASSERT_EQ(picture.FindThumbnail(), thumbnail);
        EXPECT_EQ(picture.FindThumbnail()->picture, nullptr);
        picture.FindThumbnail()->picture = new cCountedPicture(&destroyed);
        ASSERT_NE(picture.GetProperty(7, true), nullptr);
        EXPECT_EQ(picture.FindStringProperty(7), nullptr);
        EXPECT_NE(picture.FindIntProperty(7), nullptr);
        EXPECT_EQ(picture.GetProperty(3, true)->GetKind(), 3);
        EXPECT_EQ(picture.GetProperty(21, true)->GetKind(), 5);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(PictBase, StreamGuardAnswersWhileTheStreamIsOpen)
{
    cMemIOTarget open;
    cFileIO closed;
    EXPECT_TRUE(cStreamGuardProgressTarget(&open).Notify(10.0));
    EXPECT_FALSE(cStreamGuardProgressTarget(&closed).Notify(10.0));
    EXPECT_FALSE(cStreamGuardProgressTarget().Notify(0.0));
}

// The sink's geometry: a picture that fits sits centred in the background;
// one that does not shrinks into a centred hole; zoom 0.4 sends pixel 3 to
// cell 1; a channel at zoom 1 is ORed in; mode 2 fails, touching nothing.
TEST(PictSink, PlacesPicturesInTheTarget)
{
    std::vector<uint32_t> bitmap;
    cPictDummy picture;
    ASSERT_TRUE(picture.AllocPixels32(10, 10));
    cPictTarget target = target_over(bitmap, 20, 20, 0xBB);
    ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
    EXPECT_EQ(picture.margin_left, 5);
    EXPECT_EQ(picture.margin_top, 5);
    EXPECT_EQ(picture.zoom, 1.0);
    EXPECT_EQ(picture.output_weights.Data(), nullptr);
    picture.PutChannel(0, 0, 2, 0x40);
    picture.PutChannel(0, 0, 0, 0x01);
    picture.FinishOutput();
    EXPECT_EQ(bitmap[0], 0xBBu);
    EXPECT_EQ(bitmap[5 * 20 + 5], 0x11111111u | 0x400001u);

    ASSERT_TRUE(picture.AllocPixels32(100, 50));
    target = target_over(bitmap, 50, 50, 0xBB);
    ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
    EXPECT_EQ(picture.zoom, 0.5);
    EXPECT_EQ(picture.margin_top, 12);
    picture.FinishOutput();
    EXPECT_EQ(bitmap[11 * 50], 0xBBu);
    EXPECT_EQ(bitmap[12 * 50], 0u);  // a cell that no pixel reached
    EXPECT_EQ(bitmap[37 * 50 + 49], 0xBBu);

    ASSERT_TRUE(picture.AllocPixels32(10, 5));
    target = target_over(bitmap, 4, 4, 0);
    ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
    EXPECT_EQ(picture.zoom, 0.4);
    picture.PutPixel32(3, 0, 0xFF102030);
    picture.FinishOutput();
    EXPECT_EQ(bitmap[1 * 4 + 1], 0xFF102030u);

    target = target_over(bitmap, 4, 4, 0);
    target.fit_mode = 2;
    ASSERT_TRUE(picture.SetOutputTarget(&target));
    EXPECT_FALSE(picture.BeginOutput());
    EXPECT_EQ(picture.output, nullptr);
    EXPECT_EQ(bitmap[0], 0x11111111u);
    EXPECT_FALSE(pict_target_render(&target, &picture));
}

// At zoom 1 a picture wider than the target shows from its x offset (the
// offset limited to the columns that remain): every row of the target,
// column 0 included, holds the source row shifted, whether rows come top
// first or bottom first, and the columns left or right of the target go
// nowhere else.
TEST(PictSink, AtZoomOneAWiderPictureShowsFromItsOffset)
{
    const int32_t width = 7, height = 3, target_width = 4;
    auto source = [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); };
    for (int32_t requested : {2, 9}) {
        const int32_t shown_from = requested < width - target_width ? requested : width - target_width;
        for (bool rising : {true, false}) {
            SCOPED_TRACE(testing::Message() << "offset " << requested << (rising ? ", rows rising" : ", rows falling"));
            std::vector<uint32_t> bitmap;
            cPictTarget target = target_over(bitmap, target_width, height, 0xBB);
            target.fit_mode = 1;
            target.x_offset = requested;
            cPictDummy picture;
            ASSERT_TRUE(picture.AllocPixels32(width, height));
            ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
            EXPECT_EQ(picture.zoom, 1.0);
            EXPECT_EQ(target.x_offset, shown_from);
            for (int32_t row = 0; row < height; ++row) {
                int32_t y = rising ? row : height - 1 - row;
                for (int32_t x = 0; x < width; ++x)
                    picture.PutPixel32(x, y, source(x, y));
            }
            picture.FinishOutput();
            for (int32_t y = 0; y < height; ++y)
                for (int32_t x = 0; x < target_width; ++x)
                    EXPECT_EQ(bitmap[size_t(y) * target_width + x], source(x + shown_from, y)) << x << "," << y;
        }
    }
}

// Channels delivered one by one, alpha among them: at zoom 1 each is ORed
// into a cleared target; shrunk (2 x 2 into one cell at zoom 0.5) each
// colour channel is the rounded average of the four, and so is alpha,
// which adds to its sum but not to the cell's weight.
TEST(PictSink, PutChannelTakesAlphaLikeTheOtherChannels)
{
    // B, G, R, A of the four pixels (x, y) = (0, 0), (1, 0), (0, 1), (1, 1).
    const uint8_t channels[4][4] = {{10, 1, 255, 0}, {20, 2, 255, 100}, {30, 3, 255, 200}, {41, 5, 255, 255}};
    cPictDummy picture;
    ASSERT_TRUE(picture.AllocPixels32(2, 2));
    std::vector<uint32_t> bitmap;
    cPictTarget target = target_over(bitmap, 2, 2, 0);
    ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
    ASSERT_EQ(picture.zoom, 1.0);
    std::fill(bitmap.begin(), bitmap.end(), 0u);
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t c = 0; c < 4; ++c)
            EXPECT_TRUE(picture.PutChannel(i % 2, i / 2, c, channels[i][c]));
    picture.FinishOutput();
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(bitmap[size_t(i)], uint32_t(channels[i][3]) << 24 | uint32_t(channels[i][2]) << 16 |
                                         uint32_t(channels[i][1]) << 8 | channels[i][0])
            << i;

    target = target_over(bitmap, 1, 1, 0);
    ASSERT_TRUE(picture.SetOutputTarget(&target) && picture.BeginOutput());
    ASSERT_EQ(picture.zoom, 0.5);
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t c = 0; c < 4; ++c)
            EXPECT_TRUE(picture.PutChannel(i % 2, i / 2, c, channels[i][c]));
    EXPECT_FALSE(picture.PutChannel(0, 0, 4, 1));
    picture.FinishOutput();
    // B 101 / 4 = 25.25, G 11 / 4 = 2.75, R 255, A 555 / 4 = 138.75.
    EXPECT_EQ(bitmap[0], 139u << 24 | 255u << 16 | 3u << 8 | 25u);
}
