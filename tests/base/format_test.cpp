#include "base/format.h"

#include <gtest/gtest.h>

#include <string>

TEST(Format, WideStringsAndSixtyFourBitIntegers)
{
    wchar_t buffer[64];
    EXPECT_EQ(wstr_format(buffer, 64, L"%s/Vantrel/%s/", L"C:/Users", L"qrv"), 21);
    EXPECT_STREQ(buffer, L"C:/Users/Vantrel/qrv/");
    EXPECT_EQ(wstr_format(buffer, 64, L"%I64d|%I64u|%llx", -5000000000LL, 18446744073709551615ULL,
                          0x123456789ALL),
              43);
    EXPECT_STREQ(buffer, L"-5000000000|18446744073709551615|123456789a");
    EXPECT_EQ(wstr_format(buffer, 64, L"%02d.%02d.%04d", 5, 12, 2026), 10);
    EXPECT_STREQ(buffer, L"05.12.2026");

    char narrow[64];
    EXPECT_EQ(str_format(narrow, 64, "%s=%I64d", "size", 4294967296LL), 15);
    EXPECT_STREQ(narrow, "size=4294967296");
}

TEST(Format, OutputThatDoesNotFitIsCutAndTerminated)
{
    wchar_t buffer[8];
    wmemset(buffer, L'#', 8);
    EXPECT_EQ(wstr_format(buffer, 6, L"%s", L"abcdefgh"), -1);
    EXPECT_STREQ(buffer, L"abcde");
    EXPECT_EQ(buffer[6], L'#');

    // Exactly as long as the room for text: fits, terminated.
    EXPECT_EQ(wstr_format(buffer, 6, L"%s", L"abcde"), 5);
    EXPECT_STREQ(buffer, L"abcde");

    char narrow[4];
    EXPECT_EQ(str_format(narrow, 4, "%d", 12345), -1);
    EXPECT_STREQ(narrow, "123");
}

TEST(Format, NothingToDoGivesZero)
{
    wchar_t buffer[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(wstr_format(nullptr, 4, L"x"), 0);
    EXPECT_EQ(wstr_format(buffer, 0, L"x"), 0);
    EXPECT_EQ(wstr_format(buffer, 4, nullptr), 0);
    EXPECT_EQ(buffer[0], L'#');
    char narrow[2];
    EXPECT_EQ(str_format(narrow, 2, "%s", ""), 0);
    EXPECT_STREQ(narrow, "");
}

TEST(Scan, NarrowAndWideFields)
{
    int a = 0, b = 0, c = 0, d = 0;
    EXPECT_EQ(str_scan("1.22.333.4", "%d.%d.%d.%d", &a, &b, &c, &d), 4);
    EXPECT_EQ(std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." + std::to_string(d),
              "1.22.333.4");

    long long big = 0;
    EXPECT_EQ(str_scan("0x1F", "0x%llx", &big), 1);
    EXPECT_EQ(big, 31);
    EXPECT_EQ(wstr_scan(L"-9000000000", L"%I64d", &big), 1);
    EXPECT_EQ(big, -9000000000LL);

    wchar_t word[16];
    int n = 0;
    EXPECT_EQ(wstr_scan(L"name 42", L"%15s %d", word, &n), 2);
    EXPECT_STREQ(word, L"name");
    EXPECT_EQ(n, 42);

    EXPECT_EQ(str_scan("abc", "%d", &n), 0);
    EXPECT_EQ(str_scan("", "%d", &n), -1);
}
