#ifndef TESTS_TOOLS_INSTALL_ROAD_FIXTURE_H
#define TESTS_TOOLS_INSTALL_ROAD_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tests/tools/install/install_test_support.h"
#include "tests/tools/install/qrvc_reader.h"

// The install road end to end: installers made by install_runner (a test
// build of the program, tests/tools/install/install_runner.cpp) in its make
// mode from the products of install_payloads.py, run as processes of their
// own in a world of folders that each case gets fresh (program files,
// application data, common data, Start menu, the install folder).

namespace road {

inline std::string file_bytes(const std::wstring& path)
{
    HANDLE file = CreateFileW((L"\\\\?\\" + windows_path(path)).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

inline bool put_file(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW((L"\\\\?\\" + windows_path(path)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline bool exists(const std::wstring& path)
{
    return GetFileAttributesW((L"\\\\?\\" + windows_path(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file under folder, as paths relative to it ('/'); the folders
// under it too, by full path, when asked for.
inline void list_files(const std::wstring& folder, const std::wstring& prefix, std::set<std::wstring>& out,
                       std::set<std::wstring>* folders = nullptr)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((L"\\\\?\\" + windows_path(folder) + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (folders)
                folders->insert(folder + L"/" + name);
            list_files(folder + L"/" + name, prefix + name + L"/", out, folders);
        } else
            out.insert(prefix + name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

// Empties a folder of plain files (a store's side folder) and removes it;
// true once it is gone.
inline bool remove_folder_of_files(const std::wstring& folder)
{
    std::set<std::wstring> files;
    list_files(folder, L"", files);
    for (const std::wstring& file : files)
        DeleteFileW(windows_path(folder + L"/" + file).c_str());
    return RemoveDirectoryW(windows_path(folder).c_str()) != 0;
}

// Every file under folder with its bytes, by path relative to it.
inline std::map<std::wstring, std::string> tree_bytes(const std::wstring& folder)
{
    std::set<std::wstring> files;
    list_files(folder, L"", files);
    std::map<std::wstring, std::string> tree;
    for (const std::wstring& file : files)
        tree[file] = file_bytes(folder + L"/" + file);
    return tree;
}

// A product's installed files: target -> source, from install_payloads.py.
inline std::map<std::wstring, std::wstring> product_files(const char* product)
{
    std::map<std::wstring, std::wstring> files;
    std::istringstream lines(read_test_data((std::string("road/") + product + ".files").c_str()));
    for (std::string line; std::getline(lines, line);) {
        size_t tab = line.find('\t');
        if (tab != std::string::npos)
            files[wide_of(line.substr(0, tab))] = wide_of(line.substr(tab + 1));
    }
    return files;
}

inline std::wstring road_folder()
{
    return slash_path(wide_of(test_data_path("road")));
}

// A package that package_fixtures.py wrote beside the package tests, as a
// full path: the long-path form that file calls use takes ".." literally.
inline std::wstring crafted_package(const char* name)
{
    std::wstring relative = wide_of(test_data_path((std::string("..\\package\\") + name).c_str()));
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
    return slash_path(std::wstring(full, length < MAX_PATH ? length : 0));
}

// Writes an entry as another program would, in one view (KEY_WOW64_64KEY
// or KEY_WOW64_32KEY): DWORD values, then texts.
inline void add_entry(const std::wstring& code, bool per_user, REGSAM view,
                      const std::map<std::wstring, DWORD>& numbers,
                      const std::map<std::wstring, std::wstring>& texts = {})
{
    std::wstring path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    HKEY key = nullptr;
    if (RegCreateKeyExW(per_user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                        KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot write the entry " << utf8_of(code);
        return;
    }
    for (const auto& number : numbers)
        RegSetValueExW(key, number.first.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number.second), 4);
    for (const auto& text : texts)
        RegSetValueExW(key, text.first.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.second.c_str()),
                       DWORD((text.second.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

inline void delete_entries(const std::wstring& code)
{
    std::wstring path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
            RegDeleteKeyExW(root, path.c_str(), view, 0);
}

// The variables of a run: none beyond the world's, or those that make the
// test builds stand in for a run without administrator rights.
const std::map<std::wstring, std::wstring> no_variables;
const std::map<std::wstring, std::wstring> standard_user = {{L"PELMARO_TEST_STANDARD_USER", L"1"}};

// The path of install_runner's first line that begins with mark, in
// internal form; empty when the output has none.
inline std::wstring path_after(const std::string& output, const std::string& mark)
{
    size_t at = output.find(mark);
    if (at == std::string::npos)
        return L"";
    std::string named = output.substr(at + mark.size());
    return slash_path(wide_of(named.substr(0, named.find_first_of("\r\n"))));
}

// The path the start-up's refusal with that code names, as install_runner
// reports it ("init <code> 0 <path>").
inline std::wstring init_error_path(const std::string& output, int code)
{
    return path_after(output, "init " + std::to_string(code) + " 0 ");
}

// The path the job's outcome names, as install_runner reports it ("job
// <result> <status> <path>").
inline std::wstring job_error_path(const std::string& output, int result, int status)
{
    return path_after(output, "job " + std::to_string(result) + " " + std::to_string(status) + " ");
}

inline std::wstring runner_path()
{
    return slash_path(wide_of(test_data_path("install_runner.exe")));
}

// The code name of the products of this test process, so that processes
// running at once meet nowhere.
inline std::wstring road_code_name()
{
    return L"roadtest" + std::to_wstring(GetCurrentProcessId());
}

// The installers of one test process, each product made by one program's
// make mode (install_runner's by default) under the process's code name.
class Installers {
public:
    explicit Installers(const std::wstring& maker_path = runner_path(), const wchar_t* tag = L"installers")
        : code_name(road_code_name()), maker(maker_path), made_folder(tag)
    {
    }

    // Makes the product's installer (once); its path.
    std::wstring Get(const char* product)
    {
        std::wstring target = made_folder.Path(wide_of(product) + L"-setup.exe");
        if (!exists(target) && Make(product, target) != 0)
            ADD_FAILURE() << "make " << product << ": " << log;
        return target;
    }
    // make's exit code for the product, written to target.
    DWORD Make(const char* product, const std::wstring& target)
    {
        std::string scenario = read_test_data((std::string("road/") + product + ".scn.in").c_str());
        std::string code = utf8_of(code_name);
        std::string capitals = code;
        std::transform(capitals.begin(), capitals.end(), capitals.begin(), [](char c) { return char(toupper(c)); });
        for (size_t at; (at = scenario.find("@CODENAME_CAPITALS@")) != std::string::npos;)
            scenario.replace(at, 19, capitals);
        for (size_t at; (at = scenario.find("@CODENAME@")) != std::string::npos;)
            scenario.replace(at, 10, code);
        std::wstring name = wide_of(product) + L"-" + code_name + L".scn";
        put_file(road_folder() + L"/" + name, scenario);
        RunResult made = run_process(L"\"" + windows_path(maker) + L"\" make ./" + name + L" \"" +
                                         windows_path(target) + L"\"",
                                     {}, road_folder());
        log = made.output + file_bytes(road_folder() + L"/" + name + L".log");
        DeleteFileW(windows_path(road_folder() + L"/" + name).c_str());
        DeleteFileW(windows_path(road_folder() + L"/" + name + L".log").c_str());
        return made.exit_code;
    }

    const std::wstring code_name;
    std::string log;  // of the last make

private:
    std::wstring maker;
    TempFolder made_folder;
};

inline Installers& installers()
{
    static Installers* all = new Installers;
    return *all;
}

// One installation history: a fresh world of system folders, and the
// product's code name cleared from the registry before and after. The
// products it installs come from installers(); Install runs one by itself
// (install_runner plays the wizard's part).
class World {
public:
    explicit World(const wchar_t* tag) : root(tag)
    {
        for (const wchar_t* folder : {L"pf", L"appdata", L"programdata", L"profile", L"all", L"all/Start Menu",
                                      L"all/Start Menu/Programs"})
            CreateDirectoryW(root.Native(folder).c_str(), nullptr);
        ClearEntries();
    }
    ~World() { ClearEntries(); }

    std::wstring Path(const std::wstring& inside) const { return root.Path(inside); }
    std::wstring App(const std::wstring& inside = L"") const { return Path(inside.empty() ? L"app" : L"app/" + inside); }
    std::wstring Manager() const { return Path(L"pf/Common Files/Vantrel/pelmarodesk.exe"); }
    std::wstring CommonStore() const { return Path(L"programdata/Vantrel/qrv"); }
    std::wstring UserStore() const { return Path(L"appdata/Vantrel/qrv"); }
    std::wstring Group() const { return Path(L"all/Start Menu/Programs/Road Test"); }
    std::wstring ManagerGroup() const { return Path(L"all/Start Menu/Programs/Vantrel"); }
    std::wstring ManagerShortcut() const { return ManagerGroup() + L"/Software Packages management.lnk"; }

    std::map<std::wstring, std::wstring> Variables() const
    {
        return {{L"ProgramW6432", windows_path(Path(L"pf"))},
                {L"ProgramFiles", windows_path(Path(L"pf"))},
                {L"APPDATA", windows_path(Path(L"appdata"))},
                {L"ProgramData", windows_path(Path(L"programdata"))},
                {L"ALLUSERSPROFILE", windows_path(Path(L"all"))},
                {L"USERPROFILE", windows_path(Path(L"profile"))},
                {L"PELMARO_TEST_FOLDER", windows_path(App())}};
    }

    // beside: as run_process's.
    RunResult Install(const char* product, std::map<std::wstring, std::wstring> extra = {}, int kill_after_ms = -1,
                      const std::function<void(HANDLE)>& beside = nullptr)
    {
        std::map<std::wstring, std::wstring> variables = Variables();
        for (const auto& variable : extra)
            variables[variable.first] = variable.second;
        return run_process(L"\"" + windows_path(installers().Get(product)) + L"\"", variables, Path(L""),
                           kill_after_ms, beside);
    }

    // The record's values from the store file of the common (or per-user)
    // store, by key below "install/<code name>/".
    std::map<std::string, std::string> Record(bool common = true) const { return Values(common, "install"); }
    // The folder journal's, below "journal/<code name>/".
    std::map<std::string, std::string> Journal(bool common) const { return Values(common, "journal"); }

    // The entry's values in the 64-bit view; found tells whether it is there.
    std::map<std::string, RegValue> Entry(bool per_user, bool* found) const
    {
        return reg_query(std::wstring(per_user ? L"HKCU" : L"HKLM") +
                             L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + road_code_name(),
                         L"/reg:64", found);
    }

private:
    std::map<std::string, std::string> Values(bool common, const std::string& root) const
    {
        QrvcFile file = read_qrvc(file_bytes((common ? CommonStore() : UserStore()) + L"/" + wide_of(root)), root);
        std::map<std::string, std::string> values;
        std::string prefix = root + "/" + utf8_of(road_code_name()) + "/";
        for (const auto& value : file.values)
            if (value.first.compare(0, prefix.size(), prefix) == 0)
                values[value.first.substr(prefix.size())] = value.second;
        return values;
    }

    void ClearEntries()
    {
        std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + road_code_name();
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), KEY_WOW64_64KEY, 0);
        RegDeleteKeyExW(HKEY_CURRENT_USER, key.c_str(), KEY_WOW64_64KEY, 0);
    }

    TempFolder root;
};

// The product is installed in the world exactly: every file with its
// content and nothing else in the install folder (no ".tmp", no ".bkp"),
// the record in the common store (or the per-user one) naming these files
// and the product's version, the entry of the same scope, and the manager
// the bare program that made the installer.
inline void expect_installed(const World& world, const char* product, const char* version, bool all_users = true,
                             const std::wstring& bare_program = runner_path())
{
    std::map<std::wstring, std::wstring> files = product_files(product);
    std::set<std::wstring> present;
    list_files(world.App(), L"", present);
    std::set<std::wstring> expected;
    for (const auto& file : files) {
        expected.insert(file.first);
        EXPECT_TRUE(file_bytes(world.App(file.first)) == file_bytes(road_folder() + L"/" + file.second))
            << utf8_of(file.first);
    }
    EXPECT_EQ(present, expected) << product;
    std::set<std::wstring> near_manager;
    list_files(world.Path(L"pf"), L"", near_manager);
    EXPECT_EQ(near_manager, std::set<std::wstring>{L"Common Files/Vantrel/pelmarodesk.exe"});
    EXPECT_TRUE(file_bytes(world.Manager()) == file_bytes(bare_program)) << "the manager is the bare program";
    std::set<std::wstring> manager_group;
    list_files(world.ManagerGroup(), L"", manager_group);
    EXPECT_EQ(manager_group, std::set<std::wstring>{L"Software Packages management.lnk"})
        << "the manager's shortcut in the installing language, and nothing beside it";

    std::map<std::string, std::string> record = world.Record(all_users);
    EXPECT_EQ(le_value(record["files"]), files.size());
    std::set<std::wstring> recorded;
    for (size_t i = 0; i < files.size(); ++i)
        recorded.insert(slash_path(wide_of(record["file" + std::to_string(i)])));
    std::set<std::wstring> installed;
    for (const auto& file : files)
        installed.insert(world.App(file.first));
    EXPECT_EQ(recorded, installed);
    bool found = false;
    auto entry = world.Entry(!all_users, &found);
    EXPECT_TRUE(found) << "entry";
    EXPECT_EQ(entry["DisplayVersion"].data, version);
    world.Entry(all_users, &found);
    EXPECT_FALSE(found) << "no entry of the other scope";
    for (uint64_t i = 0; i < le_value(record["shortc"]); ++i)
        EXPECT_TRUE(exists(slash_path(wide_of(record["shortc" + std::to_string(i)])))) << "shortcut " << i;
    for (bool common : {true, false})
        EXPECT_TRUE(world.Journal(common).empty()) << "the folder journal went with the record's save";
}

enum Content { missing, old_content, new_content, other_content };

inline Content content_of(const std::wstring& path, const std::string& old_bytes, const std::string& new_bytes)
{
    std::string bytes = file_bytes(path);
    if (bytes == "<missing>" && !exists(path))
        return missing;
    if (!old_bytes.empty() && bytes == old_bytes)
        return old_content;
    return !new_bytes.empty() && bytes == new_bytes ? new_content : other_content;
}

// The state a kill may leave, for the update from old_product (null for a
// first installation) to new_product: every target holds its old or its
// new content, or its old content sits in its ".bkp", and the manager keeps
// a shortcut. After several killed runs a backup may also hold the new
// content that an earlier run put in place (after_kills).
inline void expect_consistent(const World& world, const char* old_product, const char* new_product,
                              bool after_kills = false)
{
    std::map<std::wstring, std::wstring> old_files, new_files = product_files(new_product);
    if (old_product)
        old_files = product_files(old_product);
    std::set<std::wstring> paths;
    for (const auto& file : old_files)
        paths.insert(file.first);
    for (const auto& file : new_files)
        paths.insert(file.first);
    for (const std::wstring& path : paths) {
        std::string old_bytes = old_files.count(path) ? file_bytes(road_folder() + L"/" + old_files[path]) : "";
        std::string new_bytes = new_files.count(path) ? file_bytes(road_folder() + L"/" + new_files[path]) : "";
        Content target = content_of(world.App(path), old_bytes, new_bytes);
        Content backup = content_of(world.App(path + L".bkp"), old_bytes, after_kills ? new_bytes : "");
        EXPECT_NE(backup, other_content) << utf8_of(path) << ": a backup holds an earlier content";
        EXPECT_NE(target, other_content) << utf8_of(path);
        if (target == missing && !old_bytes.empty() && new_files.count(path)) {
            EXPECT_NE(backup, missing) << utf8_of(path) << ": gone, and its content not kept";
        }
    }
    if (old_product) {
        std::set<std::wstring> shortcuts;
        list_files(world.ManagerGroup(), L"", shortcuts);
        EXPECT_TRUE(std::any_of(shortcuts.begin(), shortcuts.end(), [](const std::wstring& name) {
            return name.size() > 4 && name.substr(name.size() - 4) == L".lnk";
        })) << "the manager's shortcut is lost";
    }
}

}  // namespace road

#endif
