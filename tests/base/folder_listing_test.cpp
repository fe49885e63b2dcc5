#include "base/folder_listing.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "base/file_ops.h"
#include "tests/support/file_times.h"
#include "tests/support/heap_probe.h"
#include "tests/support/temp_folder.h"

namespace {

struct Seen {
    uint64_t size;
    uint32_t kind;
    uint8_t hidden;
    std::string last_write;
    std::wstring path;
};

// The listing by name; entries must be numbered 0..count-1 without gaps.
std::map<std::wstring, Seen> by_name(const cFolderListing& listing)
{
    std::map<std::wstring, Seen> seen;
    for (uint32_t i = 0; i < listing.Count(); ++i) {
        const cFolderEntry* entry = listing.GetEntry(i);
        EXPECT_NE(entry, nullptr) << i;
        if (!entry)
            continue;
        EXPECT_TRUE(entry->display.IsEmpty());
        _guardchar<wchar_t> path;
        EXPECT_TRUE(listing.GetEntryPath(i, path));
        seen[entry->name.Text()] = {entry->size, entry->kind, entry->hidden, text_of(entry->last_write),
                                    path.Text()};
    }
    return seen;
}

}  // namespace

TEST(FolderListing, ListsNamesSizesKindsFlagsAndTimes)
{
    TempFolder temp(L"listing");
    ASSERT_TRUE(temp.WriteFile(L"small.txt", "hello"));
    ASSERT_TRUE(temp.WriteFile(L"big.bin", std::string(200000, 'b')));
    ASSERT_TRUE(temp.WriteFile(L"hidden.dat", "h"));
    ASSERT_TRUE(temp.WriteFile(L"system.dat", "s"));
    ASSERT_TRUE(temp.WriteFile(L"..dots", "dots"));  // no "." or ".." entry, yet listed
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"sub").c_str(), nullptr));
    ASSERT_TRUE(temp.WriteFile(L"sub/inner", "not listed"));

    FILETIME winter = utc_filetime(2021, 1, 15, 10, 20, 30);
    FILETIME summer = utc_filetime(2022, 7, 15, 22, 45, 9);
    ASSERT_TRUE(set_file_times(temp.Native(L"small.txt"), winter, winter, winter));
    ASSERT_TRUE(set_file_times(temp.Native(L"big.bin"), winter, winter, summer));
    ASSERT_TRUE(set_file_times(temp.Native(L"sub"), summer, summer, summer));
    ASSERT_TRUE(SetFileAttributesW(temp.Native(L"hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(temp.Native(L"system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM));

    cFolderListing listing;
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    EXPECT_EQ(std::wstring(listing.GetFolder()), temp.Path());
    std::map<std::wstring, Seen> seen = by_name(listing);
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(listing.Count(), 6u);
    EXPECT_EQ(seen[L"..dots"].size, 4u);

    EXPECT_EQ(seen[L"small.txt"].size, 5u);
    EXPECT_EQ(seen[L"small.txt"].kind, PATH_KIND_FILE);
    EXPECT_EQ(seen[L"small.txt"].hidden, 0);
    EXPECT_EQ(seen[L"small.txt"].last_write, expected_local(winter));
    EXPECT_EQ(seen[L"small.txt"].path, temp.Path(L"small.txt"));

    EXPECT_EQ(seen[L"big.bin"].size, 200000u);
    EXPECT_EQ(seen[L"big.bin"].last_write, expected_local(summer));

    EXPECT_EQ(seen[L"sub"].kind, PATH_KIND_FOLDER);
    EXPECT_EQ(seen[L"sub"].last_write, expected_local(summer));
    EXPECT_EQ(seen[L"sub"].path, temp.Path(L"sub"));

    EXPECT_EQ(seen[L"hidden.dat"].hidden, 1);
    EXPECT_EQ(seen[L"system.dat"].hidden, 1);

    SetFileAttributesW(temp.Native(L"hidden.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(temp.Native(L"system.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderListing, KeepsTheFolderInInternalFormAndJoinsOnce)
{
    TempFolder temp(L"listing-join");
    ASSERT_TRUE(temp.WriteFile(L"f", "x"));
    std::wstring native_style = temp.Path() + L"/";
    for (wchar_t& c : native_style)
        if (c == L'/')
            c = L'\\';

    cFolderListing listing;
    ASSERT_TRUE(listing.Read(native_style.c_str(), false));
    EXPECT_EQ(std::wstring(listing.GetFolder()), temp.Path() + L"/");
    _guardchar<wchar_t> path;
    ASSERT_TRUE(listing.GetEntryPath(0, path));
    EXPECT_EQ(std::wstring(path.Text()), temp.Path(L"f"));
    path.Assign(L"kept");
    EXPECT_FALSE(listing.GetEntryPath(1, path));
    EXPECT_FALSE(listing.GetEntryPath(0xFFFFFFFF, path));
    EXPECT_STREQ(path.Text(), L"kept");
}

TEST(FolderListing, EmptyFolderGivesNoEntries)
{
    TempFolder temp(L"listing-empty");
    cFolderListing listing;
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    EXPECT_EQ(listing.Count(), 0u);
    EXPECT_EQ(listing.GetEntry(0), nullptr);
}

TEST(FolderListing, MissingPathsAndFilesAreNoFolders)
{
    TempFolder temp(L"listing-fail");
    ASSERT_TRUE(temp.WriteFile(L"file", "x"));
    cFolderListing listing;
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    ASSERT_EQ(listing.Count(), 1u);

    // Every Read starts by clearing.
    EXPECT_FALSE(listing.Read(temp.Path(L"file").c_str(), true));
    EXPECT_EQ(listing.Count(), 0u);
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    EXPECT_FALSE(listing.Read(temp.Path(L"missing").c_str(), true));
    EXPECT_EQ(listing.Count(), 0u);
    EXPECT_FALSE(listing.Read(nullptr, true));
    EXPECT_FALSE(listing.Read(L"", true));
    // A drive that does not exist and is no remembered network drive.
    EXPECT_FALSE(listing.Read(L"Q:/nothing", true));
}

TEST(FolderListing, ListsFoldersBeyondTheOldPathLimit)
{
    TempFolder temp(L"listing-deep");
    std::wstring relative;
    while (temp.Path(relative).size() < 400) {
        relative += (relative.empty() ? L"" : L"/") + std::wstring(50, L'd');
        ASSERT_TRUE(path_create_folder(temp.Path(relative).c_str()));
    }
    ASSERT_TRUE(temp.WriteFile(relative + L"/one", "1"));
    ASSERT_TRUE(temp.WriteFile(relative + L"/two", "22"));

    cFolderListing listing;
    ASSERT_TRUE(listing.Read(temp.Path(relative).c_str(), true));
    std::map<std::wstring, Seen> seen = by_name(listing);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[L"one"].size, 1u);
    EXPECT_EQ(seen[L"two"].size, 2u);
    EXPECT_EQ(seen[L"two"].path, temp.Path(relative + L"/two"));
    EXPECT_EQ(path_get_kind(seen[L"two"].path.c_str()), PATH_KIND_FILE);
}

TEST(FolderListing, GivesBackItsMemory)
{
    TempFolder temp(L"listing-memory");
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(temp.WriteFile(L"f" + std::to_wstring(i), "x"));
    cHeapBalance balance;
    cFolderListing listing;
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    EXPECT_EQ(listing.Count(), 20u);
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
    listing.Clear();
    EXPECT_EQ(listing.Count(), 0u);
    ASSERT_TRUE(listing.Read(temp.Path().c_str(), true));
}

TEST(FolderListing, AddedEntriesAreNumberedInOrder)
{
    cFolderListing listing;
    cFolderEntry* first = listing.AddEntry(L"first", PATH_KIND_FILE);
    cFolderEntry* second = listing.AddEntry(L"second", PATH_KIND_FOLDER);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(listing.GetEntry(0), first);
    EXPECT_EQ(listing.GetEntry(1), second);
    EXPECT_EQ(second->size, 0u);
    EXPECT_EQ(second->hidden, 0);
    EXPECT_EQ(second->last_write.year, 0);
    _guardchar<wchar_t> path;
    ASSERT_TRUE(listing.GetEntryPath(1, path));
    EXPECT_STREQ(path.Text(), L"second");  // no folder: the name alone
}
