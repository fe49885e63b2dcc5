#include "tools/install/manager_shortcut.h"

#include "base/file_ops.h"
#include "base/path.h"
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

// With its group when that is left empty.
void delete_if_manager_link(const wchar_t* path, const wchar_t* manager_path, const cProductFolders& folders)
{
    if (starts_manager(path, manager_path))
        delete_shortcut_and_empty_group(path, folders);
}

// Deletes the shortcut that the texts of one language name, unless it is
// kept, and its side file.
void delete_named_shortcut(const cStringArray* texts, const wchar_t* manager_path, const cProductFolders& folders,
                           const wchar_t* kept)
{
    _guardchar<wchar_t> path, group, side;
    if (!shortcut_path(get_catalog_string(texts, 5), get_catalog_string(texts, 6), path) ||
        !parent_folder_of(path.Text(), group) || path_is_link(group.Text()) || !temporary_path_of(path.Text(), side))
        return;
    delete_if_manager_link(side.Text(), manager_path, folders);
    if (!kept || !path_same_identity(path.Text(), kept))
        delete_if_manager_link(path.Text(), manager_path, folders);
}

// Writes a new shortcut at side and moves it to path, where nothing stands;
// false, with neither file of its own left, when either step fails.
bool write_and_move(const wchar_t* manager_path, const cProductFolders& folders, const wchar_t* path,
                    const wchar_t* side)
{
    // A side file that a cut-off run left whole goes; anything else there
    // is another's.
    if (starts_manager(side, manager_path))
        delete_plain_file(side);
    if (path_get_kind(side) != PATH_KIND_MISSING)
        return false;
    if (!write_shortcut(side, manager_path, nullptr, nullptr, nullptr, true, true)) {
        // Nothing of its own at side: its group goes when left empty.
        if (path_get_kind(side) == PATH_KIND_MISSING)
            delete_shortcut_and_empty_group(side, folders);
        return false;
    }
    INSTALL_KILL_POINT("manager shortcut written", 0);
    if (rename_if_unused(side, path))
        return true;
    delete_shortcut_and_empty_group(side, folders);
    return false;
}

}  // namespace

void place_manager_shortcut(const wchar_t* name, const wchar_t* group, const wchar_t* manager_path,
                            const cProductFolders& folders, _guardchar<wchar_t>& made)
{
    made.Clear();
    _guardchar<wchar_t> path, side;
    if (!manager_path || !manager_path[0] || !make_shortcut_group(name, group, path) ||
        !temporary_path_of(path.Text(), side))
        return;
    if (!starts_manager(path.Text(), manager_path) &&
        (path_get_kind(path.Text()) != PATH_KIND_MISSING ||
         !write_and_move(manager_path, folders, path.Text(), side.Text())))
        return;
    INSTALL_KILL_POINT("manager shortcut placed", 0);
    delete_manager_shortcuts(manager_path, folders, path.Text());
    made.Swap(path);
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
