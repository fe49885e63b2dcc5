#include "base/access_rights.h"

#include <windows.h>
#include <aclapi.h>

#include "base/file_handle.h"
#include "base/file_ops.h"
#include "base/path.h"

namespace {

// Read: data, attributes, extended attributes, the descriptor, waiting.
const uint32_t read_mask = 0x120089;
// Write: data, appends, extended attributes, deleting, changing the list.
const uint32_t write_mask = 0x50016;
const uint32_t execute_mask = FILE_EXECUTE;

uint8_t rights_of_mask(ACCESS_MASK mask)
{
    uint8_t rights = 0;
    if (mask & FILE_READ_DATA)
        rights |= RIGHTS_READ;
    if (mask & FILE_WRITE_DATA)
        rights |= RIGHTS_WRITE;
    if (mask & FILE_EXECUTE)
        rights |= RIGHTS_EXECUTE;
    return rights;
}

}  // namespace

uint32_t rights_to_access_mask(uint8_t rights)
{
    rights &= RIGHTS_ALL;
    // Full control is more than the three grants together.
    if (rights == RIGHTS_ALL)
        return FILE_ALL_ACCESS;
    uint32_t mask = 0;
    if (rights & RIGHTS_READ)
        mask += read_mask;
    if (rights & RIGHTS_WRITE)
        mask += write_mask;
    if (rights & RIGHTS_EXECUTE)
        mask += execute_mask;
    return mask;
}

bool cProcessUser::Read()
{
    token_user.Clear();
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    _typebuf<uint8_t> record{int32_t(size)};
    bool read = record.Data() && GetTokenInformation(token, TokenUser, record.Data(), size, &size);
    CloseHandle(token);
    if (!read || !IsValidSid(reinterpret_cast<TOKEN_USER*>(record.Data())->User.Sid))
        return false;
    token_user = static_cast<_typebuf<uint8_t>&&>(record);
    return true;
}

void* cProcessUser::Sid()
{
    return token_user.Data() ? reinterpret_cast<TOKEN_USER*>(token_user.Data())->User.Sid : nullptr;
}

uint8_t path_get_rights(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    cProcessUser user;
    if (path_get_kind(path) == PATH_KIND_MISSING || !path_to_native(path, native) || !user.Read())
        return RIGHTS_UNKNOWN;
    ACL* dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(native.Data(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return RIGHTS_UNKNOWN;
    TRUSTEEW trustee;
    BuildTrusteeWithSidW(&trustee, user.Sid());
    ACCESS_MASK mask = 0;
    uint8_t rights = GetEffectiveRightsFromAclW(dacl, &trustee, &mask) == ERROR_SUCCESS
                         ? rights_of_mask(mask)
                         : descriptor_get_rights(descriptor);
    LocalFree(descriptor);
    return rights;
}

uint8_t descriptor_get_rights(void* descriptor)
{
    // The access check wants an impersonation token; the process token is a
    // primary one.
    cSafeFD process_token, token;
    if (!descriptor || !OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, &process_token.handle) ||
        !DuplicateToken(process_token.handle, SecurityImpersonation, &token.handle))
        return RIGHTS_UNKNOWN;
    GENERIC_MAPPING files = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges;
    DWORD privileges_size = sizeof(privileges);
    DWORD granted = 0;
    BOOL allowed = FALSE;
    if (!AccessCheck(descriptor, token.handle, MAXIMUM_ALLOWED, &files, &privileges, &privileges_size, &granted,
                     &allowed))
        return RIGHTS_UNKNOWN;
    return allowed ? rights_of_mask(granted) : 0;
}

bool path_can_write(const wchar_t* path)
{
    uint8_t rights = path_get_rights(path);
    return rights != RIGHTS_UNKNOWN && (rights & RIGHTS_WRITE);
}

cAccessList::cAccessList() : administrators(nullptr), everyone(nullptr), acl(nullptr) {}

cAccessList::~cAccessList()
{
    Free();
}

void cAccessList::Free()
{
    if (administrators)
        FreeSid(administrators);
    if (everyone)
        FreeSid(everyone);
    if (acl)
        LocalFree(acl);
    administrators = everyone = nullptr;
    acl = nullptr;
}

bool cAccessList::Build(uint8_t user_rights, uint8_t administrators_rights, uint8_t everyone_rights)
{
    Free();
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY world_authority = SECURITY_WORLD_SID_AUTHORITY;
    if (!user.Read() ||
        !AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, &administrators) ||
        !AllocateAndInitializeSid(&world_authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;

    void* sids[3] = {user.Sid(), administrators, everyone};
    uint8_t rights[3] = {user_rights, administrators_rights, everyone_rights};
    EXPLICIT_ACCESSW entries[3] = {};
    for (int i = 0; i < 3; ++i) {
        entries[i].grfAccessPermissions = rights_to_access_mask(rights[i]);
        entries[i].grfAccessMode = GRANT_ACCESS;
        entries[i].grfInheritance = NO_INHERITANCE;
        entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[i].Trustee.ptstrName = static_cast<wchar_t*>(sids[i]);
    }
    return SetEntriesInAclW(3, entries, nullptr, &acl) == ERROR_SUCCESS;
}

bool path_set_access(const wchar_t* path, uint8_t user_rights, uint8_t administrators_rights,
                     uint8_t everyone_rights)
{
    uint32_t kind = path_get_kind(path);
    _typebuf<wchar_t> native;
    cAccessList list;
    if ((kind != PATH_KIND_FILE && kind != PATH_KIND_FOLDER) || !path_to_native(path, native) ||
        !list.Build(user_rights, administrators_rights, everyone_rights))
        return false;
    return SetNamedSecurityInfoW(native.Data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 list.Acl(), nullptr) == ERROR_SUCCESS;
}
