#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/codepage_texts.h"
#include "tests/support/test_data.h"

namespace {

std::string encode(const std::wstring& text, int32_t capacity = 64)
{
    std::string out(capacity, '\x7f');
    int32_t n = utf8_encode(capacity, &out[0], int32_t(text.size()), text.c_str());
    out.resize(n);
    return out;
}

std::wstring decode(const std::string& bytes)
{
    return decoded(utf8_decode_as_codepage, bytes, 65001);
}

}  // namespace

TEST(Utf8, EncodesOneToFourBytesPerCharacter)
{
    EXPECT_EQ(encode(L"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(encode(L"\u20ac"), "\xE2\x82\xAC");
    EXPECT_EQ(encode(L"\xd83d\xde00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(decode("\xED\xA0\xBD\xED\xB8\x80"), L"\xd83d\xde00");
    EXPECT_EQ(encode(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    // A count that ends inside a pair leaves its first half alone.
    EXPECT_EQ(encode(std::wstring(L"\xd83d\xde00", 1)), "\xED\xA0\xBD");
}

// The program's UTF-8 against Python's codecs: a pair is its character's
// four bytes, a lone half its own three, and both that form and the one
// earlier versions wrote (each half on its own) read back as the units.
TEST(Utf8, UnitsAndTheirUtf8AgreeWithPythonsCodec)
{
    std::vector<std::vector<std::string>> cases = read_test_records("utf8_unit_cases.txt");
    ASSERT_GT(cases.size(), 3000u);
    for (const std::vector<std::string>& c : cases) {
        std::wstring units = units_from_hex(c[0]);
        std::string utf8 = bytes_from_hex(c[1]);
        std::string earlier = bytes_from_hex(c[2]);
        int32_t count = int32_t(units.size());
        ASSERT_EQ(utf8_length_of_wstr(units.c_str(), count), int32_t(utf8.size())) << c[0];
        std::string bytes(utf8.size() + 1, '#');
        EXPECT_EQ(utf8_encode(int32_t(bytes.size()), &bytes[0], count, units.c_str()), int32_t(utf8.size()));
        EXPECT_EQ(bytes, utf8 + "#") << c[0];
        for (const std::string& form : {utf8, earlier}) {
            EXPECT_EQ(utf8_char_count(form.data(), int32_t(form.size())), count) << hex_of(form);
            std::wstring back(units.size() + 1, L'#');
            EXPECT_EQ(utf8_decode(int32_t(form.size()), form.data(), &back[0], count + 1), count);
            EXPECT_EQ(back, units + L"#") << hex_of(form);
            // Less room: the units that fit, also a pair's first half
            // alone, and the unit after the room untouched.
            for (int32_t room = 1; room < count; ++room) {
                std::wstring cut(size_t(room) + 1, L'#');
                ASSERT_EQ(utf8_decode(int32_t(form.size()), form.data(), &cut[0], room), room) << hex_of(form);
                ASSERT_EQ(cut, units.substr(0, size_t(room)) + L"#") << hex_of(form) << " in " << room;
            }
        }
        std::string joined = earlier;
        joined.resize(size_t(utf8_join_split_pairs(&joined[0], int32_t(joined.size()))));
        EXPECT_EQ(hex_of(joined), c[1] == "-" ? "" : c[1]);
    }
}

TEST(Utf8, InvalidBytesPassThroughOneByOne)
{
    EXPECT_EQ(decode("\xE9\x61"), L"\u00e9a");
    // Four-byte forms beyond U+10FFFF, overlong or cut off.
    EXPECT_EQ(decode("\xF4\x90\x80\x80"), L"\u00f4\u0090\u0080\u0080");
    EXPECT_EQ(decode("\xF0\x8F\xBF\xBF"), L"\u00f0\u008f\u00bf\u00bf");
    EXPECT_EQ(decode("\xF0\x9F\x98x"), L"\u00f0\u009f\u0098x");
    EXPECT_EQ(decode("\xC0\x80"), std::wstring(1, L'\0'));  // overlong accepted
    EXPECT_EQ(decode("\x80z"), L"\u0080z");
    // A sequence cut off by the end of the input: each byte on its own.
    EXPECT_EQ(decode("a\xE2\x82"), L"a\u00e2\u0082");
    EXPECT_EQ(utf8_char_count("a\xE2\x82", 3), 3);
    EXPECT_EQ(utf8_char_count("\xE2\x82\xAC", 2), 2);
}

TEST(Utf8, NulTerminatedInputAndTerminator)
{
    wchar_t out[8];
    wmemset(out, L'#', 8);
    EXPECT_EQ(utf8_decode(-1, "ab\xC3\xA9", out, 8), 3);
    EXPECT_EQ(out[3], L'\0');
    // A lead byte whose continuation is the NUL stands alone.
    EXPECT_EQ(utf8_decode(-1, "\xC3", out, 8), 1);
    EXPECT_EQ(out[0], L'\u00c3');
    EXPECT_EQ(utf8_char_count("ab\xC3\xA9", -1), 3);

    char bytes[8];
    memset(bytes, '#', 8);
    EXPECT_EQ(utf8_encode(8, bytes, -1, L"\u00e9x"), 3);
    EXPECT_EQ(bytes[3], '\0');
    EXPECT_EQ(utf8_length_of_wstr(L"\u00e9x", -1), 3);
    EXPECT_EQ(utf8_length_of_wstr(L"\u00e9x\u20ac", 2), 3);
}

TEST(Utf8, CapacityCutsTheEncoding)
{
    // The bytes that fit are written, even inside a sequence.
    EXPECT_EQ(encode(L"a\u20ac", 2), "a\xE2");
    char bytes[3] = {'#', '#', '#'};
    EXPECT_EQ(utf8_encode(2, bytes, -1, L"ab"), 2);
    EXPECT_EQ(bytes[2], '#');  // no room for the terminator, none written
}

TEST(Utf8, NothingToEncodeGivesZero)
{
    char bytes[4];
    EXPECT_EQ(utf8_encode(4, bytes, 0, L"a"), 0);
    EXPECT_EQ(utf8_encode(4, nullptr, 1, L"a"), 0);
    EXPECT_EQ(utf8_encode(0, bytes, 1, L"a"), 0);
    EXPECT_EQ(utf8_encode(4, bytes, 1, nullptr), 0);
    EXPECT_EQ(utf8_length_of_wstr(nullptr, -1), 0);
}

TEST(Utf8, EveryUnitRoundTripsAndCountsAgree)
{
    std::wstring all;
    for (int u = 0; u < 0x10000; ++u)
        all += wchar_t(u);
    std::string bytes(3 * all.size(), '\0');
    int32_t n = utf8_encode(int32_t(bytes.size()), &bytes[0], int32_t(all.size()), all.c_str());
    EXPECT_EQ(n, utf8_length_of_wstr(all.c_str(), int32_t(all.size())));
    EXPECT_EQ(utf8_char_count(bytes.data(), n), int32_t(all.size()));
    std::wstring back(all.size(), L'\0');
    EXPECT_EQ(utf8_decode(n, bytes.data(), &back[0], int32_t(back.size())), int32_t(all.size()));
    EXPECT_EQ(back, all);
}

// Text from other programs against Python's strict codec: the well-formed
// start of each byte string and its UTF-16 units, four-byte forms as pairs.
TEST(Utf8, StandardPrefixAgreesWithAStrictReader)
{
    std::vector<std::vector<std::string>> cases = read_test_records("utf8_standard_cases.txt");
    ASSERT_GT(cases.size(), 3000u);
    for (const std::vector<std::string>& c : cases) {
        std::string bytes = bytes_from_hex(c[0]);
        int32_t counted = -1;
        int32_t valid = utf8_standard_prefix(bytes.data(), int32_t(bytes.size()), nullptr, &counted);
        ASSERT_EQ(valid, std::stoi(c[1])) << c[0];
        std::wstring expected = units_from_hex(c[2]);
        ASSERT_EQ(counted, int32_t(expected.size())) << c[0];
        std::wstring units(expected.size() + 1, L'#');
        int32_t written = -1;
        EXPECT_EQ(utf8_standard_prefix(bytes.data(), int32_t(bytes.size()), &units[0], &written), valid);
        EXPECT_EQ(units, expected + L"#") << c[0];
        EXPECT_EQ(written, counted);
    }
    EXPECT_EQ(utf8_standard_prefix(nullptr, 4, nullptr, nullptr), 0);
}
