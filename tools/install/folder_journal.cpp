#include "tools/install/folder_journal.h"

#include <wchar.h>

#include "base/app_config.h"
#include "base/date_time.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/tree_map.h"
#include "tools/install/install_context.h"
#include "tools/install/install_record.h"
#include "tools/install/product_info.h"
#include "tools/install/shell_link.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

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

void write_text(cApplicationConfig& store, const char* key, const wchar_t* text)
{
    if (key)
        store.WriteString(key, text, -1);
}

void write_count(cApplicationConfig& store, cRecordKeys& keys, const cRecordList& list, uint64_t count)
{
    if (const char* count_key = keys.Name(list.count))
        store.WriteInt32(count_key, int32_t(count));
}

// Every file the run writes, with the digest of what it writes there: the
// undo touches a target only while it holds that. A target that something
// stood at (the previous installation's file, or one of the same content)
// is only put back, never deleted.
void write_files(cApplicationConfig& store, cRecordKeys& keys, cInstallContext& context)
{
    uint64_t written = 0;
    for (auto* node = context.file_list.first; node; node = node->next) {
        const cInstallItem& item = node->element;
        if (item.access[2] == install_item_skipped)
            continue;
        write_text(store, keys.Indexed(record_files.item, written), item.target_path.Text());
        if (const char* digest_key = keys.Indexed(record_file_digest, written))
            store.WriteBytes(digest_key, item.digest, 32);
        if (context.known_names.Kind(item.target_path.Text()) != PATH_KIND_MISSING)
            if (const char* prior_key = keys.Indexed(record_prior, written))
                store.WriteBytes(prior_key, "\1", 1);
        ++written;
    }
    write_count(store, keys, record_files, written);
}

// The shortcuts the run makes where neither the previous installation nor
// anything else has one.
void write_shortcuts(cApplicationConfig& store, cRecordKeys& keys, const cInstallContext& context)
{
    cLinkedList<cShortcutItem> items;
    build_shortcut_items(context.package, items);
    const wchar_t* group = context.package.GetString(product_group_key);
    cTreeMap<cPackedKey, uint8_t> seen(64);
    uint64_t written = 0;
    for (auto* node = items.first; node; node = node->next) {
        _guardchar<wchar_t> path;
        cPackedKey identity;
        if (!shortcut_path(node->element.name.Text(), group, path))
            continue;
        path_identity_key(path.Text(), identity);
        if (!identity.Data() || tree_find_node(seen, identity) ||
            tree_find_node(context.previous_shortcuts, identity) || path_get_kind(path.Text()) != PATH_KIND_MISSING)
            continue;
        tree_get_or_add(seen, static_cast<cPackedKey&&>(identity));
        write_text(store, keys.Indexed(record_shortcuts.item, written++), path.Text());
    }
    write_count(store, keys, record_shortcuts, written);
}

// Writes the journal into store in place of the one it holds and saves it;
// false, with the store as its file holds it, when it is not kept there
// (a store without a folder takes no write, and has nothing to save).
bool keep_journal(cApplicationConfig& store, cInstallContext& context, const char* key,
                  const cLinkedList<_guardchar<wchar_t>>& missing)
{
    store.DeleteKey(key);
    cRecordKeys keys(key);
    const cPackage& package = context.package;
    write_text(store, keys.Name(record_folder), package.GetString(package_pgm_key));
    if (const char* since_key = keys.Name(record_since))
        store.WriteInt64(since_key, int64_t(context.journal_since));
    write_record_bases(store, package, keys);
    _guardchar<wchar_t> group;
    bool group_known = get_start_menu_group_path(package.GetString(product_group_key), group);
    if (group_known)
        write_record_group(store, group.Text(), keys);
    cFolderListWriter folders(store, keys, record_made_folders);
    folders.AddAll(context.cut_off_folders);
    folders.AddAll(context.made_folders);
    folders.AddAll(missing);
    // The first shortcut makes the group: a run cut off before that
    // shortcut is written leaves it empty, for the undo to take away.
    if (group_known && path_get_kind(group.Text()) == PATH_KIND_MISSING)
        folders.Add(group.Text());
    folders.WriteCount();
    write_files(store, keys, context);
    write_shortcuts(store, keys, context);
    if (store.Save() && store.HasKey(key))
        return true;
    store.Revert();
    return false;
}

}  // namespace

cApplicationConfig* journal_store_of(cApplicationConfig* config, const char* code_name)
{
    _guardchar<char> record;
    return config && record_key_of(code_name, record) ? record_target(*config, record.Text()) : nullptr;
}

bool save_folder_journal(cInstallContext& context, cApplicationConfig* config)
{
    _guardchar<char> key;
    if (!config)
        return true;
    cApplicationConfig* store = journal_store_of(config, context.code_name_utf8.Text());
    if (!folder_journal_key_of(context.code_name_utf8.Text(), key))
        return false;
    // What a cut-off run made that this one takes over was made since that
    // run began.
    uint64_t now = time_now_filetime();
    if (!context.journal_since || context.journal_since > now)
        context.journal_since = now;
    cLinkedList<_guardchar<wchar_t>> missing;
    add_missing_folders(context, missing);
    if (store && keep_journal(*store, context, key.Text(), missing))
        return true;
    // What stood in the save's way, where the store tells.
    if (store)
        store_save_fault(config, *store, context.store_fault);
    context.error_path.Assign(context.store_fault.place.Text());
    return false;
}

void drop_folder_journal(const cInstallContext& context, cApplicationConfig& store)
{
    _guardchar<char> key;
    if (folder_journal_key_of(context.code_name_utf8.Text(), key))
        store.DeleteKey(key.Text());
}
