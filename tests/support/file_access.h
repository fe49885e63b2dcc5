#ifndef TESTS_SUPPORT_FILE_ACCESS_H
#define TESTS_SUPPORT_FILE_ACCESS_H

#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>

// Who may write a file or folder, as Windows reads and writes its list.

inline PSID everyone_sid()
{
    static BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(sid);
    CreateWellKnownSid(WinWorldSid, nullptr, sid, &size);
    return sid;
}

// A grant of the path's list lets everyone write it.
inline bool everyone_may_write(const std::wstring& path)
{
    ACL* list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool may = false;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                              nullptr, &descriptor) == ERROR_SUCCESS)
        for (DWORD i = 0; list && i < list->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* entry = nullptr;
            may |= GetAce(list, i, reinterpret_cast<void**>(&entry)) &&
                   entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (entry->Mask & FILE_WRITE_DATA) &&
                   EqualSid(&entry->SidStart, everyone_sid());
        }
    LocalFree(descriptor);
    return may;
}

// Gives everyone write access to the path, beside what its list grants.
inline void let_everyone_write(const std::wstring& path)
{
    ACL *list = nullptr, *wider = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPLICIT_ACCESSW grant = {FILE_GENERIC_WRITE, GRANT_ACCESS, NO_INHERITANCE, {}};
    BuildTrusteeWithSidW(&grant.Trustee, everyone_sid());
    ASSERT_EQ(GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                                    nullptr, &descriptor),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(SetEntriesInAclW(1, &grant, list, &wider), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, wider, nullptr),
              DWORD(ERROR_SUCCESS));
    LocalFree(wider);
    LocalFree(descriptor);
    ASSERT_TRUE(everyone_may_write(path));
}

#endif
