#include "base/file_io_subrange.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/buf_wrapper_io.h"
#include "base/mem_io_target.h"
#include "tests/support/byte_stream.h"

namespace {

struct ClampCase {
    uint64_t offset, length;
    uint64_t size;         // the window's size after clamping
    uint8_t first_byte;    // parent byte at the clamped offset
};

TEST(FileIOSubRange, WindowsAreClampedToTheParent)
{
    std::vector<uint8_t> data = numbered_bytes(120);
    cBufWrapperIO parent(data.data(), 120, false);
    const ClampCase cases[] = {
        {100, 50, 20, 100},
        {0, 120, 120, 0},
        {0, 500, 120, 0},
        {119, 1, 1, 119},
        {10, uint64_t(-1), 110, 10},
        {uint64_t(1) << 32, 5, 0, 0},
        {200, 5, 0, 0},
    };
    for (const ClampCase& c : cases) {
        cFileIOSubRange window(&parent, c.offset, c.length);
        EXPECT_EQ(window.GetSize(), c.size) << c.offset << " " << c.length;
        EXPECT_EQ(window.IsOpen(), c.size != 0);
        std::vector<uint8_t> out(200, 0xAA);
        int32_t got = window.Read(out.data(), 200);
        ASSERT_EQ(got, int32_t(c.size));
        if (got > 0) {
            EXPECT_EQ(out[0], c.first_byte);
            EXPECT_EQ(out[got - 1], uint8_t(c.first_byte + got - 1));
        }
    }
}

TEST(FileIOSubRange, ReadingMoreThanTheClampedWindowReturnsWhatItHolds)
{
    std::vector<uint8_t> data = numbered_bytes(120);
    cBufWrapperIO parent(data.data(), 120, false);
    cFileIOSubRange window(&parent, 100, 50);
    uint8_t out[30] = {};
    EXPECT_EQ(window.Read(out, 30), 20);
    EXPECT_EQ(out[19], 119);
}

TEST(FileIOSubRange, SharedParentIsRepositionedOnEveryTransfer)
{
    std::vector<uint8_t> data = numbered_bytes(200);
    cBufWrapperIO parent(data.data(), 200, false);
    cFileIOSubRange a(&parent, 10, 50), b(&parent, 100, 50);
    uint8_t x[5], y[5];
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(a.Read(x, 5), 5);
        ASSERT_EQ(parent.Seek(0), true);
        ASSERT_EQ(b.Read(y, 5), 5);
        EXPECT_EQ(x[0], 10 + 5 * round);
        EXPECT_EQ(y[4], 104 + 5 * round);
    }
}

TEST(FileIOSubRange, SeeksStayInsideTheWindow)
{
    std::vector<uint8_t> data = numbered_bytes(200);
    cBufWrapperIO parent(data.data(), 200, false);
    cFileIOSubRange window(&parent, 50, 100);
    uint8_t byte = 0;

    EXPECT_TRUE(window.Seek(99));
    ASSERT_EQ(window.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 149);
    EXPECT_TRUE(window.Seek(3));  // backward
    ASSERT_EQ(window.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 53);

    EXPECT_TRUE(window.Seek(100));  // the window's end is a place to be
    EXPECT_EQ(window.Read(&byte, 1), 0);
    EXPECT_TRUE(window.SeekFromEnd(0));
    EXPECT_EQ(window.Read(&byte, 1), 0);
    EXPECT_FALSE(window.Seek(101));
    EXPECT_EQ(window.Read(&byte, 1), 0);  // at the window's end
    EXPECT_TRUE(window.SeekFromEnd(100));
    ASSERT_EQ(window.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 50);
    EXPECT_TRUE(window.SeekFromEnd(1));
    ASSERT_EQ(window.Read(&byte, 1), 1);
    EXPECT_EQ(byte, 149);
    EXPECT_FALSE(window.SeekFromEnd(101));
    ASSERT_EQ(window.Read(&byte, 1), 1);  // back at the start
    EXPECT_EQ(byte, 50);
    EXPECT_FALSE(window.SetSize(100));
}

// A parent that refuses every seek: nothing may be transferred at a position
// that was never reached.
class UnseekableStream : public cBufWrapperIO {
public:
    using cBufWrapperIO::cBufWrapperIO;
    bool Seek(uint64_t) override { return false; }
};

TEST(FileIOSubRange, ParentThatCannotSeekTransfersNothing)
{
    std::vector<uint8_t> data = numbered_bytes(100);
    UnseekableStream parent(data.data(), 100, true);
    cFileIOSubRange window(&parent, 10, 20);
    uint8_t out[5] = {};
    EXPECT_EQ(window.Read(out, 5), 0);
    EXPECT_EQ(window.Write(out, 5), 0);
    EXPECT_FALSE(window.Seek(3));
    EXPECT_EQ(data, numbered_bytes(100));
}

TEST(FileIOSubRange, WritesLandInsideTheWindowOnly)
{
    cMemIOTarget parent;
    std::vector<uint8_t> zeros(64, 0);
    ASSERT_EQ(parent.Write(zeros.data(), 64), 64);
    cFileIOSubRange window(&parent, 16, 8);
    std::vector<uint8_t> ones(12, 1);
    ASSERT_TRUE(window.Seek(4));
    EXPECT_EQ(window.Write(ones.data(), 12), 4);
    EXPECT_EQ(parent.GetSize(), 64u);
    _typebuf<uint8_t> all;
    ASSERT_TRUE(parent.CopyTo(all));
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(all[i], i >= 20 && i < 24 ? 1 : 0) << i;
}

TEST(FileIOSubRange, WithoutAParentTheWindowIsEmpty)
{
    cFileIOSubRange window(nullptr, 10, 10);
    expect_nothing_behind(window);
}

}  // namespace
