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

TEST(ZDecompress, OneShotOfDamagedDataKeepsWhatDecodedBeforeTheDamage)
{
    cZDecompress decompressor;
    _typebuf<uint8_t> out;
    std::vector<uint8_t> text = zlib_fixture("text.raw");
    ASSERT_TRUE(decompressor.Decompress(to_typebuf(zlib_fixture("cut.z")), out));
    std::vector<uint8_t> got = to_vector(out);
    EXPECT_GT(got.size(), 0u);
    EXPECT_LT(got.size(), text.size());
    EXPECT_TRUE(is_prefix(got, text));

    ASSERT_TRUE(decompressor.Decompress(to_typebuf(zlib_fixture("badblock.z")), out));
    EXPECT_EQ(to_vector(out), zlib_fixture("badblock.raw"));
}

TEST(ZDecompress, ToBufferAnswersFalseForDamagedOrCutData)
{
    cZDecompress decompressor;
    _typebuf<uint8_t> out;
    std::vector<uint8_t> bad = zlib_fixture("badblock.z");
    EXPECT_FALSE(decompressor.DecompressToBuffer(bad.data(), uint32_t(bad.size()), out));
    EXPECT_EQ(to_vector(out), zlib_fixture("badblock.raw"));

    std::vector<uint8_t> cut = zlib_fixture("cut.z");
    EXPECT_FALSE(decompressor.DecompressToBuffer(cut.data(), uint32_t(cut.size()), out));
    EXPECT_TRUE(is_prefix(to_vector(out), zlib_fixture("text.raw")));

    std::vector<uint8_t> junk(500, 0x5A);
    EXPECT_FALSE(decompressor.DecompressToBuffer(junk.data(), uint32_t(junk.size()), out));
    EXPECT_EQ(out.Count(), 0);
}

TEST(ZDecompress, ToBufferStartsFreshOnEveryCall)
{
    std::vector<ZlibCase> cases = zlib_cases();
    std::vector<uint8_t> bad = zlib_fixture("badblock.z");
    cZDecompress decompressor;
    _typebuf<uint8_t> out;
    for (int round = 0; round < 2; ++round) {
        for (const ZlibCase& c : cases) {
            ASSERT_TRUE(decompressor.DecompressToBuffer(c.packed.data(), uint32_t(c.packed.size()), out)) << c.name;
            EXPECT_EQ(to_vector(out), c.raw) << c.name;
            // A failure in between leaves nothing behind for the next call.
            EXPECT_FALSE(decompressor.DecompressToBuffer(bad.data(), uint32_t(bad.size()), out));
        }
    }
}

// Feeds packed in pieces of the given sizes (cycled), with an output area of
// out_size, draining with null input after each piece, as a reader of
// chunked data does. Answers false when a step fails.
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

TEST(ZDecompress, AfterTheEndOfAStreamTheNextStepsStartANewOne)
{
    std::vector<ZlibCase> cases = zlib_cases();
    cZDecompress decompressor;
    for (const ZlibCase& c : cases) {
        std::vector<uint8_t> result;
        ASSERT_TRUE(inflate_in_steps(decompressor, c.packed, {999}, 5000, result)) << c.name;
        EXPECT_EQ(result, c.raw) << c.name;
    }
    // ... and so do they after a one-shot call on the same object.
    _typebuf<uint8_t> out;
    ASSERT_TRUE(decompressor.DecompressToBuffer(cases[2].packed.data(), uint32_t(cases[2].packed.size()), out));
    std::vector<uint8_t> result;
    ASSERT_TRUE(inflate_in_steps(decompressor, cases[3].packed, {50}, 100, result));
    EXPECT_EQ(result, cases[3].raw);
}

TEST(ZDecompress, StepsOverDamagedDataFailAndTheNextStreamStillWorks)
{
    cZDecompress decompressor;
    std::vector<uint8_t> result;
    EXPECT_FALSE(inflate_in_steps(decompressor, zlib_fixture("badblock.z"), {1000}, 8192, result));
    EXPECT_TRUE(is_prefix(result, zlib_fixture("badblock.raw")));

    std::vector<uint8_t> good;
    ASSERT_TRUE(inflate_in_steps(decompressor, zlib_fixture("text.z"), {1000}, 8192, good));
    EXPECT_EQ(good, zlib_fixture("text.raw"));
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
