#include "tools/install/install_record.h"

#include <string.h>

#include "base/app_config.h"
#include "base/date_time.h"
#include "base/format.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "base/tree_map.h"
#include "tools/install/install_context.h"
#include "tools/install/product_folders.h"
#include "tools/install/product_info.h"
#include "tools/shell/record_keys.h"

namespace {

void write_text(cApplicationConfig& store, const char* key, const wchar_t* text)
{
    if (key)
        store.WriteString(key, text, -1);
}

// The entry's display name in every language the package has a text for,
// so that the manager can show it in whichever language it runs.
void write_entry_names(cApplicationConfig& store, const cPackage& package, const cPackageRunEntry& run,
                       cRecordKeys& keys, int32_t index)
{
    for (auto* language = tree_first_node(package.language_strings); language;
         language = tree_next_node(language)) {
        const wchar_t* name = package.GetStringIn(language->key, run.name_key.Text());
        if (name && name[0])
            write_text(store, keys.InLanguage(record_entry_name, uint64_t(index), language->key), name);
    }
}

void write_finish_entries(cApplicationConfig& store, const cInstallContext& context, cRecordKeys& keys)
{
    cLinkedList<cFinishItem> entries;
    if (!build_run_list(context.package, entries))
        return;
    int32_t written = 0;
    // The run list has one entry per run of the package, in its order.
    const cLinkedList<cPackageRunEntry>::Node* run = context.package.runs.first;
    for (auto* node = entries.first; node && run; node = node->next, run = run->next) {
        const cFinishItem& entry = node->element;
        if (entry.command_path.IsEmpty() || entry.name.IsEmpty())
            continue;
        _guardchar<wchar_t> command;
        if (entry.arguments.IsEmpty()) {
            command.Assign(entry.command_path.Text());
        } else {
            int32_t size = entry.command_path.Length() + entry.arguments.Length() + 4;
            command.Allocate(size);
            if (command.Buffer())
                wstr_format(command.Buffer(), size, L"\"%s\" %s", entry.command_path.Text(), entry.arguments.Text());
        }
        write_text(store, keys.Indexed(record_entry_name, uint64_t(written)), entry.name.Text());
        write_text(store, keys.Indexed(record_entry_command, uint64_t(written)), command.Text());
        write_entry_names(store, context.package, run->element, keys, written);
        ++written;
    }
}

// The folders this installation made and those earlier ones made, each
// once, for the uninstall to remove when empty; none when an earlier record
// did not keep them.
void write_made_folders(cApplicationConfig& store, const cInstallContext& context, cRecordKeys& keys)
{
    if (!context.earlier_folders_known)
        return;
    cFolderListWriter made(store, keys, record_made_folders);
    made.AddAll(context.earlier_folders);
    made.AddAll(context.cut_off_folders);
    made.AddAll(context.made_folders);
    made.WriteCount();
}

// The files, and the digest of each that lies outside the install folder:
// there, only the digest tells the product's file from what took its place.
void write_files(cApplicationConfig& store, const cInstallContext& context, cRecordKeys& keys)
{
    int32_t files = 0;
    for (auto* node = context.file_list.first; node; node = node->next)
        ++files;
    if (const char* count_key = keys.Name(record_files.count))
        store.WriteInt32(count_key, files);
    const wchar_t* folder = context.package.GetString(package_pgm_key);
    uint64_t index = 0;
    for (auto* node = context.file_list.first; node; node = node->next, ++index) {
        const cInstallItem& item = node->element;
        write_text(store, keys.Indexed(record_files.item, index), item.target_path.Text());
        if (path_is_inside(item.target_path.Text(), folder))
            continue;
        if (const char* digest_key = keys.Indexed(record_file_digest, index))
            store.WriteBytes(digest_key, item.digest, 32);
    }
}

}  // namespace

void write_record_bases(cApplicationConfig& store, const cPackage& package, cRecordKeys& keys)
{
    cLinkedList<_guardchar<wchar_t>> folders;
    package_base_folders(package, folders);
    cFolderListWriter bases(store, keys, record_bases);
    bases.AddAll(folders);
    if (bases.Written())
        bases.WriteCount();
}

void write_record_group(cApplicationConfig& store, const wchar_t* group, cRecordKeys& keys)
{
    cProductFolders folders;
    if (folders.SoundGroup(group))
        write_text(store, keys.Name(record_group), group);
}

cFolderListWriter::cFolderListWriter(cApplicationConfig& config, cRecordKeys& record_keys, const cRecordList& record_list)
    : store(config), keys(record_keys), list(record_list), seen(64), written(0)
{
}

void cFolderListWriter::Add(const wchar_t* folder)
{
    cPackedKey identity;
    if (folder)
        path_identity_key(folder, identity);
    if (!identity.Data() || tree_find_node(seen, identity))
        return;
    tree_get_or_add(seen, static_cast<cPackedKey&&>(identity));
    write_text(store, keys.Indexed(list.item, uint64_t(written++)), folder);
}

void cFolderListWriter::AddAll(const cLinkedList<_guardchar<wchar_t>>& folders)
{
    for (auto* node = folders.first; node; node = node->next)
        Add(node->element.Text());
}

void cFolderListWriter::WriteCount()
{
    if (const char* count_key = keys.Name(list.count))
        store.WriteInt32(count_key, written);
}

void write_install_record(cApplicationConfig& store, const cInstallContext& context, const char* key)
{
    const cPackage& package = context.package;
    cRecordKeys keys(key);
    if (const char* version_key = keys.Name(record_version))
        store.WriteInt64(version_key, int64_t(pack_version(package.version)));
    if (const char* language_key = keys.Name(record_language))
        store.WriteInt16(language_key, int16_t(package.current_language));
    store.WriteInt16("lang/current", int16_t(package.current_language));
    write_text(store, keys.Name(record_folder), package.GetString(package_pgm_key));
    write_text(store, keys.Name(record_name), package.GetString(product_name_key));
    write_text(store, keys.Name(record_updates), package.updates_url.Text());
    write_text(store, keys.Name(record_support), package.support_url.Text());
    write_text(store, keys.Name(record_publisher), package.publisher_url.Text());
    _guardchar<wchar_t> icon;
    if (product_icon_path(package, icon))
        write_text(store, keys.Name(record_icon), icon.Text());
    if (const char* time_key = keys.Name(record_time))
        store.WriteInt32(time_key, int32_t(uint32_t(time_now_unix())));

    write_files(store, context, keys);
    write_record_bases(store, package, keys);
    write_made_folders(store, context, keys);

    int32_t shortcuts = 0;
    for (auto* node = context.created_shortcuts.first; node; node = node->next)
        ++shortcuts;
    if (const char* count_key = keys.Name(record_shortcuts.count))
        store.WriteInt32(count_key, shortcuts);
    uint64_t index = 0;
    for (auto* node = context.created_shortcuts.first; node; node = node->next)
        write_text(store, keys.Indexed(record_shortcuts.item, index++), node->element.Text());

    write_record_group(store, context.shortcut_folder.Text(), keys);
    write_finish_entries(store, context, keys);
    if (context.journal_since)
        if (const char* since_key = keys.Name(record_since))
            store.WriteInt64(since_key, int64_t(context.journal_since));
}
