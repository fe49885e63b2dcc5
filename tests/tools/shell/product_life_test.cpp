// The life of two products, end to end, the way a user lives it: installers
// that pelmarodesk.exe makes, walked through their wizards; the installed
// manager listing both against a real update server on 127.0.0.1, updating
// one by downloading and starting its new installer, uninstalling the
// other (whose code name holds a character beyond U+FFFF, recorded and
// asked about in UTF-8); and the manager removing itself once nothing is
// left. The program runs in a Wine prefix of its own
// (tests/support/throwaway_prefix.py), so that Windows' list of programs
// and the shared manager it changes meet no other test. Each step is judged by the files, the store, the registry and
// the screen, never by an exit status alone. The steps build on each other
// and run in order.
#include <winsock2.h>
#include <windows.h>

#include <tlhelp32.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ci_app_config.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tests/tools/install/wizard_driver.h"
#include "tests/tools/shell/manager_driver.h"
#include "tests/tools/shell/product_stores.h"
#include "tests/tools/shell/update_test_server.h"

using namespace road;

namespace {

const wchar_t manager_title[] = L"Vantrel Pelmaro";
const wchar_t update_title[] = L"Software Package Update";
const wchar_t save_title[] = L"Save update file as...";
const wchar_t progress_title[] = L"Downloading file...";
const char alpha_code[] = "life-alpha";
const char bravo_code[] = "life-bravo-\xF0\x9F\x8C\xB1";  // U+1F331, in UTF-8
const char alpha_setup[] = "life-alpha-2.0-setup.exe";

// The wizard's pages of the products (life_products.py): no language, no
// older product; an update has no folder page.
enum Page { welcome, readme, licence, folder, install, finish };
const std::vector<Page> first_installation = {welcome, readme, licence, folder, install, finish};
const std::vector<Page> update_installation = {welcome, readme, licence, install, finish};

// What the steps share: the world of folders, the installers.
struct Life {
    World world{L"life"};
    TempFolder made{L"life-installers"};
    TempFolder downloads{L"life-downloads"};

    std::wstring Installer(const char* scenario) const { return made.Path(wide_of(scenario) + L"-setup.exe"); }
    std::wstring Folder(const char* name) const { return world.Path(L"pf/" + wide_of(name)); }
};

Life& life()
{
    static Life* shared = new Life;
    return *shared;
}

std::wstring life_folder()
{
    return slash_path(wide_of(test_data_path("life")));
}

// A user's walk: Enter on each page, the box ticked first where the page
// asks for acceptance, the proposed folder taken. True when the installer
// then ends with 0.
bool walk(wizard::Process& installer, const wchar_t* product, const std::vector<Page>& pages)
{
    wizard::Wizard wizard(installer, std::wstring(product) + L" software installer");
    if (!wizard.Found())
        return false;
    for (size_t step = 0; step < pages.size(); ++step) {
        // The installation of a small product may be over in a blink.
        if (pages[step] == install)
            continue;
        if (!wizard.WaitForStep(int(step), 30000))
            return false;
        if (pages[step] == readme || pages[step] == licence)
            wizard.TickAcceptBox();
        wizard.Enter();
    }
    return installer.Wait(30000) == 0;
}

// The record's values of the product in the common store.
std::map<std::string, std::string> record_of(const char* code)
{
    QrvcFile file = read_qrvc(file_bytes(life().world.CommonStore() + L"/install"), "install");
    std::map<std::string, std::string> record;
    std::string prefix = std::string("install/") + code + "/";
    for (const auto& value : file.values)
        if (value.first.compare(0, prefix.size(), prefix) == 0)
            record[value.first.substr(prefix.size())] = value.second;
    return record;
}

bool entry_exists(const char* code)
{
    bool found = false;
    reg_query(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + wide_of(code), L"/reg:64", &found);
    return found;
}

// The SHA-256 of the bytes, by Windows' own provider.
std::string sha256_of(const std::string& bytes)
{
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[32] = {};
    DWORD size = sizeof digest;
    if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
        CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) {
        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()), 0);
        CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
    }
    if (hash)
        CryptDestroyHash(hash);
    if (provider)
        CryptReleaseContext(provider, 0);
    return hex_of(std::string(reinterpret_cast<char*>(digest), sizeof digest));
}

// The process running the program file of that name, 0 when none does.
DWORD process_named(const wchar_t* file_name)
{
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, file_name) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

// The installed manager, started without arguments in the world, until
// its list shows the first icon (or the text of an empty list).
class ManagerRun {
public:
    explicit ManagerRun(const std::vector<uint32_t>& first_icon = {})
        : process(L"\"" + windows_path(life().world.Manager()) + L"\"", life().world.Variables(),
                  life().world.Path(L""))
    {
        window = wizard::wait_for_window(process, manager_title, 30000);
        if (window && !first_icon.empty())
            listed = manager::wait_for([&]() { return manager::find_image(window, first_icon, 16).x >= 0; });
        SetForegroundWindow(window);
    }

    wizard::Process process;
    HWND window = nullptr;
    bool listed = false;
};

// The product's row chosen, Update, Install, and the proposed name taken
// in the folder of "installer/temp".
void start_download(HWND window, const std::vector<uint32_t>& row_icon)
{
    using namespace manager;
    POINT row = find_image(window, row_icon, 16);
    ASSERT_GE(row.x, 0);
    click_client(window, POINT{row.x + 100, row.y + 8});
    click_client(window, update_button);
    ASSERT_NE(wait_window(update_title), nullptr);
    press(VK_RETURN);
    ASSERT_NE(wait_window(save_title), nullptr);
    ASSERT_TRUE(wait_for([]() {
        press(VK_RETURN);
        return window_titled(save_title) == nullptr;
    }));
}

// The check's reply for Life Alpha: version 2.0, its installer fetched as
// the behaviour says (update_test_server.py).
void offer_alpha(const std::string& behaviour, const std::string& name)
{
    serve_check(alpha_code, "2.0\r\nhttp://127.0.0.1:" + std::to_string(http_test_port()) + "/files/" + behaviour + "/" +
                                name + "\r\nhttp://example.org/life-alpha\r\nLife Alpha 2.0 writes faster.\r\n");
}

// Yes to overwriting the user's file, then the question whether to try
// the download again brought forward; false when either did not come.
bool overwrite_then_retry_question()
{
    using namespace manager;
    HWND overwrite = wait_window(L"Confirm");
    if (!overwrite)
        return false;
    press(VK_RETURN);
    HWND retry = nullptr;
    if (!wait_for([&]() {
            retry = window_titled(L"Confirm");
            return retry && retry != overwrite;
        }))
        return false;
    pause_ms(300);
    SetForegroundWindow(retry);
    return true;
}

void refresh_and_wait(HWND window)
{
    manager::click_client(window, manager::refresh_button);
    manager::pause_ms(300);
    ASSERT_TRUE(manager::wait_for(
        [&]() { return manager::find_image(window, drawn_icon("product_a", 16), 16).x >= 0; }));
}

TEST(ProductLife, Step1_MakeThreeInstallers)
{
    for (const char* scenario : {"alpha-1", "alpha-2", "bravo-1"}) {
        RunResult made = run_process(L"\"" + pelmarodesk_exe() + L"\" make " + wide_of(scenario) + L".scn \"" +
                                         windows_path(life().Installer(scenario)) + L"\"",
                                     {}, life_folder());
        EXPECT_EQ(made.exit_code, 0u) << scenario << made.output;
        EXPECT_TRUE(exists(life().Installer(scenario))) << scenario;
    }
}

TEST(ProductLife, Step2_InstallAlphaAndBravoThroughTheirWizards)
{
    struct Product {
        const char* scenario;
        const wchar_t* name;
        const char* code;
        const char* program;
        const char* source;
    } products[] = {{"alpha-1", L"Life Alpha", alpha_code, "alpha.exe", "product_a.exe"},
                    {"bravo-1", L"Life Bravo", bravo_code, "bravo.exe", "product_b.exe"}};
    for (const Product& p : products) {
        wizard::Process installer(L"\"" + windows_path(life().Installer(p.scenario)) + L"\"",
                                  life().world.Variables(), life().world.Path(L""));
        ASSERT_TRUE(walk(installer, p.name, first_installation)) << p.scenario;
        std::wstring folder = life().world.Path(L"pf/") + p.name;
        EXPECT_TRUE(file_bytes(folder + L"/" + wide_of(p.program)) == file_bytes(wide_of(test_data_path(p.source))));
        std::map<std::string, std::string> record = record_of(p.code);
        EXPECT_EQ(le_value(record["ver"]), uint64_t(packed_version(1, 0))) << p.code;
        EXPECT_TRUE(exists(slash_path(wide_of(record["shortc0"])))) << p.code << ": its shortcut";
        EXPECT_TRUE(entry_exists(p.code)) << p.code;
    }
    EXPECT_TRUE(file_bytes(life().world.Manager()) == file_bytes(slash_path(pelmarodesk_exe())));
}

TEST(ProductLife, Step3_TheManagerListsBothAndOffersAlphasUpdate)
{
    using namespace manager;
    // The manager asks the test's server and downloads into a folder of the
    // test: two keys of its common store, which alone an administrator's run
    // (every run here) reads them from.
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(life().world.CommonStore().c_str()));
    std::string server = update_server_address();
    ASSERT_TRUE(store.WriteString("installer/update_server", wide_of(server).c_str(), -1));
    ASSERT_TRUE(store.WriteString("installer/temp", life().downloads.Path().c_str(), -1));
    ASSERT_TRUE(store.Save());
    offer_alpha("cutfirst", alpha_setup);
    serve_check(bravo_code, "1.0\r\nhttp://127.0.0.1/b.exe\r\nhttp://example.org/life-bravo\r\n");

    ManagerRun run(drawn_icon("product_a", 16));
    ASSERT_TRUE(run.listed) << wizard::describe_windows(run.process, "life_manager");
    HWND window = run.window;
    wizard::save_screenshot(window, "manager_main");
    POINT alpha = find_image(window, drawn_icon("product_a", 16), 16);
    POINT bravo = find_image(window, drawn_icon("product_b", 16), 16);
    ASSERT_GE(bravo.x, 0) << "Life Bravo with its own icon";
    EXPECT_LT(alpha.y, bravo.y);
    EXPECT_GT(count_colour(window, RECT{alpha.x, alpha.y, list_area.right, alpha.y + 16}, offer_colour), 0)
        << "\"Update available\" on Life Alpha";
    EXPECT_EQ(count_colour(window, RECT{bravo.x, bravo.y, list_area.right, bravo.y + 16}, offer_colour), 0)
        << "no offer on Life Bravo";
    POINT large = find_image(window, drawn_icon("product_a", 48), 48);
    EXPECT_EQ(large.x, details_area.left + 15) << "Life Alpha's 48 x 48 icon in its details";
    // Publisher, support and updates pages, and its program, which its link
    // starts.
    std::vector<POINT> links = colour_lines(window, link_colour, details_area);
    ASSERT_EQ(links.size(), 4u);
    POINT program_link = links[3];
    click_client(window, POINT{program_link.x + 10, program_link.y - 5});
    EXPECT_TRUE(wait_for([]() { return file_bytes(life().Folder("Life Alpha") + L"/ran.txt") == "ran "; }));
    DeleteFileW(windows_path(life().Folder("Life Alpha") + L"/ran.txt").c_str());
}

TEST(ProductLife, Step4_UpdateAlphaFromTheWindow)
{
    using namespace manager;
    std::string installer = file_bytes(life().Installer("alpha-2"));
    serve_file(alpha_setup, installer);
    std::wstring downloaded = life().downloads.Path(wide_of(alpha_setup));
    {
        ManagerRun run(drawn_icon("product_a", 16));
        ASSERT_TRUE(run.listed);
        HWND window = run.window;

        // No: nothing is fetched.
        click_client(window, update_button);
        HWND form = wait_window(update_title);
        ASSERT_NE(form, nullptr);
        wizard::save_screenshot(form, "manager_update_form");
        press(VK_ESCAPE);
        ASSERT_TRUE(wait_gone(update_title));
        EXPECT_EQ(update_server_log().find("/files/"), std::string::npos);

        // The user already has a file of the installer's name: overwritten
        // only by a whole installer. The server has no such file: its
        // message, and the user's file as it was.
        const std::string users_file = "the user's own copy";
        ASSERT_TRUE(life().downloads.WriteFile(wide_of(alpha_setup), users_file));
        offer_alpha("missing", alpha_setup);
        ASSERT_NO_FATAL_FAILURE(refresh_and_wait(window));
        ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_a", 16)));
        ASSERT_NE(wait_window(L"Confirm"), nullptr) << "overwrite the file?";
        press(VK_RETURN);
        ASSERT_NE(wait_window(L"Error"), nullptr);
        press(VK_RETURN);
        ASSERT_NE(wait_window(update_title), nullptr);
        press(VK_ESCAPE);
        ASSERT_TRUE(wait_gone(update_title));
        EXPECT_EQ(file_bytes(downloaded), users_file);

        // The installer comes in chunks, with a length as well: the
        // transfer is refused as incomplete; No to the retry leaves the
        // user's file as it was, and nothing is started.
        offer_alpha("chunked", alpha_setup);
        ASSERT_NO_FATAL_FAILURE(refresh_and_wait(window));
        ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_a", 16)));
        ASSERT_TRUE(overwrite_then_retry_question()) << "the retry question, not " << active_title();
        press(VK_ESCAPE);
        ASSERT_NE(wait_window(update_title), nullptr);
        press(VK_ESCAPE);
        ASSERT_TRUE(wait_gone(update_title));
        EXPECT_EQ(file_bytes(downloaded), users_file);
        EXPECT_EQ(life().downloads.Names(), std::vector<std::wstring>{wide_of(alpha_setup)});
        EXPECT_EQ(process_named(wide_of(alpha_setup).c_str()), 0u) << "the chunks were started";

        // Stop during the transfer: no question, nothing left of it.
        offer_alpha("slow", "pattern3000000.bin");
        ASSERT_NO_FATAL_FAILURE(refresh_and_wait(window));
        ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_a", 16)));
        ASSERT_NE(wait_window(progress_title), nullptr);
        pause_ms(500);
        press(VK_ESCAPE);
        ASSERT_TRUE(wait_gone(progress_title, 3000));
        pause_ms(500);
        EXPECT_EQ(active_title(), update_title) << "no question after a stop";
        EXPECT_EQ(life().downloads.Names(), std::vector<std::wstring>{wide_of(alpha_setup)});
        press(VK_ESCAPE);
        ASSERT_TRUE(wait_gone(update_title));

        // The user's file is to be overwritten; the first transfer is cut,
        // which leaves it; Yes to the retry, which brings the whole
        // installer in its place; it starts and the manager ends.
        offer_alpha("cutfirst", alpha_setup);
        ASSERT_NO_FATAL_FAILURE(refresh_and_wait(window));
        ASSERT_NO_FATAL_FAILURE(start_download(window, drawn_icon("product_a", 16)));
        ASSERT_TRUE(overwrite_then_retry_question()) << "the retry question";
        press(VK_RETURN);
        EXPECT_EQ(run.process.Wait(60000), 0u) << "the manager ends once the new installer started";
        EXPECT_EQ(sha256_of(file_bytes(downloaded)), sha256_of(installer));
        EXPECT_EQ(life().downloads.Names(), std::vector<std::wstring>{wide_of(alpha_setup)});
        // The new installer belongs to the manager's job: walked before
        // the job goes.
        DWORD started = 0;
        ASSERT_TRUE(wait_for([&]() { return (started = process_named(wide_of(alpha_setup).c_str())) != 0; }));
        wizard::Process new_installer(started);
        ASSERT_TRUE(walk(new_installer, L"Life Alpha", update_installation));
    }
    EXPECT_EQ(le_value(record_of(alpha_code)["ver"]), uint64_t(packed_version(2, 0)));
    EXPECT_TRUE(exists(life().Folder("Life Alpha") + L"/news.txt"));

    // Reopened: Life Alpha 2.0, nothing offered any more.
    {
        ManagerRun run(drawn_icon("product_a", 16));
        ASSERT_TRUE(run.listed);
        POINT alpha = find_image(run.window, drawn_icon("product_a", 16), 16);
        EXPECT_EQ(count_colour(run.window, RECT{alpha.x, alpha.y, list_area.right, alpha.y + 16}, offer_colour), 0);
        RECT update = {update_button.x - 50, update_button.y - 10, update_button.x + 50, update_button.y + 10};
        EXPECT_EQ(count_colour(run.window, update, 0xFFFFFF), 100 * 20) << "no Update button";
        wizard::save_screenshot(run.window, "manager_after_update");
    }

    // "update <code name> quite": no message; 1 only for what is not installed.
    struct Quiet {
        const char* code;
        DWORD exit_code;
    } quiet[] = {{alpha_code, 0}, {bravo_code, 0}, {"life-unknown", 1}};
    for (const Quiet& q : quiet) {
        AnsweredRun run = run_answering(life().world, L"\"" + windows_path(life().world.Manager()) + L"\" update " +
                                                          wide_of(q.code) + L" quite",
                                        {});
        EXPECT_EQ(run.run.exit_code, q.exit_code) << q.code;
    }
    // Life Bravo's name reached the server whole: one character, four bytes.
    EXPECT_NE(update_server_log().find("softwareid=life-bravo-%F0%9F%8C%B1&os=win"), std::string::npos)
        << update_server_log();
}

TEST(ProductLife, Step5_UninstallBravoFromTheWindow)
{
    using namespace manager;
    ManagerRun run(drawn_icon("product_a", 16));
    ASSERT_TRUE(run.listed);
    POINT bravo = find_image(run.window, drawn_icon("product_b", 16), 16);
    ASSERT_GE(bravo.x, 0);
    click_client(run.window, POINT{bravo.x + 100, bravo.y + 8});
    click_client(run.window, uninstall_button);
    ASSERT_NE(wait_window(L"Confirm"), nullptr);
    press(VK_RETURN);
    ASSERT_NE(wait_window(L"Information"), nullptr);
    press(VK_RETURN);
    EXPECT_TRUE(wait_for([&]() {
        return find_image(run.window, drawn_icon("product_b", 16), 16).x < 0 &&
               find_image(run.window, drawn_icon("product_a", 16), 16).x >= 0;
    })) << "Life Bravo leaves the list";
    EXPECT_FALSE(entry_exists(bravo_code)) << "and Windows' list";
    EXPECT_FALSE(exists(life().Folder("Life Bravo"))) << "and the disk";
    EXPECT_TRUE(record_of(bravo_code).empty());
    EXPECT_TRUE(entry_exists(alpha_code));
}

TEST(ProductLife, Step6_TheManagerGoesOnlyOnceNoProductIsLeft)
{
    using namespace manager;
    std::wstring manager_file = life().world.Manager();
    QrvcFile shared = read_qrvc(file_bytes(life().world.CommonStore() + L"/installer"), "installer");
    std::wstring shortcut = slash_path(wide_of(shared.values["installer/shortcut"]));
    ASSERT_TRUE(exists(shortcut)) << "the manager's shortcut";

    // Refused while Life Alpha is installed: the window offers no removal,
    // and "remove" says why and keeps everything.
    AnsweredRun refused = run_answering(life().world, L"\"" + windows_path(manager_file) + L"\" remove",
                                        {yes_to(error_title)});
    EXPECT_EQ(refused.met, titles({error_title}));
    EXPECT_EQ(refused.run.exit_code, 1u);
    EXPECT_TRUE(exists(manager_file) && exists(shortcut));

    ManagerRun run(drawn_icon("product_a", 16));
    ASSERT_TRUE(run.listed);
    EXPECT_EQ(colour_lines(run.window, link_colour, remove_area).size(), 0u) << "no \"Remove Pelmaro\"";
    click_client(run.window, uninstall_button);
    ASSERT_NE(wait_window(L"Confirm"), nullptr);
    press(VK_RETURN);
    ASSERT_NE(wait_window(L"Information"), nullptr);
    press(VK_RETURN);
    ASSERT_TRUE(wait_for([&]() { return colour_lines(run.window, link_colour, remove_area).size() == 1; }))
        << "no product left: \"Remove Pelmaro\"";
    EXPECT_FALSE(entry_exists(alpha_code));
    EXPECT_FALSE(exists(life().Folder("Life Alpha")));
    wizard::save_screenshot(run.window, "manager_empty");

    click_client(run.window, remove_link);
    ASSERT_NE(wait_window(L"Confirm"), nullptr);
    press(VK_RETURN);
    ASSERT_NE(wait_window(L"Information"), nullptr);
    press(VK_RETURN);
    EXPECT_EQ(run.process.Wait(30000), 0u);
    // The running manager is deleted by the script once it has exited.
    EXPECT_TRUE(wait_for([&]() { return !exists(manager_file); }, 60000)) << "the manager is deleted";
    EXPECT_FALSE(exists(shortcut)) << "and its shortcut";
}

}  // namespace
