#include "base/small_utils.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <string>

TEST(SmallUtils, MemIsZeroLooksAtEveryByte)
{
    EXPECT_FALSE(mem_is_zero(nullptr, 0));
    EXPECT_FALSE(mem_is_zero(nullptr, 8));
    unsigned char bytes[24] = {};
    // Every start (aligned or not), every length, and a set byte at every
    // position inside and just outside the range.
    for (size_t start = 0; start < 4; ++start)
        for (size_t length = 0; length + start <= 20; ++length) {
            EXPECT_TRUE(mem_is_zero(bytes + start, length));
            for (size_t at = 0; at < 24; ++at) {
                bytes[at] = 0x40;
                bool inside = at >= start && at < start + length;
                EXPECT_EQ(mem_is_zero(bytes + start, length), !inside) << start << " " << length << " " << at;
                bytes[at] = 0;
            }
        }
}

TEST(SmallUtils, CountBits64)
{
    EXPECT_EQ(count_bits64(0), 0);
    EXPECT_EQ(count_bits64(~0ull), 64);
    EXPECT_EQ(count_bits64(0x8000000000000001ull), 2);
    std::mt19937_64 random(7);
    for (int i = 0; i < 1000; ++i) {
        uint64_t v = random();
        EXPECT_EQ(count_bits64(v), std::bitset<64>(v).count());
    }
}

TEST(SmallUtils, ParseHexByte)
{
    const struct {
        const wchar_t* text;
        uint32_t value;
    } cases[] = {
        {L"00", 0},          {L"ff", 255},        {L"A0", 0xA0},       {L"9Fzz", 0x9F}, {L"1234", 0x12},
        {L"7g", 0xFFFFFFFF}, {L"g7", 0xFFFFFFFF}, {L"7", 0xFFFFFFFF},  {L"", 0xFFFFFFFF},
        {L" 7f", 0xFFFFFFFF}, {nullptr, 0xFFFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_hex_byte_w(c.text), c.value) << (c.text ? c.text : L"(null)");
}

TEST(SmallUtils, CopyToCapacity)
{
    wchar_t out[8];
    wmemset(out, L'#', 8);
    EXPECT_EQ(wstr_copy_to_capacity(L"abcdef", -1, out, 4), 3);
    EXPECT_EQ(std::wstring(out), L"abc");
    EXPECT_EQ(wstr_copy_to_capacity(L"abcdef", 2, out, 8), 2);
    EXPECT_EQ(std::wstring(out), L"ab");
    EXPECT_EQ(wstr_copy_to_capacity(L"abc", -1, out, 8), 3);
    EXPECT_EQ(std::wstring(out), L"abc");
    EXPECT_EQ(wstr_copy_to_capacity(L"abc", -1, out, 1), 0);
    EXPECT_EQ(out[0], L'\0');
    wmemset(out, L'#', 8);
    EXPECT_EQ(wstr_copy_to_capacity(nullptr, 5, out, 8), 0);
    EXPECT_EQ(out[0], L'\0');
    EXPECT_EQ(wstr_copy_to_capacity(L"abc", -1, nullptr, 8), 0);
    wmemset(out, L'#', 8);
    EXPECT_EQ(wstr_copy_to_capacity(L"abc", -1, out, 0), 0);
    EXPECT_EQ(out[0], L'#');
}

TEST(SmallUtils, CharLowerWidensWithSign)
{
    for (int byte = 0; byte < 256; ++byte) {
        char c = char(byte);
        wchar_t expected;
        if (byte >= 0x80)
            expected = wchar_t(0xFF00 | byte);  // no case in U+FF80..U+FFFF
        else if (byte >= 'A' && byte <= 'Z')
            expected = wchar_t(byte + 32);
        else
            expected = wchar_t(byte);
        EXPECT_EQ(char_lower_a(c), expected) << byte;
    }
}

TEST(SmallUtils, ParseInt64WideAndNarrowAgree)
{
    const struct {
        const char* text;
        int64_t value;
    } cases[] = {
        {"  0x1F", 31},
        {"   ", 0},
        {"", 0},
        {"abc", -1},
        {"\t\r\n 42", 42},
        {"-17", -17},
        {"+5", 5},
        {"12abc", 12},
        {"0X7fffffffffffffff", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"0x", -1},
        {"0xzz", -1},
        {"0xFFFFFFFFFFFFFFFF", -1},
        {"4294967296", 4294967296LL},
    };
    for (const auto& c : cases) {
        std::wstring wide(c.text, c.text + strlen(c.text));
        EXPECT_EQ(parse_int64_a(c.text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(parse_int64_w(wide.c_str()), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(parse_int64_a(nullptr), 0);
    EXPECT_EQ(parse_int64_w(nullptr), 0);
}
