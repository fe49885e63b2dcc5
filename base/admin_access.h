#ifndef BASE_ADMIN_ACCESS_H
#define BASE_ADMIN_ACCESS_H

#include <stdint.h>

// Who besides the administrators may change a file or folder, as
// path_changed_by tells from its owner and its access list. The
// administrators are BUILTIN\Administrators, LocalSystem, TrustedInstaller
// and, while this process runs as an administrator, its own user.
enum : uint32_t {
    PATH_CHANGED_BY_ADMINS = 0,  // nobody else
    // The owner is an administrator, but an entry of the list grants another
    // SID a right to write, append, delete, change the list or take the
    // ownership (a null list grants everyone everything).
    PATH_CHANGED_BY_LISTED = 1,
    PATH_CHANGED_BY_OWNER = 2,  // the owner is somebody else, who may change the list at will
    PATH_CHANGED_BY_UNKNOWN = 3,  // missing, or its owner and list cannot be read
};

// PATH_CHANGED_BY_*, of the file or folder at path itself: a link or
// junction there is judged by its own owner and list, never through what it
// names. Entries that only pass on to what is made inside a folder
// (inherit-only) do not count; an entry of a kind other than a plain grant
// or denial counts as a grant.
uint32_t path_changed_by(const wchar_t* path);

// The file or folder at path is no link or junction, and only the
// administrators may change it (PATH_CHANGED_BY_ADMINS): what it holds is
// theirs, wherever it is reached from.
bool path_guarded_as_itself(const wchar_t* path);

// Gives a file or folder the access of what only administrators may change:
// owned by BUILTIN\Administrators, readable (a folder also listable) by
// everyone, and written only by the Administrators and LocalSystem, whose
// entries pass on to what is made inside a folder; nothing is inherited
// from above. False when the owner or the list cannot be set, as for a
// process without administrator rights, which cannot give the ownership to
// the Administrators.
bool path_set_admin_access(const wchar_t* path);

// This process runs with the rights of the administrators: its token holds
// BUILTIN\Administrators enabled (an elevated run, or LocalSystem), so it
// may change what path_set_admin_access guards. The token is asked once
// per process (a test build lets PELMARO_TEST_STANDARD_USER, asked each
// time, answer no).
bool process_is_administrator();

#endif
