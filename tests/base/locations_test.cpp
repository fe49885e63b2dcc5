#include "base/locations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/file_ops.h"
#include "base/net_api.h"
#include "base/system_info.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

namespace {

const cFolderEntry* find_entry(const cFolderListing& listing, const std::wstring& name)
{
    for (uint32_t i = 0; i < listing.Count(); ++i) {
        const cFolderEntry* entry = listing.GetEntry(i);
        if (entry && entry->name.Text() && name == entry->name.Text())
            return entry;
    }
    return nullptr;
}

}  // namespace

TEST(Locations, HomeFolderComesFirst)
{
    TempFolder temp(L"home");
    RedirectedEnv env;
    env.SetPath(L"USERPROFILE", temp.Path());

    cFolderListing listing;
    ASSERT_TRUE(listing.ReadLocations());
    EXPECT_EQ(listing.GetFolder(), nullptr);
    const cFolderEntry* home = listing.GetEntry(0);
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(std::wstring(home->name.Text()), temp.Path());
    EXPECT_STREQ(home->display.Text(), L"Home folder");
    EXPECT_EQ(home->kind, PATH_KIND_HOME);
    EXPECT_EQ(home->size, 0u);
    EXPECT_EQ(home->hidden, 0);
    _guardchar<wchar_t> path;
    ASSERT_TRUE(listing.GetEntryPath(0, path));
    EXPECT_EQ(std::wstring(path.Text()), temp.Path());
}

TEST(Locations, WithoutAHomeFolderTheDrivesStart)
{
    RedirectedEnv env;
    env.Set(L"USERPROFILE", nullptr);
    env.Set(L"HOMEDRIVE", nullptr);
    cFolderListing listing;
    ASSERT_TRUE(listing.ReadLocations());
    ASSERT_GT(listing.Count(), 0u);
    EXPECT_EQ(listing.GetEntry(0)->kind, PATH_KIND_DRIVE);
}

TEST(Locations, DrivesShowTheirLabelAndSize)
{
    cFolderListing listing;
    ASSERT_TRUE(listing.ReadLocations());
    const cFolderEntry* c = find_entry(listing, L"C:");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, PATH_KIND_DRIVE);
    _guardchar<wchar_t> path;

    // Every drive the system knows is listed once, in letter order.
    std::wstring letters;
    for (uint32_t i = 0; i < listing.Count(); ++i)
        if (listing.GetEntry(i)->kind == PATH_KIND_DRIVE)
            letters += listing.GetEntry(i)->name.Text()[0];
    std::wstring expected;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        wchar_t root[4] = {letter, L':', L'\\', 0};
        UINT type = GetDriveTypeW(root);
        if (type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR)
            expected += letter;
    }
    EXPECT_EQ(letters, expected);

    // C: is a fixed drive: "<label> (C:, <n.nn>GB fixed drive)" or, without
    // a label, "Fixed disk C: (<n.nn>GB)", n.nn within a hundredth of the
    // volume's size in units of 2^30 bytes.
    ASSERT_EQ(GetDriveTypeW(L"C:\\"), UINT(DRIVE_FIXED));
    ULARGE_INTEGER available, total;
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, nullptr));
    wchar_t label[MAX_PATH] = {};
    GetVolumeInformationW(L"C:\\", label, MAX_PATH, nullptr, nullptr, nullptr, nullptr, 0);
    std::wstring text = c->display.Text();
    double gb = 0;
    if (label[0]) {
        std::wstring head = std::wstring(label) + L" (C:, ";
        ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
        ASSERT_EQ(swscanf(text.c_str() + head.size(), L"%lfGB fixed drive)", &gb), 1) << text;
        EXPECT_EQ(text.substr(text.size() - 18), L"GB fixed drive)");
    } else {
        ASSERT_EQ(swscanf(text.c_str(), L"Fixed disk C: (%lfGB)", &gb), 1) << text;
    }
    double exact = double(total.QuadPart) / 1073741824.0;
    EXPECT_NEAR(gb, exact, 0.011);
}

TEST(Locations, RegistryListsRememberedDrivesThatAreNotConnected)
{
    wchar_t letter = unused_drive_letter(L'M');
    wchar_t other = unused_drive_letter(wchar_t(letter + 1));
    ASSERT_NE(letter, 0);
    ASSERT_NE(other, 0);
    RememberedDrives drives;
    ASSERT_TRUE(drives.Add(std::wstring(1, letter), L"\\\\nohost\\team share"));
    ASSERT_TRUE(drives.Add(std::wstring(1, wchar_t(other)), nullptr));  // no RemotePath: skipped
    ASSERT_TRUE(drives.Add(L"NotADrive", L"\\\\nohost\\x"));

    cFolderListing listing;
    uint32_t aside = 1u << (letter - L'A') | 1u << (other - L'A');
    locations_add_remembered_from_registry(listing, aside);
    std::wstring local = std::wstring(1, letter) + L":";
    const cFolderEntry* entry = find_entry(listing, local);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->kind, PATH_KIND_OFFLINE_DRIVE);
    EXPECT_EQ(std::wstring(entry->display.Text()), local + L" (\\\\nohost\\team share - Offline)");
    EXPECT_EQ(find_entry(listing, std::wstring(1, other) + L":"), nullptr);
    EXPECT_EQ(find_entry(listing, L"No:"), nullptr);
    // The drive found is no longer waiting; the other one still is.
    EXPECT_EQ(aside, 1u << (other - L'A'));
}

TEST(Locations, TheRegistryIsReadFromWindows10On)
{
    wchar_t letter = unused_drive_letter(L'M');
    ASSERT_NE(letter, 0);
    RememberedDrives drives;
    ASSERT_TRUE(drives.Add(std::wstring(1, letter), L"\\\\nohost\\share"));
    cFolderListing listing;
    ASSERT_TRUE(listing.ReadLocations());
    const cFolderEntry* entry = find_entry(listing, std::wstring(1, letter) + L":");
    if (os_is_win10_or_later() && net_api_load()) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->kind, PATH_KIND_OFFLINE_DRIVE);
    } else {
        // Earlier versions ask the network providers instead.
        EXPECT_EQ(entry, nullptr);
    }
}

TEST(Locations, OnlyRememberedDrivesAreReconnected)
{
    wchar_t letter = unused_drive_letter(L'D');
    ASSERT_NE(letter, 0);
    EXPECT_FALSE(net_reconnect_drive(letter));
    wchar_t root[4] = {letter, L':', L'\\', 0};
    EXPECT_EQ(GetDriveTypeW(root), UINT(DRIVE_NO_ROOT_DIR));
}

TEST(Locations, NoNetworkProviderListsNothing)
{
    ASSERT_TRUE(net_api_load());
    cFolderListing listing;
    uint32_t aside = 1u << 25;
    locations_add_remembered_from_providers(listing, aside);
    // Without a network provider there is nothing remembered; where one is
    // installed, every entry is a remembered drive.
    for (uint32_t i = 0; i < listing.Count(); ++i) {
        uint32_t kind = listing.GetEntry(i)->kind;
        EXPECT_TRUE(kind == PATH_KIND_DRIVE || kind == PATH_KIND_OFFLINE_DRIVE);
    }
    if (listing.Count() == 0) {
        EXPECT_EQ(aside, 1u << 25);
    }
}
