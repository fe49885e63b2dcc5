#ifndef TESTS_SUPPORT_FILE_ACCESS_H
#define TESTS_SUPPORT_FILE_ACCESS_H

#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>

// A file's or folder's access list as Windows reads and writes it, for
// tests of who may change what (paths with '/' or '\').

inline std::wstring access_path(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

struct EveryoneSid {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    EveryoneSid()
    {
        DWORD size = sizeof(sid);
        CreateWellKnownSid(WinWorldSid, nullptr, sid, &size);
    }
};

// A grant of the path's list lets everyone write it.
inline bool everyone_may_write(const std::wstring& path)
{
    ACL* list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(access_path(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &list, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    EveryoneSid everyone;
    bool may = false;
    for (DWORD i = 0; list && i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (GetAce(list, i, reinterpret_cast<void**>(&entry)) && entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            (entry->Mask & FILE_WRITE_DATA) && EqualSid(&entry->SidStart, everyone.sid))
            may = true;
    }
    LocalFree(descriptor);
    return may;
}

// Gives everyone write access to the path, beside what its list grants.
inline void let_everyone_write(const std::wstring& path)
{
    std::wstring native = access_path(path);
    ACL* list = nullptr;
    ACL* wider = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(native.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    &list, nullptr, &descriptor),
              DWORD(ERROR_SUCCESS));
    EveryoneSid everyone;
    EXPLICIT_ACCESSW grant = {};
    grant.grfAccessPermissions = FILE_GENERIC_WRITE;
    grant.grfAccessMode = GRANT_ACCESS;
    BuildTrusteeWithSidW(&grant.Trustee, everyone.sid);
    EXPECT_EQ(SetEntriesInAclW(1, &grant, list, &wider), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(SetNamedSecurityInfoW(&native[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, wider,
                                    nullptr),
              DWORD(ERROR_SUCCESS));
    LocalFree(wider);
    LocalFree(descriptor);
    ASSERT_TRUE(everyone_may_write(path));
}

#endif
