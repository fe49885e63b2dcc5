#include "base/zlib_inflate.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/heap_probe.h"
#include "tests/support/zlib_fixtures.h"

namespace {

TEST(ZlibInflate, TheLinkedZlibAcceptsTheProgramsInterfaceVersion)
{
    // zlib compares only the major digit of the caller's version text.
    EXPECT_EQ(zlibVersion()[0], '1');
    z_stream z;
    zlib_inflate_init(z);
    EXPECT_NE(z.state, nullptr);
    EXPECT_EQ(inflateReset(&z), Z_OK);
    zlib_inflate_release(z);
    EXPECT_EQ(z.state, nullptr);
}

// One call fills an output of exactly the stated size, and only when the
// stream ends exactly there.
TEST(ZlibInflate, InflateBufferNeedsTheStreamToEndExactlyAtTheStatedSize)
{
    for (const ZlibCase& c : zlib_cases()) {
        if (c.raw.empty())
            continue;
        const uint32_t n = uint32_t(c.raw.size());
        for (uint32_t size : {n, n - 1, n + 1}) {
            std::vector<uint8_t> out(size + 1, 0xA5);
            uint32_t answer = inflate_buffer(c.packed.data(), uint32_t(c.packed.size()), out.data(), size);
            EXPECT_EQ(answer, size == n ? n : 0u) << c.name << " " << size;
            EXPECT_EQ(out[size], 0xA5) << c.name << " " << size;  // nothing past the output
            if (size == n) {
                out.resize(n);
                EXPECT_EQ(out, c.raw) << c.name;
            }
        }
    }
    // Damage anywhere fails, the checksum at the end included.
    std::vector<uint8_t> flipped = zlib_fixture("small.z");
    flipped.back() ^= 1;
    const std::vector<std::pair<std::vector<uint8_t>, size_t>> damaged = {
        {zlib_fixture("cut.z"), zlib_fixture("text.raw").size()},
        {zlib_fixture("badblock.z"), zlib_fixture("badblock.raw").size()},
        {flipped, 100},
    };
    for (const auto& [packed, size] : damaged) {
        std::vector<uint8_t> out(size);
        EXPECT_EQ(inflate_buffer(packed.data(), uint32_t(packed.size()), out.data(), uint32_t(size)), 0u) << size;
    }
}

TEST(ZlibInflate, ReleaseIsHarmlessOnAZeroedOrReleasedStream)
{
    z_stream z = {};
    zlib_inflate_release(z);
    zlib_inflate_init(z);
    zlib_inflate_release(z);
    zlib_inflate_release(z);
    EXPECT_EQ(z.state, nullptr);
}

}  // namespace
