#include "base/special_folders.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"

namespace {

const wchar_t* const redirected[] = {L"TEMP",    L"USERPROFILE", L"HOMEDRIVE",      L"HOMEPATH",
                                     L"APPDATA", L"ProgramData", L"ALLUSERSPROFILE"};

std::wstring backslashed(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

// Every variable these folders come from is cleared for the test (and put
// back afterwards by RedirectedEnv); the test points them into its own temporary folder.
class SpecialFolders : public ::testing::Test {
protected:
    SpecialFolders() : temp(L"special") {}

    void SetUp() override
    {
        for (const wchar_t* name : redirected)
            env.Set(name, nullptr);
    }

    // A folder under the test's own, made now; the path in internal form.
    std::wstring Folder(const std::wstring& inside)
    {
        std::wstring step;
        size_t start = 0;
        while (start <= inside.size()) {
            size_t end = inside.find(L'/', start);
            step = inside.substr(0, end);
            CreateDirectoryW(temp.Native(step).c_str(), nullptr);
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
        return temp.Path(inside);
    }

    // Sets the variable to the folder's path with Windows' backslashes.
    void Point(const wchar_t* name, const std::wstring& internal_path) { env.SetPath(name, internal_path); }

    bool IsFolder(const std::wstring& internal_path)
    {
        DWORD attributes = GetFileAttributesW(backslashed(internal_path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    RedirectedEnv env;
    TempFolder temp;
};

std::wstring text_of(const _guardchar<wchar_t>& s)
{
    return s.Text() ? s.Text() : L"";
}

}  // namespace

TEST_F(SpecialFolders, TempFolderComesInInternalForm)
{
    _guardchar<wchar_t> out(L"before");
    EXPECT_FALSE(get_temp_folder(out));
    EXPECT_EQ(text_of(out), L"before");

    SetEnvironmentVariableW(L"TEMP", L"C:\\Some Temp\\ ");
    ASSERT_TRUE(get_temp_folder(out));
    EXPECT_EQ(text_of(out), L"C:/Some Temp/");
}

TEST_F(SpecialFolders, ValuesThatDoNotFitTheBufferAreRefused)
{
    // 259 characters fit the 260-character buffer; 260 would need 261.
    std::wstring fits = L"C:\\" + std::wstring(256, L'a');
    std::wstring too_long = fits + L"b";
    _guardchar<wchar_t> out(L"before");

    SetEnvironmentVariableW(L"TEMP", fits.c_str());
    ASSERT_TRUE(get_temp_folder(out));
    EXPECT_EQ(text_of(out), L"C:/" + std::wstring(256, L'a'));

    out.Assign(L"before");
    SetEnvironmentVariableW(L"TEMP", too_long.c_str());
    EXPECT_FALSE(get_temp_folder(out));
    EXPECT_EQ(text_of(out), L"before");
    SetEnvironmentVariableW(L"TEMP", (too_long + std::wstring(2000, L'c')).c_str());
    EXPECT_FALSE(get_temp_folder(out));
    EXPECT_EQ(text_of(out), L"before");

    // A home folder too long to read falls back to the drive and path.
    SetEnvironmentVariableW(L"USERPROFILE", too_long.c_str());
    SetEnvironmentVariableW(L"HOMEDRIVE", L"D:");
    SetEnvironmentVariableW(L"HOMEPATH", L"\\home");
    ASSERT_TRUE(get_home_folder(out));
    EXPECT_EQ(text_of(out), L"D:/home");
}

TEST_F(SpecialFolders, HomeFolderFromProfileOrDriveAndPath)
{
    _guardchar<wchar_t> out(L"before");
    SetEnvironmentVariableW(L"HOMEDRIVE", L"D:");
    EXPECT_FALSE(get_home_folder(out));
    EXPECT_EQ(text_of(out), L"before");

    SetEnvironmentVariableW(L"HOMEPATH", L"\\Users\\me");
    ASSERT_TRUE(get_home_folder(out));
    EXPECT_EQ(text_of(out), L"D:/Users/me");

    SetEnvironmentVariableW(L"USERPROFILE", L"\"E:\\Profiles\\me\"");
    ASSERT_TRUE(get_home_folder(out));
    EXPECT_EQ(text_of(out), L"E:/Profiles/me");
}

TEST_F(SpecialFolders, UserDataFolderUnderAppData)
{
    std::wstring home = Folder(L"home");
    std::wstring appdata = Folder(L"appdata");
    Point(L"USERPROFILE", home);
    Point(L"APPDATA", appdata);

    _guardchar<wchar_t> out;
    ASSERT_TRUE(get_user_data_folder(out, L"qrv"));
    // The variable enters as it is, backslashes and all.
    EXPECT_EQ(text_of(out), backslashed(appdata) + L"/Vantrel/qrv/");
    EXPECT_TRUE(IsFolder(appdata + L"/Vantrel"));
    EXPECT_TRUE(IsFolder(appdata + L"/Vantrel/qrv"));
    // A second call finds both levels in place.
    ASSERT_TRUE(get_user_data_folder(out, L"qrv"));
    EXPECT_EQ(text_of(out), backslashed(appdata) + L"/Vantrel/qrv/");

    // Without a name: the home folder.
    ASSERT_TRUE(get_user_data_folder(out, nullptr));
    EXPECT_EQ(text_of(out), home);
}

// Where the store folder cannot be had, there is none: the home folder
// holds the user's own files, and nothing is made in it.
TEST_F(SpecialFolders, UserDataFolderIsNeverTheHomeFolder)
{
    std::wstring home = Folder(L"home");
    Point(L"USERPROFILE", home);
    _guardchar<wchar_t> out(L"before");

    // APPDATA naming no folder (a roaming share offline).
    Point(L"APPDATA", temp.Path(L"missing"));
    EXPECT_FALSE(get_user_data_folder(out, L"qrv"));
    EXPECT_FALSE(IsFolder(temp.Path(L"missing")));

    // No APPDATA and no AppData/Roaming in the home folder.
    SetEnvironmentVariableW(L"APPDATA", nullptr);
    EXPECT_FALSE(get_user_data_folder(out, L"qrv"));

    // A file where the maker's folder or the store folder belongs.
    Folder(L"appdata");
    Folder(L"appdata2/Vantrel");
    for (const wchar_t* file : {L"appdata/Vantrel", L"appdata2/Vantrel/qrv"}) {
        ASSERT_TRUE(temp.WriteFile(file, "x"));
        Point(L"APPDATA", temp.Path(std::wstring(file).substr(0, std::wstring(file).find(L'/'))));
        EXPECT_FALSE(get_user_data_folder(out, L"qrv")) << file;
    }
    EXPECT_EQ(text_of(out), L"before");
    EXPECT_TRUE(temp.Names(L"home").empty()) << "nothing made in the home folder";

    // No APPDATA, but the home folder has AppData/Roaming.
    std::wstring roaming = Folder(L"home/AppData/Roaming");
    SetEnvironmentVariableW(L"APPDATA", nullptr);
    ASSERT_TRUE(get_user_data_folder(out, L"qrv"));
    EXPECT_EQ(text_of(out), roaming + L"/Vantrel/qrv/");
    EXPECT_TRUE(IsFolder(roaming + L"/Vantrel/qrv"));
}

TEST_F(SpecialFolders, UserDataFolderWithoutAnyHome)
{
    _guardchar<wchar_t> out(L"before");
    EXPECT_FALSE(get_user_data_folder(out, L"qrv"));
    EXPECT_FALSE(get_user_data_folder(out, nullptr));
    EXPECT_EQ(text_of(out), L"before");

    // APPDATA alone is enough for the store folder.
    std::wstring appdata = Folder(L"appdata");
    Point(L"APPDATA", appdata);
    ASSERT_TRUE(get_user_data_folder(out, L"qrv"));
    EXPECT_EQ(text_of(out), backslashed(appdata) + L"/Vantrel/qrv/");
}

TEST_F(SpecialFolders, CommonDataFolderUnderProgramData)
{
    std::wstring program_data = Folder(L"programdata");
    Point(L"ProgramData", program_data);
    Point(L"ALLUSERSPROFILE", Folder(L"allusers"));
    _guardchar<wchar_t> out, blocked;
    EXPECT_FALSE(get_common_data_folder(out, L"qrv", false, blocked)) << "nothing made without make";
    EXPECT_EQ(text_of(blocked), backslashed(program_data) + L"/Vantrel");
    EXPECT_FALSE(IsFolder(program_data + L"/Vantrel"));
    ASSERT_TRUE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), backslashed(program_data) + L"/Vantrel/qrv/");
    EXPECT_TRUE(IsFolder(program_data + L"/Vantrel"));
    EXPECT_TRUE(IsFolder(program_data + L"/Vantrel/qrv"));
}

TEST_F(SpecialFolders, CommonDataFolderFromAllUsersProfile)
{
    std::wstring all_users = Folder(L"allusers");
    Point(L"ProgramData", temp.Path(L"missing"));
    Point(L"ALLUSERSPROFILE", all_users);
    _guardchar<wchar_t> out, blocked;
    ASSERT_TRUE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), backslashed(all_users) + L"/Vantrel/qrv/");

    std::wstring application_data = Folder(L"allusers/Application Data");
    ASSERT_TRUE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), backslashed(all_users) + L"/Application Data/Vantrel/qrv/");
    EXPECT_TRUE(IsFolder(application_data + L"/Vantrel/qrv"));
}

TEST_F(SpecialFolders, CommonDataFolderAtTheRootOfTheHomeDrive)
{
    // The drive is a folder of the test's, so nothing outside it is touched.
    std::wstring drive = Folder(L"drive");
    Point(L"HOMEDRIVE", drive);
    _guardchar<wchar_t> out(L"before"), blocked(L"none");
    EXPECT_FALSE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), L"before");
    EXPECT_EQ(text_of(blocked), L"none") << "no common application data at all";

    std::wstring old_style = Folder(L"drive/Documents and Settings/All Users/Application Data");
    ASSERT_TRUE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), backslashed(drive) + L"/Documents and Settings/All Users/Application Data/Vantrel/qrv/");
    EXPECT_TRUE(IsFolder(old_style + L"/Vantrel/qrv"));

    Folder(L"drive/ProgramData");
    ASSERT_TRUE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), backslashed(drive) + L"/ProgramData/Vantrel/qrv/");

    SetEnvironmentVariableW(L"HOMEDRIVE", nullptr);
    out.Assign(L"before");
    EXPECT_FALSE(get_common_data_folder(out, L"qrv", true, blocked));
    EXPECT_EQ(text_of(out), L"before");
}

TEST_F(SpecialFolders, StartMenuFolderAndItsGroups)
{
    std::wstring all_users = Folder(L"allusers");
    Point(L"ALLUSERSPROFILE", all_users);
    _guardchar<wchar_t> out(L"before");
    EXPECT_FALSE(get_start_menu_folder(nullptr, out));
    EXPECT_EQ(text_of(out), L"before");

    // The older layout.
    Folder(L"allusers/Start Menu/Programs");
    ASSERT_TRUE(get_start_menu_folder(nullptr, out));
    EXPECT_EQ(text_of(out), all_users + L"/Start Menu/Programs/");

    // The newer one wins when both exist.
    std::wstring programs = Folder(L"allusers/Microsoft/Windows/Start Menu/Programs");
    ASSERT_TRUE(get_start_menu_folder(nullptr, out));
    EXPECT_EQ(text_of(out), programs + L"/");

    ASSERT_TRUE(get_start_menu_folder(L"Tools: Extra", out));
    EXPECT_EQ(text_of(out), programs + L"/Tools_ Extra");
    EXPECT_TRUE(IsFolder(programs + L"/Tools_ Extra"));
    ASSERT_TRUE(get_start_menu_folder(L"Tools: Extra", out));

    ASSERT_TRUE(temp.WriteFile(L"allusers/Microsoft/Windows/Start Menu/Programs/Taken", "x"));
    out.Assign(L"before");
    EXPECT_FALSE(get_start_menu_folder(L"Taken", out));
    EXPECT_EQ(text_of(out), L"before");

    SetEnvironmentVariableW(L"ALLUSERSPROFILE", nullptr);
    EXPECT_FALSE(get_start_menu_folder(nullptr, out));
}
