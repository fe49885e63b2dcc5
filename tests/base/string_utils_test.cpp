#include "base/string_utils.h"

#include <gtest/gtest.h>

TEST(StringUtils, CompareIsUnsignedUnitByUnit)
{
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    } cases[] = {
        {L"", L"a", -1},       {L"", L"", 0},           {L"abc", L"abd", -1},
        {L"abc", L"ab", 1},    {L"\uffff", L"a", 1},    {L"\u00e9", L"\u0100", -1},
        {nullptr, L"a", 1},    {L"a", nullptr, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wstr_compare(c.a, c.b), c.expected) << (c.a ? c.a : L"(null)");
}

TEST(StringUtils, LengthAndSearch)
{
    EXPECT_EQ(wstr_length(L"hello"), 5);
    EXPECT_EQ(wstr_length(nullptr), 0);

    const wchar_t* path = L"X:/a/b.exe";
    EXPECT_EQ(wstr_find_char(path, L'/'), path + 2);
    EXPECT_EQ(wstr_find_last_char(path, L'/'), path + 4);
    EXPECT_EQ(wstr_find_last_char(path, L'\0'), path + 10);
    EXPECT_EQ(wstr_find_char(path, L'\0'), nullptr);
    EXPECT_EQ(wstr_find_char(L"", L'a'), nullptr);
    EXPECT_EQ(wstr_find_char(nullptr, L'a'), nullptr);
    EXPECT_EQ(wstr_find_last_char(path, L'q'), nullptr);
    EXPECT_EQ(wstr_find_last_char(nullptr, L'\0'), nullptr);
}

TEST(StringUtils, BoundedCopyCutsAndTerminates)
{
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    wstr_copy_bounded(buffer, 4, L"hello");
    EXPECT_STREQ(buffer, L"hel");
    EXPECT_EQ(buffer[4], L'#');

    wmemset(buffer, L'#', 8);
    wstr_copy_bounded(buffer, 8, L"hi");
    EXPECT_STREQ(buffer, L"hi");
    EXPECT_EQ(buffer[3], L'#');  // nothing written past the NUL

    wstr_copy_bounded(buffer, 3, L"abc");
    EXPECT_STREQ(buffer, L"ab");
    wstr_copy_bounded(nullptr, 3, L"abc");
    wstr_copy_bounded(buffer, 3, nullptr);
    EXPECT_STREQ(buffer, L"ab");
}

TEST(StringUtils, CaseInsensitiveWideComparison)
{
    EXPECT_EQ(wstr_compare_nocase(L"ReadMe", L"readme"), 0);
    EXPECT_EQ(wstr_compare_nocase(L"\u00c0b", L"\u00e0B"), 0);
    EXPECT_EQ(wstr_compare_nocase(L"a", L"B"), -1);
    EXPECT_EQ(wstr_compare_nocase(L"ab", L"A"), 1);
    EXPECT_EQ(wstr_compare_nocase(nullptr, L"a"), -1);
    EXPECT_EQ(wstr_compare_nocase(L"a", nullptr), -1);
    // Only mutual pairs fold: the Kelvin sign is not a k here.
    EXPECT_NE(wstr_compare_nocase(L"\u212a", L"k"), 0);

    EXPECT_EQ(wstr_compare_nocase_n5(L"CANONx", L"canony"), 0);
    EXPECT_EQ(wstr_compare_nocase_n5(L"Nikon", L"NIKON CORP"), 0);
    EXPECT_EQ(wstr_compare_nocase_n5(L"abcd", L"abce"), -1);
}

TEST(StringUtils, CaseInsensitiveNarrowComparison)
{
    EXPECT_EQ(str_compare_nocase_n("HTTP://host/", "http://", 7), 0);
    EXPECT_EQ(str_compare_nocase_n("https://", "http://", 7), 1);
    EXPECT_EQ(str_compare_nocase_n("ab", "abc", 5), -1);
    EXPECT_EQ(str_compare_nocase_n("abc", "xyz", 0), 0);
    EXPECT_EQ(str_compare_nocase_n(nullptr, "a", 3), -1);
    // Bytes above 0x7F widen with their sign (0xC0 -> U+FFC0), so they do
    // not fold, and compare by their low byte.
    EXPECT_EQ(str_compare_nocase_n("\xC0", "\xE0", 1), -1);
    EXPECT_EQ(str_compare_nocase_n("\x80", "a", 1), 1);

    // Four bytes compared as signed, past a NUL.
    EXPECT_EQ(str_compare_nocase_n4("AB\0C", "ab\0c"), 0);
    EXPECT_EQ(str_compare_nocase_n4("ab\0c", "ab\0d"), -1);
    EXPECT_EQ(str_compare_nocase_n4("\x80" "bcd", "abcd"), -1);
    EXPECT_EQ(str_compare_nocase_n4(nullptr, "abcd"), 1);

    EXPECT_EQ(str_is_content_length("content-LENGTH"), 0);
    EXPECT_NE(str_is_content_length("Content-Length2"), 0);
    EXPECT_NE(str_is_content_length("Content-Len"), 0);
    EXPECT_NE(str_is_content_length(""), 0);
}
