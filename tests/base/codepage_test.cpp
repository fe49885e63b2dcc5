#include "base/codepage.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/codepage_dbcs.h"
#include "base/codepage_iso_euc.h"
#include "base/codepage_sb.h"
#include "base/utf8.h"
#include "tests/support/codepage_texts.h"

namespace {

std::wstring to_wstr(const std::string& bytes, int32_t codepage)
{
    std::wstring out(64, L'#');
    int32_t n = mb_to_wstr(bytes.data(), int32_t(bytes.size()), &out[0], 64, codepage);
    out.resize(size_t(n));
    return out;
}

// Sizes the output with a null-output call, as callers do, then converts.
std::wstring sized_to_wstr(const char* bytes, int32_t codepage)
{
    int32_t n = mb_to_wstr(bytes, -1, nullptr, 0, codepage);
    std::wstring out(size_t(n), L'#');
    if (n > 0)
        mb_to_wstr(bytes, -1, &out[0], n, codepage);
    return out;
}

}  // namespace

TEST(Codepage, DefaultAnsiIsTheLocaleCodePage)
{
    EXPECT_EQ(codepage_default_ansi(), int32_t(GetACP()));
    EXPECT_NE(codepage_default_ansi(), 0);
}

TEST(Codepage, ClassifiersNameTheFamilies)
{
    for (int32_t codepage : {0, 28591, 1250, 437, 870, 1252, 10029})
        EXPECT_TRUE(codepage_is_single_byte(codepage)) << codepage;
    for (int32_t codepage : {1257, 65001, 932, 50221, -1})
        EXPECT_FALSE(codepage_is_single_byte(codepage)) << codepage;
    for (int32_t codepage : {932, 936, 949, 950})
        EXPECT_TRUE(codepage_is_double_byte(codepage)) << codepage;
    for (int32_t codepage : {0, 1252, 951, 20932})
        EXPECT_FALSE(codepage_is_double_byte(codepage)) << codepage;
    for (int32_t codepage : {50221, 50227, 51932, 51936})
        EXPECT_TRUE(codepage_is_iso2022_euc(codepage)) << codepage;
    for (int32_t codepage : {0, 50220, 50222, 50225, 51949})
        EXPECT_FALSE(codepage_is_iso2022_euc(codepage)) << codepage;
}

TEST(Codepage, MbLengthOfWstrCountsBytesOfEncodableCodePages)
{
    EXPECT_EQ(utf8_length_of_wstr(L"\u00e9x", -1), 3);
    EXPECT_EQ(mb_length_of_wstr(L"\u00e9x", -1, 65001), 4);
    EXPECT_EQ(mb_length_of_wstr(L"\u00e9x\u20ac", 2, 65001), 3);
    EXPECT_EQ(mb_length_of_wstr(L"abc", -1, 1252), 4);
    EXPECT_EQ(mb_length_of_wstr(L"abc", 2, 1251), 2);
    EXPECT_EQ(mb_length_of_wstr(L"abc", -1, 0), mb_length_of_wstr(L"abc", -1, codepage_default_ansi()));
    EXPECT_EQ(mb_length_of_wstr(L"abc", -1, 932), 0);
    EXPECT_EQ(mb_length_of_wstr(L"abc", -1, 1257), 0);
    EXPECT_EQ(mb_length_of_wstr(nullptr, -1, 65001), 0);
    EXPECT_EQ(mb_length_of_wstr(L"abc", 0, 65001), 0);
}

TEST(Codepage, WstrLengthOfMbCountsUnitsOfEveryFamily)
{
    EXPECT_EQ(wstr_length_of_mb("\xC3\xA9x", -1, 65001), 3);
    EXPECT_EQ(wstr_length_of_mb("\xC3\xA9x", 3, 65001), 2);
    EXPECT_EQ(wstr_length_of_mb("abc", -1, 1252), 4);
    EXPECT_EQ(wstr_length_of_mb("ab\0cd", 5, 1252), 5);
    EXPECT_EQ(wstr_length_of_mb("\x93\xfa\x96\x7b", -1, 932), 3);
    EXPECT_EQ(wstr_length_of_mb("\x93\xfa\x96\x7b", 4, 932), 2);
    EXPECT_EQ(wstr_length_of_mb("\xd6\xd0x", -1, 51936), 3);
    EXPECT_EQ(wstr_length_of_mb("\x1b$B4A;z\x1b(B", 10, 50221), 2);
    EXPECT_EQ(wstr_length_of_mb("abc", -1, 0), wstr_length_of_mb("abc", -1, codepage_default_ansi()));
    EXPECT_EQ(wstr_length_of_mb("abc", -1, 1257), 0);
    EXPECT_EQ(wstr_length_of_mb(nullptr, -1, 65001), 0);
    EXPECT_EQ(wstr_length_of_mb("abc", 0, 65001), 0);
}

TEST(Codepage, MbToWstrUsesTheDecoderOfTheFamily)
{
    EXPECT_EQ(to_wstr("\xE9\x61", 65001), L"\u00e9a");
    EXPECT_EQ(to_wstr("\xF0\x9F\x98\x80", 65001), L"\xd83d\xde00");
    EXPECT_EQ(to_wstr("\xE9\x61", 1252), L"\u00e9a");
    EXPECT_EQ(to_wstr("\xC0", 1251), L"\u0410");
    EXPECT_EQ(to_wstr("\x93\xfa\x96\x7b", 932), L"\u65e5\u672c");
    EXPECT_EQ(to_wstr("\xa4\xa4\xa4\xe5", 950), L"\u4e2d\u6587");
    EXPECT_EQ(to_wstr("\xc6\xfc\xcb\xdc", 51932), L"\u65e5\u672c");
    EXPECT_EQ(to_wstr("\x1b$)A\x0eVPND\x0f", 50227), L"\u4e2d\u6587");
    // 1257 has no table: decoding refuses it, although its table lookup
    // falls back to ISO 8859-1.
    EXPECT_EQ(to_wstr("abc", 1257), L"");
    EXPECT_EQ(codepage_sb_table(1257)[0xE9], 0xE9);
    wchar_t out[4];
    EXPECT_EQ(mb_to_wstr("abc", -1, out, 0, 1252), 0);
    EXPECT_EQ(mb_to_wstr(nullptr, -1, out, 4, 1252), 0);
    EXPECT_EQ(mb_to_wstr("abc", 0, out, 4, 1252), 0);
}

TEST(Codepage, NullOutputSizesTheConversionWithItsTerminator)
{
    EXPECT_EQ(sized_to_wstr("caf\xC3\xA9", 65001), std::wstring(L"caf\u00e9\0", 5));
    EXPECT_EQ(sized_to_wstr("\x80!", 1252), std::wstring(L"\u20ac!\0", 3));
    EXPECT_EQ(sized_to_wstr("\x93\xfa\x82", 932), std::wstring(L"\u65e5\0", 2));
    EXPECT_EQ(sized_to_wstr("\xd6\xd0\xce\xc4", 51936), std::wstring(L"\u4e2d\u6587\0", 3));
    EXPECT_EQ(sized_to_wstr("\x1b$B4A;z\x1b(B", 50221), std::wstring(L"\u6f22\u5b57\0", 3));
    EXPECT_EQ(sized_to_wstr("x", 1257), L"");
}

TEST(Codepage, CodePageZeroIsTheDefaultAnsiCodePage)
{
    std::string bytes = "\x80\x9f\xa4\xe9";
    EXPECT_EQ(to_wstr(bytes, 0), to_wstr(bytes, int32_t(GetACP())));
    EXPECT_EQ(to_wstr(bytes, 0).size(), 4u);
}

TEST(Codepage, WstrToUtf8EncodesOrSizes)
{
    char out[16];
    EXPECT_EQ(wstr_to_utf8(L"\u00e9", out, 1, 16), 2);
    EXPECT_EQ(std::string(out, 2), "\xC3\xA9");
    EXPECT_EQ(wstr_to_utf8(L"\u20ac", out, -1, 16), 3);
    EXPECT_EQ(std::string(out, 4), std::string("\xE2\x82\xAC\0", 4));
    EXPECT_EQ(wstr_to_utf8(L"\xd83d\xde00", out, 2, 16), 4);
    EXPECT_EQ(std::string(out, 4), "\xF0\x9F\x98\x80");
    EXPECT_EQ(to_wstr("\xED\xA0\xBD\xED\xB8\x80", 65001), L"\xd83d\xde00");
    EXPECT_EQ(wstr_to_utf8(L"\u20ac", nullptr, -1, 0), 4);
    EXPECT_EQ(wstr_to_utf8(L"\u20acx", nullptr, 1, 0), 3);
    EXPECT_EQ(wstr_to_utf8(nullptr, out, -1, 16), 0);
    EXPECT_EQ(wstr_to_utf8(L"a", out, 0, 16), 0);
    EXPECT_EQ(wstr_to_utf8(L"a", out, -1, 0), 0);
}

namespace {

// The multi-byte decoders share one contract: nothing to decode gives 0,
// the capacity cuts the output and leaves the place after it alone, and
// the counting twin always sizes the decoding.
struct cDecoderUnderTest {
    const char* name;
    tCodepageDecoder decode;
    tCodepageCounter count;
    std::vector<int32_t> codepages;  // the code pages it serves
    int32_t foreign;                 // one it does not serve, or 0
    std::string alphabet;            // bytes of its random texts; empty: any byte
    std::string three_units;         // bytes of three units in its first code page
    bool answer_counts_nul;          // a NUL it writes is part of its answer
};

const cDecoderUnderTest decoders_under_test[] = {
    {"UTF-8", utf8_decode_as_codepage, utf8_count_as_codepage, {65001}, 0, "", "a\xc3\xa9\xe2\x82\xac", false},
    {"double-byte", dbcs_decode, dbcs_char_count, {932, 936, 949, 950}, 1252, "", "\x93\xfa\x96\x7b\x8c\xea", false},
    {"ISO-2022 and EUC", iso_euc_decode, iso_euc_char_count, {51936, 51932, 50221, 50227}, 50220,
     std::string("\0\x1b$()*ABDGHIJN\x0e\x0f!0VPD\x7e\x8e\x8f\xa1\xb0\xd6\xfe\xf5", 29), "\xd6\xd0\xce\xc4x", true},
};

}  // namespace

TEST(CodepageDecoders, NothingToDecodeGivesZero)
{
    wchar_t out[4];
    for (const cDecoderUnderTest& d : decoders_under_test) {
        for (int32_t codepage : d.codepages) {
            SCOPED_TRACE(testing::Message() << d.name << " " << codepage);
            EXPECT_EQ(d.decode(nullptr, -1, out, 4, codepage), 0);
            EXPECT_EQ(d.decode("a", 0, out, 4, codepage), 0);
            EXPECT_EQ(d.decode("a", -1, nullptr, 4, codepage), 0);
            EXPECT_EQ(d.decode("a", -1, out, 0, codepage), 0);
            EXPECT_EQ(d.count(nullptr, -1, codepage), 0);
            EXPECT_EQ(d.count("a", 0, codepage), 0);
        }
        if (d.foreign) {
            EXPECT_EQ(d.decode("a", -1, out, 4, d.foreign), 0) << d.name;
            EXPECT_EQ(d.count("a", -1, d.foreign), 0) << d.name;
        }
    }
}

TEST(CodepageDecoders, CapacityCutsTheOutputWithoutTerminator)
{
    for (const cDecoderUnderTest& d : decoders_under_test) {
        wchar_t out[4] = {L'#', L'#', L'#', L'#'};
        EXPECT_EQ(d.decode(d.three_units.c_str(), -1, out, 2, d.codepages[0]), 2) << d.name;
        EXPECT_EQ(out[2], L'#') << d.name;
        EXPECT_EQ(d.decode(d.three_units.c_str(), -1, out, 3, d.codepages[0]), 3) << d.name;
        EXPECT_EQ(out[3], L'#') << d.name;
    }
}

TEST(CodepageDecoders, CountAlwaysSizesTheDecoding)
{
    std::mt19937 random(1104);
    for (const cDecoderUnderTest& d : decoders_under_test) {
        for (int32_t codepage : d.codepages) {
            SCOPED_TRACE(testing::Message() << d.name << " " << codepage);
            for (int round = 0; round < 2000; ++round) {
                std::string bytes(size_t(random() % 20), '\0');
                for (char& byte : bytes)
                    byte = char(d.alphabet.empty() ? random() : d.alphabet[random() % d.alphabet.size()]);
                int32_t n = d.count(bytes.data(), int32_t(bytes.size()), codepage);
                std::wstring out = decoded(d.decode, bytes, codepage);
                bool nul_answered = d.answer_counts_nul && !out.empty() && out.back() == L'\0';
                ASSERT_EQ(int32_t(out.size()) - nul_answered, n) << testing::PrintToString(bytes);
                ASSERT_EQ(decoded(d.decode, bytes, codepage, int32_t(out.size()) + 1), out);
            }
        }
    }
}
