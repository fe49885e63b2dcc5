#include "tools/install/install_record.h"

#include <gtest/gtest.h>
#include <time.h>
#include <windows.h>

#include <string>

#include "base/ci_app_config.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/install/install_test_support.h"
#include "tests/tools/install/qrvc_reader.h"
#include "tools/install/install_context.h"

namespace {

void add_run(cPackage& package, const wchar_t* name_key, const wchar_t* path, const wchar_t* arguments_key)
{
    cPackageRunEntry* run = list_append(package.runs);
    run->name_key.Assign(name_key);
    run->folder_key.Assign(L"pgm");
    run->path.Assign(path);
    run->arguments_key.Assign(arguments_key);
}

void add_item(cInstallContext& context, const wchar_t* target, uint8_t third_digit, uint8_t digest_byte = 0)
{
    cInstallItem* item = list_append(context.file_list);
    item->target_path.Assign(target);
    item->access[2] = third_digit;
    for (uint8_t i = 0; i < 32; ++i)
        item->digest[i] = uint8_t(digest_byte + i);
}

}  // namespace

TEST(InstallRecord, TheStoreFileHoldsEveryKeyOfTheRecord)
{
    struct RecordCase {
        const char* name;
        bool runs;
        bool folders_known;  // the earlier record listed the folders it made
        bool own_group;      // the shortcuts went to a group of the product's; else the Programs folder
    };
    const RecordCase cases[] = {
        {"with finish-page entries", true, true, true},
        {"without finish-page entries or group, after a record without made folders", false, false, false}};
    for (const RecordCase& c : cases) {
        TempFolder folder(L"record");
        // The Start menu's Programs folder in the test's own folder.
        RedirectedEnv env;
        env.SetPath(L"ALLUSERSPROFILE", folder.Path(L"all"));
        for (const wchar_t* inside : {L"all", L"all/Start Menu", L"all/Start Menu/Programs"})
            ASSERT_TRUE(CreateDirectoryW(folder.Native(inside).c_str(), nullptr));
        std::wstring programs = folder.Path(L"all/Start Menu/Programs");
        cCIAppConfig store;
        ASSERT_TRUE(CreateDirectoryW(folder.Native(L"store").c_str(), nullptr));
        ASSERT_TRUE(store.OpenStore(folder.Path(L"store").c_str()));
        cInstallContext context(L"C:/setup.exe", L"C:/setup.exe", 0);
        fill_sample_package(context.package, L"s\u00e4mple", L"C:/Program Files/S\u00e4mple");
        context.package.current_language = 3;
        if (c.runs) {
            set_package_string(context.package.strings, L"run0", L"Start it");
            set_package_string(context.package.strings, L"blank", L"");
            set_package_string(context.package.strings, L"args", L"-a");
            add_run(context.package, L"run0", L"app.exe", L"");
            add_run(context.package, L"blank", L"other.exe", L"");  // no name: left out, no gap
            add_run(context.package, L"run0", L"tool.exe", L"args");
            // Names of the entries in two more languages; a third has an
            // empty one and no name of its own goes to the record.
            set_package_string(*tree_get_or_add(context.package.language_strings, 1), L"run0", L"\u0417\u0430\u043f\u0443\u0441\u0442\u0438\u0442\u044c");
            set_package_string(*tree_get_or_add(context.package.language_strings, 2), L"run0", L"Starten");
            set_package_string(*tree_get_or_add(context.package.language_strings, 4), L"run0", L"");
        }
        add_item(context, L"C:/Program Files/S\u00e4mple/app.exe", 0);
        add_item(context, L"C:/Program Files/S\u00e4mple/same.dll", install_item_skipped);
        // Outside the install folder: its digest goes with it.
        add_item(context, L"C:/Shared/S\u00e4mple/notes.txt", 0, 0xA0);
        std::wstring group = c.own_group ? programs + L"/S\u00e4mple" : programs;
        list_append(context.created_shortcuts)->Assign((group + L"/App.lnk").c_str());
        context.shortcut_folder.Assign(group.c_str());
        // An earlier installation made the install folder, this one a
        // folder inside and, spelled otherwise, the install folder again.
        context.earlier_folders_known = c.folders_known;
        if (c.folders_known)
            list_append(context.earlier_folders)->Assign(L"C:/Program Files/S\u00e4mple");
        list_append(context.made_folders)->Assign(L"C:/Program Files/S\u00e4mple/bin");
        list_append(context.made_folders)->Assign(L"c:\\program files\\S\u00c4MPLE\\");

        uint32_t before = uint32_t(time(nullptr));
        write_install_record(store, context, "install/s\xc3\xa4mple");
        ASSERT_TRUE(store.Save());
        uint32_t after = uint32_t(time(nullptr));

        QrvcFile record = read_qrvc(folder.ReadFile(L"store/install"), "install");
        QrvcFile language = read_qrvc(folder.ReadFile(L"store/lang"), "lang");
        ASSERT_TRUE(record.ok && language.ok) << c.name;
        std::string key = "install/s\xc3\xa4mple/";
        std::map<std::string, std::string> expected = {
            {key + "ver", le_bytes(2ull << 48 | 5ull << 32 | 7, 8)},
            {key + "lang", le_bytes(3, 2)},
            {key + "path", utf8_of(L"C:/Program Files/S\u00e4mple")},
            {key + "name", "Sample App"},
            {key + "updates", "http://example.org/updates"},
            {key + "support", "http://example.org/support"},
            {key + "publisher", "http://example.org/"},
            {key + "icon", utf8_of(L"C:/Program Files/S\u00e4mple/bin/app.ico")},
            {key + "files", le_bytes(3, 4)},
            {key + "file0", utf8_of(L"C:/Program Files/S\u00e4mple/app.exe")},
            {key + "file1", utf8_of(L"C:/Program Files/S\u00e4mple/same.dll")},
            {key + "file2", utf8_of(L"C:/Shared/S\u00e4mple/notes.txt")},
            {key + "hash2", std::string()},
            {key + "shortc", le_bytes(1, 4)},
            {key + "shortc0", utf8_of(group + L"/App.lnk")},
        };
        for (int i = 0; i < 32; ++i)
            expected[key + "hash2"].push_back(char(0xA0 + i));
        // Never the Programs folder itself.
        if (c.own_group)
            expected[key + "group"] = utf8_of(group);
        if (c.folders_known) {
            expected[key + "folders"] = le_bytes(2, 4);
            expected[key + "folder0"] = utf8_of(L"C:/Program Files/S\u00e4mple");
            expected[key + "folder1"] = utf8_of(L"C:/Program Files/S\u00e4mple/bin");
        }
        if (c.runs) {
            expected[key + "cplns0"] = "Start it";
            expected[key + "cplcs0"] = utf8_of(L"C:/Program Files/S\u00e4mple/app.exe");
            expected[key + "cplns1"] = "Start it";
            expected[key + "cplcs1"] = utf8_of(L"\"C:/Program Files/S\u00e4mple/tool.exe\" -a");
            for (const char* entry : {"cplns0.", "cplns1."}) {
                expected[key + entry + "1"] = utf8_of(L"\u0417\u0430\u043f\u0443\u0441\u0442\u0438\u0442\u044c");
                expected[key + entry + "2"] = "Starten";
            }
        }
        // Every node on the way to a value is listed with an empty value.
        for (const auto& value : record.values) {
            if (value.first == "install/s\xc3\xa4mple" || value.first == key + "utime")
                continue;
            EXPECT_EQ(expected.count(value.first), 1u) << c.name << ": unexpected " << value.first;
        }
        for (const auto& value : expected)
            EXPECT_EQ(record.values[value.first], value.second) << c.name << ": " << value.first;
        uint64_t stamp = le_value(record.values[key + "utime"]);
        EXPECT_EQ(record.values[key + "utime"].size(), 4u);
        EXPECT_TRUE(stamp >= before && stamp <= after) << stamp;
        EXPECT_EQ(language.values["lang/current"], le_bytes(3, 2));
    }
}
