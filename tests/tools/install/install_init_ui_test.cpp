// The install start-up form run by the program's own application object on
// the virtual screen: its line while the job works, its refusal to close
// meanwhile, the language question, and the message of each outcome.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ci_app_config.h"
#include "gui/catalog.h"
#include "tests/gui/controls/form_window.h"
#include "tests/gui/gui_test_elements.h"
#include "tests/support/message_log.h"
#include "tests/tools/install/road_fixture.h"
#include "tools/install/install_context.h"
#include "tools/install/install_init.h"
#include "tools/install/install_init_ui.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/pelmaro_app.h"

using namespace road;

namespace {

class cInitApp : public cPelmaroApp {
public:
    explicit cInitApp(std::function<int32_t()> run_body) : body(std::move(run_body)) {}
    int32_t Run() override { return body(); }
    std::function<int32_t()> body;
};

std::wstring title_of(HWND window)
{
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

// Runs the steps from the modal run's message loop, 300 ms apart.
void schedule(std::vector<std::function<void()>> steps, size_t index = 0)
{
    if (index < steps.size())
        run_later(300, [steps, index]() {
            steps[index]();
            schedule(steps, index + 1);
        });
}

// Takes the proposed language and leaves the interface as it is.
class cProposedLanguage : public cInstallInitQuestions {
public:
    uint32_t ChooseLanguage(uint32_t proposed) override { return proposed; }
    bool SwitchLanguage(uint32_t) override { return true; }
};

// An empty form that starts its window's script: the owner of messages.
class cOwnerForm : public cCustomForm {
public:
    explicit cOwnerForm(cFormWindow& host) : window(host) {}
    bool OnStarted() override
    {
        window.Start();
        return true;
    }

    cFormWindow& window;
};

// The offered language that is Windows' interface language, else the first.
int32_t system_or_first(std::vector<int32_t> offered)
{
    static const struct {
        LANGID primary;
        int32_t id;
    } ids[] = {{LANG_ENGLISH, 0}, {LANG_RUSSIAN, 1}, {LANG_GERMAN, 2}, {LANG_JAPANESE, 3}, {LANG_KOREAN, 4},
               {LANG_FRENCH, 5},  {LANG_UKRAINIAN, 6}, {LANG_SPANISH, 7}};
    for (const auto& known : ids)
        if (PRIMARYLANGID(GetUserDefaultUILanguage()) == known.primary)
            for (int32_t id : offered)
                if (id == known.id)
                    return id;
    return offered.front();
}

}  // namespace

TEST(InstallInitUI, ShowsTheOutcomeOfTheStartUp)
{
    uint64_t manager_length = file_bytes(runner_path()).size();
    struct InitCase {
        const char* name;
        const char* product;        // null: a package path that names nothing
        const char* recorded;       // the store's "ver" of the product (8 bytes): a newer one, or null
        const wchar_t* first_title; // the window active once the job asked or ended
        bool result;
        int32_t language;           // the package's language afterwards, -1 not asked
        const char* crafted;        // a package written by package_fixtures.py instead of the product
        bool outside_file;          // the record also lists a document beside its install folder
        bool name_taken = false;    // another program's Windows entry has the product's code name
        int64_t recorded_language = -1;  // the record's "lang", -1: none
    };
    const InitCase cases[] = {
        {"missing package", nullptr, nullptr, L"Error", false, -1, nullptr, false},
        {"newer version installed", "v1", "\x00\x00\x00\x00\x00\x00\x09\x00", L"Information", false, -1, nullptr, false},
        {"two languages, the first taken", "two", nullptr, L"", true, 0, nullptr, false},
        // A language the program does not have in the record: a row is
        // selected all the same (the system's language, else the first),
        // and Enter goes on with it.
        {"two languages, the record's unknown", "two", nullptr, L"", true, system_or_first({0, 2}), nullptr, false,
         false, 999},
        // Damaged packages: the message, never a wizard whose folder page
        // cannot go on.
        {"a file under the folder \"..\"", nullptr, nullptr, L"Error", false, -1, "pkg_startup_dotdot.bin", false},
        {"one target twice", nullptr, nullptr, L"Error", false, -1, "pkg_startup_twice.bin", false},
        {"targets differing in case", nullptr, nullptr, L"Error", false, -1, "pkg_startup_case.bin", false},
        {"targets differing in an umlaut's case", nullptr, nullptr, L"Error", false, -1, "pkg_startup_umlaut.bin", false},
        {"a target inside another", nullptr, nullptr, L"Error", false, -1, "pkg_startup_nested.bin", false},
        {"a code name with '/'", nullptr, nullptr, L"Error", false, -1, "pkg_startup_codename_slash.bin", false},
        {"a code name with '\\'", nullptr, nullptr, L"Error", false, -1, "pkg_startup_codename_backslash.bin", false},
        // An update whose record names a file outside the product: the
        // damaged record's message, and the file stays.
        {"a recorded file outside the install folder", "v1", "\x00\x00\x00\x00\x00\x00\x00\x00", L"Error", false, -1,
         nullptr, true},
        {"the name taken by another program", "v1", nullptr, L"Error", false, -1, nullptr, false, true},
    };
    for (const InitCase& c : cases) {
        TempFolder folder(L"initui");
        CreateDirectoryW(folder.Native(L"store").c_str(), nullptr);
        cCIAppConfig* store = new cCIAppConfig;
        store->OpenStore(folder.Path(L"store").c_str());
        std::wstring package = c.product   ? installers().Get(c.product)
                               : c.crafted ? crafted_package(c.crafted)
                                           : folder.Path(L"none.exe");
        if (c.recorded_language >= 0) {
            std::string key = "install/" + utf8_of(installers().code_name) + "/lang";
            store->WriteInt64(key.c_str(), c.recorded_language);
            ASSERT_TRUE(store->Save());
        }
        if (c.recorded) {
            std::string key = "install/" + utf8_of(installers().code_name) + "/ver";
            store->WriteBytes(key.c_str(), c.recorded, 8);
            ASSERT_TRUE(store->Save());
        }
        std::wstring document = folder.Path(L"Public/important.doc");
        if (c.outside_file) {
            std::string key = "install/" + utf8_of(installers().code_name) + "/";
            CreateDirectoryW(folder.Native(L"app").c_str(), nullptr);
            CreateDirectoryW(folder.Native(L"Public").c_str(), nullptr);
            ASSERT_TRUE(put_file(document, "the user's"));
            store->WriteString((key + "path").c_str(), folder.Path(L"app").c_str(), -1);
            store->WriteInt32((key + "files").c_str(), 1);
            store->WriteString((key + "file0").c_str(), document.c_str(), -1);
            ASSERT_TRUE(store->Save());
        }
        if (c.crafted) {
            ASSERT_TRUE(exists(package)) << c.name;
        }
        if (c.name_taken)
            add_entry(installers().code_name, true, KEY_WOW64_64KEY, {},
                      {{L"UninstallString", L"C:\\Other\\uninstall.exe"}, {L"DisplayName", L"Other Program"}});
        cInstallContext context(runner_path().c_str(), package.c_str(), c.crafted ? 0 : uint32_t(manager_length));
        std::wstring early_title, later_title;
        bool closed_early = false, result = !c.result, language_form_stayed = false;
        wchar_t name[] = L"initui";
        wchar_t* argv[] = {name};
        run_application(new cInitApp([&]() {
                            schedule({
                                [&]() {
                                    // The job waits 500 ms first: the form refuses to close.
                                    HWND form = GetActiveWindow();
                                    early_title = title_of(form);
                                    SendMessageW(form, WM_CLOSE, 0, 0);
                                    closed_early = !IsWindow(form);
                                },
                                [&]() {},
                                [&]() {
                                    later_title = title_of(GetActiveWindow());
                                    send_key_press(VK_RETURN);
                                },
                                // A language form that Enter left open is
                                // cancelled, so that the run ends.
                                [&]() {
                                    if (title_of(GetActiveWindow()).empty()) {
                                        language_form_stayed = true;
                                        send_key_press(VK_ESCAPE);
                                    }
                                },
                                [&]() {
                                    if (language_form_stayed && title_of(GetActiveWindow()) == L"Confirm")
                                        send_key_press(VK_RETURN);
                                },
                            });
                            result = run_install_init_ui(&context);
                            return 0;
                        }),
                        GetModuleHandleW(nullptr), 0, 101, 1, argv, store, folder.Path(L"store").c_str());
        EXPECT_EQ(early_title, L"Pelmaro") << c.name;
        EXPECT_FALSE(closed_early) << c.name << ": closed while its job ran";
        if (c.first_title[0]) {
            EXPECT_EQ(later_title, c.first_title) << c.name;
        }
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_FALSE(language_form_stayed) << c.name << ": Enter did not choose";
        if (c.outside_file) {
            EXPECT_EQ(file_bytes(document), "the user's") << c.name;
        }
        if (c.crafted) {
            // The message was the damaged package's.
            cInstallContext again(runner_path().c_str(), package.c_str(), 0);
            cProposedLanguage questions;
            EXPECT_EQ(run_install_init(again, nullptr, questions), INSTALL_INIT_BAD_PACKAGE) << c.name;
        }
        if (c.language >= 0) {
            EXPECT_EQ(context.package.current_language, c.language) << c.name;
        }
        if (c.name_taken) {
            // The message was the taken name's, naming the other program.
            EXPECT_STREQ(context.error_path.Text(), L"Other Program") << c.name;
            delete_entries(installers().code_name);
        }
    }
}

// A file held open and a file that cannot be read have messages of their
// own, naming the file; so do the faults of the stores, each in the text of
// its road and told of by the text of its kind and store.
TEST(InstallInitUI, AHeldFileAndAnUnreadableOneHaveTheirOwnMessages)
{
    application_language_provider();
    ASSERT_TRUE(apply_language(language_english));
    const cStringArray* texts = catalog_find_section(get_global_catalog(), L"pkgm::iini");
    struct MessageCase {
        const char* what;
        uint32_t result;
        int32_t text;      // of "pkgm::iini"
        int32_t told = 0;  // of "pkgm::store", telling of the store's fault; 0: none
        uint32_t kind = CFG_FAULT_NONE;
        bool common = false;
    } cases[] = {
        {"held open", INSTALL_INIT_FILE_IN_USE, 15},
        {"unreadable", INSTALL_INIT_UNREADABLE_FILE, 7},
        {"the common store in the way", INSTALL_INIT_UNGUARDED_RECORD, 17, 1, CFG_FAULT_PLACE, true},
        {"the per-user store in the way", INSTALL_INIT_NO_USER_STORE, 20, 2, CFG_FAULT_PLACE},
        {"a file of the other store held", INSTALL_INIT_UNREAD_STORE, 21, 3, CFG_FAULT_HELD},
        {"a file of the common store damaged", INSTALL_INIT_UNREAD_STORE, 21, 4, CFG_FAULT_UNREADABLE, true},
        {"no place for the manager", INSTALL_INIT_NO_MANAGER_PLACE, 23},
    };
    for (const MessageCase& c : cases) {
        cInstallContext context(L"C:/setup.exe", L"C:/setup.exe", 0);
        context.error_path.Assign(L"C:/Program Files/Road Test/docs/read me.txt");
        context.store_fault.Set(c.kind, context.error_path.Text());
        context.store_fault.common = c.common;
        std::wstring title;
        MessageLog log;
        cFormWindow window;
        window.maker.SetCatalog(get_global_catalog());
        cOwnerForm* form = new cOwnerForm(window);
        // Closed from the message's own loop.
        std::function<void()> answer = [&]() {
            HWND message = GetActiveWindow();
            if (title_of(message) != L"Error") {
                run_later(50, answer);
                return;
            }
            title = title_of(message);
            send_key_press(VK_RETURN);
        };
        window.Run(form, 200, 100, {[&]() {
                       run_later(50, answer);
                       show_install_init_message(form, context, c.result);
                   }});
        std::wstring named = L"C:\\Program Files\\Road Test\\docs\\read me.txt";
        if (c.told)
            named = filled_text(section_text(L"pkgm::store", c.told), named);
        // A file of no name the store keeps: removing it forgets nothing.
        if (c.kind == CFG_FAULT_UNREADABLE)
            named = filled_text(section_text(L"pkgm::store", 10), named);
        EXPECT_EQ(title, L"Error") << c.what;
        ShownMessage wanted = {L"Error", filled_text(get_catalog_string(texts, c.text), named)};
        EXPECT_EQ(log.Messages(), std::vector<ShownMessage>{wanted}) << c.what;
    }
}
