#include "tools/install/install_finish.h"

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/folder_journal.h"
#include "tools/install/install_context.h"
#include "tools/install/install_files.h"
#include "tools/install/install_job.h"
#include "tools/install/install_record.h"
#include "tools/install/kill_point.h"
#include "tools/install/made_folders.h"
#include "tools/install/product_info.h"
#include "tools/install/record_bounds.h"
#include "tools/install/shell_link.h"
#include "tools/install/uninstall_entry.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

// Appends the path to the created shortcuts unless one of them is the same
// file already: the record lists each shortcut once.
void record_shortcut(cInstallContext& context, _guardchar<wchar_t>& path, cTreeMap<cPackedKey, uint8_t>& made)
{
    cPackedKey key;
    path_identity_key(path.Text(), key);
    if (_guardchar<wchar_t>* previous = tree_find_value(context.previous_shortcuts, key))
        previous->Clear();
    if (tree_find_node(made, key) || !tree_get_or_add(made, static_cast<cPackedKey&&>(key)))
        return;
    if (context.shortcut_folder.IsEmpty())
        parent_folder_of(path.Text(), context.shortcut_folder);
    if (_guardchar<wchar_t>* created = list_append(context.created_shortcuts))
        created->Swap(path);
}

void write_record_and_shared_keys(cApplicationConfig& store, const cInstallContext& context, const char* key,
                                  const wchar_t* manager_path, const wchar_t* manager_shortcut)
{
    write_install_record(store, context, key);
    if (manager_shortcut && manager_shortcut[0])
        store.WriteString("installer/shortcut", manager_shortcut, -1);
    if (manager_path && manager_path[0])
        store.WriteString("installer/app", manager_path, -1);
}

// The version of the store's record of the product; false when it holds
// none. Read back after a save, it tells whether the writes took: a store
// without a folder takes no write, yet has nothing to save and says it
// saved.
bool recorded_version(cApplicationConfig& store, const char* key, uint64_t& version)
{
    int64_t read;
    if (!cRecordReader(store, key).ReadNumber(record_version, read))
        return false;
    version = uint64_t(read);
    return true;
}

bool record_kept(cApplicationConfig& store, const char* key, uint64_t version)
{
    uint64_t read = 0;
    return recorded_version(store, key, read) && read == version;
}

}  // namespace

void install_shortcuts(cInstallContext& context)
{
    cLinkedList<cShortcutItem> items;
    build_shortcut_items(context.package, items);
    const wchar_t* group = context.package.GetString(product_group_key);
    cTreeMap<cPackedKey, uint8_t> made(1024);
    int32_t index = 0;
    for (auto* node = items.first; node; node = node->next, ++index) {
        const cShortcutItem& item = node->element;
        _guardchar<wchar_t> path;
        if (make_shortcut_group(item.name.Text(), group, path)) {
            INSTALL_KILL_POINT("shortcut group", index);
            if (write_shortcut(path.Text(), item.target_path.Text(), item.arguments.Text(), item.icon_path.Text(),
                               item.description.Text(), item.run_as_administrator, false))
                record_shortcut(context, path, made);
            else
                delete_shortcut_and_empty_group(path.Text(), context.previous_bounds.Folders());
        }
        INSTALL_KILL_POINT("shortcut", index);
    }
    // Looked at again now: the folders may have changed since the start-up.
    cRecordBounds& bounds = context.previous_bounds;
    bounds.ForgetLinks();
    for (auto* node = tree_first_node(context.previous_shortcuts); node; node = tree_next_node(node))
        if (!node->value.IsEmpty() && bounds.HoldsShortcut(node->value.Text()))
            delete_shortcut_and_empty_group(node->value.Text(), bounds.Folders());
}

void install_record_and_entry(cInstallContext& context, cApplicationConfig* store, const wchar_t* manager_path,
                              const wchar_t* manager_shortcut)
{
    _guardchar<char> key;
    if (!store || !record_key_of(context.code_name_utf8.Text(), key))
        return;
    // The scope that holds the product keeps it (a second record, or a
    // second entry, of another version would never settle); a new product
    // goes where this run keeps records.
    cApplicationConfig* target = record_target(*store, key.Text());
    if (!target) {
        context.status = INSTALL_STATUS_NOT_RECORDED;
        return;
    }
    bool all_users = is_common_store(store, *target);
    target->DeleteKey(key.Text());
    write_record_and_shared_keys(*target, context, key.Text(), manager_path, manager_shortcut);
    INSTALL_KILL_POINT("record save", 0);
    // Without its record the product keeps its journal, through which an
    // uninstall takes it off as a run cut off.
    if (!target->Save() || !record_kept(*target, key.Text(), pack_version(context.package.version))) {
        target->Revert();
        context.status = INSTALL_STATUS_NOT_RECORDED;
        return;
    }
    INSTALL_KILL_POINT("record saved", 0);
    // The record lists the journal's folders from now on. A journal whose
    // drop is not saved stays beside a record of its own stamp, which tells
    // the next run that nothing is to be undone.
    drop_folder_journal(context, *target);
    target->Save();
    if (path_get_kind(manager_path) != PATH_KIND_FILE)
        return;
    write_uninstall_entry(context.package, manager_path, !all_users);
    if (all_users)
        delete_uninstall_entry(context.code_name.Text(), true);
    INSTALL_KILL_POINT("entry", 0);
}

void remove_dropped_files(cInstallContext& context)
{
    cRecordBounds& bounds = context.previous_bounds;
    // Looked at again now: the folders may have changed since the start-up.
    bounds.ForgetLinks();
    cFolderPrune prune(bounds, context.earlier_folders_known);
    prune.Made(context.earlier_folders);
    prune.Made(context.made_folders);
    for (auto* node = tree_first_node(context.previous_files); node; node = tree_next_node(node)) {
        const cPreviousFile& file = node->value;
        if (file.kept || !file.owned || bounds.PlaceOf(file.path.Text()) == RECORDED_OUTSIDE)
            continue;
        delete_plain_file(file.path.Text());
        prune.Above(file.path.Text());
    }
    prune.Run();
}

void delete_backups(cInstallContext& context)
{
    int32_t index = 0;
    for (auto* node = context.file_list.first; node; node = node->next, ++index) {
        _guardchar<wchar_t> backup;
        // Only the backups that the job made, or that were there before it.
        if (backup_path_of(node->element.target_path.Text(), backup) &&
            context.known_names.Kind(backup.Text()) != PATH_KIND_MISSING)
            delete_plain_file(backup.Text());
        INSTALL_KILL_POINT("cleanup", index);
    }
}
