#ifndef TESTS_TOOLS_INSTALL_UNINSTALL_FIXTURE_H
#define TESTS_TOOLS_INSTALL_UNINSTALL_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/artifacts.h"
#include "tests/support/form_driver.h"
#include "tests/support/message_form_size.h"
#include "tests/support/message_log.h"
#include "tests/support/pelmarodesk_exe.h"
#include "tests/tools/install/road_fixture.h"
#include "tools/shell/catalog_text.h"

// The uninstall road end to end: products installed in a world of folders
// (road_fixture.h) taken off again by the program in its "uninstall" and
// "remove" modes, its forms answered with real key presses.

namespace road {

// The code name of the product "other" (install_payloads.py).
inline std::wstring other_code()
{
    return installers().code_name + L"-other";
}

inline std::wstring entry_key(const std::wstring& code, bool per_user)
{
    return std::wstring(per_user ? L"HKCU" : L"HKLM") + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
           code;
}

// The entry's values in one hive and view ("/reg:64" or "/reg:32");
// found tells whether the key is there.
inline std::map<std::string, RegValue> entry_values(const std::wstring& code, bool per_user, const wchar_t* view,
                                                    bool* found)
{
    return reg_query(entry_key(code, per_user), view, found);
}

// Whether the entry is there for all users in the 64-bit view, where the
// program and other installers write it.
inline bool entry_exists(const std::wstring& code)
{
    bool found = false;
    entry_values(code, false, L"/reg:64", &found);
    return found;
}

// What a product is in the world: the files of its install folder and
// Start-menu folder, its record in both stores and its entries in both
// hives and views. Equal snapshots: the product is exactly as it was.
struct ProductSnapshot {
    std::map<std::wstring, std::string> files;
    std::map<std::wstring, std::string> shortcuts;
    std::map<std::string, std::string> record;
    std::map<std::string, std::string> entries;

    bool operator==(const ProductSnapshot& other) const
    {
        return files == other.files && shortcuts == other.shortcuts && record == other.record &&
               entries == other.entries;
    }
};

inline ProductSnapshot snapshot_of(const World& world, const std::wstring& code, const std::wstring& folder,
                                   const std::wstring& group)
{
    ProductSnapshot snapshot;
    snapshot.files = tree_bytes(folder);
    snapshot.shortcuts = tree_bytes(group);
    std::string prefix = "install/" + utf8_of(code) + "/";
    for (bool common : {true, false}) {
        QrvcFile file = read_qrvc(file_bytes((common ? world.CommonStore() : world.UserStore()) + L"/install"), "install");
        for (const auto& value : file.values)
            if (value.first.compare(0, prefix.size(), prefix) == 0)
                snapshot.record[(common ? "common " : "user ") + value.first] = value.second;
    }
    for (bool per_user : {false, true})
        for (const wchar_t* view : {L"/reg:64", L"/reg:32"}) {
            bool found = false;
            for (const auto& value : entry_values(code, per_user, view, &found))
                snapshot.entries[utf8_of(std::wstring(per_user ? L"HKCU" : L"HKLM") + view) + " " + value.first] =
                    value.second.type + " " + value.second.data;
        }
    return snapshot;
}

// v1 installed in the world, and "other" beside it.
inline ProductSnapshot other_snapshot(const World& world)
{
    return snapshot_of(world, other_code(), world.Path(L"otherapp"), world.Path(L"all/Start Menu/Programs/Other Test"));
}

inline ProductSnapshot v1_snapshot(const World& world)
{
    return snapshot_of(world, installers().code_name, world.App(), world.Group());
}

inline void install_other(World& world)
{
    RunResult other = world.Install("other", {{L"PELMARO_TEST_FOLDER", windows_path(world.Path(L"otherapp"))}});
    ASSERT_EQ(other.exit_code, 0u) << other.output;
}

// The product of that code is gone from the world: its install folder and
// Start-menu folder with everything in them, no ".bkp" or ".tmp" left
// anywhere, no record (nor, for the world's product, a journal) in either
// store, no entry in either hive or view.
inline void expect_uninstalled(const World& world, const std::wstring& code, const std::wstring& folder,
                               const std::wstring& group)
{
    EXPECT_FALSE(exists(folder)) << "the install folder is pruned";
    EXPECT_FALSE(exists(group)) << "the shortcuts and their folder are gone";
    std::set<std::wstring> everything;
    list_files(world.Path(L""), L"", everything);
    for (const std::wstring& file : everything) {
        std::wstring end = file.size() > 4 ? file.substr(file.size() - 4) : file;
        EXPECT_TRUE(end != L".bkp" && end != L".tmp") << utf8_of(file);
    }
    ProductSnapshot left = snapshot_of(world, code, folder, group);
    EXPECT_TRUE(left.record.empty()) << "record left: " << left.record.size() << " values";
    if (code == installers().code_name) {
        for (bool common : {true, false})
            EXPECT_TRUE(world.Journal(common).empty()) << "a journal left";
    }
    for (const auto& value : left.entries)
        ADD_FAILURE() << "entry left: " << value.first;
}

inline void expect_v1_uninstalled(const World& world)
{
    expect_uninstalled(world, installers().code_name, world.App(), world.Group());
}

// A run of a program in the world whose forms are answered as they come.
struct AnsweredRun {
    RunResult run;
    std::vector<std::wstring> met;  // the titles of the forms met (form_driver.h)
};

inline AnsweredRun run_answering(const World& world, const std::wstring& command,
                                 const std::vector<FormAnswer>& answers,
                                 const std::map<std::wstring, std::wstring>& extra = {})
{
    std::map<std::wstring, std::wstring> variables = world.Variables();
    for (const auto& variable : extra)
        variables[variable.first] = variable.second;
    AnsweredRun result;
    // Where its forms' answers read the words of its messages (saying).
    MessageLog log;
    result.run = run_process(command, variables, world.Path(L""), -1, [&](HANDLE process) {
        result.met = answer_forms(process, answers);
        // A form that did not come leaves the process waiting on another:
        // the test fails on what it met instead of hanging.
        if (!answers.empty() && (result.met.size() < answers.size() || result.met.back() != answers.back().title))
            TerminateProcess(process, 99);
    });
    return result;
}

// The test build of the program with its kill points (the uninstall road's).
inline std::wstring killable_program()
{
    return wide_of(test_data_path("pelmarodesk_killable.exe"));
}

// "<program> uninstall <code>" in the world.
inline AnsweredRun uninstall_in(const World& world, const std::wstring& code, const std::vector<FormAnswer>& answers,
                                const std::map<std::wstring, std::wstring>& extra = {},
                                const std::wstring& program = pelmarodesk_exe())
{
    return run_answering(world, L"\"" + program + L"\" uninstall \"" + code + L"\"", answers, extra);
}

// Keeps a picture of the screen around the form, as it shows now, in the
// artifacts folder as <name>.png.
inline void keep_form_picture(HWND form, const char* name)
{
    // A form takes input before the screen shows all of it.
    Sleep(500);
    RECT frame;
    if (!GetWindowRect(form, &frame))
        return;
    int x = frame.left - 60, y = frame.top - 60, w = frame.right - frame.left + 120, h = frame.bottom - frame.top + 120;
    std::vector<uint32_t> pixels = window_pixels(nullptr, x, y, w, h);
    for (uint32_t& pixel : pixels)
        pixel = (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
    std::string png = png_of(w, h, pixels);
    keep_artifact((std::string(name) + ".png").c_str(), png.data(), png.size());
}

// Form titles of the uninstall and its answers.
const wchar_t* const confirm_title = L"Confirm";
const wchar_t* const information_title = L"Information";
const wchar_t* const error_title = L"Error";
const wchar_t* const language_title = L"";

inline FormAnswer yes_to(const wchar_t* title)
{
    return {title, VK_RETURN, nullptr};
}

inline FormAnswer no_to(const wchar_t* title)
{
    return {title, VK_ESCAPE, nullptr};
}

inline std::vector<std::wstring> titles(std::initializer_list<const wchar_t*> list)
{
    return std::vector<std::wstring>(list.begin(), list.end());
}

// The run's form with that title answered with Enter, once the run's
// message log showed it with exactly that text: the run is a test build
// (killable_program()), the shipped program logs nothing.
inline FormAnswer saying(const wchar_t* title, const std::wstring& text)
{
    return {title, VK_RETURN, [=](HWND) {
                ShownMessage shown = last_logged_message();
                EXPECT_EQ(shown, (ShownMessage{title, text}))
                    << (shown.text.empty() ? "no message logged: is the run a test build?" : "");
            }};
}

// The same for a text that must fit its room: the form also takes the size
// the framework lays that text out in.
inline FormAnswer saying_in_room(const wchar_t* title, const std::wstring& text)
{
    FormAnswer answer = saying(title, text);
    std::function<void(HWND)> words = answer.first;
    answer.first = [=](HWND form) {
        words(form);
        SIZE wanted = message_form_size(message_lines(text));
        RECT client = {};
        GetClientRect(form, &client);
        EXPECT_EQ(client.right, wanted.cx) << "the form's room for its text";
        EXPECT_EQ(client.bottom, wanted.cy) << "the form's room for its text";
    };
    return answer;
}

// The message of the section's text of that id, what it names in its "%s"
// (a place, shown with Windows' separators).
inline FormAnswer naming(const wchar_t* title, const wchar_t* section, int32_t id, const std::wstring& named)
{
    return saying(title, filled_text(section_text(section, id), with_separator(named, L'\\')));
}

// The texts of "pkgm::store" that tell of a store fault, by its kind and
// store.
enum StoreText {
    common_place = 1,
    user_place = 2,
    held_store_file = 3,
    common_unreadable = 4,
    user_unreadable = 5,
};

// The same for a road's message on a store fault: the section's text of
// that id, its "%s" the text of "pkgm::store" for the fault, which names
// the place.
// A file that cannot be read is told, around that, by what it holds: the
// text of "pkgm::store" for the file of that name.
inline FormAnswer naming_fault(const wchar_t* title, const wchar_t* section, int32_t id, StoreText fault,
                               const std::wstring& place)
{
    std::wstring told = filled_text(section_text(L"pkgm::store", fault), with_separator(place, L'\\'));
    if (fault == common_unreadable || fault == user_unreadable) {
        const std::wstring name = place.substr(place.find_last_of(L"/\\") + 1);
        const std::map<std::wstring, int32_t> holds = {{L"install", 6}, {L"journal", 7}, {L"installer", 8}, {L"lang", 9}};
        told = filled_text(section_text(L"pkgm::store", holds.count(name) ? holds.at(name) : 10), told);
    }
    return saying(title, filled_text(section_text(section, id), told));
}

}  // namespace road

#endif
