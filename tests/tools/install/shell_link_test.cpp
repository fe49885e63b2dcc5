#include "tools/install/shell_link.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"
#include "tests/tools/install/install_test_support.h"

// The links are read back by the shell's own link object here, and kept in
// shell_links/ beside the test with their expected fields (expected.txt,
// UTF-8) for the independent reader of check_shell_links.py, which also
// reads the item list: Wine's shell resolves no item list whose drive item
// has the class the format gives drives (0x2F), and reports no link flags
// beyond the first, so neither is asked of it here.

namespace {

std::wstring native_of(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// What the shell reads from a link file.
struct ShellView {
    bool loaded = false;
    std::wstring path;          // the target as the shell resolves it
    std::wstring working_folder;
    std::wstring arguments;
    std::wstring description;
    std::wstring icon;
};

ShellView read_with_shell(const std::wstring& link)
{
    ShellView view;
    IShellLinkW* shell_link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell_link))))
        return view;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
        view.loaded = true;
        wchar_t text[MAX_PATH * 2] = {};
        if (shell_link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH) == S_OK)
            view.path = text;
        text[0] = 0;
        shell_link->GetWorkingDirectory(text, MAX_PATH * 2);
        view.working_folder = text;
        text[0] = 0;
        shell_link->GetArguments(text, MAX_PATH * 2);
        view.arguments = text;
        text[0] = 0;
        shell_link->GetDescription(text, MAX_PATH * 2);
        view.description = text;
        text[0] = 0;
        int index = 0;
        shell_link->GetIconLocation(text, MAX_PATH * 2, &index);
        view.icon = text;
    }
    if (file)
        file->Release();
    shell_link->Release();
    return view;
}

uint32_t header_flags(const std::string& bytes)
{
    return bytes.size() < 24 ? 0 : uint32_t(uint8_t(bytes[20])) | uint32_t(uint8_t(bytes[21])) << 8 |
                                       uint32_t(uint8_t(bytes[22])) << 16 | uint32_t(uint8_t(bytes[23])) << 24;
}

class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(ShellLinkTest, TheShellReadsBackEveryField)
{
    struct LinkCase {
        const char* file;  // the link's name in shell_links/
        const wchar_t* target;  // inside the test folder; ending in '/' for a folder
        uint32_t size;
        const wchar_t* arguments;
        const wchar_t* icon;  // inside the test folder
        const wchar_t* description;
        bool run_as_administrator;
        uint32_t flags;
        bool unicode_path = false;  // the ANSI code page cannot hold it
    };
    const LinkCase cases[] = {
        {"plain.lnk", L"App/tool.exe", 1000, nullptr, nullptr, nullptr, false, 0x80093},
        {"manager.lnk", L"App/pelmarodesk.exe", 4096, nullptr, nullptr, nullptr, true, 0x80083 + 0x2000 + 0x10},
        {"everything.lnk", L"App/sub dir/run.exe", 70000, L"-a \"x y\"", L"App/icon.ico", L"Starts the tool", false,
         0x80083 + 0x4 + 0x10 + 0x20 + 0x40},
        {"latin.lnk", L"Pr\u00f6dukt/\u00e4pp.exe", 3, nullptr, nullptr, L"\u00c4", false, 0x80083 + 0x4 + 0x10},
        {"odd.lnk", L"ab/x", 1, nullptr, nullptr, nullptr, false, 0x80093},
        // A path the ANSI code page cannot hold: given in Unicode too.
        {"unicode.lnk", L"\u30d5\u30a1\u30a4\u30eb \u00e4pp/\u30c4\u30fc\u30eb.exe", 5, nullptr, nullptr, nullptr, false,
         0x80093, true},
        {"folder.lnk", L"App/docs/", 0, nullptr, nullptr, nullptr, false, 0x80093},
    };
    TempFolder folder(L"links");
    std::string kept_folder = test_data_path("shell_links");
    CreateDirectoryA(kept_folder.c_str(), nullptr);
    std::ofstream expected(kept_folder + "\\expected.txt", std::ios::binary);
    expected << "codepage\t" << GetACP() << '\n';
    for (const LinkCase& c : cases) {
        std::wstring target = folder.Path(c.target);
        bool is_folder = target.back() == L'/';
        if (is_folder)
            target.pop_back();
        // Every folder on the way, then the target itself.
        for (size_t at = folder.Path().size() + 1; (at = target.find(L'/', at)) != std::wstring::npos; ++at)
            CreateDirectoryW((L"\\\\?\\" + native_of(target.substr(0, at))).c_str(), nullptr);
        if (is_folder) {
            ASSERT_TRUE(CreateDirectoryW(native_of(target).c_str(), nullptr));
        }
        else {
            ASSERT_TRUE(folder.WriteFile(std::wstring(c.target), std::string(c.size, 'x')));
        }
        if (c.icon) {
            ASSERT_TRUE(folder.WriteFile(c.icon, "icon"));
        }
        std::wstring working = target.substr(0, target.rfind(L'/') + 1);
        std::wstring icon = c.icon ? folder.Path(c.icon) : L"";
        std::wstring link = folder.Path(std::wstring(c.file, c.file + strlen(c.file)));
        ASSERT_TRUE(write_shell_link(link.c_str(), target.c_str(), working.c_str(), c.run_as_administrator,
                                     c.arguments, c.icon ? icon.c_str() : nullptr, c.description, false))
            << c.file;
        std::string bytes = folder.ReadFile(std::wstring(c.file, c.file + strlen(c.file)));
        EXPECT_EQ(header_flags(bytes), c.flags) << c.file;

        ShellView view = read_with_shell(native_of(link));
        ASSERT_TRUE(view.loaded) << c.file;
        // Wine's shell reads the ANSI local path only; lnkinfo reads the
        // Unicode one.
        if (!c.unicode_path) {
            EXPECT_EQ(view.path, native_of(target)) << c.file;
        }
        EXPECT_EQ(view.working_folder, native_of(working)) << c.file;
        EXPECT_EQ(view.arguments, c.arguments ? c.arguments : L"") << c.file;
        EXPECT_EQ(view.description, c.description ? c.description : L"") << c.file;
        EXPECT_EQ(view.icon, native_of(icon)) << c.file;
        _guardchar<wchar_t> read;
        EXPECT_TRUE(read_shell_link_target(link.c_str(), read)) << c.file;
        EXPECT_EQ(std::wstring(read.Text() ? read.Text() : L""), native_of(target)) << c.file;
        // Cut short anywhere, the manager's link and one with a Unicode
        // path give their whole target or none.
        for (size_t length = 0; (c.unicode_path || strcmp(c.file, "manager.lnk") == 0) && length < bytes.size();
             ++length) {
            ASSERT_TRUE(folder.WriteFile(L"cut.lnk", bytes.substr(0, length)));
            if (read_shell_link_target(folder.Path(L"cut.lnk").c_str(), read)) {
                EXPECT_EQ(std::wstring(read.Text()), native_of(target)) << c.file << ", " << length << " bytes";
            }
        }

        std::ofstream(kept_folder + "\\" + c.file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        expected << c.file << '\t' << utf8_of(native_of(target)) << '\t' << utf8_of(native_of(working)) << '\t'
                 << utf8_of(c.arguments ? c.arguments : L"") << '\t' << utf8_of(c.description ? c.description : L"")
                 << '\t' << utf8_of(native_of(icon)) << '\t' << (c.run_as_administrator ? 1 : 0) << '\t'
                 << (is_folder ? std::string("folder") : std::to_string(c.size)) << '\n';
    }
}

TEST_F(ShellLinkTest, RefusesWhatALinkCannotName)
{
    TempFolder folder(L"badlinks");
    ASSERT_TRUE(folder.WriteFile(L"t.exe", "x"));
    std::wstring target = folder.Path(L"t.exe");
    std::wstring link = folder.Path(L"l.lnk");
    struct BadCase {
        const wchar_t* name;
        std::wstring target;
        std::wstring working;
        std::wstring icon;
    };
    const BadCase cases[] = {
        {L"network path", L"//server/share/t.exe", L"", L""},
        {L"missing target", folder.Path(L"none.exe"), L"", L""},
        {L"working folder that is a file", target, target, L""},
        {L"missing icon", target, L"", folder.Path(L"none.ico")},
    };
    for (const BadCase& c : cases) {
        EXPECT_FALSE(write_shell_link(link.c_str(), c.target.c_str(), c.working.c_str(), false, nullptr,
                                      c.icon.c_str(), nullptr, false))
            << c.name;
        EXPECT_EQ(folder.Attributes(L"l.lnk"), INVALID_FILE_ATTRIBUTES) << c.name << L": nothing written";
    }
}

// The group is made first, then the link written into it; a link written
// only where nothing stands leaves what stands there as it is.
TEST_F(ShellLinkTest, AShortcutGoesIntoItsGroupFolder)
{
    TempFolder folder(L"startmenu");
    ASSERT_TRUE(CreateDirectoryW(folder.Native(L"Start Menu").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.Native(L"Start Menu/Programs").c_str(), nullptr));
    RedirectedEnv env;
    env.SetPath(L"ALLUSERSPROFILE", folder.Path());
    ASSERT_TRUE(folder.WriteFile(L"tool.exe", "x"));
    std::wstring target = folder.Path(L"tool.exe");
    _guardchar<wchar_t> link;
    ASSERT_TRUE(make_shortcut_group(L"My: Tool", L"Group?", link));
    ASSERT_TRUE(write_shortcut(link.Text(), target.c_str(), nullptr, nullptr, nullptr, false, false));
    std::wstring path = link.Text();
    EXPECT_EQ(path.find(folder.Path(L"Start Menu/Programs/")), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 4), L".lnk");
    EXPECT_EQ(path.find_first_of(L":?", 2), std::wstring::npos) << L"names made safe: " << path;
    ShellView view = read_with_shell(native_of(path));
    EXPECT_EQ(view.path, native_of(target));
    EXPECT_EQ(view.working_folder, native_of(folder.Path()) + L"\\");

    _guardchar<wchar_t> found;
    ASSERT_TRUE(shortcut_path(L"My: Tool", L"Group?", found));
    EXPECT_EQ(std::wstring(found.Text()), path);
    ASSERT_TRUE(shortcut_path(L"Tool", L"No Group", found));
    EXPECT_EQ(folder.Attributes(L"Start Menu/Programs/No Group"), INVALID_FILE_ATTRIBUTES) << "nothing made";

    _guardchar<wchar_t> untouched;
    untouched.Assign(L"kept");
    EXPECT_FALSE(make_shortcut_group(L"", L"G", untouched));
    EXPECT_STREQ(untouched.Text(), L"kept");
    EXPECT_FALSE(write_shortcut(link.Text(), L"", nullptr, nullptr, nullptr, false, false));

    std::wstring other = folder.Path(L"other.lnk");
    ASSERT_TRUE(folder.WriteFile(L"other.lnk", "the user's"));
    EXPECT_FALSE(write_shortcut(other.c_str(), target.c_str(), nullptr, nullptr, nullptr, false, true));
    EXPECT_EQ(folder.ReadFile(L"other.lnk"), "the user's");
    std::wstring fresh = folder.Path(L"fresh.lnk");
    ASSERT_TRUE(write_shortcut(fresh.c_str(), target.c_str(), nullptr, nullptr, nullptr, false, true));
    EXPECT_EQ(read_with_shell(native_of(fresh)).path, native_of(target));
}
