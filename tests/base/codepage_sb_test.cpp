#include "base/codepage_sb.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "base/codepage.h"
#include "tests/support/codepage_texts.h"
#include "tests/support/heap_probe.h"

namespace {

// Written at build time by codepage_expected.py.
const char expected_file[] = "codepage_sb_expected.txt";

const int32_t table_pages[] = {28591, 1250, 1251, 1255, 850, 866, 862, 37, 437, 500,
                               20866, 21866, 28592, 28593, 28595, 28596, 28597, 28598, 28599, 28605,
                               737, 852, 855, 858, 857, 870, 1252, 1254, 10007, 10029};

// The unit Windows' own table (as Wine carries it) gives for the byte.
wchar_t system_unit(int32_t codepage, unsigned char byte, DWORD flags)
{
    wchar_t unit = 0;
    char text = char(byte);
    EXPECT_EQ(MultiByteToWideChar(UINT(codepage), flags, &text, 1, &unit, 1), 1);
    return unit;
}

std::string encode(const std::wstring& text, int32_t codepage, int32_t capacity = 64)
{
    std::string out(size_t(capacity), '#');
    int32_t n = codepage_sb_encode(text.data(), int32_t(text.size()), &out[0], capacity, codepage);
    out.resize(size_t(n));
    return out;
}

}  // namespace

TEST(CodepageSb, EveryByteOfEveryTableMatchesTheIndependentConverter)
{
    std::vector<std::vector<std::string>> lines = read_test_records(expected_file);
    ASSERT_EQ(lines.size(), 30u * 256u);
    std::set<int32_t> pages;
    for (const std::vector<std::string>& line : lines) {
        int32_t codepage = std::stoi(line[0]);
        unsigned byte = hex_value(line[1]);
        pages.insert(codepage);
        ASSERT_GE(codepage_sb_table_index(codepage), 0) << codepage;
        wchar_t unit = codepage_sb_table(codepage)[byte];
        SCOPED_TRACE(line[0] + " byte " + line[1]);
        if (line[2] == "P") {
            // Undefined bytes: private-use units as Windows numbers them.
            EXPECT_GE(unit, 0xE000);
            EXPECT_LE(unit, 0xF8FF);
            EXPECT_EQ(unit, system_unit(codepage, byte, 0));
        } else if (line[2] == "G") {
            EXPECT_EQ(unit, system_unit(codepage, byte, MB_USEGLYPHCHARS));
        } else {
            EXPECT_EQ(unit, wchar_t(hex_value(line[2])));
        }
        if (byte != 0) {
            EXPECT_EQ(decoded(codepage_sb_decode, std::string(1, char(byte)), codepage), std::wstring(1, unit));
        }
    }
    EXPECT_EQ(pages, std::set<int32_t>(std::begin(table_pages), std::end(table_pages)));
}

TEST(CodepageSb, StatedPositionsOfTheTables)
{
    EXPECT_EQ(codepage_sb_table(1250)[0x81], L'?');
    EXPECT_EQ(codepage_sb_table(1251)[0x98], L'?');
    EXPECT_EQ(codepage_sb_table(1252)[0x8D], 0x8D);
    EXPECT_EQ(codepage_sb_table(1254)[0x9E], 0x9E);
    EXPECT_EQ(codepage_sb_table(437)[0x01], 0x263A);
    EXPECT_EQ(codepage_sb_table(437)[0x7F], 0x2302);
    EXPECT_EQ(codepage_sb_table(28593)[0xA5], 0xF7F5);
    EXPECT_EQ(codepage_sb_table(28597)[0xA1], 0x02BD);
    EXPECT_EQ(codepage_sb_table(28598)[0xAF], 0x203E);
    EXPECT_EQ(codepage_sb_table(21866)[0xAE], 0x045E);
    EXPECT_EQ(codepage_sb_table(10007)[0xFF], 0x00A4);
    int question_1255 = 0;
    for (int byte = 0; byte < 256; ++byte)
        question_1255 += codepage_sb_table(1255)[byte] == L'?';
    EXPECT_EQ(question_1255, 23 + 1);  // the undefined bytes and "?" itself
}

TEST(CodepageSb, CodePagesWithoutTableUseLatin1)
{
    EXPECT_EQ(codepage_sb_table_index(1257), -1);
    EXPECT_EQ(codepage_sb_table(1257), codepage_sb_table(28591));
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(codepage_sb_table(1257)[byte], wchar_t(byte));
    EXPECT_EQ(codepage_sb_table(0), codepage_sb_table(codepage_default_ansi()));
}

TEST(CodepageSb, DecodeStopsAtNulCountOrCapacity)
{
    EXPECT_EQ(decoded(codepage_sb_decode, "a\x80z", 1252), L"a\u20acz");
    wchar_t out[8];
    wmemset(out, L'#', 8);
    EXPECT_EQ(codepage_sb_decode("ab\0cd", 5, out, 8, 1252), 2);
    EXPECT_EQ(out[2], L'\0');
    EXPECT_EQ(out[3], L'#');
    wmemset(out, L'#', 8);
    EXPECT_EQ(codepage_sb_decode("\xC0\xE9", -1, out, 8, 1251), 2);
    EXPECT_EQ(std::wstring(out, 3), std::wstring(L"\u0410\u0439\0", 3));
    EXPECT_EQ(codepage_sb_decode("abcdef", 3, out, 8, 1252), 3);
    EXPECT_EQ(decoded(codepage_sb_decode, "abcdef", 1252, 4), L"abcd");
    wmemset(out, L'#', 8);
    EXPECT_EQ(codepage_sb_decode("abc", -1, out, 3, 1252), 3);
    EXPECT_EQ(out[3], L'#');  // no room for the terminator, none written
    EXPECT_EQ(codepage_sb_decode(nullptr, -1, out, 8, 1252), 0);
    EXPECT_EQ(codepage_sb_decode("a", 0, out, 8, 1252), 0);
    EXPECT_EQ(codepage_sb_decode("a", -1, out, 0, 1252), 0);
    EXPECT_EQ(codepage_sb_decode("a", -1, nullptr, 8, 1252), 0);
}

TEST(CodepageSb, EncodingADecodedTableGivesTheLowestByteOfEachUnit)
{
    for (int32_t codepage : table_pages) {
        SCOPED_TRACE(codepage);
        const wchar_t* table = codepage_sb_table(codepage);
        std::map<wchar_t, int> lowest;
        for (int byte = 255; byte >= 0; --byte)
            lowest[table[byte]] = byte;
        std::wstring decoded(table + 1, table + 256);
        std::string encoded = encode(decoded, codepage, 255);
        ASSERT_EQ(encoded.size(), 255u);
        for (int byte = 1; byte < 256; ++byte) {
            EXPECT_EQ(codepage_sb_encode_char(table[byte], codepage), lowest[table[byte]]);
            EXPECT_EQ(uint8_t(encoded[size_t(byte - 1)]), lowest[table[byte]]);
        }
    }
}

TEST(CodepageSb, UnitsWithoutByteEncodeAsQuestionMark)
{
    EXPECT_EQ(codepage_sb_encode_char(0x4E2D, 1252), 0);
    EXPECT_EQ(codepage_sb_encode_char(0x20AC, 1252), 0x80);
    EXPECT_EQ(codepage_sb_encode_char(0x20AC, 28591), 0);
    EXPECT_EQ(encode(L"x\u4e2d\u20ac", 1252), "x?\x80");
    // A code page without a table encodes as ISO 8859-1.
    EXPECT_EQ(encode(L"\u00e9\u0141", 1257), "\xE9?");
    EXPECT_EQ(codepage_sb_encode_char(0x0141, 0), codepage_sb_encode_char(0x0141, codepage_default_ansi()));
}

TEST(CodepageSb, EncodeStopsAtNulCountOrCapacity)
{
    char out[8];
    memset(out, '#', 8);
    EXPECT_EQ(codepage_sb_encode(L"ab\0cd", 5, out, 8, 1252), 2);
    EXPECT_EQ(out[2], '\0');
    EXPECT_EQ(out[3], '#');
    EXPECT_EQ(codepage_sb_encode(L"\u0410\u0439", -1, out, 8, 1251), 2);
    EXPECT_EQ(std::string(out, 3), std::string("\xC0\xE9\0", 3));
    EXPECT_EQ(encode(L"abcdef", 1252, 3), "abc");
    EXPECT_EQ(codepage_sb_encode(nullptr, -1, out, 8, 1252), 0);
    EXPECT_EQ(codepage_sb_encode(L"a", 0, out, 8, 1252), 0);
    EXPECT_EQ(codepage_sb_encode(L"a", -1, out, 0, 1252), 0);
    EXPECT_EQ(codepage_sb_encode(L"a", -1, nullptr, 8, 1252), 0);
}

// Whichever unit or byte of a longer text is the NUL, the text ends there,
// among units and bytes of every magnitude.
TEST(CodepageSb, ANulAnywhereInALongerTextEndsIt)
{
    const std::wstring units = L"a\u20ac\u0178\u00ff\u2122\x0001\x8000\xffff\x0100z\x7f\x80\u00e9";
    const std::string bytes = "a\x80\x9f\xff\x99\x01\x7f\xfe\x81z\x7f\x80\xe9";
    const wchar_t* table = codepage_sb_table(1252);
    std::map<wchar_t, char> lowest;
    for (int byte = 255; byte >= 0; --byte)
        lowest[table[byte]] = char(byte);
    for (size_t nul = 0; nul <= units.size(); ++nul) {
        std::wstring text = units;
        std::string narrow = bytes;
        if (nul < units.size()) {
            text[nul] = 0;
            narrow[nul] = 0;
        }
        for (int32_t length : {int32_t(units.size()), -1}) {
            SCOPED_TRACE(testing::Message() << nul << " " << length);
            char out[20];
            wchar_t wide[20];
            memset(out, '#', sizeof out);
            wmemset(wide, L'#', 20);
            ASSERT_EQ(codepage_sb_encode(text.c_str(), length, out, 20, 1252), int32_t(nul));
            ASSERT_EQ(codepage_sb_decode(narrow.c_str(), length, wide, 20, 1252), int32_t(nul));
            for (size_t i = 0; i < nul; ++i) {
                EXPECT_EQ(out[i], lowest.count(units[i]) ? lowest[units[i]] : '?') << i;
                EXPECT_EQ(wide[i], table[uint8_t(bytes[i])]) << i;
            }
            bool ended = nul < units.size() || length < 0;
            EXPECT_EQ(out[nul], ended ? '\0' : '#');
            EXPECT_EQ(wide[nul], ended ? L'\0' : L'#');
        }
    }
}

TEST(CodepageSb, ReverseMapIsBuiltOnceAndKept)
{
    codepage_sb_encode_char(L'a', 866);
    cHeapBalance balance;
    EXPECT_EQ(codepage_sb_encode_char(0x0416, 866), 0x86);
    EXPECT_EQ(encode(L"\u0416\u0416", 866), "\x86\x86");
}
