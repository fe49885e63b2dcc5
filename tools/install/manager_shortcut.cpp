#include "tools/install/manager_shortcut.h"

#include "base/file_ops.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "gui/catalog.h"
#include "tools/install/file_replace.h"
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

// Deletes the shortcut that the texts of one language name.
void delete_named_shortcut(const cStringArray* texts, const wchar_t* manager_path, const cProductFolders& folders)
{
    _guardchar<wchar_t> path, group;
    if (shortcut_path(get_catalog_string(texts, 5), get_catalog_string(texts, 6), path) &&
        parent_folder_of(path.Text(), group) && !path_is_link(group.Text()) &&
        starts_manager(path.Text(), manager_path))
        delete_shortcut_and_empty_group(path.Text(), folders);
}

}  // namespace

void delete_manager_shortcuts(const wchar_t* manager_path, const cProductFolders& folders)
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
            delete_named_shortcut(catalog_find_section(&catalog, L"pkgm::instp"), manager_path, folders);
    }
}
