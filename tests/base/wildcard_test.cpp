#include "base/wildcard.h"

#include <gtest/gtest.h>

#include <string>

TEST(WildcardMatch, MatchesAsTheTableSays)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool match;
    };
    const Case cases[] = {
        {L"Readme.TXT", L"*.txt", true},
        {L"abc", L"a?c", true},
        {L"abc", L"a*b*", true},
        {L"ab", L"a?c", false},
        {L"", L"**", true},
        {L"", L"*", true},
        {L"", L"?", false},
        {L"", L"a", false},
        {L"x", L"", true},
        {L"x", nullptr, true},
        {L"abc", L"abc", true},
        {L"abc", L"ab", false},        // the whole name must be used
        {L"ab", L"abc", false},
        {L"abc", L"*", true},
        {L"abc", L"a*", true},
        {L"abc", L"*c", true},
        {L"abc", L"*b", false},
        {L"abcbd", L"a*b?", true},      // the first 'b' fails, a later one fits
        {L"aXbXc", L"a*b*c", true},
        {L"mississippi", L"*sip*", true},
        {L"mississippi", L"m*iss*ppi", true},
        {L"mississippi", L"m*iss*ppx", false},
        {L"a.b.c", L"*.*", true},
        {L"noext", L"*.*", false},
        {L"x.tar.gz", L"*.gz", true},
        {L"\x00C0\x0391.TXT", L"\x00E0\x03B1.txt", true},  // the program's own lower-casing
        {L"?", L"?", true},
        {L"*", L"?", true},
        {nullptr, L"*", false},
        {nullptr, nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcard_match(c.name, c.pattern), c.match)
            << (c.name ? c.name : L"(null)") << " ~ " << (c.pattern ? c.pattern : L"(null)");
}

TEST(WildcardMatch, ManyStarsStayCheap)
{
    std::wstring name(3000, L'a');
    EXPECT_FALSE(wildcard_match(name.c_str(), L"*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(wildcard_match((name + L"b").c_str(), L"*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(WildcardMatchList, TriesEachPatternInTurn)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* list;
        bool match;
    };
    const Case cases[] = {
        {L"a.png", L"*.jpg;*.png", true},
        {L"a.gif", L"*.jpg;", false},   // a ';' at the end adds no part
        {L"a.gif", L"*.jpg;;*.png", true},  // an empty part matches everything
        {L"a.gif", L";*.jpg", true},
        {L"a.gif", L";", true},
        {L"a.JPG", L"*.jpg", true},
        {L"a.gif", L"*.jpg;*.png", false},
        {L"a.gif", L"", true},
        {L"a.gif", nullptr, true},
        {nullptr, L"*.jpg", false},
        {nullptr, L"", true},
        {L"", L"*.jpg;*", true},
        {L"photo.jpeg", L"*.jp?;*.jpeg", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcard_match_list(c.name, c.list), c.match)
            << (c.name ? c.name : L"(null)") << " ~ " << (c.list ? c.list : L"(null)");
}
