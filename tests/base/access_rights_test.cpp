#include "base/access_rights.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

// SIDs as the system itself names them, apart from the code under test.
struct WellKnownSid {
    BYTE bytes[SECURITY_MAX_SID_SIZE];
    explicit WellKnownSid(WELL_KNOWN_SID_TYPE type)
    {
        DWORD size = sizeof(bytes);
        EXPECT_TRUE(CreateWellKnownSid(type, nullptr, bytes, &size));
    }
};

std::vector<BYTE> token_user_sid()
{
    HANDLE token;
    EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    BYTE record[512];
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(token, TokenUser, record, sizeof(record), &size));
    CloseHandle(token);
    PSID sid = reinterpret_cast<TOKEN_USER*>(record)->User.Sid;
    BYTE* bytes = static_cast<BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

struct Ace {
    BYTE type;
    BYTE flags;
    ACCESS_MASK mask;
    PSID sid;
};

std::vector<Ace> aces_of(ACL* acl)
{
    std::vector<Ace> aces;
    ACL_SIZE_INFORMATION size;
    if (!GetAclInformation(acl, &size, sizeof(size), AclSizeInformation))
        return aces;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* raw = nullptr;
        if (!GetAce(acl, i, &raw))
            break;
        ACCESS_ALLOWED_ACE* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, &ace->SidStart});
    }
    return aces;
}

}  // namespace

TEST(RightsToAccessMask, FollowsTheRightsTable)
{
    struct Row {
        uint8_t rights;
        uint32_t mask;
    };
    const Row table[] = {
        {0, 0},
        {1, 0x20},
        {2, 0x50016},
        {3, 0x50036},
        {4, 0x120089},
        {5, 0x1200A9},
        {6, 0x17009F},
        {7, 0x1F01FF},
        // Only the low three bits count.
        {8, 0},
        {13, 0x1200A9},
        {0xFF, 0x1F01FF},
    };
    for (const Row& row : table)
        EXPECT_EQ(rights_to_access_mask(row.rights), row.mask) << int(row.rights);
    // Full control is the system's own full-access mask.
    EXPECT_EQ(rights_to_access_mask(7), uint32_t(FILE_ALL_ACCESS));
    EXPECT_EQ(rights_to_access_mask(4), uint32_t(FILE_GENERIC_READ));
}

TEST(AccessList, GrantsUserAdministratorsAndEveryoneInThatOrder)
{
    cAccessList list;
    EXPECT_EQ(list.Acl(), nullptr);
    ASSERT_TRUE(list.Build(7, 5, 4));
    ASSERT_NE(list.Acl(), nullptr);
    EXPECT_TRUE(IsValidAcl(list.Acl()));

    std::vector<Ace> aces = aces_of(list.Acl());
    ASSERT_EQ(aces.size(), 3u);
    std::vector<BYTE> user = token_user_sid();
    WellKnownSid administrators(WinBuiltinAdministratorsSid);
    WellKnownSid everyone(WinWorldSid);
    PSID expected_sids[3] = {user.data(), administrators.bytes, everyone.bytes};
    const uint32_t expected_masks[3] = {0x1F01FF, 0x1200A9, 0x120089};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(aces[i].type, ACCESS_ALLOWED_ACE_TYPE) << i;
        EXPECT_EQ(aces[i].flags, 0) << i;  // nothing inherited, nothing passed on
        EXPECT_EQ(aces[i].mask, expected_masks[i]) << i;
        EXPECT_TRUE(EqualSid(aces[i].sid, expected_sids[i])) << i;
    }
}

TEST(AccessList, RebuildingReplacesTheList)
{
    cAccessList list;
    ASSERT_TRUE(list.Build(7, 7, 7));
    ASSERT_TRUE(list.Build(6, 2, 1));
    std::vector<Ace> aces = aces_of(list.Acl());
    ASSERT_EQ(aces.size(), 3u);
    EXPECT_EQ(aces[0].mask, 0x17009Fu);
    EXPECT_EQ(aces[1].mask, 0x50016u);
    EXPECT_EQ(aces[2].mask, 0x20u);
}

TEST(ProcessUser, ReadsTheTokenUser)
{
    cProcessUser user;
    EXPECT_EQ(user.Sid(), nullptr);
    ASSERT_TRUE(user.Read());
    std::vector<BYTE> expected = token_user_sid();
    EXPECT_TRUE(EqualSid(user.Sid(), expected.data()));
}

TEST(PathRights, MissingPathsAreUnknownAndNotWritable)
{
    TempFolder temp(L"rights");
    EXPECT_EQ(path_get_rights(temp.Path(L"missing").c_str()), RIGHTS_UNKNOWN);
    EXPECT_EQ(path_get_rights(nullptr), RIGHTS_UNKNOWN);
    EXPECT_EQ(path_get_rights(L""), RIGHTS_UNKNOWN);
    EXPECT_FALSE(path_can_write(temp.Path(L"missing").c_str()));
    EXPECT_FALSE(path_can_write(nullptr));
}

// A writable folder and a file in it, whether the access list answers or the
// access check stands in for it.
TEST(PathRights, ATempFolderAndItsFilesAreFullyOurs)
{
    TempFolder temp(L"rights-ours");
    ASSERT_TRUE(temp.WriteFile(L"file", "x"));
    for (const std::wstring& path : {temp.Path(), temp.Path(L"file")}) {
        EXPECT_EQ(path_get_rights(path.c_str()), RIGHTS_ALL) << std::string(path.begin(), path.end());
        EXPECT_TRUE(path_can_write(path.c_str()));
    }
}

// Lists in the system's own descriptor language, with this process among
// Everyone (WD); FR, FW, FX and FA are the generic file read, write,
// execute and full masks, ID marks an inherited entry.
TEST(DescriptorRights, FollowTheAccessCheckOfTheList)
{
    struct Row {
        const wchar_t* list;
        uint8_t rights;
    };
    const Row table[] = {
        {L"D:(A;;FA;;;WD)", RIGHTS_ALL},
        {L"D:(A;;FR;;;WD)", RIGHTS_READ},
        {L"D:(A;;FRFX;;;WD)", RIGHTS_READ | RIGHTS_EXECUTE},
        {L"D:(A;;FRFW;;;WD)", RIGHTS_READ | RIGHTS_WRITE},
        // An inherited deny entry: the list that the list-only evaluation
        // refuses.
        {L"D:(A;;FR;;;WD)(D;ID;FW;;;WD)(A;ID;FA;;;WD)", RIGHTS_READ | RIGHTS_EXECUTE},
        {L"D:(D;;FA;;;S-1-5-21-1-2-3-1001)(A;;FA;;;WD)", RIGHTS_ALL},  // denied to another
        {L"D:", 0},  // an empty list grants nothing
    };
    for (const Row& row : table) {
        std::wstring text = std::wstring(L"O:BAG:BA") + row.list;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor,
                                                                         nullptr))
            << std::string(text.begin(), text.end());
        EXPECT_EQ(descriptor_get_rights(descriptor), row.rights) << std::string(text.begin(), text.end());
        LocalFree(descriptor);
    }
    EXPECT_EQ(descriptor_get_rights(nullptr), RIGHTS_UNKNOWN);
}

TEST(PathSetAccess, NeedsAFileOrAFolder)
{
    TempFolder temp(L"set-access");
    EXPECT_FALSE(path_set_access(temp.Path(L"missing").c_str(), 7, 7, 5));
    EXPECT_FALSE(path_set_access(nullptr, 7, 7, 5));
}
