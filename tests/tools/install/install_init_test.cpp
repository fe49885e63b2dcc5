#include "tools/install/install_init.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "tests/tools/install/road_fixture.h"
#include "tools/install/install_context.h"

TEST(CheckInstallFolder, TheNearestExistingAncestorDecides)
{
    TempFolder folder(L"checkfolder");
    ASSERT_TRUE(folder.WriteFile(L"file", "x"));
    struct FolderCase {
        std::wstring path;
        uint32_t result;
    };
    const FolderCase cases[] = {
        {folder.Path(L"new/deeper/target.exe"), 0},
        {folder.Path() + L"//new//target.exe", 0},
        {folder.Path(L"file/below/target.exe"), 2},
        {folder.Path(L"file"), 1},  // exists
        {L"", 1},
        {L"target.exe", 1},  // no ancestor at all
        {L"Q:/no drive here/target.exe", 1},
    };
    for (const FolderCase& c : cases)
        EXPECT_EQ(check_install_folder(c.path.c_str()), c.result) << c.path;
    EXPECT_EQ(check_install_folder(nullptr), 1u);
}

namespace {

class cProposedLanguage : public cInstallInitQuestions {
public:
    uint32_t ChooseLanguage(uint32_t proposed) override { return proposed; }
};

}  // namespace

TEST(RunInstallInit, ReadsTheRightPackageAndRefusesDamagedOnes)
{
    TempFolder folder(L"initpackage");
    std::string installer = road::file_bytes(road::installers().Get("v1"));
    uint32_t offset = uint32_t(road::file_bytes(road::runner_path()).size());
    ASSERT_GT(installer.size(), offset + 200u);
    std::string flipped = installer, truncated = installer.substr(0, installer.size() - 100);
    flipped[offset + 120] ^= 0x10;
    struct PackageCase {
        const char* name;
        std::string bytes;  // the package file; empty: none
        const wchar_t* path;  // as the context names it
        uint32_t offset;
        uint32_t result;
    };
    const PackageCase cases[] = {
        {"beside the program", installer, L"./setup.exe", offset, INSTALL_INIT_READY},
        {"no such file", "", L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE_PATH},
        {"a bit flipped", flipped, L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE},
        {"cut short", truncated, L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE},
        {"a wrong offset", installer, L"./setup.exe", offset - 1, INSTALL_INIT_BAD_PACKAGE},
    };
    for (const PackageCase& c : cases) {
        DeleteFileW(folder.Native(L"setup.exe").c_str());
        if (!c.bytes.empty()) {
            ASSERT_TRUE(folder.WriteFile(L"setup.exe", c.bytes));
        }
        cInstallContext context(folder.Path(L"runner.exe").c_str(), c.path, c.offset);
        cProposedLanguage questions;
        EXPECT_EQ(run_install_init(context, nullptr, questions), c.result) << c.name;
        if (c.result == INSTALL_INIT_READY) {
            EXPECT_EQ(std::wstring(context.package_path.Text()), folder.Path(L"setup.exe"));
            EXPECT_EQ(std::string(context.code_name_utf8.Text()), utf8_of(road::installers().code_name));
            EXPECT_GT(context.space_needed, 0u);
        }
    }
}
