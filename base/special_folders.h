#ifndef BASE_SPECIAL_FOLDERS_H
#define BASE_SPECIAL_FOLDERS_H

#include "base/buffers/guardchar.h"

// Folders the system names through the environment. Environment values are
// read as env_get does (260 characters at most). Outputs are left untouched
// on failure.

// %TEMP% in internal form.
bool get_temp_folder(_guardchar<wchar_t>& out);

// %USERPROFILE%, else %HOMEDRIVE%%HOMEPATH%, in internal form.
bool get_home_folder(_guardchar<wchar_t>& out);

// The per-user folder of the named store, "<application data>/Vantrel/<sub>/",
// both levels created when missing; %APPDATA% enters as it is, with its
// backslashes. Where that folder cannot be had, out is the home folder and
// the answer is whether the home folder is known (so also without a sub).
bool get_user_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub);

// The all-users folder of the named store, "<common application
// data>/Vantrel/<sub>/", both levels created when missing with the access
// of what only administrators may change (path_set_admin_access), or not
// at all where that access cannot be given; an existing level keeps the
// access it has. The common application data is %ProgramData%, else the
// Application Data folder of %ALLUSERSPROFILE% (or that folder itself),
// else ProgramData or Documents and Settings/All Users/Application Data at
// the root of %HOMEDRIVE%.
bool get_common_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub);

// The paths of the maker's folder and of that store folder, without a
// final '/', whether or not they exist; nothing is created.
bool get_common_data_paths(const wchar_t* sub, _guardchar<wchar_t>& maker, _guardchar<wchar_t>& store_folder);

// The all-users Start Menu programs folder (ending with '/'), or with a sub
// its group folder named by make_safe_file_name(sub) (no trailing '/'),
// created when missing.
bool get_start_menu_folder(const wchar_t* sub, _guardchar<wchar_t>& out);

// The path of that group folder of sub, whether or not it exists; nothing
// is created. False also when the safe name of sub is empty.
bool get_start_menu_group_path(const wchar_t* sub, _guardchar<wchar_t>& out);

#endif
