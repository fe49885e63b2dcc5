#include "base/mem_io_target.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/byte_stream.h"
#include "tests/support/heap_probe.h"

namespace {

const uint64_t chunk = 65536;

std::vector<uint8_t> pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = uint8_t(seed + i * 7 + (i >> 8));
    return bytes;
}

std::vector<uint8_t> read_all(cMemIOTarget& stream)
{
    EXPECT_TRUE(stream.Seek(0));
    return read_to_end(stream, {70000});
}

TEST(MemIOTarget, GrowingPastWrittenBytesReadsZeros)
{
    cMemIOTarget stream;
    std::vector<uint8_t> head = pattern(10, 1);
    ASSERT_EQ(stream.Write(head.data(), 10), 10);
    ASSERT_TRUE(stream.SetSize(200000));
    EXPECT_EQ(stream.GetSize(), 200000u);

    std::vector<uint8_t> expected(200000, 0);
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(read_all(stream), expected);
}

TEST(MemIOTarget, ShrinkClearsTheKeptTailSoThatGrowingReadsZeros)
{
    cMemIOTarget stream;
    std::vector<uint8_t> full = pattern(200000, 3);
    ASSERT_EQ(stream.Write(full.data(), 200000), 200000);
    ASSERT_TRUE(stream.SetSize(70000));
    EXPECT_EQ(stream.GetSize(), 70000u);
    ASSERT_TRUE(stream.SetSize(200000));

    std::vector<uint8_t> expected(full.begin(), full.begin() + 70000);
    expected.resize(200000, 0);
    EXPECT_EQ(read_all(stream), expected);
}

TEST(MemIOTarget, ShrinkingBelowThePositionMovesItToTheEnd)
{
    cMemIOTarget stream;
    std::vector<uint8_t> full = pattern(3 * chunk, 5);
    ASSERT_EQ(stream.Write(full.data(), uint32_t(full.size())), int32_t(full.size()));
    ASSERT_TRUE(stream.SetSize(chunk));
    uint8_t byte = 0xEE;
    EXPECT_EQ(stream.Write(&byte, 1), 1);
    EXPECT_EQ(stream.GetSize(), chunk + 1);
    std::vector<uint8_t> expected(full.begin(), full.begin() + chunk);
    expected.push_back(0xEE);
    EXPECT_EQ(read_all(stream), expected);
}

TEST(MemIOTarget, SeeksPastEitherEndFailAndPinThePosition)
{
    cMemIOTarget stream;
    std::vector<uint8_t> bytes = pattern(100, 9);
    ASSERT_EQ(stream.Write(bytes.data(), 100), 100);

    EXPECT_FALSE(stream.Seek(101));
    uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0);  // at the size

    EXPECT_FALSE(stream.SeekFromEnd(101));
    ASSERT_EQ(stream.Read(&byte, 1), 1);  // at 0
    EXPECT_EQ(byte, bytes[0]);

    EXPECT_TRUE(stream.SeekFromEnd(100));
    EXPECT_TRUE(stream.SeekFromEnd(1));
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    EXPECT_EQ(byte, bytes[99]);
}

TEST(MemIOTarget, SixtyFourBitPositionsAreNotCutToThirtyTwoBits)
{
    cMemIOTarget stream;
    std::vector<uint8_t> bytes = pattern(100, 2);
    ASSERT_EQ(stream.Write(bytes.data(), 100), 100);
    // 2^32 + 5 would be 5 if only the low half counted.
    EXPECT_FALSE(stream.Seek((uint64_t(1) << 32) + 5));
    uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
    EXPECT_FALSE(stream.SeekFromEnd((uint64_t(1) << 32) + 5));
    EXPECT_FALSE(stream.SetSize((uint64_t(1) << 32) + 5));
    EXPECT_FALSE(stream.SetSize(uint64_t(INT32_MAX) + 1));
    EXPECT_EQ(stream.GetSize(), 100u);
}

TEST(MemIOTarget, WritesStopAtTheLargestSize)
{
    cMemIOTarget stream;
    // Growing allocates nothing, so the limit can be reached cheaply.
    ASSERT_TRUE(stream.SetSize(INT32_MAX));
    ASSERT_TRUE(stream.SeekFromEnd(3));
    std::vector<uint8_t> bytes = pattern(10, 4);
    EXPECT_EQ(stream.Write(bytes.data(), 10), 3);
    EXPECT_EQ(stream.GetSize(), uint64_t(INT32_MAX));
    EXPECT_EQ(stream.Write(bytes.data(), 10), 0);

    ASSERT_TRUE(stream.SeekFromEnd(4));
    uint8_t back[4] = {};
    ASSERT_EQ(stream.Read(back, 4), 4);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(std::vector<uint8_t>(back + 1, back + 4), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 3));
}

TEST(MemIOTarget, NullBuffersAndEmptyCountsMoveNothing)
{
    cMemIOTarget stream;
    uint8_t byte = 1;
    EXPECT_EQ(stream.Write(nullptr, 5), 0);
    EXPECT_EQ(stream.Write(&byte, 0), 0);
    EXPECT_EQ(stream.GetSize(), 0u);
    ASSERT_EQ(stream.Write(&byte, 1), 1);
    ASSERT_TRUE(stream.Seek(0));
    EXPECT_EQ(stream.Read(nullptr, 1), 0);
    EXPECT_EQ(stream.Read(&byte, 0), 0);
    EXPECT_EQ(stream.Read(&byte, 1), 1);
}

TEST(MemIOTarget, ByteByByteAcrossAChunkBoundaryMatchesOneBlockWrite)
{
    cMemIOTarget single, block;
    std::vector<uint8_t> bytes = pattern(300, 8);
    ASSERT_TRUE(single.SetSize(chunk - 150));
    ASSERT_TRUE(single.SeekFromEnd(0));
    ASSERT_TRUE(block.SetSize(chunk - 150));
    ASSERT_TRUE(block.SeekFromEnd(0));
    for (uint8_t b : bytes)
        ASSERT_EQ(single.Write(&b, 1), 1);
    ASSERT_EQ(block.Write(bytes.data(), 300), 300);

    std::vector<uint8_t> one_by_one;
    ASSERT_TRUE(single.Seek(chunk - 160));
    for (int i = 0; i < 310; ++i) {
        uint8_t b = 0xFF;
        ASSERT_EQ(single.Read(&b, 1), 1);
        one_by_one.push_back(b);
    }
    std::vector<uint8_t> expected(310, 0);
    std::copy(bytes.begin(), bytes.end(), expected.begin() + 10);
    EXPECT_EQ(one_by_one, expected);
    EXPECT_EQ(read_all(single), read_all(block));
}

TEST(MemIOTarget, RandomTransfersMatchAReferenceArray)
{
    std::mt19937 random(1234);
    cMemIOTarget stream;
    std::vector<uint8_t> model;
    size_t position = 0;
    for (int step = 0; step < 600; ++step) {
        int action = int(random() % 10);
        if (action < 4) {
            size_t n = random() % 3 == 0 ? random() % 140000 : random() % 70;
            std::vector<uint8_t> bytes(n);
            for (auto& b : bytes)
                b = uint8_t(random());
            ASSERT_EQ(stream.Write(bytes.data(), uint32_t(n)), int32_t(n));
            if (model.size() < position + n)
                model.resize(position + n, 0);
            std::copy(bytes.begin(), bytes.end(), model.begin() + position);
            position += n;
        } else if (action < 7) {
            size_t n = random() % 3 == 0 ? random() % 140000 : random() % 70;
            std::vector<uint8_t> bytes(n + 1, 0xCD);
            size_t expected = std::min(n, model.size() - position);
            ASSERT_EQ(stream.Read(bytes.data(), uint32_t(n)), int32_t(expected));
            ASSERT_TRUE(std::equal(bytes.begin(), bytes.begin() + expected, model.begin() + position));
            position += expected;
        } else if (action < 9) {
            size_t target = random() % (model.size() + 1000);
            bool inside = target <= model.size();
            ASSERT_EQ(stream.Seek(target), inside);
            position = inside ? target : model.size();
        } else {
            size_t n = random() % (model.size() + 200000);
            ASSERT_TRUE(stream.SetSize(n));
            model.resize(n, 0);
            position = std::min(position, n);
        }
        ASSERT_EQ(stream.GetSize(), model.size());
    }
    _typebuf<uint8_t> copy;
    ASSERT_TRUE(stream.CopyTo(copy));
    ASSERT_EQ(size_t(copy.Count()), model.size());
    EXPECT_TRUE(std::equal(model.begin(), model.end(), copy.Data()));
    EXPECT_EQ(read_all(stream), model);
}

TEST(MemIOTarget, CopyOfAnEmptyStreamIsEmpty)
{
    cMemIOTarget stream;
    _typebuf<uint8_t> copy(10);
    EXPECT_TRUE(stream.CopyTo(copy));
    EXPECT_EQ(copy.Count(), 0);
}

TEST(MemIOTarget, CloseAndSetSizeZeroGiveBackEveryChunk)
{
    std::vector<uint8_t> bytes = pattern(5 * chunk, 6);
    cHeapBalance balance;
    cMemIOTarget stream;
    ASSERT_EQ(stream.Write(bytes.data(), uint32_t(bytes.size())), int32_t(bytes.size()));
    ASSERT_TRUE(stream.SetSize(0));
    EXPECT_EQ(balance.Change(), 0);
    EXPECT_EQ(stream.GetSize(), 0u);
    ASSERT_EQ(stream.Write(bytes.data(), uint32_t(bytes.size())), int32_t(bytes.size()));
    stream.Close();
    EXPECT_EQ(balance.Change(), 0);
    EXPECT_EQ(stream.GetSize(), 0u);
    EXPECT_TRUE(stream.IsOpen());
    ASSERT_EQ(stream.Write(bytes.data(), 1000), 1000);
}

TEST(MemIOTarget, ReportsItsKindAndHasNoTimes)
{
    cMemIOTarget stream;
    cFileIOTarget& target = stream;
    EXPECT_EQ(target.GetKind(), 2u);
    EXPECT_FALSE(target.SetTime(2020, 1, 2, 3, 4, 5));
}

}  // namespace
