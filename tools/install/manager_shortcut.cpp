#include "tools/install/manager_shortcut.h"

#include "base/file_info.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/path_resolution.h"
#include "base/string_utils.h"
#include "gui/catalog.h"
#include "tools/install/file_replace.h"
#include "tools/install/install_files.h"
#include "tools/install/kill_point.h"
#include "tools/install/record_bounds.h"
#include "tools/install/shell_link.h"
#include "tools/shell/app_language.h"

namespace {

// The link at path is a file that starts the manager.
bool starts_manager(const wchar_t* path, const wchar_t* manager_path)
{
    _guardchar<wchar_t> target;
    if (path_get_kind(path) != PATH_KIND_FILE || path_is_link(path) || !read_shell_link_target(path, target))
        return false;
    path_from_native(target.Buffer());
    return wstr_compare_nocase(target.Text(), manager_path) == 0;
}

// What a cut-off run of this program left beside the shortcut: a whole
// link to the manager, or the file it made empty before it wrote a byte.
// Deleting either loses nothing.
bool own_leftover(const wchar_t* side, const wchar_t* manager_path)
{
    cFileInfo info;
    return starts_manager(side, manager_path) ||
           (path_get_kind(side) == PATH_KIND_FILE && file_resolves_as_written(side) && path_get_info(side, info) &&
            info.size == 0);
}

// Deletes the shortcut that the texts of one language name, unless it is
// kept, and its side file, then its group where that is left empty.
void delete_named_shortcut(const cStringArray* texts, const wchar_t* manager_path, const cProductFolders& folders,
                           const wchar_t* kept)
{
    _guardchar<wchar_t> path, group, side;
    if (!shortcut_path(get_catalog_string(texts, 5), get_catalog_string(texts, 6), path) ||
        !parent_folder_of(path.Text(), group) || path_is_link(group.Text()) || !temporary_path_of(path.Text(), side))
        return;
    if (own_leftover(side.Text(), manager_path))
        delete_plain_file(side.Text());
    if ((!kept || !path_same_identity(path.Text(), kept)) && starts_manager(path.Text(), manager_path))
        delete_plain_file(path.Text());
    // Also a group that a run cut off before its shortcut left empty.
    if (folders.SoundGroup(group.Text()))
        path_remove_folder(group.Text());
}

// Writes a new shortcut at side and moves it to path, where nothing stands;
// false, with neither file of its own left, when either step fails, and
// blocked naming what kept it: what stands at side and is not the
// program's own, the group when nothing could be written in it, or the
// shortcut's place when the move failed.
bool write_and_move(const wchar_t* manager_path, const cProductFolders& folders, const wchar_t* path,
                    const wchar_t* side, _guardchar<wchar_t>& blocked)
{
    if (own_leftover(side, manager_path))
        delete_plain_file(side);
    if (path_get_kind(side) != PATH_KIND_MISSING) {
        blocked.Assign(side);
        return false;
    }
    if (!write_shortcut(side, manager_path, nullptr, nullptr, nullptr, true, true)) {
        parent_folder_of(side, blocked);
        // Nothing of its own at side: its group goes when left empty.
        if (path_get_kind(side) == PATH_KIND_MISSING)
            delete_shortcut_and_empty_group(side, folders);
        return false;
    }
    INSTALL_KILL_POINT("manager shortcut written", 0);
    if (rename_if_unused(side, path))
        return true;
    blocked.Assign(path);
    delete_shortcut_and_empty_group(side, folders);
    return false;
}

}  // namespace

void place_manager_shortcut(const wchar_t* name, const wchar_t* group, const wchar_t* manager_path,
                            const cProductFolders& folders, _guardchar<wchar_t>& made, _guardchar<wchar_t>& blocked)
{
    made.Clear();
    blocked.Clear();
    _guardchar<wchar_t> path, side, folder;
    if (!manager_path || !manager_path[0] || !shortcut_path(name, group, path) ||
        !temporary_path_of(path.Text(), side) || !parent_folder_of(path.Text(), folder))
        return;
    // Written through a link, the shortcut would land wherever it leads.
    uint32_t kind = path_get_kind(folder.Text());
    if ((kind != PATH_KIND_MISSING && kind != PATH_KIND_FOLDER) || path_is_link(folder.Text())) {
        blocked.Swap(folder);
        return;
    }
    if (!make_shortcut_group(name, group, path)) {
        blocked.Swap(folder);
        return;
    }
    if (!starts_manager(path.Text(), manager_path)) {
        if (path_get_kind(path.Text()) != PATH_KIND_MISSING) {
            blocked.Assign(path.Text());
            return;
        }
        if (!write_and_move(manager_path, folders, path.Text(), side.Text(), blocked))
            return;
    }
    INSTALL_KILL_POINT("manager shortcut placed", 0);
    delete_manager_shortcuts(manager_path, folders, path.Text());
    made.Swap(path);
}

bool manager_shortcut_in_place(const wchar_t* name, const wchar_t* group, const wchar_t* manager_path)
{
    _guardchar<wchar_t> path;
    return shortcut_path(name, group, path) && starts_manager(path.Text(), manager_path);
}

void delete_manager_shortcuts(const wchar_t* manager_path, const cProductFolders& folders, const wchar_t* kept)
{
    if (!manager_path || !manager_path[0])
        return;
    cSOPKGLang& provider = application_language_provider();
    for (uint32_t id = 0; id < language_none; ++id) {
        if (!provider.HasLanguage(id))
            continue;
        // A catalog of its own: the interface keeps its language.
        cStringCatalog catalog;
        int32_t size = provider.LoadLanguage(id);
        const uint8_t* container = provider.ReleaseLanguage(id);
        if (size > 0 && container && catalog_read_container(container, uint32_t(size), catalog))
            delete_named_shortcut(catalog_find_section(&catalog, L"pkgm::instp"), manager_path, folders, kept);
    }
}
