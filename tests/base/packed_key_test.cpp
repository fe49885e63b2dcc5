#include "base/packed_key.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> words(const cPackedKey& key)
{
    return std::vector<uint32_t>(key.Data(), key.Data() + key.Count());
}

cPackedKey narrow(const char* text, int32_t length = -1)
{
    cPackedKey key;
    packedkey_from_str(key, text, length);
    return key;
}

cPackedKey wide(const wchar_t* text, int32_t length = -1)
{
    cPackedKey key;
    packedkey_from_wstr(key, text, length);
    return key;
}

// UTF-8 of well-formed UTF-16 text, by Windows' own converter.
std::string utf8_of(const wchar_t* text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

}  // namespace

TEST(PackedKey, PacksBytesMostSignificantFirst)
{
    EXPECT_EQ(words(narrow("ab")), std::vector<uint32_t>{0x61620000});
    EXPECT_EQ(words(narrow("abc")), std::vector<uint32_t>{0x61626300});
    EXPECT_EQ(words(narrow("abcd")), std::vector<uint32_t>{0x61626364});
    EXPECT_EQ(words(narrow("abcde")), (std::vector<uint32_t>{0x61626364, 0x65000000}));
    EXPECT_TRUE(packedkey_less(narrow("ab"), narrow("abc")));
}

TEST(PackedKey, CountedNarrowTextKeepsATrailingNulWord)
{
    EXPECT_EQ(words(narrow("abcd", 5)), (std::vector<uint32_t>{0x61626364, 0}));
    EXPECT_EQ(narrow("", -1).Count(), 0);
    EXPECT_EQ(narrow(nullptr, 3).Count(), 0);
    EXPECT_EQ(narrow("abc", 0).Count(), 0);
}

TEST(PackedKey, WideTextEqualsItsUtf8Form)
{
    const wchar_t* texts[] = {L"a", L"abcd", L"pkgm::instw", L"caf\u00e9", L"\u20ac\u20ac", L"\xd83d\xde00x"};
    for (const wchar_t* text : texts) {
        std::string utf8 = utf8_of(text);
        EXPECT_TRUE(packedkey_equal(wide(text), narrow(utf8.c_str())))
            << utf8;
    }
    EXPECT_EQ(words(wide(L"abcd")), std::vector<uint32_t>{0x61626364});
    EXPECT_EQ(wide(L"").Count(), 0);
    EXPECT_EQ(words(wide(L"ab\u00e9", 3)), std::vector<uint32_t>{0x6162C3A9});
}

TEST(PackedKey, EmptyKeySortsFirst)
{
    cPackedKey empty;
    EXPECT_EQ(packedkey_compare(empty, cPackedKey()), 0);
    EXPECT_TRUE(packedkey_equal(empty, cPackedKey()));
    EXPECT_TRUE(packedkey_less(empty, narrow("\x01")));
    EXPECT_TRUE(packedkey_greater(narrow("a"), empty));
    EXPECT_TRUE(packedkey_not_equal(narrow("a"), empty));
}

TEST(PackedKey, ToBytesGivesTheTextAndItsPadding)
{
    _typebuf<uint8_t> bytes;
    packedkey_to_bytes(narrow("abc"), bytes);
    ASSERT_EQ(bytes.Count(), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.Data()), 4), std::string("abc\0", 4));
}

TEST(PackedKey, CopyAndAssignDuplicateTheWords)
{
    cPackedKey original = narrow("configuration");
    cPackedKey copy(original);
    EXPECT_NE(copy.Data(), original.Data());
    EXPECT_EQ(words(copy), words(original));
    cPackedKey target = narrow("x");
    packedkey_assign(target, original);
    EXPECT_EQ(words(target), words(original));
    packedkey_assign(target, cPackedKey());
    EXPECT_EQ(target.Count(), 0);
}

TEST(PackedKey, OrderEqualsByteWiseUtf8Order)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> length(0, 9);
    // Mostly ASCII, some two- and three-byte characters, shared prefixes.
    const char16_t alphabet[] = u"aab\u007f\u00e9\u0100\u07ff\u0800\u20ac\uffff";
    std::vector<std::u16string> texts;
    for (int i = 0; i < 400; ++i) {
        std::u16string text = i > 0 && i % 5 == 0 ? texts[i - 1] : std::u16string();
        int n = length(random);
        for (int k = 0; k < n; ++k)
            text += alphabet[random() % 10];
        texts.push_back(text);
    }
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
        for (size_t j = i + 1; j < texts.size() && j < i + 40; ++j) {
            std::string a = utf8_of(reinterpret_cast<const wchar_t*>(texts[i].c_str()));
            std::string b = utf8_of(reinterpret_cast<const wchar_t*>(texts[j].c_str()));
            int expected = a < b ? -1 : a == b ? 0 : 1;  // std::string compares bytes unsigned
            int got = packedkey_compare(wide(reinterpret_cast<const wchar_t*>(texts[i].c_str())),
                                        wide(reinterpret_cast<const wchar_t*>(texts[j].c_str())));
            ASSERT_EQ(got, expected) << a << " / " << b;
        }
    }
}
