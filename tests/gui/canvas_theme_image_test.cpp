#include "gui/canvas.h"

#include <gtest/gtest.h>

#include "gui/image_buffer.h"
#include "tests/gui/canvas_probe.h"

// Doubling by area averaging repeats every source pixel as a 2 x 2 block, so
// each visible canvas pixel shows the image pixel under its target position,
// whichever part of the target the canvas cuts off. The cuts are even, so
// that the visible part is made of whole image pixels.
TEST(ThemeImage, OnlyTheVisiblePartIsScaledAndDrawn)
{
    cImageBuffer image;
    make_numbered_image(image, 4, 4);
    for (const cPoint& target : {cPoint{-2, -2}, cPoint{6, 6}, cPoint{-4, 6}, cPoint{1, 1}, cPoint{-6, -6},
                                 cPoint{4, -2}}) {
        SCOPED_TRACE(testing::Message() << "target " << target.x << "," << target.y);
        auto canvas = make_canvas(10, 10, white);
        ASSERT_TRUE(canvas->DrawThemeImage(&image, 8, 8, target.x, target.y, 1));
        expect_rect(read_pixels(*canvas), cRect{target.x, target.y, 8, 8},
                    [](int32_t x, int32_t y) { return numbered_colour(x / 2, y / 2); }, white);
    }
}

TEST(ThemeImage, WholeVisibleTargetMatchesTheLinearlyScaledImage)
{
    auto canvas = make_canvas(20, 20);
    auto reference = make_canvas(20, 20);
    cImageBuffer image;
    make_numbered_image(image, 4, 4);
    ASSERT_TRUE(canvas->DrawThemeImage(&image, 11, 7, 3, 5, 0));
    ASSERT_TRUE(reference->DrawImage(3, 5, &image, 11, 7));
    EXPECT_EQ(read_pixels(*canvas).colours, read_pixels(*reference).colours);
}

TEST(ThemeImage, TargetsThatMissTheCanvasAreRefused)
{
    auto canvas = make_canvas(10, 10, white);
    cImageBuffer image;
    make_numbered_image(image, 4, 4);
    EXPECT_FALSE(canvas->DrawThemeImage(nullptr, 8, 8, 0, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 10, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, 10, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, -8, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, -8, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 0, 8, 0, 0, 0));
    EXPECT_FALSE(canvas->DrawThemeImage(&image, 8, 8, 0, 0, 2)) << "no scaling mode 2";
    EXPECT_EQ(read_pixels(*canvas).Count(white), 100);
}

// A band image one pixel thick stretched along a long target shows that one
// pixel everywhere, however little of it the canvas cuts out.
TEST(ThemeImage, OnePixelBandStretchedLongFillsEveryVisiblePixel)
{
    cImageBuffer across, down;
    make_numbered_image(across, 1, 3);
    make_numbered_image(down, 3, 1);
    for (int32_t mode : {0, 1})
        for (int32_t cut : {0, 20, 199, 200, 300, 339}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", cut " << cut);
            auto wide = make_canvas(60, 3, white);
            ASSERT_TRUE(wide->DrawThemeImage(&across, 400, 3, -cut, 0, mode));
            expect_rect(read_pixels(*wide), cRect{0, 0, 60, 3},
                        [](int32_t, int32_t y) { return numbered_colour(0, y); }, white);
            auto tall = make_canvas(3, 60, white);
            ASSERT_TRUE(tall->DrawThemeImage(&down, 3, 400, 0, -cut, mode));
            expect_rect(read_pixels(*tall), cRect{0, 0, 3, 60},
                        [](int32_t x, int32_t) { return numbered_colour(x, 0); }, white);
        }
}
