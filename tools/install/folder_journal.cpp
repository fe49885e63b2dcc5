#include "tools/install/folder_journal.h"

#include <wchar.h>

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/tree_map.h"
#include "tools/install/file_replace.h"
#include "tools/install/install_context.h"
#include "tools/install/install_record.h"
#include "tools/install/record_bounds.h"
#include "tools/shell/record_keys.h"

namespace {

// The journal's folders that a record's rule lets the product have, when
// it is the journal of a run into the same install folder.
void take_journal_folders(cInstallContext& context, cApplicationConfig& store, const char* key)
{
    cRecordReader journal(store, key);
    if (!journal.Exists())
        return;
    cRecordBounds bounds;
    bounds.Read(journal, nullptr);
    cPackedKey journal_folder, install_folder;
    path_identity_key(bounds.Folder().Text(), journal_folder);
    path_identity_key(context.package.GetString(package_pgm_key), install_folder);
    if (!install_folder.Data() || packedkey_not_equal(journal_folder, install_folder))
        return;
    cLinkedList<_guardchar<wchar_t>> folders;
    bounds.ReadMadeFolders(journal, folders);
    for (auto* node = folders.first; node; node = node->next)
        if (!bounds.LinkOnTheWay(node->element.Text()))
            if (_guardchar<wchar_t>* taken = list_append(context.made_folders))
                taken->Swap(node->element);
}

// Appends the folders above the files to write that are missing, each once,
// up to the first one there.
void add_missing_folders(const cInstallContext& context, cLinkedList<_guardchar<wchar_t>>& out)
{
    cTreeMap<cPackedKey, uint8_t> seen(1024);
    _guardchar<wchar_t> previous;
    for (auto* node = context.file_list.first; node; node = node->next) {
        if (node->element.access[2] == install_item_skipped)
            continue;
        _guardchar<wchar_t> folder;
        // Files of one folder come together: one look for all of them.
        if (!parent_folder_of(node->element.target_path.Text(), folder) ||
            (previous.Text() && wcscmp(previous.Text(), folder.Text()) == 0))
            continue;
        previous.Assign(folder.Text());
        for (;;) {
            cPackedKey identity;
            path_identity_key(folder.Text(), identity);
            if (!identity.Data() || tree_find_node(seen, identity))
                break;
            tree_get_or_add(seen, static_cast<cPackedKey&&>(identity));
            _guardchar<wchar_t> parent;
            if (path_get_kind(folder.Text()) != PATH_KIND_MISSING || !parent_folder_of(folder.Text(), parent))
                break;
            if (_guardchar<wchar_t>* missing = list_append(out))
                missing->Swap(folder);
            folder.Swap(parent);
        }
    }
}

}  // namespace

void save_folder_journal(cInstallContext& context, cApplicationConfig* store)
{
    _guardchar<char> key;
    if (!store || !folder_journal_key_of(context.code_name_utf8.Text(), key))
        return;
    take_journal_folders(context, *store, key.Text());
    cLinkedList<_guardchar<wchar_t>> missing;
    add_missing_folders(context, missing);
    store->DeleteKey(key.Text());
    write_folder_journal(*store, context, key.Text(), missing);
    // Unsaved, the journal would tell nothing after a cut: the run goes on
    // all the same, as it did before journals were kept.
    store->Save();
}

void drop_folder_journal(const cInstallContext& context, cApplicationConfig& store)
{
    _guardchar<char> key;
    if (folder_journal_key_of(context.code_name_utf8.Text(), key))
        store.DeleteKey(key.Text());
}
