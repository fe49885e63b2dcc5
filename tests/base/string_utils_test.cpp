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
