#include "tools/install/made_folders.h"

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/record_bounds.h"

namespace {

// Past this a count is damage: no product makes more folders than files,
// and reading on would only cost time.
const int32_t folders_limit = 1 << 20;

}  // namespace

bool read_made_folders(cApplicationConfig& store, const char* key, cLinkedList<_guardchar<wchar_t>>& out)
{
    return read_recorded_folders(store, key, "folders", "folder", folders_limit, out);
}

cFolderPrune::cFolderPrune(cApplicationConfig& store, const char* key, const cRecordBounds& record_bounds)
    : bounds(record_bounds), made(1024), taken(1024)
{
    cLinkedList<_guardchar<wchar_t>> folders;
    listed = read_made_folders(store, key, folders);
    for (auto* node = folders.first; node; node = node->next) {
        cPackedKey identity;
        path_identity_key(node->element.Text(), identity);
        tree_get_or_add(made, static_cast<cPackedKey&&>(identity));
    }
    if (bounds.GroupRecorded() && bounds.GroupSound())
        path_identity_key(bounds.Group().Text(), group);
}

bool cFolderPrune::MayGo(const wchar_t* folder, const cPackedKey& identity) const
{
    if (bounds.HoldsShortcut(folder) || (group.Data() && packedkey_equal(identity, group)))
        return true;
    if (listed)
        return tree_find_node(made, identity) != nullptr;
    if (!bounds.FolderSound())
        return false;
    cPackedKey install;
    path_identity_key(bounds.Folder().Text(), install);
    return packedkey_equal(identity, install) || bounds.HoldsFile(folder);
}

void cFolderPrune::Folder(const wchar_t* path)
{
    cPackedKey identity;
    path_identity_key(path, identity);
    if (!identity.Data() || tree_find_node(taken, identity) || !MayGo(path, identity))
        return;
    if (_guardchar<wchar_t>* kept = tree_get_or_add(taken, static_cast<cPackedKey&&>(identity)))
        kept->Assign(path);
}

void cFolderPrune::Above(const wchar_t* path)
{
    _guardchar<wchar_t> folder;
    if (!parent_folder_of(path, folder))
        return;
    for (;;) {
        cPackedKey identity;
        path_identity_key(folder.Text(), identity);
        if (!identity.Data() || tree_find_node(taken, identity) || !MayGo(folder.Text(), identity))
            return;
        _guardchar<wchar_t>* kept = tree_get_or_add(taken, static_cast<cPackedKey&&>(identity));
        if (!kept)
            return;
        kept->Swap(folder);
        if (!parent_folder_of(kept->Text(), folder))
            return;
    }
}

void cFolderPrune::Run()
{
    // Removing a folder that holds something fails and changes nothing:
    // no listing is needed to tell an empty one.
    for (auto* node = tree_last_node(taken); node; node = tree_prev_node(node))
        path_remove_folder(node->value.Text());
}
