#include "base/crc32.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

#include <sstream>
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
    std::istringstream vectors(read_test_data("crc32_vectors.txt"));
    std::string line;
    int cases = 0;
    while (std::getline(vectors, line)) {
        std::istringstream fields(line);
        size_t offset, length;
        std::string expected;
        fields >> offset >> length >> expected;
        EXPECT_EQ(crc32_compute(input.data() + offset, int32_t(length)), std::stoul(expected, nullptr, 16))
            << line;
        ++cases;
    }
    EXPECT_GT(cases, 50);
}
