#include "gui/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gui/catalog.h"
#include "tests/support/test_data.h"

namespace {

// A provider over containers written by the tests' own fixture writer.
class FixtureProvider : public cLibLang {
public:
    FixtureProvider(std::map<uint32_t, std::string> by_language, uint32_t fallback)
        : containers(std::move(by_language)), fallback(fallback)
    {
    }

    bool HasLanguage(uint32_t index) override { return containers.count(index) != 0; }
    int32_t LoadLanguage(uint32_t index) override
    {
        ++loads;
        return HasLanguage(index) ? int32_t(containers[index].size()) : 0;
    }
    const uint8_t* ReleaseLanguage(uint32_t index) override
    {
        return HasLanguage(index) ? reinterpret_cast<const uint8_t*>(containers[index].data()) : nullptr;
    }
    uint32_t DefaultLanguage() override { return fallback; }

    std::map<uint32_t, std::string> containers;
    uint32_t fallback;
    int loads = 0;
};

std::string fixture(const char* name)
{
    return read_test_data((std::string("catalog_fixtures/") + name + ".bin").c_str());
}

struct Section {
    const wchar_t* name;
    int32_t count;
};
const Section framework_sections[] = {
    {L"ciom::filechoose", 25}, {L"ciom::folderchoose", 8}, {L"ciom::messages", 7},
    {L"ciom::progress", 5},    {L"ciom::propsheet", 3},
};

struct BuiltinLanguage {
    uint32_t index;
    const wchar_t* container_code;
    const wchar_t* name;
};
const BuiltinLanguage builtin_languages[] = {
    {0, L"ENG", L"English"},  {1, L"RUS", L"Русский"},  {6, L"UKR", L"Українська"},
    {2, L"DEU", L"Deutsch"},  {5, L"FRA", L"Français"}, {3, L"JPN", L"日本語"},
    {4, L"KOR", L"한국어"},   {8, L"CHI", L"简体中文"}, {9, L"TWN", L"繁體中文"},
};

std::wstring catalog_text(const wchar_t* section, int32_t id)
{
    const wchar_t* text = get_catalog_string(catalog_find_section(get_global_catalog(), section), id);
    return text ? text : L"<null>";
}

// The printf conversions of a format string, in order ("%%" included).
std::vector<std::wstring> placeholders(const std::wstring& text)
{
    std::vector<std::wstring> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%')
            continue;
        size_t end = text.find_first_not_of(L"-+ #0123456789.hlLjzt", i + 1);
        if (end == std::wstring::npos)
            end = text.size() - 1;
        found.push_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

// Every string of the framework's sections in the current catalog.
std::vector<std::wstring> framework_texts()
{
    std::vector<std::wstring> texts;
    for (const Section& s : framework_sections)
        for (int32_t id = 0; id < s.count; ++id)
            texts.push_back(catalog_text(s.name, id));
    return texts;
}

}  // namespace

TEST(Language, WithoutProvidersOnlyTheIndexChanges)
{
    EXPECT_FALSE(language_provider_exists());
    EXPECT_FALSE(apply_default_language());
    EXPECT_TRUE(set_language(3));
    EXPECT_EQ(get_current_language(), 3u);
}

TEST(Language, FrameworkProviderExistsWhileItLives)
{
    EXPECT_FALSE(language_provider_exists());
    {
        cCIOMLang provider;
        EXPECT_TRUE(language_provider_exists());
    }
    EXPECT_FALSE(language_provider_exists());
}

TEST(Language, EveryBuiltinLanguageLoadsAllFrameworkSections)
{
    cCIOMLang provider;
    for (const BuiltinLanguage& language : builtin_languages) {
        SCOPED_TRACE(language.index);
        ASSERT_TRUE(provider.HasLanguage(language.index));
        ASSERT_TRUE(set_language(language.index));
        EXPECT_EQ(get_current_language(), language.index);
        const cStringCatalog* catalog = get_global_catalog();
        EXPECT_EQ(std::wstring(catalog->code), language.container_code);
        EXPECT_EQ(std::wstring(catalog->name.Text()), language.name);
        for (const Section& s : framework_sections) {
            const cStringArray* array = catalog_find_section(catalog, s.name);
            ASSERT_NE(array, nullptr) << s.name;
            ASSERT_EQ(array->strings.Count(), s.count) << s.name;
            for (int32_t id = 0; id < s.count; ++id) {
                const wchar_t* text = get_catalog_string(array, id);
                ASSERT_NE(text, nullptr) << s.name << " " << id;
                EXPECT_NE(text[0], 0) << s.name << " " << id;
            }
        }
    }
    EXPECT_FALSE(provider.HasLanguage(7));
    EXPECT_FALSE(provider.HasLanguage(10));
    EXPECT_EQ(provider.LoadLanguage(7), 0);
    EXPECT_EQ(provider.ReleaseLanguage(7), nullptr);
    EXPECT_EQ(provider.DefaultLanguage(), 0u);
}

TEST(Language, TranslationsKeepThePlaceholdersAndLineBreaksOfEnglish)
{
    cCIOMLang provider;
    ASSERT_TRUE(set_language(0));
    const std::vector<std::wstring> english = framework_texts();
    EXPECT_EQ(catalog_text(L"ciom::messages", 1), L"Yes");
    EXPECT_EQ(catalog_text(L"ciom::progress", 2),
              L"%s progress: %.01f%%. Elapsed time: %02d:%02d:%02d. Estimated time left: %02d:%02d:%02d.");
    for (const BuiltinLanguage& language : builtin_languages) {
        if (language.index == 0)
            continue;
        SCOPED_TRACE(language.index);
        ASSERT_TRUE(set_language(language.index));
        const std::vector<std::wstring> translated = framework_texts();
        ASSERT_EQ(translated.size(), english.size());
        for (size_t i = 0; i < english.size(); ++i) {
            EXPECT_EQ(placeholders(translated[i]), placeholders(english[i])) << translated[i];
            EXPECT_EQ(std::count(translated[i].begin(), translated[i].end(), L'\n'),
                      std::count(english[i].begin(), english[i].end(), L'\n'))
                << translated[i];
        }
        EXPECT_NE(catalog_text(L"ciom::messages", 1), L"Yes");
    }
}

TEST(Language, SpanishTakesEnglishFrameworkTextsAndStaysCurrent)
{
    cCIOMLang provider;
    ASSERT_TRUE(set_language(1));
    EXPECT_TRUE(set_language(7));
    EXPECT_EQ(get_current_language(), 7u);
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"ENG");
    EXPECT_EQ(catalog_text(L"ciom::messages", 1), L"Yes");
    EXPECT_EQ(std::wstring(get_language_code(7)), L"ESP");
}

TEST(Language, ChineseContainerCarriesItsOwnCode)
{
    cCIOMLang provider;
    ASSERT_TRUE(set_language(8));
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"CHI");
    EXPECT_EQ(std::wstring(get_language_code(8)), L"CHN");
}

TEST(Language, CodesAndNamesByIndex)
{
    const wchar_t* codes[] = {L"ENG", L"RUS", L"DEU", L"JPN", L"KOR", L"FRA", L"UKR", L"ESP", L"CHN", L"TWN"};
    const wchar_t* names[] = {L"English",  L"Русский",    L"Deutsch", L"日本",     L"한국어",
                              L"Français", L"Українська", L"Español", L"简体中文", L"繁體中文"};
    for (uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(std::wstring(get_language_code(i)), codes[i]);
        ASSERT_NE(get_language_name(i), nullptr) << i;
        EXPECT_EQ(std::wstring(get_language_name(i)), names[i]);
    }
    EXPECT_EQ(std::wstring(get_language_code(10)), L"INV");
    EXPECT_EQ(std::wstring(get_language_code(0xFFFFFFFFu)), L"INV");
    EXPECT_EQ(get_language_name(10), nullptr);
    EXPECT_EQ(get_language_name(0xFFFFFFFFu), nullptr);
}

TEST(Language, ProviderRegisteredTwiceIsAskedOnce)
{
    FixtureProvider provider({{0, fixture("base")}}, 0);
    cLibLang::Register(&provider);
    cLibLang::Register(nullptr);
    EXPECT_TRUE(set_language(0));
    EXPECT_EQ(provider.loads, 1);
}

TEST(Language, DestroyedProviderLeavesTheList)
{
    {
        FixtureProvider gone({{0, fixture("base")}}, 0);
    }
    FixtureProvider provider({{0, fixture("replace")}}, 0);
    EXPECT_TRUE(apply_default_language());
    EXPECT_EQ(provider.loads, 1);
    EXPECT_EQ(catalog_text(L"ciom::messages", 0), L"Replaced");
}

TEST(Language, FailedProviderKeepsItsTextsWhileTheOthersSwitch)
{
    cCIOMLang framework;
    FixtureProvider provider({{0, fixture("base")}, {1, fixture("stray_2")}, {2, fixture("base").substr(0, 20)}}, 0);
    ASSERT_TRUE(set_language(0));
    ASSERT_EQ(catalog_text(L"test::first", 0), L"kept");
    const std::wstring english_yes = catalog_text(L"ciom::messages", 1);

    EXPECT_FALSE(set_language(1));
    EXPECT_EQ(get_current_language(), 1u);
    EXPECT_EQ(catalog_text(L"test::first", 0), L"kept");
    EXPECT_EQ(catalog_find_section(get_global_catalog(), L"test::new"), nullptr);
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"RUS");
    EXPECT_NE(catalog_text(L"ciom::messages", 1), english_yes);

    // A container of 20 bytes or less is not even read.
    EXPECT_FALSE(set_language(2));
    EXPECT_EQ(get_current_language(), 2u);
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"DEU");
}

TEST(Language, ProviderFallsBackToItsDefaultAndFailsWithoutIt)
{
    cCIOMLang framework;
    FixtureProvider with_default({{5, fixture("replace")}}, 5);
    EXPECT_TRUE(set_language(4));
    EXPECT_EQ(catalog_text(L"ciom::messages", 0), L"Replaced");
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"RPL");

    FixtureProvider without_default({{5, fixture("base")}}, 6);
    EXPECT_FALSE(set_language(3));
    EXPECT_EQ(get_current_language(), 3u);
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"RPL");
}

TEST(Language, DefaultLanguageIsTheFirstProvidersChoice)
{
    FixtureProvider first({{6, fixture("base")}}, 6);
    EXPECT_TRUE(apply_default_language());
    EXPECT_EQ(get_current_language(), 6u);
}

TEST(Language, FrameworkProviderIsAskedFirstAlsoWhenCreatedLast)
{
    // The application makes its provider before the GUI start makes the
    // framework's.
    FixtureProvider application({{0, fixture("base")}, {6, fixture("base")}}, 6);
    cCIOMLang framework;
    EXPECT_TRUE(apply_default_language());
    EXPECT_EQ(get_current_language(), 0u);
    // Read after the framework's container, the application's code stays.
    EXPECT_EQ(std::wstring(get_global_catalog()->code), L"BAS");
    EXPECT_EQ(catalog_text(L"ciom::messages", 0), L"Ok");
}
