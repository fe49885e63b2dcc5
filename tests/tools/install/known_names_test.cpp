#include "tools/install/known_names.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/file_ops.h"
#include "tests/support/temp_folder.h"

namespace {

// The kind Windows itself gives the path.
uint32_t windows_kind(const TempFolder& folder, const std::wstring& inside)
{
    DWORD attributes = folder.Attributes(inside);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PATH_KIND_MISSING;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PATH_KIND_FOLDER : PATH_KIND_FILE;
}

}  // namespace

// Asked in the order given, after the tree was made and the first question
// listed its folder; each answer is what Windows says, also for names spelt
// in another case and for names the job adds or makes after the listing.
TEST(KnownNames, AnswersAsWindowsDoes)
{
    struct Step {
        const wchar_t* make;  // a file made now, before the question; or null
        bool add;             // and told to the names
        const wchar_t* ask;
    };
    struct NamesCase {
        const wchar_t* name;
        std::vector<std::wstring> tree;  // "name/" a folder, else a file
        std::vector<Step> steps;
    };
    const NamesCase cases[] = {
        {L"a listed folder",
         {L"d/", L"d/Target.bin", L"d/target.bin.bkp", L"d/sub/"},
         {{nullptr, false, L"d/target.bin"},
          {nullptr, false, L"d/TARGET.BIN.BKP"},
          {nullptr, false, L"d/target.bin.tmp"},
          {nullptr, false, L"d/sub"},
          {nullptr, false, L"d/other"}}},
        {L"a missing folder", {}, {{nullptr, false, L"new/a"}, {nullptr, false, L"new/b/c"}}},
        {L"a file where the folder goes", {L"f"}, {{nullptr, false, L"f/a"}}},
        {L"a name the job adds", {L"d/", L"d/x"}, {{nullptr, false, L"d/x"}, {L"d/x.bkp", true, L"d/x.bkp"}}},
        // Listed empty, the folder may be unreadable: every name is asked.
        {L"an empty folder", {L"e/"}, {{nullptr, false, L"e/a"}, {L"e/b", false, L"e/b"}}},
    };
    for (const NamesCase& c : cases) {
        TempFolder folder(L"names");
        for (const std::wstring& entry : c.tree)
            if (entry.back() == L'/')
                ASSERT_TRUE(CreateDirectoryW(folder.Native(entry.substr(0, entry.size() - 1)).c_str(), nullptr));
            else
                ASSERT_TRUE(folder.WriteFile(entry, "x"));
        cKnownNames names;
        for (const Step& step : c.steps) {
            std::wstring path = folder.Path() + L"/" + step.ask;
            if (step.make) {
                ASSERT_TRUE(folder.WriteFile(step.make, "x"));
                if (step.add)
                    names.Add((folder.Path() + L"/" + step.make).c_str());
            }
            EXPECT_EQ(names.Kind(path.c_str()), windows_kind(folder, step.ask)) << c.name << ": " << step.ask;
        }
    }
}

// After Clear the folders are listed again: a file made since is seen.
TEST(KnownNames, ClearListsAgain)
{
    TempFolder folder(L"names");
    ASSERT_TRUE(folder.WriteFile(L"a", "x"));
    cKnownNames names;
    std::wstring later = folder.Path() + L"/b";
    EXPECT_EQ(names.Kind(later.c_str()), uint32_t(PATH_KIND_MISSING));
    ASSERT_TRUE(folder.WriteFile(L"b", "x"));
    names.Clear();
    EXPECT_EQ(names.Kind(later.c_str()), uint32_t(PATH_KIND_FILE));
}
