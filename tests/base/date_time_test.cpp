#include "base/date_time.h"
#include "tests/support/file_times.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

#include <string>

namespace {

cDateTime date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return cDateTime{uint16_t(year), uint8_t(month), uint8_t(day), uint8_t(hour), uint8_t(minute), uint8_t(second)};
}

std::wstring formatted(uint32_t seconds)
{
    wchar_t buffer[100];
    EXPECT_TRUE(format_unix_time(seconds, buffer));
    return buffer;
}


}  // namespace

TEST(DateTime, DateToUnixEdgeCases)
{
    EXPECT_EQ(date_to_unix(date(1970, 1, 1)), 0u);
    EXPECT_EQ(date_to_unix(date(2000, 2, 29)), 951782400u);
    EXPECT_EQ(date_to_unix(date(2001, 1, 1)), 978307200u);
    EXPECT_EQ(date_to_unix(date(1969, 12, 31, 23, 59, 59)), 0u);
    EXPECT_EQ(date_to_unix(date(1, 1, 1)), 0u);
}

TEST(DateTime, MonthPastTwelveCountsAsDecember)
{
    EXPECT_EQ(date_to_unix(date(2020, 13, 5)), date_to_unix(date(2020, 12, 5)));
    EXPECT_EQ(date_to_unix(date(2020, 255, 5)), date_to_unix(date(2020, 12, 5)));
}

TEST(DateTime, DatesMatchPythonCalendar)
{
    int dates = 0;
    for (const auto& r : read_test_records("date_time_vectors.txt")) {
        if (r[0] != "date")
            continue;
        cDateTime fields = date(std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3]), std::stoi(r[4]), std::stoi(r[5]),
                                std::stoi(r[6]));
        uint32_t unix_seconds = uint32_t(std::stoul(r[7]));
        EXPECT_EQ(date_to_unix(fields), unix_seconds) << r[1] << "-" << r[2] << "-" << r[3];

        cDateTime back = {};
        unix_to_datetime(unix_seconds, back);
        EXPECT_EQ(date_to_unix(back), unix_seconds);
        EXPECT_EQ(back.year, fields.year);
        EXPECT_EQ(back.month, fields.month);
        EXPECT_EQ(back.day, fields.day);
        EXPECT_EQ(back.second, fields.second);
        ++dates;
    }
    EXPECT_GT(dates, 300);
}

TEST(DateTime, FormatPrintsDayFirstUtc)
{
    EXPECT_EQ(formatted(0), L"-");
    EXPECT_EQ(formatted(0xFFFFFFFF), L"-");
    EXPECT_EQ(formatted(978307200), L"01.01.2001 00:00:00");
    EXPECT_FALSE(format_unix_time(978307200, nullptr));
    int cases = 0;
    for (const auto& r : read_test_records("date_time_vectors.txt")) {
        if (r[0] != "format")
            continue;
        EXPECT_EQ(formatted(uint32_t(std::stoul(r[1]))), widened(r[2] + " " + r[3]));
        ++cases;
    }
    EXPECT_GT(cases, 50);
}

TEST(DateTime, LocalToUtcMatchesZoneinfoForBerlin)
{
    int cases = 0;
    for (const auto& r : read_test_records("date_time_vectors.txt")) {
        if (r[0] != "local")
            continue;
        EXPECT_EQ(local_unix_to_utc(std::stoull(r[1])), std::stoull(r[2])) << "local " << r[1];
        ++cases;
    }
    EXPECT_GT(cases, 100);
}

TEST(DateTime, LocalBeforeTheEpochGivesZero)
{
    // Midnight of 1 January 1970 in Berlin was an hour before the epoch.
    EXPECT_EQ(local_unix_to_utc(0), 0u);
    EXPECT_EQ(local_unix_to_utc(3600), 0u);
}

TEST(DateTime, FiletimeOfTheEpoch)
{
    EXPECT_EQ(unix_to_filetime(0), 116444736000000000ull);
    EXPECT_EQ(unix_to_filetime(1), 116444736010000000ull);
}

TEST(DateTime, NowAgreesInBothForms)
{
    uint64_t before = time_now_unix();
    cDateTime now = {};
    EXPECT_TRUE(time_now_utc(now));
    uint64_t after = time_now_unix();
    EXPECT_GE(date_to_unix(now), before);
    EXPECT_LE(date_to_unix(now), after);
    EXPECT_GT(before, 1600000000u);
}

TEST(DateTime, LeapYears)
{
    const struct {
        int year;
        bool leap;
    } cases[] = {{1900, false}, {1970, false}, {1972, true}, {2000, true}, {2023, false}, {2024, true}, {2100, false}, {2400, true}, {0, true}, {-4, true}};
    for (const auto& c : cases)
        EXPECT_EQ(is_leap_year(c.year), c.leap) << c.year;
}

TEST(DateTime, FiletimeToLocalDropsMillisecondsAndUsesTheCurrentBias)
{
    FILETIME time = utc_filetime(2024, 2, 29, 12, 0, 59);
    ULARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    ticks.QuadPart += 9990000;  // 999 ms
    FILETIME later = {ticks.LowPart, ticks.HighPart};
    cDateTime out = {};
    ASSERT_TRUE(filetime_to_local(later, out));
    EXPECT_EQ(text_of(out), expected_local(time));
}
