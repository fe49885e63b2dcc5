#include "base/decompress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/crt_heap_probe.h"
#include "tests/support/heap_probe.h"
#include "tests/support/zlib_fixtures.h"

namespace {

_typebuf<uint8_t> to_typebuf(const std::vector<uint8_t>& bytes)
{
    _typebuf<uint8_t> buffer(int32_t(bytes.size()));
    if (!bytes.empty())
        std::copy(bytes.begin(), bytes.end(), buffer.Data());
    return buffer;
}

std::vector<uint8_t> to_vector(const _typebuf<uint8_t>& buffer)
{
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Count());
}

bool is_prefix(const std::vector<uint8_t>& part, const std::vector<uint8_t>& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(ZDecompress, OneShotGivesBackPythonsOriginals)
{
    std::vector<ZlibCase> cases = zlib_cases();
    ASSERT_GE(cases.size(), 9u);
    for (const ZlibCase& c : cases) {
        cZDecompress decompressor;
        _typebuf<uint8_t> out;
        ASSERT_TRUE(decompressor.Decompress(to_typebuf(c.packed), out)) << c.name;
        EXPECT_EQ(to_vector(out), c.raw) << c.name;
    }
}

// Damaged, cut and junk data fail both one-shot calls; what decoded before
// the damage stays in the output.
TEST(ZDecompress, OneShotCallsAnswerFalseForDamagedOrCutData)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> packed;
        std::vector<uint8_t> whole;  // the output is a prefix of it
    };
    const std::vector<Case> cases = {
        {"cut", zlib_fixture("cut.z"), zlib_fixture("text.raw")},
        {"badblock", zlib_fixture("badblock.z"), zlib_fixture("badblock.raw")},
        {"junk", std::vector<uint8_t>(500, 0x5A), {}},
        {"empty", {}, {}},
    };
    cZDecompress decompressor;
    for (const Case& c : cases) {
        _typebuf<uint8_t> one_shot, to_buffer;
        EXPECT_FALSE(decompressor.Decompress(to_typebuf(c.packed), one_shot)) << c.name;
        EXPECT_FALSE(decompressor.DecompressToBuffer(c.packed.data(), uint32_t(c.packed.size()), to_buffer)) << c.name;
        EXPECT_TRUE(is_prefix(to_vector(one_shot), c.whole)) << c.name;
        EXPECT_EQ(to_vector(to_buffer), to_vector(one_shot)) << c.name;
    }
    _typebuf<uint8_t> out;
    ASSERT_FALSE(decompressor.Decompress(to_typebuf(zlib_fixture("badblock.z")), out));
    EXPECT_EQ(to_vector(out), zlib_fixture("badblock.raw"));
}

// A stated size that is right, too small, too large or absurd gives the same
// whole stream; a failure in between leaves nothing behind for the next call.
TEST(ZDecompress, ToBufferStartsFreshOnEveryCallWhateverSizeItIsTold)
{
    std::vector<uint8_t> bad = zlib_fixture("badblock.z");
    cZDecompress decompressor;
    _typebuf<uint8_t> out;
    for (const ZlibCase& c : zlib_cases()) {
        const uint32_t n = uint32_t(c.raw.size());
        for (uint32_t stated : {0u, n, n / 2 + 1, n + 1, 2 * n + 100, 0x7FFFFFFFu}) {
            ASSERT_TRUE(decompressor.DecompressToBuffer(c.packed.data(), uint32_t(c.packed.size()), out, stated))
                << c.name << " " << stated;
            EXPECT_EQ(to_vector(out), c.raw) << c.name << " " << stated;
            EXPECT_FALSE(decompressor.DecompressToBuffer(bad.data(), uint32_t(bad.size()), out, stated));
        }
    }
}

// Feeds packed in pieces of the given sizes (cycled), with an output area of
// out_size, draining with null input after each piece, as a reader of
// chunked data does. Answers false when a step fails; stops when a step
// takes nothing of a new piece (the stream has ended).
bool inflate_in_steps(cZDecompress& decompressor, const std::vector<uint8_t>& packed,
                      const std::vector<uint32_t>& pieces, uint32_t out_size, std::vector<uint8_t>& result)
{
    std::vector<uint8_t> out(out_size);
    size_t offset = 0;
    for (size_t k = 0; offset < packed.size(); ++k) {
        uint32_t in = std::min<uint32_t>(pieces[k % pieces.size()], uint32_t(packed.size() - offset));
        uint32_t produced = out_size;
        if (!decompressor.InflateStep(packed.data() + offset, &in, out.data(), &produced))
            return false;
        if (in == 0 && produced == 0)
            return true;
        offset += in;
        result.insert(result.end(), out.begin(), out.begin() + produced);
        for (;;) {
            uint32_t more_in = 12345;  // ignored without input
            produced = out_size;
            if (!decompressor.InflateStep(nullptr, &more_in, out.data(), &produced))
                return false;
            if (more_in == 0 && produced == 0)
                break;
            offset += more_in;
            result.insert(result.end(), out.begin(), out.begin() + produced);
        }
    }
    return true;
}

TEST(ZDecompress, StepsFedPieceByPieceGiveTheOriginal)
{
    const std::vector<std::vector<uint32_t>> piece_patterns = {{1}, {7, 1, 300}, {4096}, {100000}};
    const uint32_t out_sizes[] = {1, 333, 65536};
    for (const ZlibCase& c : zlib_cases()) {
        if (c.raw.size() > 300000)
            continue;  // one-byte steps over the largest case only take time
        for (const std::vector<uint32_t>& pieces : piece_patterns) {
            for (uint32_t out_size : out_sizes) {
                if (out_size == 1 && c.raw.size() > 5000)
                    continue;
                cZDecompress decompressor;
                std::vector<uint8_t> result;
                ASSERT_TRUE(inflate_in_steps(decompressor, c.packed, pieces, out_size, result))
                    << c.name << " " << pieces[0] << " " << out_size;
                EXPECT_EQ(result, c.raw) << c.name << " " << pieces[0] << " " << out_size;
            }
        }
    }
}

TEST(ZDecompress, OutputHeldBackAtTheEndOfTheInputIsStillDelivered)
{
    // A million zeros come from about a thousand bytes: the last piece of
    // input leaves far more output than one step's room.
    std::vector<uint8_t> packed = zlib_fixture("zeros.z");
    cZDecompress decompressor;
    std::vector<uint8_t> result;
    ASSERT_TRUE(inflate_in_steps(decompressor, packed, {uint32_t(packed.size())}, 4096, result));
    EXPECT_EQ(result, zlib_fixture("zeros.raw"));
}

// Whatever the previous stream left (nothing yet, half a stream, an end,
// trailing bytes, damage, a one-shot call), Reset lets the next stream on
// the same object decode whole.
TEST(ZDecompress, ResetStartsTheNextStreamFresh)
{
    std::vector<uint8_t> text = zlib_fixture("text.z");
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> before = {
        {"nothing", {}},
        {"half", std::vector<uint8_t>(text.begin(), text.begin() + text.size() / 2)},
        {"ended", zlib_fixture("small.z")},
        {"trailing", zlib_fixture("trailing.z")},
        {"damaged", zlib_fixture("badblock.z")},
    };
    for (const auto& [name, first] : before) {
        for (bool one_shot : {false, true}) {
            cZDecompress decompressor;
            std::vector<uint8_t> ignored;
            _typebuf<uint8_t> out;
            if (one_shot)
                decompressor.DecompressToBuffer(first.data(), uint32_t(first.size()), out);
            else
                inflate_in_steps(decompressor, first, {1000}, 8192, ignored);
            ASSERT_TRUE(decompressor.Reset()) << name;
            std::vector<uint8_t> result;
            ASSERT_TRUE(inflate_in_steps(decompressor, text, {999}, 5000, result)) << name << " " << one_shot;
            EXPECT_EQ(result, zlib_fixture("text.raw")) << name << " " << one_shot;
        }
    }
}

// As zlib itself: once the stream has ended, steps on the bytes after it
// answer true and take and give nothing; after damage, they keep failing.
TEST(ZDecompress, AnEndedOrDamagedStreamStaysSoUntilReset)
{
    std::vector<uint8_t> packed = zlib_fixture("trailing.z"), small = zlib_fixture("small.z");
    std::vector<uint8_t> out(8192);
    cZDecompress decompressor;
    uint32_t in = uint32_t(packed.size()), produced = uint32_t(out.size());
    ASSERT_TRUE(decompressor.InflateStep(packed.data(), &in, out.data(), &produced));
    EXPECT_EQ(in, small.size());
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + produced), zlib_fixture("small.raw"));
    const uint8_t* after_the_end = packed.data() + small.size();
    for (const uint8_t* input : {after_the_end, static_cast<const uint8_t*>(nullptr)}) {
        in = uint32_t(packed.size() - small.size());
        produced = uint32_t(out.size());
        EXPECT_TRUE(decompressor.InflateStep(input, &in, out.data(), &produced));
        EXPECT_EQ(in, 0u);
        EXPECT_EQ(produced, 0u);
    }

    std::vector<uint8_t> ignored;
    ASSERT_TRUE(decompressor.Reset());
    EXPECT_FALSE(inflate_in_steps(decompressor, zlib_fixture("badblock.z"), {1000}, 8192, ignored));
    EXPECT_FALSE(inflate_in_steps(decompressor, small, {1000}, 8192, ignored));
}

TEST(ZDecompress, NullInputBeforeAnyStreamGivesNothing)
{
    cZDecompress decompressor;
    uint8_t out[10];
    uint32_t in = 5, produced = 10;
    EXPECT_TRUE(decompressor.InflateStep(nullptr, &in, out, &produced));
    EXPECT_EQ(in, 0u);
    EXPECT_EQ(produced, 0u);
    EXPECT_FALSE(decompressor.InflateStep(out, nullptr, out, &produced));
}

TEST(ZDecompress, GivesBackAllMemoryAndNamesItsKind)
{
    std::vector<ZlibCase> cases = zlib_cases();
    int before = heap_busy_blocks();
    int zlib_before = crt_busy_blocks();
    ASSERT_GE(zlib_before, 0);
    {
        cZDecompress decompressor;
        EXPECT_EQ(static_cast<cDecompress&>(decompressor).GetKind(), 3u);
        _typebuf<uint8_t> out;
        ASSERT_TRUE(decompressor.Decompress(to_typebuf(cases[4].packed), out));
        ASSERT_TRUE(decompressor.DecompressToBuffer(cases[4].packed.data(), uint32_t(cases[4].packed.size()), out));
        uint8_t piece[100];
        uint32_t in = 50, produced = 100;
        ASSERT_TRUE(decompressor.InflateStep(cases[4].packed.data(), &in, piece, &produced));
        ASSERT_TRUE(decompressor.DecompressToBuffer(cases[3].packed.data(), uint32_t(cases[3].packed.size()), out));
    }
    EXPECT_EQ(heap_busy_blocks(), before);
    EXPECT_EQ(crt_busy_blocks(), zlib_before);
}

}  // namespace
