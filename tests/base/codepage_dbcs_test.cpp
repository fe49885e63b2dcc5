#include "base/codepage_dbcs.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/codepage_texts.h"

namespace {

// Written at build time by codepage_expected.py.
const char expected_file[] = "codepage_dbcs_expected.txt";

std::wstring decode(const std::string& bytes, int32_t codepage)
{
    return decoded(dbcs_decode, bytes, codepage);
}

int32_t count(const std::string& bytes, int32_t codepage)
{
    return dbcs_char_count(bytes.data(), int32_t(bytes.size()), codepage);
}

}  // namespace

TEST(CodepageDbcs, EveryByteAndPairMatchesTheIndependentConverter)
{
    std::vector<std::vector<std::string>> lines = read_test_records(expected_file);
    int pairs = 0;
    for (const std::vector<std::string>& line : lines) {
        if (line[0] == "text")
            continue;
        SCOPED_TRACE(line[0] + " " + line[1] + " " + line[2] + (line.size() > 3 ? " " + line[3] : ""));
        int32_t codepage = std::stoi(line[1]);
        std::string bytes(1, char(hex_value(line[2])));
        if (line[0] == "single") {
            if (bytes[0] != 0) {
                EXPECT_EQ(decode(bytes, codepage), std::wstring(1, wchar_t(hex_value(line[3]))));
            }
        } else if (line[0] == "pair") {
            bytes.push_back(char(hex_value(line[3])));
            EXPECT_EQ(decode(bytes, codepage), std::wstring(1, wchar_t(hex_value(line[4]))));
            EXPECT_EQ(count(bytes, codepage), 1);
            ++pairs;
        } else {
            // A lead byte without a row gives "?" and leaves the next byte.
            bytes.push_back('A');
            EXPECT_EQ(decode(bytes, codepage), L"?A");
            EXPECT_EQ(count(bytes, codepage), 2);
        }
    }
    EXPECT_GT(pairs, 50000);
}

TEST(CodepageDbcs, SampleTextsDecodeAsTheIndependentConverter)
{
    expect_sample_texts(expected_file, dbcs_decode, dbcs_char_count, false);
}

TEST(CodepageDbcs, LeadByteCutOffByTheEndOrANul)
{
    // The end of a counted input inside a pair ends the decoding.
    EXPECT_EQ(decode("a\x82", 932), L"a");
    EXPECT_EQ(count("a\x82", 932), 1);
    // A NUL after a lead byte drops the lead byte and ends the text.
    wchar_t out[8];
    wmemset(out, L'#', 8);
    EXPECT_EQ(dbcs_decode("a\x82", -1, out, 8, 932), 1);
    EXPECT_EQ(std::wstring(out, 2), std::wstring(L"a\0", 2));
    EXPECT_EQ(dbcs_char_count("a\x82", -1, 932), 1);
    EXPECT_EQ(decode(std::string("\x82\0b", 3), 932), std::wstring());
    EXPECT_EQ(count(std::string("a\x82\0b", 4), 932), 1);
}

TEST(CodepageDbcs, TrailBelowRowGivesQuestionMarkAndStaysText)
{
    EXPECT_EQ(decode("\x82" "1", 932), L"?1");
    EXPECT_EQ(count("\x82" "1", 932), 2);
    EXPECT_EQ(decode("\xB0\x39\xB0\xA1", 936), L"?9\u554a");
}

TEST(CodepageDbcs, LeadBytesDifferByCodePage)
{
    // 0x80 and 0xA0-0xDF are single bytes in 932; 0x80 is the euro in 936.
    EXPECT_EQ(decode("\xB1\xB2", 932), L"\uff71\uff72");
    EXPECT_EQ(decode("\x80", 936), L"\u20ac");
    EXPECT_EQ(decode("\xB1\xB2", 936), L"\u8f88");
    EXPECT_EQ(decode("\xA4\x40", 950), L"\u4e00");
    EXPECT_EQ(decode("\xB0\xA1", 949), L"\uac00");
}
