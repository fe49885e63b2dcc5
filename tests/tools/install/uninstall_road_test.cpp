// pelmarodesk.exe uninstall <code name> end to end: products installed by
// the real installers, or entries another program wrote, taken off by the
// program with its questions answered by real key presses.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/child_process.h"
#include "tests/tools/install/uninstall_fixture.h"

using namespace road;

TEST(UninstallRoad, ARecordedProductGoesAndAnotherStays)
{
    World world(L"unroad");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    install_other(world);
    ProductSnapshot other = other_snapshot(world);
    ASSERT_FALSE(other.files.empty());
    std::string manager = file_bytes(world.Manager());

    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
    EXPECT_TRUE(other_snapshot(world) == other) << "the other product is untouched";
    EXPECT_TRUE(file_bytes(world.Manager()) == manager) << "the manager stays";
    delete_entries(other_code());
}

TEST(UninstallRoad, AHeldFileIsAskedForNoPutsAllBackYesAfterItsReleaseFinishes)
{
    World world(L"unheld");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    // The fourth file in record order: three files are moved aside before it.
    std::wstring held_path = world.App(L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt");
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    AnsweredRun refused = uninstall_in(
        world, installers().code_name, {yes_to(confirm_title), no_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(refused.met, titles({confirm_title, confirm_title, information_title}));
    EXPECT_EQ(refused.run.exit_code, 1u);
    EXPECT_TRUE(v1_snapshot(world) == installed) << "No leaves the product exactly as installed";

    FormAnswer release_then_yes = {confirm_title, VK_RETURN, [&] { CloseHandle(held); }};
    AnsweredRun retried = uninstall_in(world, installers().code_name,
                                       {yes_to(confirm_title), release_then_yes, yes_to(information_title)});
    EXPECT_EQ(retried.met, titles({confirm_title, confirm_title, information_title}));
    EXPECT_EQ(retried.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}
