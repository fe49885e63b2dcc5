#include "gui/image_buffer.h"

#include <gtest/gtest.h>

#include "tests/support/heap_probe.h"

TEST(ImageBuffer, ResizeToTheSamePixelCountKeepsThePixels)
{
    cImageBuffer image;
    ASSERT_TRUE(image.Resize(4, 2));
    for (int i = 0; i < 8; ++i)
        image.GetPixels()[i] = 0xFF000000u + i;
    ASSERT_TRUE(image.Resize(2, 4));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 4);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(image.GetPixels()[i], 0xFF000000u + i);
    ASSERT_TRUE(image.Resize(3, 3));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(image.GetPixels()[i], 0u);
}

TEST(ImageBuffer, RefusesEmptySizes)
{
    cImageBuffer image;
    EXPECT_FALSE(image.Resize(0, 5));
    EXPECT_FALSE(image.Fill(1, 5, 0));
    EXPECT_FALSE(image.SetPixels(nullptr, 1, 1, false));
    EXPECT_FALSE(image.IsConsistent());
}

TEST(ImageBuffer, SetPixelsWithFlipReversesTheRows)
{
    const uint32_t rows[6] = {1, 2, 3, 4, 5, 6};
    cImageBuffer image;
    ASSERT_TRUE(image.SetPixels(rows, 2, 3, true));
    const uint32_t expected[6] = {5, 6, 3, 4, 1, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.GetPixels()[i], expected[i]);
}

TEST(ImageBuffer, AttachTakesTheBlockAndFreesTheOldOne)
{
    size_t before = heap_busy_blocks();
    {
        cImageBuffer image;
        ASSERT_TRUE(image.Fill(7, 2, 2));
        _typebuf<uint32_t> block(6);
        ASSERT_TRUE(image.Attach(block, 3, 2));
        EXPECT_EQ(block.Data(), nullptr);
        EXPECT_TRUE(image.IsConsistent());
    }
    EXPECT_EQ(heap_busy_blocks(), before);
}
