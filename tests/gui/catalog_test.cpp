#include "gui/catalog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/heap_probe.h"
#include "tests/support/test_data.h"

namespace {

// A string as the fixture writer meant it: absent, or present with a text.
struct ExpectedString {
    bool present;
    std::wstring text;
};

struct ExpectedContainer {
    bool good = false;
    std::wstring code;
    std::wstring name;
    std::map<std::wstring, std::vector<ExpectedString>> sections;
};

std::wstring text_field(const std::string& field)
{
    return field == "-" || field == "." ? std::wstring() : units_from_hex(field);
}

const std::map<std::string, ExpectedContainer>& cases()
{
    static const std::map<std::string, ExpectedContainer> all = [] {
        std::map<std::string, ExpectedContainer> read;
        for (const std::vector<std::string>& r : read_test_records("catalog_fixtures/cases.txt")) {
            ExpectedContainer& c = read[r[1]];
            if (r[0] == "good") {
                c.good = true;
                c.code = widened(r[2]);
                c.name = text_field(r[3]);
            } else if (r[0] == "section") {
                c.sections[widened(r[2])].resize(std::stoul(r[3]));
            } else if (r[0] == "string") {
                c.sections[widened(r[2])].at(std::stoul(r[3])) = {r[4] != "-", text_field(r[4])};
            }
        }
        return read;
    }();
    return all;
}

std::string container(const std::string& name)
{
    return read_test_data(("catalog_fixtures/" + name + ".bin").c_str());
}

bool read_into(const std::string& bytes, cStringCatalog& catalog)
{
    return catalog_read_container(reinterpret_cast<const uint8_t*>(bytes.data()), uint32_t(bytes.size()), catalog);
}

int section_count(const cStringCatalog& catalog)
{
    int n = 0;
    for (auto* node = tree_first_node(catalog.sections); node; node = tree_next_node(node))
        ++n;
    return n;
}

void expect_section(const cStringCatalog& catalog, const std::wstring& section,
                    const std::vector<ExpectedString>& strings, const std::string& label)
{
    SCOPED_TRACE(label);
    const cStringArray* array = catalog_find_section(&catalog, section.c_str());
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(array->strings.Count(), int32_t(strings.size()));
    for (size_t i = 0; i < strings.size(); ++i) {
        const wchar_t* text = get_catalog_string(array, int32_t(i));
        if (!strings[i].present) {
            EXPECT_EQ(text, nullptr) << "string " << i;
        } else {
            ASSERT_NE(text, nullptr) << "string " << i;
            EXPECT_EQ(std::wstring(text), strings[i].text) << "string " << i;
        }
    }
}

void expect_language(const cStringCatalog& catalog, const ExpectedContainer& expected)
{
    EXPECT_EQ(std::wstring(catalog.code), expected.code);
    EXPECT_EQ(std::wstring(catalog.name.Text() ? catalog.name.Text() : L""), expected.name);
}

}  // namespace

TEST(CatalogReader, GoodContainersReadAsTheirWriterMeantThem)
{
    int good = 0;
    for (const auto& [name, expected] : cases()) {
        if (!expected.good)
            continue;
        SCOPED_TRACE(name);
        ++good;
        cStringCatalog catalog;
        ASSERT_TRUE(read_into(container(name), catalog));
        expect_language(catalog, expected);
        EXPECT_EQ(section_count(catalog), int(expected.sections.size()));
        for (const auto& [section, strings] : expected.sections)
            expect_section(catalog, section, strings, name);
    }
    EXPECT_GE(good, 10);
}

TEST(CatalogReader, BadContainersAreRefusedAndChangeNothing)
{
    const ExpectedContainer& base = cases().at("base");
    int bad = 0;
    for (const auto& [name, expected] : cases()) {
        if (expected.good)
            continue;
        SCOPED_TRACE(name);
        ++bad;
        cStringCatalog catalog;
        ASSERT_TRUE(read_into(container("base"), catalog));
        EXPECT_FALSE(read_into(container(name), catalog));
        expect_language(catalog, base);
        EXPECT_EQ(section_count(catalog), 1);
        expect_section(catalog, L"test::first", base.sections.at(L"test::first"), name);
        EXPECT_EQ(catalog_find_section(&catalog, L"test::new"), nullptr);
    }
    EXPECT_GE(bad, 30);
}

TEST(CatalogReader, EveryCutOfAGoodContainerIsRefused)
{
    const std::string whole = container("plain");
    for (size_t size = 0; size < whole.size(); ++size) {
        cStringCatalog catalog;
        EXPECT_FALSE(catalog_read_container(reinterpret_cast<const uint8_t*>(whole.data()), uint32_t(size), catalog))
            << size;
        EXPECT_EQ(catalog.sections.root, nullptr) << size;
    }
    cStringCatalog catalog;
    EXPECT_FALSE(catalog_read_container(nullptr, 100, catalog));
}

TEST(CatalogReader, LaterContainerReplacesItsSectionsAndKeepsTheOthers)
{
    const ExpectedContainer& first = cases().at("plain");
    const ExpectedContainer& second = cases().at("replace");
    cStringCatalog catalog;
    ASSERT_TRUE(read_into(container("plain"), catalog));
    ASSERT_TRUE(read_into(container("replace"), catalog));
    expect_language(catalog, second);
    std::map<std::wstring, std::vector<ExpectedString>> merged = second.sections;
    merged.insert(first.sections.begin(), first.sections.end());
    ASSERT_LT(merged.size(), first.sections.size() + second.sections.size());
    EXPECT_EQ(section_count(catalog), int(merged.size()));
    for (const auto& [section, strings] : merged)
        expect_section(catalog, section, strings, "merged");
}

TEST(CatalogReader, LookupsOfMissingThingsGiveNull)
{
    cStringCatalog catalog;
    ASSERT_TRUE(read_into(container("plain"), catalog));
    const cStringArray* messages = catalog_find_section(&catalog, L"ciom::messages");
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(get_catalog_string(messages, -1), nullptr);
    EXPECT_EQ(get_catalog_string(messages, messages->strings.Count()), nullptr);
    EXPECT_EQ(get_catalog_string(nullptr, 0), nullptr);
    EXPECT_EQ(catalog_find_section(&catalog, L"ciom::message"), nullptr);
    EXPECT_EQ(catalog_find_section(&catalog, L"ciom::messages2"), nullptr);
    EXPECT_EQ(catalog_find_section(&catalog, nullptr), nullptr);
    EXPECT_EQ(catalog_find_section(nullptr, L"ciom::messages"), nullptr);
}

TEST(CatalogReader, GlobalCatalogIsOneObject)
{
    EXPECT_NE(get_global_catalog(), nullptr);
    EXPECT_EQ(get_global_catalog(), get_global_catalog());
}

TEST(CatalogReader, DroppedCatalogGivesBackItsMemory)
{
    const std::string plain = container("plain");
    const std::string largest = container("largest");
    const std::string bad = container("array_string_beyond");
    cHeapBalance balance;
    cStringCatalog catalog;
    ASSERT_TRUE(read_into(plain, catalog));
    ASSERT_TRUE(read_into(largest, catalog));
    ASSERT_TRUE(read_into(plain, catalog));
    ASSERT_FALSE(read_into(bad, catalog));
}
