#include "base/mem_buffered_io.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/buf_wrapper_io.h"
#include "base/mem_io_target.h"
#include "tests/support/byte_stream.h"
#include "tests/support/heap_probe.h"

namespace {

// A source that records where each of its reads started and how much it
// was asked for.
class RecordingSource : public cBufWrapperIO {
public:
    struct ReadCall {
        uint64_t at;
        uint32_t count;
    };
    RecordingSource(std::vector<uint8_t>& data) : cBufWrapperIO(data.data(), int32_t(data.size()), true) {}
    bool Seek(uint64_t p) override
    {
        at = p;
        return cBufWrapperIO::Seek(p);
    }
    int32_t Read(void* buffer, uint32_t count) override
    {
        reads.push_back({at, count});
        int32_t got = cBufWrapperIO::Read(buffer, count);
        at += uint32_t(got > 0 ? got : 0);
        return got;
    }
    uint64_t at = 0;
    std::vector<ReadCall> reads;
};

TEST(MemBufferedIO, LargeReadBypassesTheWindowAndTheNextRefillsFromThere)
{
    std::vector<uint8_t> data = numbered_bytes(30000);
    RecordingSource source(data);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    EXPECT_EQ(stream.GetSize(), 30000u);

    std::vector<uint8_t> out(10000);
    ASSERT_EQ(stream.Read(out.data(), 10000), 10000);
    ASSERT_EQ(source.reads.size(), 1u);
    EXPECT_EQ(source.reads[0].at, 0u);
    EXPECT_EQ(source.reads[0].count, 10000u);

    uint8_t ten[10];
    ASSERT_EQ(stream.Read(ten, 10), 10);
    ASSERT_EQ(source.reads.size(), 2u);
    EXPECT_EQ(source.reads[1].at, 10000u);
    EXPECT_EQ(source.reads[1].count, 4096u);
    EXPECT_TRUE(std::equal(ten, ten + 10, data.begin() + 10000));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));

    // The rest of that window needs no further source read.
    std::vector<uint8_t> rest(4086);
    ASSERT_EQ(stream.Read(rest.data(), 4086), 4086);
    EXPECT_EQ(source.reads.size(), 2u);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), data.begin() + 10010));
}

TEST(MemBufferedIO, ReadAcrossTheWindowTakesTheHeldBytesThenRefills)
{
    std::vector<uint8_t> data = numbered_bytes(20000);
    RecordingSource source(data);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    uint8_t first[100];
    ASSERT_EQ(stream.Read(first, 100), 100);
    std::vector<uint8_t> out(5000);
    ASSERT_EQ(stream.Read(out.data(), 5000), 5000);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin() + 100));
    ASSERT_EQ(source.reads.size(), 2u);
    EXPECT_EQ(source.reads[1].at, 4096u);
    EXPECT_EQ(source.reads[1].count, 4096u);
}

TEST(MemBufferedIO, ShortSeeksStayInTheWindowAndLongOnesRefill)
{
    std::vector<uint8_t> data = numbered_bytes(50000);
    RecordingSource source(data);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    uint8_t byte = 0;
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    ASSERT_EQ(source.reads.size(), 1u);

    struct Step {
        uint64_t to;
        size_t reads_after;  // source reads so far once the byte is read
    };
    const Step steps[] = {
        {4000, 1}, {10, 1}, {0, 1}, {4095, 1}, {4096, 2}, {4100, 2}, {4095, 3}, {30000, 4},
        {29000, 5}, {30000, 5}, {29001, 5}, {33095, 5}, {33096, 6},
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(stream.Seek(s.to));
        ASSERT_EQ(stream.Read(&byte, 1), 1);
        EXPECT_EQ(byte, data[s.to]) << s.to;
        EXPECT_EQ(source.reads.size(), s.reads_after) << s.to;
    }
}

TEST(MemBufferedIO, RandomSeeksAndReadsMatchTheSource)
{
    std::vector<uint8_t> data = numbered_bytes(100000);
    cBufWrapperIO source(data.data(), int32_t(data.size()), false);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    std::mt19937 random(77);
    uint64_t position = 0;
    for (int step = 0; step < 2000; ++step) {
        if (random() % 3 == 0) {
            position = random() % (data.size() + 10);
            ASSERT_TRUE(stream.Seek(position));
        }
        uint32_t n = random() % 4 == 0 ? random() % 12000 : random() % 30;
        std::vector<uint8_t> out(n + 1);
        size_t expected = position >= data.size() ? 0 : std::min<size_t>(n, data.size() - position);
        ASSERT_EQ(stream.Read(out.data(), n), int32_t(expected)) << position << " " << n;
        ASSERT_TRUE(std::equal(out.begin(), out.begin() + expected, data.begin() + position));
        position += expected;
    }
}

TEST(MemBufferedIO, SeekFromEndIsCheckedAgainstTheSize)
{
    std::vector<uint8_t> data = numbered_bytes(5000);
    cBufWrapperIO source(data.data(), 5000, false);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    uint8_t byte = 0;
    EXPECT_TRUE(stream.SeekFromEnd(1));
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    EXPECT_EQ(byte, data[4999]);
    EXPECT_FALSE(stream.SeekFromEnd(5001));
    EXPECT_FALSE(stream.SeekFromEnd(uint64_t(1) << 32));
    EXPECT_EQ(stream.Read(&byte, 1), 0);  // still at the end
    EXPECT_TRUE(stream.SeekFromEnd(5000));
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    EXPECT_EQ(byte, data[0]);
}

TEST(MemBufferedIO, WritesGoToTheLogicalPosition)
{
    cMemIOTarget source;
    std::vector<uint8_t> data = numbered_bytes(10000);
    ASSERT_EQ(source.Write(data.data(), 10000), 10000);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    uint8_t head[10];
    ASSERT_EQ(stream.Read(head, 10), 10);  // the source is now 4096 bytes on
    uint8_t patch[3] = {0xA1, 0xA2, 0xA3};
    ASSERT_EQ(stream.Write(patch, 3), 3);
    uint8_t back[5];
    ASSERT_TRUE(stream.Seek(9));
    ASSERT_EQ(stream.Read(back, 5), 5);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 5), std::vector<uint8_t>({data[9], 0xA1, 0xA2, 0xA3, data[13]}));
}

TEST(MemBufferedIO, SetSizePassesToTheSourceAndUpdatesTheSize)
{
    cMemIOTarget source;
    std::vector<uint8_t> data = numbered_bytes(10000);
    ASSERT_EQ(source.Write(data.data(), 10000), 10000);
    cMemBufferedIO stream;
    ASSERT_TRUE(stream.Attach(&source));
    uint8_t byte;
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    ASSERT_TRUE(stream.SetSize(100));
    EXPECT_EQ(source.GetSize(), 100u);
    EXPECT_EQ(stream.GetSize(), 100u);
    std::vector<uint8_t> out(200);
    ASSERT_TRUE(stream.Seek(0));
    EXPECT_EQ(stream.Read(out.data(), 200), 100);
}

TEST(MemBufferedIO, WithoutASourceNothingMoves)
{
    cMemBufferedIO stream;
    expect_nothing_behind(stream);
    EXPECT_FALSE(stream.Attach(nullptr));
}

TEST(MemBufferedIO, OwnedSourceIsDeletedByCloseAndReattach)
{
    std::vector<uint8_t> data = numbered_bytes(100);
    cHeapBalance balance;
    cJP2FileIOTarget stream;
    cBufWrapperIO* first = new cBufWrapperIO(data.data(), 100, false);
    ASSERT_TRUE(stream.Attach(first, true));
    EXPECT_TRUE(stream.IsOpen());
    ASSERT_TRUE(stream.Attach(new cBufWrapperIO(data.data(), 50, false), true));
    EXPECT_EQ(stream.GetSize(), 50u);
    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(balance.Change(), 0);
    ASSERT_TRUE(stream.Attach(new cBufWrapperIO(data.data(), 10, false), true));
}

}  // namespace
