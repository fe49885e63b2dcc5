#include "base/string_convert.h"

#include <gtest/gtest.h>

#include <string>

TEST(StringConvert, AssignTextTakesTheCountOrTheWholeText)
{
    _guardchar<wchar_t> out;
    wstr_assign_text(L"abcdef", 3, out);
    EXPECT_STREQ(out.Text(), L"abc");
    wstr_assign_text(L"abcdef", -1, out);
    EXPECT_STREQ(out.Text(), L"abcdef");
    wstr_assign_text(nullptr, -1, out);
    EXPECT_EQ(out.Text(), nullptr);
}

TEST(StringConvert, Utf8IntoStrings)
{
    _guardchar<wchar_t> wide;
    wstr_from_utf8(2, "\xC3\xA9", wide);
    EXPECT_STREQ(wide.Text(), L"\u00e9");
    wstr_from_utf8(-1, "caf\xC3\xA9 \xE2\x82\xAC", wide);
    EXPECT_STREQ(wide.Text(), L"caf\u00e9 \u20ac");
    wstr_from_utf8(0, "x", wide);
    EXPECT_EQ(wide.Text(), nullptr);

    _guardchar<char> narrow;
    EXPECT_EQ(str_from_wstr_utf8(L"caf\u00e9", -1, narrow), 5);
    EXPECT_STREQ(narrow.Text(), "caf\xC3\xA9");
    EXPECT_EQ(str_from_wstr_utf8(L"\u20acxyz", 2, narrow), 4);
    EXPECT_STREQ(narrow.Text(), "\xE2\x82\xACx");
    EXPECT_EQ(str_from_wstr_utf8(nullptr, -1, narrow), 0);
    EXPECT_EQ(narrow.Text(), nullptr);
}

TEST(StringConvert, BuffersHoldNoTerminator)
{
    _typebuf<wchar_t> units;
    wbuf_from_wstr(L"line", -1, units);
    EXPECT_EQ(std::wstring(units.Data(), size_t(units.Count())), L"line");
    wbuf_from_utf8("a\xC3\xA9\xE2\x82", -1, units);
    EXPECT_EQ(std::wstring(units.Data(), size_t(units.Count())), L"a\u00e9\u00e2\u0082");
    wbuf_from_utf8("", -1, units);
    EXPECT_EQ(units.Count(), 0);

    _typebuf<uint8_t> bytes;
    utf8buf_from_wstr(L"\u00e9!", -1, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes.Data()), size_t(bytes.Count())), "\xC3\xA9!");
    utf8buf_from_wstr(nullptr, -1, bytes);
    EXPECT_EQ(bytes.Count(), 0);
}

TEST(StringConvert, AssignLowerMapsEveryUnit)
{
    _guardchar<wchar_t> source(L"MiXeD \u0391\u00c0 \u0130");
    _guardchar<wchar_t> out(L"old");
    EXPECT_TRUE(wstr_assign_lower(out, source));
    EXPECT_STREQ(out.Text(), L"mixed \u03b1\u00e0 \u0130");
    EXPECT_TRUE(wstr_assign_lower(out, _guardchar<wchar_t>()));
    EXPECT_EQ(out.Text(), nullptr);
}
