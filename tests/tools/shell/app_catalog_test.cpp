// The application's built-in languages: every catalog read by the program's
// reader holds every section of the English one with as many strings and the
// same placeholders in the same order; the provider's table; the flags.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "gui/catalog.h"
#include "gui/image_buffer.h"
#include "tools/shell/app_catalogs.h"
#include "tools/shell/app_language.h"

namespace {

const char* const sections[] = {"pkgm::iini", "pkgm::instp", "pkgm::fsel", "pkgm::fin",   "pkgm::instw", "pkgm::langs",
                                "pkgm::rem",  "pkgm::softm", "pkgm::unin", "pkgm::resp", "pkgm::updi",  "pkgm::updr"};

std::vector<std::wstring> placeholders(const wchar_t* text)
{
    static const std::wregex format(L"%[-+ #0]*[0-9]*(\\.[0-9]+)?(ll|l|h)?[diouxXeEfgGsScC%]");
    std::vector<std::wstring> found;
    std::wstring s = text ? text : L"";
    for (std::wsregex_iterator i(s.begin(), s.end(), format), end; i != end; ++i)
        found.push_back(i->str());
    return found;
}

}  // namespace

TEST(ApplicationCatalogs, EveryLanguageHasEverySectionWithItsPlaceholders)
{
    ASSERT_EQ(application_language_container_count, 8u);
    const uint32_t languages[] = {0, 2, 1, 6, 4, 3, 8, 9};
    const wchar_t* const codes[] = {L"ENG", L"DEU", L"RUS", L"UKR", L"KOR", L"JPN", L"CHI", L"TWN"};
    cStringCatalog english;
    ASSERT_TRUE(catalog_read_container(application_language_containers[0].data,
                                       application_language_containers[0].size, english));
    for (uint32_t i = 0; i < application_language_container_count; ++i) {
        const cBuiltinContainer& container = application_language_containers[i];
        EXPECT_EQ(container.language, languages[i]);
        cStringCatalog catalog;
        ASSERT_TRUE(catalog_read_container(container.data, container.size, catalog)) << i;
        EXPECT_STREQ(catalog.code, codes[i]);
        for (const char* name : sections) {
            std::wstring section(name, name + strlen(name));
            const cStringArray* own = catalog_find_section(&catalog, section.c_str());
            const cStringArray* reference = catalog_find_section(&english, section.c_str());
            ASSERT_NE(own, nullptr) << name << " in " << i;
            ASSERT_EQ(own->strings.Count(), reference->strings.Count()) << name << " in " << i;
            for (int32_t s = 0; s < own->strings.Count(); ++s) {
                const wchar_t* text = get_catalog_string(own, s);
                ASSERT_NE(text, nullptr) << name << " " << s;
                EXPECT_NE(text[0], 0) << name << " " << s;
                EXPECT_EQ(placeholders(text), placeholders(get_catalog_string(reference, s))) << name << " " << s
                                                                                              << " in " << i;
            }
        }
    }
}

TEST(ApplicationCatalogs, ProviderServesEightLanguages)
{
    cSOPKGLang& provider = application_language_provider();
    EXPECT_EQ(&provider, &application_language_provider());
    EXPECT_EQ(provider.DefaultLanguage(), language_english);
    for (uint32_t id = 0; id < 12; ++id) {
        bool carried = id < 10 && id != 5 && id != 7;
        EXPECT_EQ(provider.HasLanguage(id), carried) << id;
        EXPECT_EQ(provider.LoadLanguage(id) > 20, carried) << id;
        EXPECT_EQ(provider.ReleaseLanguage(id) != nullptr, carried) << id;
    }
}

TEST(LanguageFlags, EveryLanguageHasTwoDistinctPictures)
{
    std::set<std::vector<uint32_t>> seen;
    for (uint32_t id = 0; id < 10; ++id) {
        cImageBuffer* large = get_language_image(id);
        cImageBuffer* small = get_small_language_image(id);
        ASSERT_NE(large, nullptr) << id;
        ASSERT_NE(small, nullptr) << id;
        EXPECT_EQ(get_language_image(id), large) << "cached once";
        EXPECT_EQ(large->GetWidth(), 27);
        EXPECT_EQ(large->GetHeight(), 22);
        EXPECT_EQ(small->GetWidth(), 18);
        EXPECT_EQ(small->GetHeight(), 14);
        const uint32_t* pixels = large->GetPixels();
        seen.insert(std::vector<uint32_t>(pixels, pixels + 27 * 22));
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(get_language_image(10), nullptr);
    EXPECT_EQ(get_small_language_image(language_none), nullptr);
}
