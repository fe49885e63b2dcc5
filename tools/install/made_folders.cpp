#include "tools/install/made_folders.h"

#include <string.h>

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/format.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/record_bounds.h"

namespace {

// Past this a count is damage: no product makes more folders than files,
// and reading on would only cost time.
const int64_t folders_limit = 1 << 20;

bool folder_value_key(const char* key, int64_t index, _guardchar<char>& out)
{
    int32_t size = int32_t(strlen(key)) + 40;
    out.Allocate(size);
    if (!out.Buffer())
        return false;
    int32_t written = index < 0 ? str_format(out.Buffer(), size, "%s/folders", key)
                                : str_format(out.Buffer(), size, "%s/folder%I64d", key, index);
    return written > 0;
}

}  // namespace

bool read_made_folders(cApplicationConfig& store, const char* key, cLinkedList<_guardchar<wchar_t>>& out)
{
    _guardchar<char> name;
    int64_t count = 0;
    if (!folder_value_key(key, -1, name) || !store.ReadInt64(name.Text(), count))
        return false;
    if (count > folders_limit)
        count = folders_limit;
    for (int64_t index = 0; index < count; ++index) {
        _guardchar<wchar_t> folder;
        // The list is written without gaps: one ends it.
        if (!folder_value_key(key, index, name) || !store.ReadString(name.Text(), folder))
            break;
        if (!path_is_folder_below_root(folder.Text()))
            continue;
        if (_guardchar<wchar_t>* kept = list_append(out))
            kept->Swap(folder);
    }
    return true;
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
