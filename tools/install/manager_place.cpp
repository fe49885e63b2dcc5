#include "tools/install/manager_place.h"

#include "base/access_rights.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/install_files.h"
#include "tools/install/install_job.h"
#include "tools/install/kill_point.h"
#include "tools/install/manager_shortcut.h"
#include "tools/package/package_queries.h"
#include "tools/shell/self_command_block.h"
#include "tools/shell/version_query.h"

namespace {

// The first of path's folders, from the top, that is something else than a
// folder; false when there is none.
bool object_above(const wchar_t* path, _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> folder;
    if (!parent_folder_of(path, folder) || folder.IsEmpty())
        return false;
    if (object_above(folder.Text(), out))
        return true;
    uint32_t kind = path_get_kind(folder.Text());
    if (kind == PATH_KIND_MISSING || kind == PATH_KIND_FOLDER)
        return false;
    out.Swap(folder);
    return true;
}

// A clean copy of the running program (without its package) at path.
bool write_manager_copy(const wchar_t* own_path, const wchar_t* path)
{
    if (!own_path || !own_path[0])
        return false;
    uint8_t block[command_block_size];
    copy_own_command_block(block);
    cFileIO file;
    return file.Create(path, FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE) && write_clean_copy_of(block, own_path, &file) &&
           file.Flush();
}

}  // namespace

bool manager_place_ready(_guardchar<wchar_t>& place)
{
    if (!get_manager_place(place))
        return false;
    uint32_t kind = path_get_kind(place.Text());
    if (kind != PATH_KIND_MISSING)
        return kind == PATH_KIND_FILE;
    _guardchar<wchar_t> folder;
    cLinkedList<_guardchar<wchar_t>> made;
    cFileIO probe;
    bool ready = parent_folder_of(place.Text(), folder) && make_folder_path(folder.Text(), &made) &&
                 probe.CreateNew(place.Text(), FILE_MODE_WRITE);
    if (probe.IsOpen()) {
        probe.Close();
        file_delete(place.Text());
    }
    remove_empty_folders(made);
    if (!ready)
        object_above(place.Text(), place);
    return ready;
}

bool cPlacedManager::Place(const wchar_t* own_path, const cInstallJobTexts& texts, const cProductFolders& product_folders,
                           cInstallJobHost& host)
{
    made = false;
    shortcut.Clear();
    blocked.Clear();
    if (!get_manager_place(path))
        return false;
    uint32_t kind = path_get_kind(path.Text());
    if (kind == PATH_KIND_MISSING) {
        made = Refresh(own_path, host);
        if (!made)
            TakeBack(product_folders);
    } else if (kind == PATH_KIND_FILE) {
        uint64_t version = query_manager_version(path.Text());
        if (version == no_version || version < get_own_version())
            Refresh(own_path, host);
    }
    if (path_get_kind(path.Text()) != PATH_KIND_FILE)
        return false;
    place_manager_shortcut(texts.manager_shortcut_name, texts.manager_shortcut_group, path.Text(), product_folders, shortcut,
                           blocked);
    return true;
}

bool cPlacedManager::Refresh(const wchar_t* own_path, cInstallJobHost& host)
{
    _guardchar<wchar_t> temporary, folder;
    if (!temporary_path_of(path.Text(), temporary) || !parent_folder_of(path.Text(), folder) ||
        !make_folder_path(folder.Text(), &folders))
        return false;
    if (!write_manager_copy(own_path, temporary.Text())) {
        file_delete(temporary.Text());
        return false;
    }
    INSTALL_KILL_POINT("manager copied", 0);
    // One step: the manager's path names the old copy or the new one, never
    // nothing, also when the move fails (a scanner holding the new copy).
    while (!file_replace(temporary.Text(), path.Text())) {
        if (!host.AskRelease(path.Text())) {
            file_delete(temporary.Text());
            return false;
        }
    }
    path_set_access(path.Text(), RIGHTS_ALL, RIGHTS_READ | RIGHTS_EXECUTE, RIGHTS_READ | RIGHTS_EXECUTE);
    return true;
}

void cPlacedManager::TakeBack(const cProductFolders& product_folders)
{
    if (made) {
        delete_manager_shortcuts(path.Text(), product_folders, nullptr);
        delete_plain_file(path.Text());
    }
    made = false;
    remove_empty_folders(folders);
    list_clear(folders);
}
