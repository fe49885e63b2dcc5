// pelmarodesk.exe remove end to end, its forms answered by real key
// presses: the refusal while a product is recorded, a manager deleted at
// once by another copy, and the running manager left to the script, which
// runs for real in Wine's cmd.exe: as it is (Wine has no timeout.exe), with
// a stand-in timeout.exe where the 32-bit cmd.exe finds it, and without
// timeout.exe while another program holds the manager open for 10 s after
// the remover ended (the script's tries must outlast that).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "base/ci_app_config.h"
#include "tests/support/wine_drives.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tests/tools/shell/manager_driver.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"

using namespace road;

namespace {

std::wstring manager_shortcut(const World& world)
{
    return world.Path(L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk");
}

// v1 installed and its record dropped: the manager and its shortcut stay,
// and no product is recorded.
void install_manager_only(World& world)
{
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    ASSERT_TRUE(store.DeleteKey(("install/" + utf8_of(installers().code_name)).c_str()));
    ASSERT_TRUE(store.Save());
    ASSERT_TRUE(exists(world.Manager()));
    ASSERT_TRUE(exists(manager_shortcut(world)));
}

// Runs the command in the world, outside any job object (the script must
// outlive it), answering its forms; its exit code, 99 when it did not
// start or end.
DWORD run_outside_job(const World& world, const std::wstring& command, const std::vector<FormAnswer>& answers,
                      const std::map<std::wstring, std::wstring>& extra, std::vector<std::wstring>& met)
{
    std::map<std::wstring, std::wstring> variables = world.Variables();
    for (const auto& variable : extra)
        variables[variable.first] = variable.second;
    std::wstring block = environment_block(variables);
    std::wstring line = command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, &block[0],
                        windows_path(world.Path(L"")).c_str(), &startup, &process))
        return 99;
    std::thread answering([&] { met = answer_forms(process.hProcess, answers); });
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 99);
    answering.join();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

AnsweredRun remove_with(const World& world, const std::wstring& program, const std::vector<FormAnswer>& answers)
{
    return run_answering(world, L"\"" + program + L"\" remove", answers);
}

// Waits up to timeout_ms for done(); its last answer.
bool wait_until(const std::function<bool()>& done, DWORD timeout_ms)
{
    for (DWORD waited = 0; waited < timeout_ms; waited += 100) {
        if (done())
            return true;
        Sleep(100);
    }
    return done();
}

std::wstring system_timeout()
{
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system, length) + L"\\timeout.exe";
}

std::wstring stand_in()
{
    return wide_of(test_data_path("timeout_stand_in.exe"));
}

// How a script case finds the system folder: with the stand-in as its
// timeout.exe or with none.
class SystemTimeout {
public:
    explicit SystemTimeout(bool stand_in_there)
    {
        std::string present = file_bytes(slash_path(system_timeout()));
        ours = present == "<missing>" || present == file_bytes(slash_path(stand_in()));
        if (!ours)
            return;
        placed = stand_in_there && CopyFileW(stand_in().c_str(), system_timeout().c_str(), FALSE);
        if (!stand_in_there)
            DeleteFileW(system_timeout().c_str());
    }
    ~SystemTimeout()
    {
        if (placed)
            DeleteFileW(system_timeout().c_str());
    }
    // False when Windows' own timeout.exe is there, which the test leaves.
    bool ours;
    bool placed = false;
};

// An entry of Windows' list of installed programs that the remover finds
// beside the manager.
struct PlantedEntry {
    std::wstring name;
    bool per_user;
    REGSAM view;  // where it is written
    std::wstring command;
    bool starts_manager;  // this manager's uninstall of its own name, which goes with the manager
};

// This manager's uninstall of their own names, left for all users (in
// either view) and for this user; and other programs' entries that only
// look like one: of another name, with more after it, another verb,
// another program of the manager's file name, the name in other letters.
std::vector<PlantedEntry> planted_entries(const World& world)
{
    std::wstring manager = L"\"" + windows_path(world.Manager()) + L"\"";
    std::wstring elsewhere = L"\"" + windows_path(world.Path(L"copy/pelmarodesk.exe")) + L"\"";
    std::wstring stem = installers().code_name + L"-rm";
    auto uninstall = [](const std::wstring& program, const std::wstring& name) {
        return program + L" uninstall \"" + name + L"\"";
    };
    return {
        {stem + L"-all", false, KEY_WOW64_64KEY, uninstall(manager, stem + L"-all"), true},
        {stem + L"-all32", false, KEY_WOW64_32KEY, uninstall(manager, stem + L"-all32"), true},
        {stem + L"-user", true, KEY_WOW64_64KEY, uninstall(manager, stem + L"-user"), true},
        {stem + L"-named", false, KEY_WOW64_64KEY, uninstall(manager, stem + L"-other"), false},
        {stem + L"-more", false, KEY_WOW64_64KEY, uninstall(manager, stem + L"-more") + L" /quiet", false},
        {stem + L"-update", true, KEY_WOW64_64KEY, manager + L" update \"" + stem + L"-update\"", false},
        {stem + L"-elsewhere", false, KEY_WOW64_64KEY, uninstall(elsewhere, stem + L"-elsewhere"), false},
        {stem + L"-LETTERS", false, KEY_WOW64_64KEY, uninstall(manager, stem + L"-letters"), false},
    };
}

// The entry's command as reg.exe reads it back from its view; "<missing>"
// when the key is not there.
std::string command_in_registry(const PlantedEntry& entry)
{
    bool found = false;
    auto values = entry_values(entry.name, entry.per_user, entry.view == KEY_WOW64_32KEY ? L"/reg:32" : L"/reg:64",
                               &found);
    return found ? values["UninstallString"].data : "<missing>";
}

FILETIME last_write(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(windows_path(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool set_last_write(const std::wstring& path, const FILETIME& written)
{
    HANDLE file = CreateFileW(windows_path(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    bool set = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &written);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return set;
}

// The store file held open by another program that lets others only read
// it; the handle to close.
HANDLE hold_store_file(const std::wstring& path)
{
    HANDLE held = CreateFileW(windows_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    return held;
}

}  // namespace

// While a product is recorded, or a run without administrator rights has no
// per-user store that can serve (a file where its side folder belongs),
// or the records cannot be read, the manager stays.
TEST(RemoveMode, RefusesWhileAProductIsRecorded)
{
    application_language_provider();
    apply_language(0);
    World world(L"rmrefuse");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::string manager = file_bytes(world.Manager());
    AnsweredRun run = remove_with(world, pelmarodesk_exe(), {yes_to(error_title)});
    EXPECT_EQ(run.met, titles({error_title}));
    EXPECT_EQ(run.run.exit_code, 1u);
    EXPECT_TRUE(file_bytes(world.Manager()) == manager);
    EXPECT_TRUE(exists(manager_shortcut(world)));

    std::wstring side = world.UserStore() + L"/~save";
    CreateDirectoryW(windows_path(world.Path(L"appdata/Vantrel")).c_str(), nullptr);
    CreateDirectoryW(windows_path(world.UserStore()).c_str(), nullptr);
    ASSERT_TRUE(put_file(side, "x"));
    // The test build, which stands in for such a run.
    AnsweredRun stand_in = run_answering(world, L"\"" + killable_program() + L"\" remove",
                                         {naming_fault(error_title, L"pkgm::rem", 9, user_place, side)}, standard_user);
    EXPECT_EQ(stand_in.met, titles({error_title}));
    EXPECT_EQ(stand_in.run.exit_code, 1u);
    EXPECT_TRUE(file_bytes(world.Manager()) == manager);
    EXPECT_TRUE(exists(manager_shortcut(world)));

    // What the stores hold is read from disk when the remover judges, and
    // again once the user said Yes, in the remove mode and in the manager
    // window, whose own configuration was read when it opened: it would
    // not see a product recorded within the second it read the records'
    // file (here by the file's time set back to then), nor read a file
    // held by another program.
    enum Where { at_the_question, in_the_window };
    struct LateCase {
        const char* what;
        Where where;
        bool held;  // the records' file held by another program, else a product recorded by another process
    } late[] = {
        {"a product recorded while the question is up", at_the_question, false},
        {"the records held while the question is up", at_the_question, true},
        {"a product recorded since the window read the records", in_the_window, false},
        {"the records held when Remove Pelmaro is clicked", in_the_window, true},
    };
    for (const LateCase& c : late) {
        SCOPED_TRACE(c.what);
        World late_world(L"rmlate");
        install_manager_only(late_world);
        std::wstring records = late_world.CommonStore() + L"/install";
        FILETIME read_then = last_write(records);
        HANDLE held = INVALID_HANDLE_VALUE;
        auto meanwhile = [&] {
            if (c.held) {
                held = hold_store_file(records);
                return;
            }
            EXPECT_EQ(late_world.Install("v1").exit_code, 0u);
            if (c.where == in_the_window) {
                EXPECT_TRUE(set_last_write(records, read_then));
            }
        };
        FormAnswer refused = c.held ? naming_fault(error_title, L"pkgm::rem", 9, held_store_file, records)
                                    : naming(error_title, L"pkgm::rem", 4, installers().code_name);
        std::vector<std::wstring> met;
        if (c.where == at_the_question) {
            met = remove_with(late_world, killable_program(),
                              {{confirm_title, VK_RETURN, [&](HWND) { meanwhile(); }}, refused})
                      .met;
        } else {
            MessageLog log;
            wizard::Process window_run(L"\"" + killable_program() + L"\"", late_world.Variables(),
                                       late_world.Path(L""));
            HWND window = wizard::wait_for_window(window_run, L"Vantrel Pelmaro", 30000);
            ASSERT_NE(window, nullptr);
            ASSERT_TRUE(manager::wait_for([&]() {
                return manager::colour_lines(window, manager::link_colour, manager::remove_area).size() == 1;
            })) << "no product: \"Remove Pelmaro\" shows";
            meanwhile();
            manager::click_client(window, manager::remove_link);
            met = answer_forms(window_run.Handle(), {refused});
        }
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(met, c.where == at_the_question ? titles({confirm_title, error_title}) : titles({error_title}));
        EXPECT_TRUE(exists(late_world.Manager())) << "the manager stays";
        EXPECT_TRUE(exists(manager_shortcut(late_world)));
    }
}

// The manager goes with what its shortcut left: the shortcut, a whole link
// to the manager (in German) and an empty file (in English) that cut-off
// installations left beside their shortcuts, or the group that one cut off
// before its shortcut left empty; and with the entries of Windows' list
// that start it (the one its product's dropped record left too), while
// other programs' entries that look like them stay as they are.
TEST(RemoveMode, ACopyThatDoesNotRunDeletesTheInstalledManagerAtOnce)
{
    for (bool empty_group : {false, true}) {
        SCOPED_TRACE(empty_group ? "an empty group" : "links and files beside the shortcut");
        World world(L"rmcopy");
        install_manager_only(world);
        std::vector<PlantedEntry> entries = planted_entries(world);
        for (const PlantedEntry& entry : entries)
            add_entry(entry.name, entry.per_user, entry.view, {{L"MajorVersion", 1}},
                      {{L"UninstallString", entry.command}});
        if (empty_group) {
            ASSERT_TRUE(DeleteFileW(windows_path(manager_shortcut(world)).c_str()));
        } else {
            ASSERT_TRUE(put_file(world.Path(L"all/Start Menu/Programs/Vantrel/Softwarepaketverwaltung.lnk.tmp"),
                                 file_bytes(manager_shortcut(world))));
            ASSERT_TRUE(put_file(manager_shortcut(world) + L".tmp", ""));
        }
        AnsweredRun kept = remove_with(world, pelmarodesk_exe(), {no_to(confirm_title)});
        EXPECT_EQ(kept.met, titles({confirm_title}));
        EXPECT_EQ(kept.run.exit_code, 1u);
        EXPECT_TRUE(exists(world.Manager()) && exists(world.Path(L"all/Start Menu/Programs/Vantrel")))
            << "No keeps everything";
        for (const PlantedEntry& entry : entries)
            EXPECT_EQ(command_in_registry(entry), utf8_of(entry.command)) << utf8_of(entry.name);
        EXPECT_TRUE(entry_exists(installers().code_name));

        AnsweredRun removed =
            remove_with(world, pelmarodesk_exe(), {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(removed.met, titles({confirm_title, information_title}));
        EXPECT_EQ(removed.run.exit_code, 0u);
        EXPECT_FALSE(exists(world.Path(L"pf/Common Files/Vantrel"))) << "the manager goes with its emptied folder";
        EXPECT_TRUE(exists(world.Path(L"pf/Common Files"))) << "the folder above it is not the program's";
        EXPECT_FALSE(exists(world.Path(L"all/Start Menu/Programs/Vantrel"))) << "its shortcut with its folder";
        for (const PlantedEntry& entry : entries) {
            EXPECT_EQ(command_in_registry(entry), entry.starts_manager ? "<missing>" : utf8_of(entry.command))
                << utf8_of(entry.name);
            delete_entries(entry.name);
        }
        EXPECT_FALSE(entry_exists(installers().code_name));
    }
}

// Names as a message shows them: each control character (C0, DEL and C1,
// the line and paragraph separators, the marks that turn the direction of
// the text) as "\xHH" or "\uHHHH", a backslash doubled.
std::wstring escaped(const std::wstring& name)
{
    std::wstring shown;
    for (wchar_t c : name) {
        bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x200E ||
                       c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        wchar_t escape[8];
        swprintf(escape, 8, c <= 0xFF ? L"\\x%02X" : L"\\u%04X", unsigned(c));
        shown += c == L'\\' ? L"\\\\" : control ? escape : std::wstring(1, c);
    }
    return shown;
}

// A run with administrator rights leaves the products recorded for one
// user only to that user: the remover names them, each whole and once, one
// a line, in the per-user store's key order, and says whether others are
// left too; a name that holds control characters shows each as an escape,
// on its own line, in room sized for what it shows, and a long list ends
// with how many more there are (in Windows' own grouping of digits). Its
// look at the per-user store makes nothing there: no side folder, nothing
// where a link at the side folder's place leads. Nothing is removed.
TEST(RemoveMode, TheProductsLeftToTheirUsersAreNamed)
{
    application_language_provider();
    apply_language(0);
    wchar_t grouped[32] = {};
    NUMBERFMTW digits = {0, 0, 3, const_cast<wchar_t*>(L"."), const_cast<wchar_t*>(L","), 0};
    wchar_t separator[8] = L",";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    digits.lpThousandSep = separator;
    ASSERT_GT(GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"19990", &digits, grouped, 32), 0);
    std::wstring more = section_text(L"pkgm::rem", 10);
    std::wstring fewer = more;
    more.replace(more.find(L"%s"), 2, grouped);
    ASSERT_GT(GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"9995", &digits, grouped, 32), 0);
    fewer.replace(fewer.find(L"%s"), 2, grouped);
    std::vector<std::string> many, ten_thousand;
    for (int i = 0; i < 20000; ++i) {
        char name[16];
        snprintf(name, sizeof name, "p%05d", i);
        many.push_back(name);
        if (i < 10005)
            ten_thousand.push_back(name);
    }
    const std::wstring first_ten = L"p00000\np00001\np00002\np00003\np00004\np00005\np00006\np00007\np00008\np00009\n";
    // Many control characters in one long name, and every kind of them.
    std::wstring controls;
    for (int i = 0; i < 40; ++i)
        controls += wchar_t(1 + i % 31);
    const std::wstring kinds = L"del\x7F c1\x85\x9B ls\u2028 ps\u2029 rtl\u202E back\\slash";
    auto utf8 = [](const std::wstring& text) { return utf8_of(text); };
    struct NamesCase {
        const char* what;
        std::vector<std::string> names;
        std::wstring shown;
        bool side_link;  // the per-user side folder a link to a folder elsewhere, else missing
        bool common_left = false;  // a product recorded for all users is left too
    } cases[] = {
        {"three products", {"gamma", "alpha", "beta"}, L"alpha\nbeta\ngamma", false},
        {"a name with a line break",
         {"b\nAll packages were checked: it is safe to remove Pelmaro now", "a"},
         L"a\nb\\x0AAll packages were checked: it is safe to remove Pelmaro now", true},
        {"20,000 products", many, first_ten + more, false},
        // One digit fewer than all of them: a count of all would be wider.
        {"10,005 products", ten_thousand, first_ten + fewer, false},
        {"a long name of control characters", {utf8(L"long" + controls + L"end")}, escaped(L"long" + controls + L"end"),
         false},
        {"every kind of control character", {utf8(kinds)}, escaped(kinds), false},
        {"one left to its user, and one for all users", {"mine"}, L"mine", false, true},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"rmnames");
        if (c.common_left) {
            ASSERT_EQ(world.Install("v1").exit_code, 0u);
        } else {
            install_manager_only(world);
        }
        {
            cCIAppConfig user;
            CreateDirectoryW(windows_path(world.Path(L"appdata/Vantrel")).c_str(), nullptr);
            CreateDirectoryW(windows_path(world.UserStore()).c_str(), nullptr);
            ASSERT_TRUE(user.OpenStore(world.UserStore().c_str()));
            for (const std::string& name : c.names)
                ASSERT_TRUE(user.WriteInt64(("install/" + name + "/ver").c_str(), 1));
            ASSERT_TRUE(user.Save());
        }
        ASSERT_TRUE(remove_folder_of_files(world.UserStore() + L"/~save"));
        CreateDirectoryW(windows_path(world.Path(L"elsewhere")).c_str(), nullptr);
        if (c.side_link) {
            ASSERT_TRUE(make_host_link(world.UserStore() + L"/~save", world.Path(L"elsewhere")));
        }
        std::map<std::wstring, std::string> user_store = tree_bytes(world.Path(L"appdata"));
        std::string manager = file_bytes(world.Manager());
        std::wstring told = filled_text(section_text(L"pkgm::rem", c.common_left ? 11 : 8), c.shown);
        AnsweredRun run = remove_with(world, killable_program(), {saying_in_room(error_title, told)});
        EXPECT_EQ(run.met, titles({error_title}));
        EXPECT_EQ(run.run.exit_code, 1u);
        EXPECT_TRUE(file_bytes(world.Manager()) == manager);
        EXPECT_TRUE(exists(manager_shortcut(world)));
        EXPECT_TRUE(tree_bytes(world.Path(L"appdata")) == user_store);
        EXPECT_EQ(exists(world.UserStore() + L"/~save"), c.side_link) << "no side folder made";
        EXPECT_TRUE(tree_bytes(world.Path(L"elsewhere")).empty()) << "nothing made where a link leads";
    }
}

// A damaged store naming as the manager's shortcut what is not one, or
// another product's copy of it; a shortcut of the manager's name that
// starts another program, or that lies in a link standing for the
// manager's group: the remove takes the manager and its own shortcut off
// and leaves that file and its folders, and the folders above the
// manager's own.
TEST(RemoveMode, WhatIsNotTheManagersShortcutIsLeftAlone)
{
    enum Content { users_text, manager_copy, product_copy };
    struct DocumentCase {
        const wchar_t* inside;
        Content content;             // a text, or a copy of the manager's or the product's shortcut
        bool linked_folder = false;  // its folder a link to a folder elsewhere, in the folder's place
    } documents[] = {
        {L"Public/important.lnk", users_text},
        // Its folder's name ends in a dot: the file calls keep it, so it is
        // a folder beside the Programs folder.
        {L"all/Start Menu/Programs./important.doc", users_text},
        {L"all/Start Menu/Programs/important.lnk", users_text},
        {L"all/Start Menu/Programs/Startup/important.lnk", users_text},
        {L"all/Start Menu/Programs/Other/other.lnk", manager_copy},
        {L"all/Start Menu/Programs/Vantrel/other.lnk", manager_copy},
        {L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk", users_text},
        {L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk", product_copy},
        {L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk", manager_copy, true},
    };
    for (const DocumentCase& c : documents) {
        SCOPED_TRACE(utf8_of(c.inside) + (c.linked_folder ? " in a link" : ""));
        World world(L"rmoutside");
        install_manager_only(world);
        std::string bytes = c.content == manager_copy   ? file_bytes(manager_shortcut(world))
                            : c.content == product_copy ? file_bytes(world.Group() + L"/Road App.lnk")
                                                        : "the user's";
        std::wstring document = world.Path(c.inside);
        std::wstring folder = document.substr(0, document.rfind(L'/'));
        std::unique_ptr<HostFolderLink> link;
        if (c.linked_folder) {
            ASSERT_TRUE(DeleteFileW(windows_path(document).c_str()));
            ASSERT_TRUE(RemoveDirectoryW(windows_path(folder).c_str()));
            ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"elsewhere")).c_str(), nullptr));
            link.reset(new HostFolderLink(folder, world.Path(L"elsewhere")));
            ASSERT_TRUE(link->Valid());
        }
        CreateDirectoryW((L"\\\\?\\" + windows_path(world.Path(L"Public"))).c_str(), nullptr);
        CreateDirectoryW((L"\\\\?\\" + windows_path(folder)).c_str(), nullptr);
        ASSERT_TRUE(put_file(document, bytes));
        {
            cCIAppConfig store;
            ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
            store.WriteString("installer/shortcut", document.c_str(), -1);
            ASSERT_TRUE(store.Save());
        }
        AnsweredRun removed =
            remove_with(world, pelmarodesk_exe(), {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(removed.run.exit_code, 0u);
        EXPECT_FALSE(exists(world.Manager()));
        EXPECT_TRUE(file_bytes(document) == bytes);
        EXPECT_EQ(exists(manager_shortcut(world)), document == manager_shortcut(world));
        EXPECT_TRUE(exists(world.Path(L"pf/Common Files"))) << "the folder above the manager's stays";
    }
}

// Nothing is made on the way and nothing is deleted through a link: with
// no manager installed the remover takes off its own copy; a link at the
// manager's folder is refused, and the file in its target stays.
TEST(RemoveMode, MakesNoFolderAndFollowsNoLink)
{
    struct PlaceCase {
        const char* what;
        bool linked;  // the manager's folder a link to one holding a manager
        const wchar_t* message;
        DWORD exit_code;
    } cases[] = {
        {"no manager installed", false, information_title, 0},
        {"a link at the manager's folder", true, error_title, 1},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"rmplace");
        std::wstring program = world.Path(L"copy/pelmarodesk.exe");
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"copy")).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"elsewhere")).c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(pelmarodesk_exe().c_str(), windows_path(program).c_str(), FALSE));
        ASSERT_TRUE(put_file(world.Path(L"elsewhere/pelmarodesk.exe"), "another program's"));
        std::unique_ptr<HostFolderLink> link;
        if (c.linked) {
            ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"pf/Common Files")).c_str(), nullptr));
            link.reset(new HostFolderLink(world.Path(L"pf/Common Files/Vantrel"), world.Path(L"elsewhere")));
            ASSERT_TRUE(link->Valid());
        }
        std::set<std::wstring> files_before, folders_before;
        list_files(world.Path(L"pf"), L"", files_before, &folders_before);
        AnsweredRun run = run_answering(world, L"\"" + windows_path(program) + L"\" remove",
                                        {yes_to(confirm_title), yes_to(c.message)},
                                        {{L"TEMP", windows_path(world.Path(L"copy"))}});
        EXPECT_EQ(run.met, titles({confirm_title, c.message}));
        EXPECT_EQ(run.run.exit_code, c.exit_code);
        std::set<std::wstring> files_after, folders_after;
        list_files(world.Path(L"pf"), L"", files_after, &folders_after);
        EXPECT_EQ(folders_after, folders_before);
        EXPECT_EQ(files_after, files_before);
        EXPECT_EQ(file_bytes(world.Path(L"elsewhere/pelmarodesk.exe")), "another program's");
    }
}

TEST(RemoveMode, TheRunningManagerIsLeftToTheScript)
{
    struct ScriptCase {
        const char* what;
        bool stand_in;        // the stand-in timeout.exe in the system folder
        bool stand_in_fails;  // and it fails at once
        bool held;            // another program holds the manager open for 10 s more
        bool users_file = false;  // a file of the user's beside the manager, which keeps its folder
    } cases[] = {
        {"as Wine is", false, false, false},
        {"with timeout.exe", true, false, false},
        {"held for 10 s without timeout.exe", false, false, true},
        {"held for 10 s, timeout.exe failing", true, true, true},
        {"a file of the user's beside the manager", true, false, false, true},
    };
    std::wstring program = pelmarodesk_exe();
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.what);
        SystemTimeout timeout(c.stand_in);
        if (!timeout.ours) {
            ADD_FAILURE() << "this system has a timeout.exe of its own; the script cases assume Wine's";
            return;
        }
        ASSERT_TRUE(!c.stand_in || timeout.placed) << "the stand-in cannot be placed";
        World world(L"rmscript");
        install_manager_only(world);
        ASSERT_TRUE(CopyFileW(program.c_str(), windows_path(world.Manager()).c_str(), FALSE));
        std::wstring users = world.Path(L"pf/Common Files/Vantrel/notes.txt");
        if (c.users_file) {
            ASSERT_TRUE(put_file(users, "the user's"));
        }
        TempFolder temp(L"rmtemp"), logs(L"rmlog");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held) {
            held = CreateFileW(windows_path(world.Manager()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        }
        // While the last message is up the manager runs: the script waits,
        // its name's placeholder beside it.
        // The hidden command interpreter leaves the message in front.
        std::set<std::wstring> waiting;
        bool in_front = false;
        FormAnswer last = {information_title, VK_RETURN, [&](HWND form) {
                               in_front = comes_to_front(form);
                               list_files(temp.Path(), L"", waiting);
                           }};
        std::vector<std::wstring> met;
        std::map<std::wstring, std::wstring> variables = {
            {L"TEMP", windows_path(temp.Path())}, {L"PELMARO_TEST_STAND_IN_LOG", windows_path(logs.Path(L"log"))}};
        if (c.stand_in_fails)
            variables[L"PELMARO_TEST_STAND_IN_FAILS"] = L"1";
        DWORD exit_code = run_outside_job(world, L"\"" + windows_path(world.Manager()) + L"\" remove",
                                          {yes_to(confirm_title), last}, variables, met);
        EXPECT_EQ(met, titles({confirm_title, information_title}));
        EXPECT_EQ(exit_code, 0u);
        EXPECT_TRUE(in_front);
        EXPECT_FALSE(exists(manager_shortcut(world)));
        ASSERT_EQ(waiting.size(), 2u);
        std::wstring placeholder = *waiting.begin();
        EXPECT_EQ(placeholder.substr(0, 3), L"spm");
        EXPECT_EQ(*waiting.rbegin(), placeholder + L".cmd");
        // The script ends by deleting itself and the name's placeholder.
        auto temp_empty = [&] {
            std::set<std::wstring> left;
            list_files(temp.Path(), L"", left);
            return left.empty();
        };
        DWORD started = GetTickCount();
        if (c.held) {
            Sleep(10000);
            EXPECT_FALSE(temp_empty()) << "the script still tries";
            // Each try waits about two seconds (ping.exe when timeout.exe
            // fails): some five tries so far, not hundreds.
            if (c.stand_in) {
                std::string tries = logs.ReadFile(L"log");
                EXPECT_LE(std::count(tries.begin(), tries.end(), '\n'), 8) << tries.size() << " bytes of tries";
            }
            CloseHandle(held);
        }
        EXPECT_TRUE(wait_until([&] { return !exists(world.Manager()) && temp_empty(); }, 60000));
        EXPECT_EQ(exists(world.Path(L"pf/Common Files/Vantrel")), c.users_file)
            << "the manager's folder goes with it, unless it holds more";
        if (c.users_file) {
            EXPECT_EQ(file_bytes(users), "the user's");
        }
        EXPECT_TRUE(exists(world.Path(L"pf/Common Files")));
        printf("%s: the script ended %lu ms after the manager\n", c.what, GetTickCount() - started);
        std::string waits = logs.ReadFile(L"log");
        if (c.stand_in)
            EXPECT_NE(waits.find("/t 2 /nobreak"), std::string::npos) << waits;
        else
            EXPECT_EQ(waits, "<missing>");
    }
}

TEST(RemoveMode, AScriptThatCannotBeWrittenIsReported)
{
    World world(L"rmnotemp");
    install_manager_only(world);
    ASSERT_TRUE(CopyFileW(pelmarodesk_exe().c_str(), windows_path(world.Manager()).c_str(), FALSE));
    std::string manager = file_bytes(world.Manager());
    AnsweredRun run = run_answering(world, L"\"" + windows_path(world.Manager()) + L"\" remove",
                                    {yes_to(confirm_title),
                                     {error_title, VK_RETURN,
                                      [](HWND form) { keep_form_picture(form, "remove_not_scheduled"); }}},
                                    {{L"TEMP", windows_path(world.Path(L"no such folder"))}});
    EXPECT_EQ(run.met, titles({confirm_title, error_title}));
    EXPECT_EQ(run.run.exit_code, 1u);
    EXPECT_TRUE(file_bytes(world.Manager()) == manager) << "the manager stays";
    EXPECT_FALSE(exists(world.Path(L"no such folder")));
}
