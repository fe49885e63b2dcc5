#include "base/admin_access.h"

#include <windows.h>
#include <aclapi.h>

#include "base/access_rights.h"
#include "base/file_handle.h"
#include "base/file_ops.h"
#include "base/path.h"

namespace {

// The rights that change a file or folder: its data, what it holds, its
// attributes, its list, its owner, or that delete it.
const ACCESS_MASK change_rights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                  FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                  GENERIC_ALL;

// A SID built in place.
struct cSidBuffer {
    BYTE bytes[SECURITY_MAX_SID_SIZE];

    PSID Sid() { return bytes; }
    bool Make(SID_IDENTIFIER_AUTHORITY authority, BYTE count, const DWORD* parts)
    {
        if (count > SID_MAX_SUB_AUTHORITIES || !InitializeSid(bytes, &authority, count))
            return false;
        for (BYTE i = 0; i < count; ++i)
            *GetSidSubAuthority(bytes, i) = parts[i];
        return true;
    }
};

// The process's token holds BUILTIN\Administrators enabled. Asked once: a
// token's groups stay as they are.
bool token_holds_administrators()
{
    // 0 not asked yet, 1 no, 2 yes.
    static volatile LONG answer = 0;
    if (answer == 0) {
        static const DWORD administrators_parts[] = {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS};
        cSidBuffer administrators;
        BOOL member = FALSE;
        bool is = administrators.Make(SECURITY_NT_AUTHORITY, 2, administrators_parts) &&
                  CheckTokenMembership(nullptr, administrators.Sid(), &member) && member;
        InterlockedExchange(&answer, is ? 2 : 1);
    }
    return answer == 2;
}

// The administrators of path_changed_by.
class cAdministrators {
public:
    cAdministrators() : user_is_administrator(false) {}

    // False when a SID cannot be built.
    bool Read()
    {
        static const DWORD administrators_parts[] = {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS};
        static const DWORD system_parts[] = {SECURITY_LOCAL_SYSTEM_RID};
        static const DWORD installer_parts[] = {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464};
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        if (!sids[0].Make(nt, 2, administrators_parts) || !sids[1].Make(nt, 1, system_parts) ||
            !sids[2].Make(nt, 6, installer_parts))
            return false;
        // The token's own user made what its runs made (Windows makes an
        // elevated run's files the Administrators' own).
        user_is_administrator = user.Read() && token_holds_administrators();
        return true;
    }
    PSID Administrators() { return sids[0].Sid(); }
    PSID System() { return sids[1].Sid(); }
    bool Holds(PSID sid)
    {
        for (cSidBuffer& known : sids)
            if (EqualSid(sid, known.Sid()))
                return true;
        return user_is_administrator && EqualSid(sid, user.Sid());
    }

private:
    cSidBuffer sids[3];
    cProcessUser user;
    bool user_is_administrator;
};

// A grant in the list lets somebody else change the path.
bool others_may_change(ACL* list, cAdministrators& administrators)
{
    if (!list)
        return true;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACE_HEADER* header = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&header)))
            return true;
        if ((header->AceFlags & INHERIT_ONLY_ACE) || header->AceType == ACCESS_DENIED_ACE_TYPE)
            continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE)
            return true;
        ACCESS_ALLOWED_ACE* grant = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
        if ((grant->Mask & change_rights) && !administrators.Holds(&grant->SidStart))
            return true;
    }
    return false;
}

}  // namespace

bool process_is_administrator()
{
#ifdef RUN_RIGHTS_TEST_HOOK
    // A test build stands in for a run without administrator rights, which
    // the tests' machine cannot start: asked anew each time, so that one
    // test process may play both.
    if (GetEnvironmentVariableW(L"PELMARO_TEST_STANDARD_USER", nullptr, 0))
        return false;
#endif
    return token_holds_administrators();
}

uint32_t path_changed_by(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    cAdministrators administrators;
    if (path_get_kind(path) == PATH_KIND_MISSING || !path_to_native(path, native) || !administrators.Read())
        return PATH_CHANGED_BY_UNKNOWN;
    // The link or junction itself, never what it names: whoever made it may
    // point it anywhere.
    cSafeFD object(CreateFileW(native.Data(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr));
    PSID owner = nullptr;
    ACL* list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!file_handle_is_valid(object.handle) ||
        GetSecurityInfo(object.handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS)
        return PATH_CHANGED_BY_UNKNOWN;
    uint32_t answer = !owner                                      ? PATH_CHANGED_BY_UNKNOWN
                      : !administrators.Holds(owner)              ? PATH_CHANGED_BY_OWNER
                      : others_may_change(list, administrators) ? PATH_CHANGED_BY_LISTED
                                                                  : PATH_CHANGED_BY_ADMINS;
    LocalFree(descriptor);
    return answer;
}

bool path_guarded_as_itself(const wchar_t* path)
{
    return !path_is_link(path) && path_changed_by(path) == PATH_CHANGED_BY_ADMINS;
}

bool path_set_admin_access(const wchar_t* path)
{
    uint32_t kind = path_get_kind(path);
    _typebuf<wchar_t> native;
    cAdministrators administrators;
    cSidBuffer everyone;
    static const DWORD world_parts[] = {SECURITY_WORLD_RID};
    if ((kind != PATH_KIND_FILE && kind != PATH_KIND_FOLDER) || !path_to_native(path, native) ||
        !administrators.Read() || !everyone.Make(SECURITY_WORLD_SID_AUTHORITY, 1, world_parts))
        return false;
    PSID sids[3] = {administrators.System(), administrators.Administrators(), everyone.Sid()};
    DWORD rights[3] = {FILE_ALL_ACCESS, FILE_ALL_ACCESS, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE};
    EXPLICIT_ACCESSW entries[3] = {};
    for (int i = 0; i < 3; ++i) {
        entries[i].grfAccessPermissions = rights[i];
        entries[i].grfAccessMode = GRANT_ACCESS;
        entries[i].grfInheritance = kind == PATH_KIND_FOLDER ? SUB_CONTAINERS_AND_OBJECTS_INHERIT : NO_INHERITANCE;
        entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[i].Trustee.ptstrName = static_cast<wchar_t*>(sids[i]);
    }
    ACL* list = nullptr;
    if (SetEntriesInAclW(3, entries, nullptr, &list) != ERROR_SUCCESS)
        return false;
    bool set = SetNamedSecurityInfoW(native.Data(), SE_FILE_OBJECT,
                                     OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                         PROTECTED_DACL_SECURITY_INFORMATION,
                                     administrators.Administrators(), nullptr, list, nullptr) == ERROR_SUCCESS;
    LocalFree(list);
    return set;
}
