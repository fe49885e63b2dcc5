#include "base/crc32.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

#include <string>

TEST(Crc32, KnownValues)
{
    EXPECT_EQ(crc32_compute("abc", 3), 0x352441C2u);
    EXPECT_EQ(crc32_compute("123456789", 9), 0xCBF43926u);
    // A PNG IEND chunk's CRC covers its type.
    EXPECT_EQ(crc32_compute("IEND", 4), 0xAE426082u);
}

TEST(Crc32, EmptyNullOrNegativeLengthGivesZero)
{
    EXPECT_EQ(crc32_compute("abc", 0), 0u);
    EXPECT_EQ(crc32_compute(nullptr, 5), 0u);
    EXPECT_EQ(crc32_compute("abc", -1), 0u);
}

TEST(Crc32, RandomBuffersMatchZlib)
{
    std::string input = read_test_data("digest_input.bin");
    ASSERT_EQ(input.size(), 1u << 18);
    auto records = read_test_records("crc32_vectors.txt");
    for (const auto& r : records)
        EXPECT_EQ(crc32_compute(input.data() + std::stoul(r[0]), std::stoi(r[1])), std::stoul(r[2], nullptr, 16))
            << r[0] << " " << r[1];
    EXPECT_GT(records.size(), 50u);
}
