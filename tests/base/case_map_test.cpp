#include "base/case_map.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/codepage_texts.h"

namespace {

// Written at build time by codepage_expected.py.
const char expected_file[] = "codepage_case_expected.txt";

// Python's mappings of one unit: lower, upper and title case ('-' where
// the mapping is not one unit).
struct cPythonCase {
    std::string lower, upper, title;
};

std::map<wchar_t, cPythonCase> python_cases()
{
    std::map<wchar_t, cPythonCase> cases;
    for (const std::vector<std::string>& line : read_test_records(expected_file))
        cases[wchar_t(hex_value(line[0]))] = {line[1], line[2], line[3]};
    return cases;
}

bool same(const std::string& field, wchar_t unit)
{
    return field != "-" && wchar_t(hex_value(field)) == unit;
}

}  // namespace

// First in the file, so that its threads are the maps' first users: the
// manager's update checks map header names from many threads at once.
TEST(CaseMap, ThreadsStartingTogetherGetEachMapWith973PairsAndUpperTheInverseOfLower)
{
    const int thread_count = 8;
    std::vector<std::vector<wchar_t>> lowers(thread_count), uppers(thread_count);
    std::atomic<bool> go(false);
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t)
        threads.emplace_back([&, t]() {
            while (!go)
                std::this_thread::yield();
            for (unsigned u = 0; u < 0x10000; ++u) {
                lowers[t].push_back(wchar_to_lower(wchar_t(u)));
                uppers[t].push_back(wchar_to_upper(wchar_t(u)));
            }
        });
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < thread_count; ++t) {
        SCOPED_TRACE("thread " + std::to_string(t));
        int lower_pairs = 0;
        int upper_pairs = 0;
        for (unsigned u = 0; u < 0x10000; ++u) {
            wchar_t lower = lowers[t][u];
            wchar_t upper = uppers[t][u];
            if (lower != wchar_t(u)) {
                ++lower_pairs;
                EXPECT_EQ(uppers[t][lower], wchar_t(u)) << std::hex << u;
            }
            if (upper != wchar_t(u)) {
                ++upper_pairs;
                EXPECT_EQ(lowers[t][upper], wchar_t(u)) << std::hex << u;
            }
        }
        EXPECT_EQ(lower_pairs, 973);
        EXPECT_EQ(upper_pairs, 973);
    }
}

TEST(CaseMap, StatedExamples)
{
    EXPECT_EQ(wchar_to_lower(L'A'), L'a');
    EXPECT_EQ(wchar_to_lower(0x00C0), 0x00E0);
    EXPECT_EQ(wchar_to_lower(0x0178), 0x00FF);
    EXPECT_EQ(wchar_to_lower(0x0391), 0x03B1);
    EXPECT_EQ(wchar_to_lower(0xFF3A), 0xFF5A);
    EXPECT_EQ(wchar_to_lower(0x0130), 0x0130);
    EXPECT_EQ(wchar_to_lower(0x212A), 0x212A);
    EXPECT_EQ(wchar_to_upper(0x00B5), 0x00B5);
    EXPECT_EQ(wchar_to_upper(0x0131), 0x0131);
    EXPECT_EQ(wchar_to_lower(0x0524), 0x0524);  // Unicode 5.2
    EXPECT_EQ(wchar_to_lower(0x01C5), 0x01C5);  // title-case digraph
    EXPECT_EQ(wchar_to_upper(0x01C6), 0x01C4);
    EXPECT_EQ(wchar_to_lower(0x1F88), 0x1F80);  // with prosgegrammeni
    EXPECT_EQ(wchar_to_upper(0x1FB3), 0x1FBC);
    EXPECT_EQ(wchar_to_upper(L'1'), L'1');
}

TEST(CaseMap, EveryPairIsACasePairOfUnicode)
{
    std::map<wchar_t, cPythonCase> cases = python_cases();
    for (unsigned u = 0; u < 0x10000; ++u) {
        wchar_t unit = wchar_t(u);
        wchar_t lower = wchar_to_lower(unit);
        if (lower == unit)
            continue;
        SCOPED_TRACE(std::to_string(u));
        ASSERT_EQ(cases.count(unit), 1u);
        EXPECT_TRUE(same(cases[unit].lower, lower));
        // The simple upper-case mapping: upper case, or title case where the
        // full upper-case mapping is longer than one unit.
        EXPECT_TRUE(same(cases[lower].upper, unit) || same(cases[lower].title, unit));
    }
}

TEST(CaseMap, SpacesAreTabLineFeedCarriageReturnAndSpace)
{
    for (unsigned u = 0; u < 0x10000; ++u)
        EXPECT_EQ(wchar_is_space(wchar_t(u)), u == 9 || u == 10 || u == 13 || u == 32) << u;
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(char_is_space(char(byte)), byte == 9 || byte == 10 || byte == 13 || byte == 32) << byte;
    EXPECT_FALSE(wchar_is_space(11));
    EXPECT_FALSE(char_is_space('\f'));
}

// Windows' own upper case of file names is the reference: every unit of
// the Basic Multilingual Plane upper-cases as the system's table does.
TEST(CaseMap, NameUpperIsWindowsUpperCaseOfFileNames)
{
    typedef WCHAR(WINAPI * cUpcase)(WCHAR);
    cUpcase upcase = reinterpret_cast<cUpcase>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlUpcaseUnicodeChar")));
    ASSERT_NE(upcase, nullptr);
    int differences = 0;
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u < 0xE000)
            continue;
        wchar_t unit = wchar_t(u);
        if (wchar_to_name_upper(unit) != wchar_t(upcase(unit)) && ++differences <= 10)
            ADD_FAILURE() << std::hex << u << " -> " << unsigned(wchar_to_name_upper(unit)) << ", Windows "
                          << unsigned(upcase(unit));
        // And as the ordinal comparison without case takes names.
        wchar_t upper = wchar_to_name_upper(unit);
        if (upper != unit && CompareStringOrdinal(&unit, 1, &upper, 1, TRUE) != CSTR_EQUAL && ++differences <= 10)
            ADD_FAILURE() << std::hex << u << " and " << unsigned(upper) << " differ for CompareStringOrdinal";
    }
    EXPECT_EQ(differences, 0);
}
