#include "base/clock.h"
#include "tests/support/test_data.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The runtime's strtoull stops short of 2^64 - 1.
uint64_t decimal(const std::string& text)
{
    uint64_t value = 0;
    for (char c : text)
        value = value * 10 + uint64_t(c - '0');
    return value;
}

}  // namespace

TEST(Clock, ScalingMatchesExactArithmeticForLargeCounters)
{
    int cases = 0;
    for (const auto& r : read_test_records("clock_vectors.txt")) {
        EXPECT_EQ(clock_ticks_to_us(decimal(r[1]), decimal(r[2])), decimal(r[3]))
            << r[1] << " ticks at " << r[2] << " Hz";
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

TEST(Clock, ThreeWeeksOfUptimeDoNotOverflow)
{
    // 10 MHz for 30 days: ticks x 1,000,000 is past 2^64.
    uint64_t ticks = 10000000ull * 86400 * 30 + 1234567;
    EXPECT_EQ(clock_ticks_to_us(ticks, 10000000), 86400ull * 30 * 1000000 + 123456);
}

TEST(Clock, ZeroFrequencyGivesZero) { EXPECT_EQ(clock_ticks_to_us(123456789, 0), 0u); }

TEST(Clock, NowFollowsThePerformanceCounter)
{
    LARGE_INTEGER frequency, before, after;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    QueryPerformanceCounter(&before);
    uint64_t now = clock_now_us();
    QueryPerformanceCounter(&after);
    long double per_tick = 1e6L / frequency.QuadPart;
    EXPECT_GE(now + 1, uint64_t(before.QuadPart * per_tick));
    EXPECT_LE(now, uint64_t(after.QuadPart * per_tick) + 1);
}

TEST(Clock, NeverGoesBack)
{
    uint64_t last = clock_now_us();
    for (int i = 0; i < 100000; ++i) {
        uint64_t now = clock_now_us();
        ASSERT_GE(now, last);
        last = now;
    }
}
