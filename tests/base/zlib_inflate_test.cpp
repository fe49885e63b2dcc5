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

TEST(ZlibInflate, AnInitialisedStreamInflatesPythonsOutput)
{
    std::vector<uint8_t> raw = zlib_fixture("small.raw"), packed = zlib_fixture("small.z");
    ASSERT_EQ(raw.size(), 100u);
    z_stream z;
    zlib_inflate_init(z);
    std::vector<uint8_t> out(200);
    z.next_in = packed.data();
    z.avail_in = uInt(packed.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    EXPECT_EQ(out, raw);
    zlib_inflate_release(z);
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
