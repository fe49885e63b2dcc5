#include "base/special_folders.h"

#include "base/admin_access.h"
#include "base/environment.h"
#include "base/file_ops.h"
#include "base/path.h"

namespace {

// False when the copy cannot be allocated (out is empty then).
bool store(_guardchar<wchar_t>& out, const wchar_t* text)
{
    out.Assign(text);
    return !out.IsEmpty();
}

// Brings text into internal form and stores it in out.
bool assign_internal(_guardchar<wchar_t>& text, _guardchar<wchar_t>& out)
{
    path_from_native(text.Buffer());
    return store(out, text.Text());
}

bool is_folder(const _guardchar<wchar_t>& path)
{
    return path_get_kind(path.Text()) == PATH_KIND_FOLDER;
}

// The variable's value, when it names an existing folder.
bool env_folder(const wchar_t* name, _guardchar<wchar_t>& out)
{
    return env_get(name, out) && is_folder(out);
}

// base/Vantrel and base/Vantrel/sub, without a final '/'.
bool store_folder_paths(const wchar_t* base, const wchar_t* sub, _guardchar<wchar_t>& maker,
                        _guardchar<wchar_t>& store_folder)
{
    return sub && sub[0] && path_join(base, L"Vantrel", maker) &&
           path_format(store_folder, L"%s/%s", maker.Text(), sub);
}

// The application data folder of the user: %APPDATA% as it is, with its
// backslashes, else the home folder's AppData/Roaming.
bool user_data_base(_guardchar<wchar_t>& base)
{
    if (env_get(L"APPDATA", base))
        return true;
    _guardchar<wchar_t> home;
    return get_home_folder(home) && path_format(base, L"%s/AppData/Roaming/", home.Text());
}

// A level of the common store's folder: a folder of the administrators'
// own, made as one when missing and make is set. A level made by hand, or
// a link that could lead anywhere, keeps the access it has: whoever could
// change it may have put something in it already, which new access would
// pass off as the administrators'.
bool common_level(const wchar_t* folder, bool make)
{
    uint32_t kind = path_get_kind(folder);
    if (kind != PATH_KIND_MISSING)
        return kind == PATH_KIND_FOLDER && path_guarded_as_itself(folder);
    if (!make || !path_create_folder(folder))
        return false;
    if (path_set_admin_access(folder))
        return true;
    path_remove_folder(folder);
    return false;
}

bool common_data_base(_guardchar<wchar_t>& base)
{
    if (env_folder(L"ProgramData", base))
        return true;
    _guardchar<wchar_t> root;
    if (env_folder(L"ALLUSERSPROFILE", root)) {
        if (path_join(root.Text(), L"Application Data/", base) && is_folder(base))
            return true;
        return store(base, root.Text());
    }
    if (!env_get(L"HOMEDRIVE", root))
        return false;
    return (path_join(root.Text(), L"ProgramData", base) && is_folder(base)) ||
           (path_join(root.Text(), L"Documents and Settings/All Users/Application Data", base) &&
            is_folder(base));
}

// format applied to the all-users folder, in internal form, when that names
// an existing folder.
bool programs_folder(const _guardchar<wchar_t>& all_users, const wchar_t* format, _guardchar<wchar_t>& out)
{
    if (!path_format(out, format, all_users.Text()))
        return false;
    path_from_native(out.Buffer());
    return is_folder(out);
}

// The group folder of sub in programs, named by make_safe_file_name(sub).
bool group_path(const _guardchar<wchar_t>& programs, const wchar_t* sub, _guardchar<wchar_t>& out)
{
    wchar_t safe_name[260];
    make_safe_file_name(sub, safe_name, 260);
    return path_join(programs.Text(), safe_name, out);
}

}  // namespace

bool get_temp_folder(_guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> value;
    return env_get(L"TEMP", value) && assign_internal(value, out);
}

bool get_home_folder(_guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> home;
    if (!env_get(L"USERPROFILE", home)) {
        _guardchar<wchar_t> drive, path;
        if (!env_get(L"HOMEDRIVE", drive) || !env_get(L"HOMEPATH", path) ||
            !path_format(home, L"%s%s", drive.Text(), path.Text()))
            return false;
    }
    return assign_internal(home, out);
}

bool get_user_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub)
{
    if (!sub || !sub[0])
        return get_home_folder(out);
    _guardchar<wchar_t> maker, store_folder;
    return get_user_data_paths(sub, maker, store_folder) && path_create_folder(maker.Text()) &&
           path_create_folder(store_folder.Text()) && path_format(out, L"%s/", store_folder.Text());
}

bool get_user_data_paths(const wchar_t* sub, _guardchar<wchar_t>& maker, _guardchar<wchar_t>& store_folder)
{
    _guardchar<wchar_t> base;
    return user_data_base(base) && store_folder_paths(base.Text(), sub, maker, store_folder);
}

bool get_common_data_folder(_guardchar<wchar_t>& out, const wchar_t* sub, bool make, _guardchar<wchar_t>& blocked)
{
    _guardchar<wchar_t> base, levels[2];
    if (!common_data_base(base) || !store_folder_paths(base.Text(), sub, levels[0], levels[1]))
        return false;
    for (_guardchar<wchar_t>& level : levels)
        if (!common_level(level.Text(), make)) {
            blocked.Swap(level);
            return false;
        }
    return path_format(out, L"%s/", levels[1].Text());
}

bool get_start_menu_folder(const wchar_t* sub, _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> all_users, programs;
    if (!env_folder(L"ALLUSERSPROFILE", all_users))
        return false;
    if (!programs_folder(all_users, L"%s/Microsoft/Windows/Start Menu/Programs/", programs) &&
        !programs_folder(all_users, L"%s/Start Menu/Programs/", programs))
        return false;
    if (!sub)
        return store(out, programs.Text());
    _guardchar<wchar_t> group;
    if (!group_path(programs, sub, group))
        return false;
    uint32_t kind = path_get_kind(group.Text());
    if (kind == PATH_KIND_MISSING ? !path_create_folder(group.Text()) : kind != PATH_KIND_FOLDER)
        return false;
    return store(out, group.Text());
}

bool get_start_menu_group_path(const wchar_t* sub, _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> programs, group;
    // An empty safe name leaves the Programs folder itself.
    return sub && get_start_menu_folder(nullptr, programs) && group_path(programs, sub, group) &&
           group.Length() > programs.Length() && store(out, group.Text());
}
