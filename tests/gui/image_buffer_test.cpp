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

TEST(ImageBuffer, RefusesEmptyNegativeAndOversizedSizes)
{
    cImageBuffer image;
    EXPECT_FALSE(image.Resize(0, 5));
    EXPECT_FALSE(image.Resize(-2, -3));
    EXPECT_FALSE(image.Resize(65536, 65536)) << "more pixels than 32 bits count";
    EXPECT_FALSE(image.Fill(1, 5, 0));
    EXPECT_FALSE(image.SetPixels(nullptr, 1, 1, false));
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_FALSE(image.IsConsistent());
    _typebuf<uint32_t> none;
    _typebuf<uint32_t> block(4);
    EXPECT_FALSE(image.Attach(none, 2, 2));
    EXPECT_FALSE(image.Attach(block, 0, 4));
}

TEST(ImageBuffer, FillSetsEveryPixelAndSetPixelsWithFlipReversesTheRows)
{
    cImageBuffer image;
    ASSERT_TRUE(image.Fill(0x80FF0000u, 3, 2));
    ASSERT_EQ(image.GetPixelCount(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.GetPixels()[i], 0x80FF0000u);

    const uint32_t rows[6] = {1, 2, 3, 4, 5, 6};
    const uint32_t flipped[6] = {5, 6, 3, 4, 1, 2};
    ASSERT_TRUE(image.SetPixels(rows, 2, 3, true));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.GetPixels()[i], flipped[i]);

    image.Init();
    EXPECT_EQ(image.GetPixels(), nullptr);
    EXPECT_EQ(image.GetPixelCount(), 0u);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
}

TEST(ImageBuffer, AttachTakesTheBlockAndFreesTheOldOne)
{
    cHeapBalance balance;
    cImageBuffer image;
    ASSERT_TRUE(image.Fill(7, 2, 2));
    _typebuf<uint32_t> block(6);
    ASSERT_TRUE(image.Attach(block, 3, 2));
    EXPECT_EQ(block.Data(), nullptr);
    EXPECT_TRUE(image.IsConsistent());
}

TEST(ImageBuffer, ResizeAfterAMismatchedAttachGetsABlockOfTheRightSize)
{
    // A block of 2 attached as 2 x 2: the next resize to 2 x 2 must not keep
    // the short block and let the copy run past its end.
    cImageBuffer image;
    _typebuf<uint32_t> short_block(2);
    image.Attach(short_block, 2, 2);
    const uint32_t rows[4] = {1, 2, 3, 4};
    ASSERT_TRUE(image.SetPixels(rows, 2, 2, false));
    EXPECT_EQ(image.GetPixelCount(), 4u);
    EXPECT_TRUE(image.IsConsistent());
    EXPECT_EQ(image.GetPixels()[3], 4u);
}
