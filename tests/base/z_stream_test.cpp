#include "base/z_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/buf_wrapper_io.h"
#include "base/file_io_subrange.h"
#include "base/mem_io_target.h"
#include "tests/support/byte_stream.h"
#include "tests/support/crt_heap_probe.h"
#include "tests/support/heap_probe.h"
#include "tests/support/zlib_fixtures.h"

namespace {

// A stream over compressed bytes held by the test.
struct Packed {
    std::vector<uint8_t> bytes;
    cBufWrapperIO source;
    explicit Packed(std::vector<uint8_t> data) : bytes(std::move(data)), source(bytes.data(), int32_t(bytes.size()), false) {}
};

TEST(ZStream, ReadsPythonsDataByteForByteWithEveryViewSize)
{
    std::vector<ZlibCase> cases = zlib_cases();
    ASSERT_GE(cases.size(), 9u);
    const uint32_t views[] = {4096, 1, 7, 1000, 65536, 300000};
    for (const ZlibCase& c : cases) {
        if (c.raw.empty())
            continue;
        for (uint32_t view : views) {
            if (view < 100 && c.raw.size() > 200000)
                continue;  // byte-sized views over a megabyte only take time
            Packed packed(c.packed);
            cZStream stream;
            ASSERT_TRUE(stream.Attach(&packed.source, c.raw.size(), view, false)) << c.name << " " << view;
            EXPECT_TRUE(stream.IsOpen());
            EXPECT_EQ(stream.GetSize(), c.raw.size());
            EXPECT_EQ(read_to_end(stream, {4096, 1, 5000, 333}), c.raw) << c.name << " " << view;
        }
    }
}

TEST(ZStream, RandomSeeksForwardAndBackwardReadTheRightBytes)
{
    std::mt19937 random(99);
    for (const ZlibCase& c : zlib_cases()) {
        if (c.raw.size() < 1000)
            continue;
        for (uint32_t view : {4096u, 777u}) {
            Packed packed(c.packed);
            cZStream stream;
            ASSERT_TRUE(stream.Attach(&packed.source, c.raw.size(), view, false));
            for (int step = 0; step < 60; ++step) {
                uint64_t at = random() % c.raw.size();
                ASSERT_TRUE(stream.Seek(at)) << c.name << " " << at;
                uint32_t n = random() % 9000;
                std::vector<uint8_t> out(n);
                size_t expected = std::min<size_t>(n, c.raw.size() - at);
                ASSERT_EQ(stream.Read(out.data(), n), int32_t(expected)) << c.name << " " << at;
                ASSERT_TRUE(std::equal(out.begin(), out.begin() + expected, c.raw.begin() + at)) << c.name << " " << at;
            }
        }
    }
}

TEST(ZStream, BackwardSeekBeforeTheViewGivesTheSameBytesAgain)
{
    std::vector<uint8_t> raw = zlib_fixture("text.raw");
    Packed packed(zlib_fixture("text.z"));
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&packed.source, raw.size(), 4096, false));
    std::vector<uint8_t> first(20000), again(20000);
    ASSERT_TRUE(stream.Seek(250000));
    ASSERT_EQ(stream.Read(first.data(), 20000), 20000);
    ASSERT_TRUE(stream.Seek(10));
    ASSERT_TRUE(stream.Seek(250000));
    ASSERT_EQ(stream.Read(again.data(), 20000), 20000);
    EXPECT_EQ(first, again);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), raw.begin() + 250000));
}

TEST(ZStream, EdgesOfTheUncompressedSize)
{
    std::vector<uint8_t> raw = zlib_fixture("view_plus.raw");
    Packed packed(zlib_fixture("view_plus.z"));
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&packed.source, raw.size(), 4096, false));
    const uint64_t size = raw.size();
    std::vector<uint8_t> out(100);

    ASSERT_TRUE(stream.Seek(size - 10));
    ASSERT_EQ(stream.Read(out.data(), 100), 10);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, raw.end() - 10));

    EXPECT_TRUE(stream.Seek(size + 5));  // lands at the size
    EXPECT_EQ(stream.Read(out.data(), 100), 0);
    ASSERT_TRUE(stream.SeekFromEnd(1));
    ASSERT_EQ(stream.Read(out.data(), 100), 1);
    EXPECT_EQ(out[0], raw.back());

    EXPECT_TRUE(stream.SeekFromEnd(size));
    ASSERT_EQ(stream.Read(out.data(), 1), 1);
    EXPECT_EQ(out[0], raw[0]);
    EXPECT_FALSE(stream.SeekFromEnd(size + 1));  // too far back: at 0
    ASSERT_EQ(stream.Read(out.data(), 2), 2);
    EXPECT_EQ(out[1], raw[1]);
    EXPECT_FALSE(stream.SetSize(5));
    uint8_t byte = 0;
    EXPECT_EQ(stream.Write(&byte, 1), 0);
}

TEST(ZStream, AttachRefusesWhatItCannotUse)
{
    Packed packed(zlib_fixture("small.z"));
    cZStream stream;
    EXPECT_FALSE(stream.Attach(&packed.source, 0, 4096, false));  // the size cannot be asked
    EXPECT_FALSE(stream.Attach(nullptr, 100, 4096, false));
    EXPECT_FALSE(stream.Attach(&packed.source, 100, 0, false));
    EXPECT_FALSE(stream.Attach(&packed.source, uint64_t(1) << 63, 4096, false));
    EXPECT_FALSE(stream.Attach(&packed.source, 100, 0x40000000, false));  // twice that cannot be held
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_TRUE(stream.Attach(&packed.source, 100, 4096, false));

    Packed junk(std::vector<uint8_t>(5000, 0x5A));
    EXPECT_FALSE(stream.Attach(&junk.source, 100, 4096, false));
}

TEST(ZStream, CutDataEndsShortWithoutHanging)
{
    std::vector<uint8_t> raw = zlib_fixture("text.raw");
    for (uint32_t view : {4096u, 100u}) {
        Packed packed(zlib_fixture("cut.z"));
        cZStream stream;
        ASSERT_TRUE(stream.Attach(&packed.source, raw.size(), view, false));
        std::vector<uint8_t> got = read_to_end(stream, {3000});
        EXPECT_GT(got.size(), 0u);
        EXPECT_LT(got.size(), raw.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), raw.begin()));
        EXPECT_FALSE(stream.Seek(raw.size() - 1));
        // The stream recovers for the bytes that exist.
        ASSERT_TRUE(stream.Seek(5));
        uint8_t byte = 0;
        ASSERT_EQ(stream.Read(&byte, 1), 1);
        EXPECT_EQ(byte, raw[5]);
    }
}

TEST(ZStream, InvalidBlockStopsTheReadExactlyWhereTheGoodDataEnds)
{
    std::vector<uint8_t> good = zlib_fixture("badblock.raw");
    Packed packed(zlib_fixture("badblock.z"));
    cZStream stream;
    const uint64_t claimed = good.size() + 50000;
    ASSERT_TRUE(stream.Attach(&packed.source, claimed, 4096, false));
    std::vector<uint8_t> all(static_cast<size_t>(claimed));
    EXPECT_EQ(stream.Read(all.data(), uint32_t(claimed)), int32_t(good.size()));
    all.resize(good.size());
    EXPECT_EQ(all, good);
    EXPECT_FALSE(stream.Seek(good.size()));
    EXPECT_FALSE(stream.Seek(good.size() + 10));
    EXPECT_TRUE(stream.Seek(good.size() - 1));

    // Good bytes after the view but before where the failed seek stopped.
    ASSERT_TRUE(stream.Seek(0));
    EXPECT_FALSE(stream.Seek(good.size() + 10));
    ASSERT_TRUE(stream.Seek(60000));
    std::vector<uint8_t> middle(100);
    ASSERT_EQ(stream.Read(middle.data(), 100), 100);
    EXPECT_TRUE(std::equal(middle.begin(), middle.end(), good.begin() + 60000));
    EXPECT_TRUE(stream.SeekFromEnd(0));  // the stated end needs no data
}

TEST(ZStream, StatedSizeBeyondTheEndOfTheDataEndsShort)
{
    // Bytes that are no stream follow the end of the data.
    std::vector<uint8_t> raw = zlib_fixture("small.raw");
    Packed packed(zlib_fixture("trailing.z"));
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&packed.source, raw.size() + 100, 64, false));
    EXPECT_EQ(read_to_end(stream, {1000}), raw);
    EXPECT_FALSE(stream.Seek(raw.size() + 1));
}

// A source that hands out one byte per read: zlib then often takes input
// without giving output.
class TrickleSource : public cBufWrapperIO {
public:
    using cBufWrapperIO::cBufWrapperIO;
    int32_t Read(void* buffer, uint32_t count) override { return cBufWrapperIO::Read(buffer, count ? 1 : 0); }
};

TEST(ZStream, ASourceGivingOneByteAtATimeIsEnough)
{
    std::vector<uint8_t> raw = zlib_fixture("fast.raw");
    std::vector<uint8_t> bytes = zlib_fixture("fast.z");
    TrickleSource source(bytes.data(), int32_t(bytes.size()), false);
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&source, raw.size(), 4096, false));
    EXPECT_EQ(read_to_end(stream, {10000}), raw);
}

TEST(ZStream, MemberInsideALargerStreamThroughASubRange)
{
    std::vector<uint8_t> raw = zlib_fixture("random.raw"), member = zlib_fixture("random.z");
    cMemIOTarget container;
    std::vector<uint8_t> filler(70000, 0xEE);
    ASSERT_TRUE(container.WriteExact(filler.data(), uint32_t(filler.size())));
    ASSERT_TRUE(container.WriteExact(member.data(), uint32_t(member.size())));
    ASSERT_TRUE(container.WriteExact(filler.data(), 1000));
    cFileIOSubRange window(&container, filler.size(), member.size());
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&window, raw.size(), 4096, false));
    EXPECT_EQ(read_to_end(stream, {4096}), raw);
    ASSERT_TRUE(stream.Seek(1));
    std::vector<uint8_t> out(10);
    ASSERT_EQ(stream.Read(out.data(), 10), 10);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), raw.begin() + 1));
}

// A source that can be told to refuse seeks.
class StubbornSource : public cBufWrapperIO {
public:
    using cBufWrapperIO::cBufWrapperIO;
    bool Seek(uint64_t p) override { return !refuse && cBufWrapperIO::Seek(p); }
    bool refuse = false;
};

TEST(ZStream, ASourceThatCannotGoBackFailsTheRestart)
{
    std::vector<uint8_t> raw = zlib_fixture("text.raw"), bytes = zlib_fixture("text.z");
    StubbornSource source(bytes.data(), int32_t(bytes.size()), false);
    cZStream stream;
    ASSERT_TRUE(stream.Attach(&source, raw.size(), 4096, false));
    ASSERT_TRUE(stream.Seek(100000));
    source.refuse = true;
    EXPECT_FALSE(stream.Seek(50));
    uint8_t byte = 0;
    ASSERT_EQ(stream.Read(&byte, 1), 1);  // still where it was
    EXPECT_EQ(byte, raw[100000]);
    source.refuse = false;
    ASSERT_TRUE(stream.Seek(50));
    ASSERT_EQ(stream.Read(&byte, 1), 1);
    EXPECT_EQ(byte, raw[50]);
}

TEST(ZStream, OwnedSourcesAndRepeatedAttachGiveBackTheirMemory)
{
    std::vector<uint8_t> raw = zlib_fixture("text.raw"), bytes = zlib_fixture("text.z");
    int before = heap_busy_blocks();
    int zlib_before = crt_busy_blocks();
    ASSERT_GE(zlib_before, 0);
    {
        cZStream stream;
        for (int round = 0; round < 3; ++round) {
            ASSERT_TRUE(stream.Attach(new cBufWrapperIO(bytes.data(), int32_t(bytes.size()), false), raw.size(), 4096,
                                      true));
            ASSERT_TRUE(stream.Seek(200000));
        }
        stream.Close();
        EXPECT_FALSE(stream.IsOpen());
        EXPECT_EQ(heap_busy_blocks(), before);
        EXPECT_EQ(crt_busy_blocks(), zlib_before);
        uint8_t byte;
        EXPECT_EQ(stream.Read(&byte, 1), 0);
        EXPECT_FALSE(stream.Seek(0));
        // A refused attach still takes the source it was given to own.
        EXPECT_FALSE(stream.Attach(new cBufWrapperIO(bytes.data(), int32_t(bytes.size()), false), 0, 4096, true));
        cFileIOTarget* owned = new cBufWrapperIO(bytes.data(), int32_t(bytes.size()), false);
        ASSERT_TRUE(stream.Attach(owned, raw.size(), 4096, true));
        // The owned source attached again, with or without own, stays alive
        // and owned.
        for (bool own : {true, false, true}) {
            ASSERT_TRUE(stream.Attach(owned, raw.size(), 1000, own)) << own;
            ASSERT_TRUE(stream.Seek(123456));
            std::vector<uint8_t> out(10);
            ASSERT_EQ(stream.Read(out.data(), 10), 10);
            EXPECT_TRUE(std::equal(out.begin(), out.end(), raw.begin() + 123456)) << own;
        }
    }
    EXPECT_EQ(heap_busy_blocks(), before);
    EXPECT_EQ(crt_busy_blocks(), zlib_before);
}

}  // namespace
