#include "gui/image_cache.h"

#include <gtest/gtest.h>

#include "tests/support/heap_probe.h"

namespace {

const uint32_t two_rows[4] = {1, 2, 3, 4};

}  // namespace

TEST(ImageCache, PutBorrowsTheImageAndPutPixelsKeepsAnOwnedCopyInStoredOrder)
{
    cImageBuffer theme_image;
    ASSERT_TRUE(theme_image.Fill(7, 2, 2));
    {
        cImageCache cache;
        EXPECT_TRUE(cache.Put(0, &theme_image));
        EXPECT_EQ(cache.Get(0), &theme_image);
        EXPECT_EQ(cache.Get(1), nullptr);
        for (bool flip : {false, true}) {
            ASSERT_TRUE(cache.PutPixels(3, two_rows, 2, 2, flip));
            cImageBuffer* image = cache.Get(3);
            ASSERT_NE(image, nullptr);
            EXPECT_NE(image->GetPixels(), two_rows);
            EXPECT_EQ(image->GetWidth(), 2);
            EXPECT_EQ(image->GetHeight(), 2);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(image->GetPixels()[i], two_rows[i]) << flip;
        }
    }
    EXPECT_EQ(theme_image.GetPixels()[0], 7u) << "the cache is gone and the borrowed image untouched";
}

TEST(ImageCache, ReplacingAnOwnedImageFreesItUnlessItIsPutBack)
{
    cImageBuffer borrowed;
    ASSERT_TRUE(borrowed.Fill(1, 1, 1));
    cImageCache cache;
    ASSERT_TRUE(cache.Put(9, &borrowed));
    int with_borrowed = heap_busy_blocks();
    ASSERT_TRUE(cache.PutPixels(9, two_rows, 2, 2, false));
    ASSERT_TRUE(cache.PutPixels(9, two_rows, 4, 1, false));
    EXPECT_EQ(cache.Get(9)->GetWidth(), 4);
    ASSERT_TRUE(cache.Put(9, &borrowed));
    EXPECT_EQ(cache.Get(9), &borrowed);
    EXPECT_EQ(heap_busy_blocks(), with_borrowed);

    // Putting back its own copy keeps it alive.
    ASSERT_TRUE(cache.PutPixels(1, two_rows, 2, 2, false));
    cImageBuffer* own = cache.Get(1);
    ASSERT_TRUE(cache.Put(1, own));
    ASSERT_EQ(cache.Get(1), own);
    EXPECT_EQ(own->GetPixels()[3], 4u);
}

TEST(ImageCache, PutOfNullAndFailedPutPixelsLeaveNoEntry)
{
    cHeapBalance balance;
    cImageCache cache;
    EXPECT_TRUE(cache.Put(5, nullptr));
    EXPECT_EQ(cache.Get(5), nullptr);
    EXPECT_FALSE(cache.Remove(5));
    EXPECT_EQ(balance.Change(), 0) << "a put of null for an absent id adds nothing";

    ASSERT_TRUE(cache.PutPixels(2, two_rows, 2, 2, false));
    EXPECT_TRUE(cache.Put(2, nullptr));
    EXPECT_EQ(cache.Get(2), nullptr);
    EXPECT_FALSE(cache.Remove(2));

    ASSERT_TRUE(cache.PutPixels(2, two_rows, 2, 2, false));
    EXPECT_FALSE(cache.PutPixels(2, nullptr, 2, 2, false));
    EXPECT_EQ(cache.Get(2), nullptr);
    EXPECT_FALSE(cache.PutPixels(4, two_rows, 0, 2, false));
    EXPECT_EQ(cache.Get(4), nullptr);
    EXPECT_FALSE(cache.Remove(4));
}

TEST(ImageCache, RemoveKeepsEveryOtherEntry)
{
    cImageBuffer borrowed;
    cImageCache cache;
    // Enough ids, in order, to make the map rebuild itself.
    for (int id = 0; id < 1500; ++id)
        ASSERT_TRUE(id % 3 ? cache.Put(id, &borrowed) : cache.PutPixels(id, two_rows, 1, id % 4 + 1, false));
    for (int id = 0; id < 1500; id += 2)
        ASSERT_TRUE(cache.Remove(id));
    for (int id = 0; id < 1500; ++id) {
        cImageBuffer* image = cache.Get(id);
        if (id % 2 && id % 3 == 0) {
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->GetHeight(), id % 4 + 1);
        } else {
            EXPECT_EQ(image, id % 2 ? &borrowed : nullptr) << id;
        }
    }
}

TEST(ImageCache, ClearAndDestructionFreeEverything)
{
    cImageBuffer borrowed;
    cHeapBalance balance;
    cImageCache cache;
    for (int id = -50; id < 50; ++id)
        ASSERT_TRUE(cache.PutPixels(id, two_rows, 2, 2, false));
    cache.Clear();
    EXPECT_EQ(cache.Get(0), nullptr);
    EXPECT_EQ(balance.Change(), 0);
    for (int id = 0; id < 50; ++id)
        ASSERT_TRUE(id % 2 ? cache.Put(id, &borrowed) : cache.PutPixels(id, two_rows, 2, 2, false));
}

TEST(ImageRef, SettingFreesTheOwnedImage)
{
    cImageCache cache;
    ASSERT_TRUE(cache.PutPixels(0, two_rows, 2, 2, false));
    cImageBuffer borrowed;
    cHeapBalance balance;
    {
        cImageRef slot;
        EXPECT_EQ(slot.Get(), nullptr);
        auto own_new_image = [&slot] {
            cImageBuffer* owned = new cImageBuffer;
            EXPECT_TRUE(owned && owned->Fill(5, 3, 3));
            slot.ReplaceOwned(owned);
            EXPECT_EQ(slot.Get(), owned);
        };
        own_new_image();
        EXPECT_TRUE(slot.SetImage(&borrowed));
        EXPECT_EQ(slot.Get(), &borrowed);
        EXPECT_EQ(balance.Change(), 0);

        own_new_image();
        EXPECT_TRUE(slot.SetFromCache(&cache, 0));
        EXPECT_EQ(slot.Get(), cache.Get(0));
        EXPECT_TRUE(slot.SetFromCache(&cache, 1));
        EXPECT_EQ(slot.Get(), nullptr);
        EXPECT_EQ(balance.Change(), 0);

        own_new_image();
    }
    EXPECT_NE(cache.Get(0), nullptr);
}
