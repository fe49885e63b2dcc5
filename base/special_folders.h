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
// both levels created when missing; the application data is %APPDATA% as
// it is, with its backslashes, else the home folder's AppData/Roaming.
// False when that folder cannot be had: a store has no other place (the
// home folder holds the user's own files). Without a sub, the home folder.
bool get_user_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub);

// The paths of the maker's folder and of that store folder, without a
// final '/', whether or not they exist; nothing is created.
bool get_user_data_paths(const wchar_t* sub, _guardchar<wchar_t>& maker, _guardchar<wchar_t>& store_folder);

// The all-users folder of the named store, "<common application
// data>/Vantrel/<sub>/", when each of its two levels is a folder of the
// administrators' own, judged as itself (path_guarded_as_itself: no link
// or junction, nothing that others may change). With make, a missing level
// is made with the access of what only administrators may change
// (path_set_admin_access), or not at all where that access cannot be
// given; an existing level keeps the access it has. Otherwise false, and
// blocked names the first level, from the top, that stands in the way (a
// file, a link, a folder that others may change, or one missing or that
// could not be made); blocked stays untouched when there is no common
// application data. That is %ProgramData%, else the Application Data
// folder of %ALLUSERSPROFILE% (or that folder itself), else ProgramData or
// Documents and Settings/All Users/Application Data at the root of
// %HOMEDRIVE%.
bool get_common_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub, bool make, _guardchar<wchar_t>& blocked);

// The all-users Start Menu programs folder (ending with '/'), or with a sub
// its group folder named by make_safe_file_name(sub) (no trailing '/'),
// created when missing.
bool get_start_menu_folder(const wchar_t* sub, _guardchar<wchar_t>& out);

// The path of that group folder of sub, whether or not it exists; nothing
// is created. False also when the safe name of sub is empty.
bool get_start_menu_group_path(const wchar_t* sub, _guardchar<wchar_t>& out);

#endif
