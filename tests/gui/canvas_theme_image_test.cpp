#include "gui/canvas.h"

#include <gtest/gtest.h>

#include "gui/image_buffer.h"
#include "tests/gui/canvas_probe.h"

namespace {

const uint32_t white = 0xFFFFFF;

// A 4 x 4 image whose pixel (x, y), counted from the top row, is unique.
void make_image(cImageBuffer& image)
{
    ASSERT_TRUE(image.Resize(4, 4));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            image.GetPixels()[(3 - y) * 4 + x] = 0xFF000000u | uint32_t(x * 50 + 20) << 16 | uint32_t(y * 50 + 20) << 8;
}

uint32_t colour_at(int32_t x, int32_t y) { return uint32_t(x * 50 + 20) | uint32_t(y * 50 + 20) << 8; }

}  // namespace

// Doubling by area averaging repeats every source pixel as a 2 x 2 block, so
// each visible canvas pixel shows the image pixel under its target position,
// whichever part of the target the canvas cuts off. The cuts are even, so
// that the visible part is made of whole image pixels.
TEST(ThemeImage, OnlyTheVisiblePartIsScaledAndDrawn)
{
    const struct {
        int32_t x;
        int32_t y;
    } targets[] = {{-2, -2}, {6, 6}, {-4, 6}, {1, 1}, {-6, -6}, {4, -2}};
    cImageBuffer image;
    make_image(image);
    for (const auto& target : targets) {
        auto canvas = make_canvas(10, 10);
        ASSERT_TRUE(canvas);
        paint_canvas(*canvas, white);
        ASSERT_TRUE(canvas->DrawThemeImage(&image, 8, 8, target.x, target.y, 1)) << target.x << "," << target.y;
        cCanvasPixels pixels = read_pixels(*canvas);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 10; ++x) {
                int32_t tx = x - target.x;
                int32_t ty = y - target.y;
                bool covered = tx >= 0 && tx < 8 && ty >= 0 && ty < 8;
                ASSERT_EQ(pixels.At(x, y), covered ? colour_at(tx / 2, ty / 2) : white)
                    << "target " << target.x << "," << target.y << " at " << x << "," << y;
            }
    }
}

TEST(ThemeImage, WholeVisibleTargetMatchesTheLinearlyScaledImage)
{
    auto canvas = make_canvas(20, 20);
    auto reference = make_canvas(20, 20);
    ASSERT_TRUE(canvas && reference);
    cImageBuffer image;
    make_image(image);
    ASSERT_TRUE(canvas->DrawThemeImage(&image, 11, 7, 3, 5, 0));
    ASSERT_TRUE(reference->DrawImage(3, 5, &image, 11, 7));
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*reference).colours);
}

TEST(ThemeImage, TargetsThatMissTheCanvasAreRefused)
{
    auto canvas = make_canvas(10, 10);
    ASSERT_TRUE(canvas);
    paint_canvas(*canvas, white);
    cImageBuffer image;
    make_image(image);
    EXPECT_FALSE(canvas->DrawThemeImage(nullptr, 8, 8, 0, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 10, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, 10, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, -8, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, -8, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 0, 8, 0, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, 0, 2)) << "no scaling mode 2";
    EXPECT_EQ(read_pixels(*canvas).Count(white), 100);
}
