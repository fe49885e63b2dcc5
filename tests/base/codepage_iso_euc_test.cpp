#include "base/codepage_iso_euc.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/codepage_texts.h"

namespace {

// Written at build time by codepage_expected.py.
const char expected_file[] = "codepage_iso_euc_expected.txt";

const int32_t iso2022_jp = 50221;
const int32_t iso2022_cn = 50227;
const int32_t euc_jp = 51932;
const int32_t euc_cn = 51936;

// The units written, NUL included when the decoder wrote one.
std::wstring decode(const std::string& bytes, int32_t codepage)
{
    return decoded(iso_euc_decode, bytes, codepage);
}

int32_t count(const std::string& bytes, int32_t codepage)
{
    return iso_euc_char_count(bytes.data(), int32_t(bytes.size()), codepage);
}

std::string seven_bit_cell(unsigned index)
{
    return {char(0x21 + index / 94), char(0x21 + index % 94)};
}

std::string euc_cell(unsigned index)
{
    return {char(0xA1 + index / 94), char(0xA1 + index % 94)};
}

// One cell of a set in each code page that carries the set. EUC-JP gives
// private-use units in the rows from 0x75 on, where the sets have no
// characters; they are tested on their own.
struct cCellInput {
    int32_t codepage;
    std::string bytes;
};

std::vector<cCellInput> cell_inputs(const std::string& set, unsigned index)
{
    std::string cell = seven_bit_cell(index);
    if (set == "gb2312")
        return {{euc_cn, euc_cell(index)}, {iso2022_cn, "\x1b$)A\x0e" + cell}};
    bool user_defined_row = index / 94 >= 0x75 - 0x21;
    if (set == "jis0208" && user_defined_row)
        return {{iso2022_jp, "\x1b$B" + cell}};
    if (set == "jis0208")
        return {{euc_jp, euc_cell(index)}, {iso2022_jp, "\x1b$B" + cell}, {iso2022_jp, "\x1b$@" + cell}};
    if (set == "jis0212" && user_defined_row)
        return {{iso2022_jp, "\x1b$(D" + cell}};
    if (set == "jis0212")
        return {{euc_jp, "\x8f" + euc_cell(index)}, {iso2022_jp, "\x1b$(D" + cell}};
    if (set == "cns1")
        return {{iso2022_cn, "\x1b$)G\x0e" + cell}};
    return {{iso2022_cn, "\x1b$*H\x1bN" + cell}};
}

wchar_t system_unit(int32_t codepage, const std::string& bytes)
{
    wchar_t unit = 0;
    EXPECT_EQ(MultiByteToWideChar(UINT(codepage), 0, bytes.data(), int(bytes.size()), &unit, 1), 1);
    return unit;
}

}  // namespace

TEST(CodepageIsoEuc, EveryCellOfTheFiveSetsMatchesTheIndependentConverter)
{
    int cells = 0;
    for (const std::vector<std::string>& line : read_test_records(expected_file)) {
        if (line[0] != "cell")
            continue;
        ++cells;
        unsigned index = hex_value(line[2]);
        std::wstring expected = line[3] == "-" ? std::wstring() : std::wstring(1, wchar_t(hex_value(line[3])));
        for (const cCellInput& input : cell_inputs(line[1], index)) {
            SCOPED_TRACE(line[1] + " cell " + line[2] + " in " + std::to_string(input.codepage));
            EXPECT_EQ(decode(input.bytes, input.codepage), expected);
            EXPECT_EQ(count(input.bytes, input.codepage), int32_t(expected.size()));
        }
    }
    EXPECT_EQ(cells, 5 * 94 * 94);
}

TEST(CodepageIsoEuc, SampleTextsDecodeAsTheIndependentConverter)
{
    expect_sample_texts(expected_file, iso_euc_decode, iso_euc_char_count, true);
}

TEST(CodepageIsoEuc, EucJpUserDefinedRowsMatchWindows)
{
    for (int first = 0xF5; first <= 0xFE; ++first) {
        for (int second = 0xA1; second <= 0xFE; ++second) {
            std::string pair = {char(first), char(second)};
            EXPECT_EQ(decode(pair, euc_jp), std::wstring(1, system_unit(20932, pair)));
            // Windows' 20932 writes JIS X 0212 with a 7-bit second byte.
            std::string windows_0212 = {char(first), char(second & 0x7F)};
            EXPECT_EQ(decode("\x8f" + pair, euc_jp), std::wstring(1, system_unit(20932, windows_0212)));
        }
    }
}

TEST(CodepageIsoEuc, Iso2022JpReturnsUnitsWrittenNotBytesUsed)
{
    const std::string kanji = "\x1b$B4A;z\x1b(B";  // ten bytes, two characters
    EXPECT_EQ(decode(kanji, iso2022_jp), L"\u6f22\u5b57");
    wchar_t out[8];
    wmemset(out, L'#', 8);
    EXPECT_EQ(iso_euc_decode(kanji.c_str(), -1, out, 8, iso2022_jp), 3);
    EXPECT_EQ(std::wstring(out, 3), std::wstring(L"\u6f22\u5b57\0", 3));
    EXPECT_EQ(iso_euc_decode("", -1, out, 8, iso2022_jp), 1);
    EXPECT_EQ(out[0], L'\0');
    EXPECT_EQ(iso_euc_decode("", -1, out, 8, iso2022_cn), 1);
    EXPECT_EQ(iso_euc_decode("\x1b$)A\x0eVP\x0f", -1, out, 8, iso2022_cn), 2);
}

TEST(CodepageIsoEuc, Iso2022JpSetsAndEscapes)
{
    EXPECT_EQ(decode("\x1b(J\\~\x1b(B\\~", iso2022_jp), L"\u00a5\u203e\\~");
    EXPECT_EQ(decode("\x1b(I\x31\x5f", iso2022_jp), L"\uff71\uff9f");
    EXPECT_EQ(decode("\x1b(I\x31\x60", iso2022_jp), L"\uff71");   // past the katakana
    EXPECT_EQ(decode("a\x1b(Zb", iso2022_jp), L"a");              // unknown escape
    EXPECT_EQ(decode("a\x1b$", iso2022_jp), L"a");                // escape cut by the end
    EXPECT_EQ(decode("a\x1b$(", iso2022_jp), L"a");
    EXPECT_EQ(decode("a\xa4z", iso2022_jp), L"a");                // 8-bit byte
    EXPECT_EQ(decode("\x1b$B0!0", iso2022_jp), L"\u4e9c");        // truncated pair
    EXPECT_EQ(decode("\x1b$B\x22\x2f", iso2022_jp), L"");         // cell without character
    EXPECT_EQ(decode(std::string("\x1b$B0\0", 5), iso2022_jp), std::wstring(1, L'\0'));
}

TEST(CodepageIsoEuc, Iso2022CnShiftsAndDesignations)
{
    EXPECT_EQ(decode("\x1b$)A\x0eVPND\x0fok", iso2022_cn), L"\u4e2d\u6587ok");
    EXPECT_EQ(decode("a\x0e", iso2022_cn), L"a");                 // SO with no G1
    EXPECT_EQ(decode("a\x1bN!!", iso2022_cn), L"a");              // SS2 with no G2
    EXPECT_EQ(decode("\x1b$*H\x1bN!!x", iso2022_cn), L"\u4e42x");
    EXPECT_EQ(decode("\x1b$)G\x0e" "D!\x1b$)AD!\x0f", iso2022_cn), L"\u4e00\u6479");
    EXPECT_EQ(decode("a\x1b$)", iso2022_cn), L"a");               // escape cut by the end
    EXPECT_EQ(decode("a\x1b$)Z", iso2022_cn), L"a");              // unknown designation
    EXPECT_EQ(decode("\x1b$)A\x0eV", iso2022_cn), L"");           // truncated pair
}

TEST(CodepageIsoEuc, EucEndsAtTheFirstInvalidSequence)
{
    EXPECT_EQ(decode("a\x80z", euc_cn), L"a");
    EXPECT_EQ(decode("a\xb0\x41", euc_cn), L"a");
    EXPECT_EQ(decode("a\xa2\xa1", euc_cn), L"a");    // cell without a character
    EXPECT_EQ(decode("a\xb0", euc_cn), L"a");        // pair cut by the end
    EXPECT_EQ(decode("\x8e\xb1z", euc_jp), L"\uff71z");
    EXPECT_EQ(decode("\x8e\xe0z", euc_jp), L"");
    EXPECT_EQ(decode("\x8f\xb0", euc_jp), L"");
    EXPECT_EQ(decode("a\xff", euc_jp), L"a");
}

TEST(CodepageIsoEuc, NulCuttingASequenceEndsTheText)
{
    for (int32_t codepage : {euc_cn, euc_jp}) {
        wchar_t out[4];
        wmemset(out, L'#', 4);
        EXPECT_EQ(iso_euc_decode("a\xb0", -1, out, 4, codepage), 2);
        EXPECT_EQ(std::wstring(out, 2), std::wstring(L"a\0", 2));
        EXPECT_EQ(iso_euc_char_count("a\xb0", -1, codepage), 1);
    }
    EXPECT_EQ(decode(std::string("\x8f\xb0\0", 3), euc_jp), std::wstring(1, L'\0'));
    EXPECT_EQ(decode(std::string("a\x1b(\0", 4), iso2022_jp), std::wstring(L"a\0", 2));
}
