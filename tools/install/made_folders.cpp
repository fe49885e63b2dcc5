#include "tools/install/made_folders.h"

#include "base/file_ops.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/record_bounds.h"

cFolderPrune::cFolderPrune(cRecordBounds& record_bounds, bool made_listed)
    : bounds(record_bounds), listed(made_listed), made(1024), taken(1024)
{
}

void cFolderPrune::Made(const cLinkedList<_guardchar<wchar_t>>& folders)
{
    for (auto* node = folders.first; node; node = node->next) {
        cPackedKey identity;
        path_identity_key(node->element.Text(), identity);
        if (identity.Data() && !tree_find_node(made, identity))
            tree_get_or_add(made, static_cast<cPackedKey&&>(identity));
    }
}

bool cFolderPrune::MayGo(const wchar_t* folder, const cPackedKey& identity) const
{
    bool may = bounds.InGroup(folder) ||
               (listed ? tree_find_node(made, identity) != nullptr : bounds.InFolderOrBase(folder));
    return may && !bounds.LinkOnTheWay(folder);
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
