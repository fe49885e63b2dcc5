#include "base/buf_wrapper_io.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/byte_stream.h"

namespace {

TEST(BufWrapperIO, ReadsTheCallersBytesAndStopsAtTheEnd)
{
    std::vector<uint8_t> data = numbered_bytes(100);
    cBufWrapperIO stream(data.data(), 100, false);
    EXPECT_TRUE(stream.IsOpen());
    EXPECT_EQ(stream.GetSize(), 100u);
    std::vector<uint8_t> out(150, 0);
    EXPECT_EQ(stream.Read(out.data(), 60), 60);
    EXPECT_EQ(stream.Read(out.data() + 60, 90), 40);
    EXPECT_EQ(stream.Read(out.data(), 1), 0);
    out.resize(100);
    EXPECT_EQ(out, data);
}

TEST(BufWrapperIO, ReadOnlyRefusesEveryWrite)
{
    std::vector<uint8_t> data = numbered_bytes(20);
    std::vector<uint8_t> original = data;
    cBufWrapperIO stream(data.data(), 20, false);
    uint8_t bytes[4] = {9, 9, 9, 9};
    EXPECT_EQ(stream.Write(bytes, 4), 0);
    EXPECT_FALSE(stream.WriteExact(bytes, 1));
    EXPECT_EQ(data, original);
}

TEST(BufWrapperIO, WritableWritesInPlaceUpToTheEnd)
{
    std::vector<uint8_t> data(10, 0);
    cBufWrapperIO stream(data.data(), 10, true);
    ASSERT_TRUE(stream.Seek(7));
    uint8_t bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(stream.Write(bytes, 5), 3);
    EXPECT_EQ(data, std::vector<uint8_t>({0, 0, 0, 0, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(stream.Write(bytes, 5), 0);
    EXPECT_EQ(stream.GetSize(), 10u);
}

TEST(BufWrapperIO, SetSizeAnswersTrueOnlyForTheSizeItHas)
{
    std::vector<uint8_t> data(10, 0);
    cBufWrapperIO stream(data.data(), 10, true);
    EXPECT_TRUE(stream.SetSize(10));
    EXPECT_FALSE(stream.SetSize(9));
    EXPECT_FALSE(stream.SetSize(11));
    EXPECT_FALSE(stream.SetSize((uint64_t(1) << 32) + 10));
    EXPECT_EQ(stream.GetSize(), 10u);
}

struct SeekCase {
    bool from_end;
    uint64_t argument;
    bool accepted;
    int first_byte;  // what a one-byte read gives afterwards; -1 for nothing
};

TEST(BufWrapperIO, SeeksAreCheckedInSixtyFourBits)
{
    const uint64_t beyond = uint64_t(1) << 32;
    const SeekCase cases[] = {
        {false, 0, true, 0},
        {false, 10, true, 10},
        {false, 99, true, 99},
        {false, 100, true, -1},
        {false, 101, false, -1},
        // Low halves 5 and 0 would pass a 32-bit comparison.
        {false, beyond + 5, false, -1},
        {false, beyond, false, -1},
        {true, 0, true, -1},
        {true, 1, true, 99},
        {true, 100, true, 0},
        {true, 101, false, 0},
        {true, beyond + 5, false, 0},
    };
    std::vector<uint8_t> data = numbered_bytes(100);
    for (const SeekCase& c : cases) {
        cBufWrapperIO stream(data.data(), 100, false);
        ASSERT_TRUE(stream.Seek(50));
        bool accepted = c.from_end ? stream.SeekFromEnd(c.argument) : stream.Seek(c.argument);
        EXPECT_EQ(accepted, c.accepted) << c.from_end << " " << c.argument;
        uint8_t byte = 0;
        int32_t got = stream.Read(&byte, 1);
        EXPECT_EQ(got == 1 ? int(byte) : -1, c.first_byte) << c.from_end << " " << c.argument;
    }
}

TEST(BufWrapperIO, CloseForgetsTheBufferAndAttachTakesANewOne)
{
    std::vector<uint8_t> first = numbered_bytes(10), second = numbered_bytes(20);
    cBufWrapperIO stream(first.data(), 10, false);
    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.GetSize(), 0u);
    uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0);

    EXPECT_TRUE(stream.Attach(second.data(), 20, true));
    EXPECT_EQ(stream.GetSize(), 20u);
    byte = 0xEE;
    EXPECT_EQ(stream.Write(&byte, 1), 1);
    EXPECT_EQ(second[0], 0xEE);
    EXPECT_FALSE(stream.Attach(nullptr, 5, true));
    EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(BufWrapperIO, IsAGenericStream)
{
    uint8_t data[1] = {};
    cBufWrapperIO stream(data, 1, true);
    EXPECT_EQ(static_cast<cFileIOTarget&>(stream).GetKind(), 0u);
    EXPECT_FALSE(stream.SetTime(2021, 5, 6, 7, 8, 9));
}

}  // namespace
