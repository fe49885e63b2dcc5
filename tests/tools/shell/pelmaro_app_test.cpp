// cPelmaroApp driven by the real application runner: the mode and its
// arguments taken from the command line, and the interface language taken
// from the configuration.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/catalog.h"
#include "gui/language.h"
#include "tests/support/language_config.h"
#include "tools/shell/language_switch.h"
#include "tools/shell/pelmaro_app.h"

namespace {

// What Init left, seen from Run.
struct Seen {
    bool ran = false;
    uint32_t mode = 99;
    std::wstring first, second, own_path;
    uint32_t offset = 99;
    bool quiet = false;
    uint32_t switch_shows = 99;
};

class cProbeApp : public cPelmaroApp {
public:
    explicit cProbeApp(Seen& seen_run) : seen(seen_run) {}
    int32_t Run() override
    {
        seen.ran = true;
        seen.mode = GetMode();
        seen.first = GetFirstArgument() ? GetFirstArgument() : L"";
        seen.second = GetSecondArgument() ? GetSecondArgument() : L"";
        seen.own_path = GetOwnPath() ? GetOwnPath() : L"";
        seen.offset = GetPackageOffset();
        seen.quiet = IsQuiet();
        cLangSwitchCtl language_switch;
        language_switch.Refresh();
        seen.switch_shows = language_switch.GetShownLanguage();
        return 0;
    }
    Seen& seen;
};

Seen start(std::vector<std::wstring> words, int64_t stored_language = -1)
{
    words.insert(words.begin(), L"C:\\somewhere\\typed-name");
    std::vector<wchar_t*> argv;
    for (std::wstring& word : words)
        argv.push_back(&word[0]);
    Seen seen;
    int32_t code = run_application(new cProbeApp(seen), GetModuleHandleW(nullptr), 0, 101, int32_t(argv.size()),
                                   argv.data(), new cLanguageConfig(stored_language), L"qrv");
    if (!seen.ran)
        seen.mode = 100 + uint32_t(code);
    return seen;
}

const uint32_t refused = 101;  // Init said no: exit code 1, no run

}  // namespace

TEST(PelmaroApp, CommandLineChoosesTheMode)
{
    struct Case {
        std::vector<std::wstring> words;
        uint32_t mode;
        std::wstring first, second;
        uint32_t offset;
        bool quiet;
    } cases[] = {
        {{}, PELMARO_MODE_MANAGER, L"", L"", 0, false},
        {{L"install"}, refused, L"", L"", 0, false},
        {{L"install", L"a.pkg"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 0, false},
        {{L"install", L"a.pkg", L"0x1000", L"more"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 4096, false},
        {{L"install", L"a.pkg", L"4294967294"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 0xFFFFFFFE, false},
        {{L"install", L"a.pkg", L"4294967295"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 0, false},
        {{L"install", L"a.pkg", L"-1"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 0, false},
        {{L"install", L"a.pkg", L"junk"}, PELMARO_MODE_INSTALL, L"a.pkg", L"", 0, false},
        {{L"Install", L"a.pkg"}, refused, L"", L"", 0, false},
        {{L"uninstall", L"prod"}, PELMARO_MODE_UNINSTALL, L"prod", L"", 0, false},
        {{L"uninstall"}, refused, L"", L"", 0, false},
        {{L"update", L"prod"}, PELMARO_MODE_UPDATE, L"prod", L"", 0, false},
        {{L"update", L"prod", L"quite", L"more"}, PELMARO_MODE_UPDATE, L"prod", L"", 0, true},
        {{L"update", L"prod", L"QUITE"}, PELMARO_MODE_UPDATE, L"prod", L"", 0, false},
        {{L"update", L"prod", L"quiet"}, PELMARO_MODE_UPDATE, L"prod", L"", 0, false},
        {{L"make", L"s.txt"}, refused, L"", L"", 0, false},
        {{L"make", L"s.txt", L"out.exe"}, PELMARO_MODE_MAKE, L"s.txt", L"out.exe", 0, false},
        {{L"make", L"s.txt", L"out.exe", L"x"}, refused, L"", L"", 0, false},
        {{L"remove", L"x"}, PELMARO_MODE_REMOVE, L"", L"", 0, false},
        {{L"version", L"x", L"y"}, PELMARO_MODE_VERSION, L"", L"", 0, false},
        {{L"versions"}, refused, L"", L"", 0, false},
    };
    wchar_t module[MAX_PATH];
    std::wstring own(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    for (wchar_t& c : own)
        c = c == L'\\' ? L'/' : c;
    for (const Case& c : cases) {
        std::string what;
        for (const std::wstring& word : c.words)
            what += std::string(word.begin(), word.end()) + " ";
        Seen seen = start(c.words);
        ASSERT_EQ(seen.mode, c.mode) << what;
        if (!seen.ran)
            continue;
        EXPECT_EQ(seen.first, c.first) << what;
        EXPECT_EQ(seen.second, c.second) << what;
        EXPECT_EQ(seen.offset, c.offset) << what;
        EXPECT_EQ(seen.quiet, c.quiet) << what;
        EXPECT_EQ(seen.own_path, own) << what << "(the running file, not the typed name)";
    }
}

TEST(PelmaroApp, LanguageMenuListsTheApplicationsLanguagesInIdOrder)
{
    cPopupItems items;
    build_language_menu(items);
    std::vector<int32_t> ids;
    for (auto* node = tree_first_node(items); node; node = tree_next_node(node)) {
        ids.push_back(node->key);
        EXPECT_STREQ(node->value.text.Text(), get_language_name(uint32_t(node->key)));
        EXPECT_EQ(node->value.image_id, node->key);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2, 3, 4, 6, 8, 9}));
}

TEST(PelmaroApp, ModeWithoutEntryIsNotAvailable)
{
    EXPECT_EQ(cPelmaroApp().Run(), mode_not_available_exit_code);
}

TEST(PelmaroApp, StoredLanguageIsUsedWhenTheApplicationCarriesIt)
{
    struct Case {
        int64_t stored;
        const wchar_t* code;
        const wchar_t* start_button;  // string 2 of "pkgm::langs"
        uint32_t switch_shows;
    } cases[] = {
        {1, L"RUS", L"Начать", 1}, {9, L"TWN", L"開始", 9},        {5, L"ENG", L"Start", 0},
        {7, L"ENG", L"Start", 0},  {0x10003, L"ENG", L"Start", 0}, {-1, L"ENG", L"Start", 0},
    };
    for (const Case& c : cases) {
        Seen seen = start({L"version"}, c.stored);
        EXPECT_EQ(seen.switch_shows, c.switch_shows) << c.stored;
        EXPECT_STREQ(get_language_code(get_current_language()), c.code) << c.stored;
        const cStringArray* langs = catalog_find_section(get_global_catalog(), L"pkgm::langs");
        EXPECT_STREQ(get_catalog_string(langs, 2), c.start_button) << c.stored;
    }
}
