#ifndef BASE_ACCESS_RIGHTS_H
#define BASE_ACCESS_RIGHTS_H

#include <stdint.h>

#include "base/buffers/typebuf.h"

struct _ACL;

// Rights are three bits: 4 read, 2 write, 1 execute. 7 is full control.
// path_get_rights answers RIGHTS_UNKNOWN when it cannot tell.
enum : uint8_t {
    RIGHTS_EXECUTE = 1,
    RIGHTS_WRITE = 2,
    RIGHTS_READ = 4,
    RIGHTS_ALL = 7,
    RIGHTS_UNKNOWN = 8,
};

// The file access mask that grants rights (only its low three bits count).
uint32_t rights_to_access_mask(uint8_t rights);

// The current user's effective rights on the path, from its access list.
// Where the list alone cannot answer (Windows' evaluation of it fails, as
// for a list with an inherited deny entry), descriptor_get_rights does.
uint8_t path_get_rights(const wchar_t* path);

// The rights that a security descriptor (with owner, group and access list)
// grants this process, as the system's own access check decides for its
// token; RIGHTS_UNKNOWN when the check cannot run.
uint8_t descriptor_get_rights(void* descriptor);

// The current user may write the path (and that could be determined).
bool path_can_write(const wchar_t* path);

// Replaces the access list of a file or folder with three grants, in this
// order: the current user, BUILTIN\Administrators and Everyone, each with
// the mask of its rights. Nothing is inherited into or from the list.
bool path_set_access(const wchar_t* path, uint8_t user_rights, uint8_t administrators_rights,
                     uint8_t everyone_rights);

// The SID of the user this process runs as, read from its token.
class cProcessUser {
public:
    cProcessUser() {}
    cProcessUser(const cProcessUser&) = delete;
    cProcessUser& operator=(const cProcessUser&) = delete;

    // False when the token or its user cannot be read or holds no valid SID.
    bool Read();
    // Null until Read succeeded; valid as long as this object.
    void* Sid();

private:
    _typebuf<uint8_t> token_user;  // a TOKEN_USER record with its SID
};

// The access list path_set_access gives a path, built in memory. Owns the
// SIDs and the list it makes and frees them in its destructor.
class cAccessList {
public:
    cAccessList();
    ~cAccessList();
    cAccessList(const cAccessList&) = delete;
    cAccessList& operator=(const cAccessList&) = delete;

    // Builds the three grants from the rights; false when a SID or the list
    // cannot be made.
    bool Build(uint8_t user_rights, uint8_t administrators_rights, uint8_t everyone_rights);
    // Null until Build succeeded.
    _ACL* Acl() { return acl; }

private:
    cProcessUser user;
    void* administrators;
    void* everyone;
    _ACL* acl;

    void Free();
};

#endif
