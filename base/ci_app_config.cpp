#include "base/ci_app_config.h"

#include <string.h>

#include "base/config_file.h"
#include "base/date_time.h"
#include "base/file_info.h"
#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/string_convert.h"

namespace {

typedef cTreeNode<cPackedKey, cConfigFileRecord> cConfigFileEntry;

// The file's last-write time as the stamp of its record.
bool file_stamp(const wchar_t* path, uint32_t& stamp)
{
    cFileInfo info;
    if (!path_get_info(path, info))
        return false;
    stamp = date_to_unix(info.last_write);
    return true;
}

}  // namespace

cCIAppConfig::cCIAppConfig() : files(1024), read_only(false)
{
}

cCIAppConfig::~cCIAppConfig()
{
}

void* cCIAppConfig::GetRoot()
{
    return &files;
}

cConfigNode* cCIAppConfig::NodeOf(void* handle)
{
    return handle == &files ? nullptr : static_cast<cConfigNode*>(handle);
}

void* cCIAppConfig::GetChild(const char* name, void* parent, bool create)
{
    if (!name || !parent)
        return nullptr;
    if (parent == &files)
        return GetFile(name, create);
    return cfg_node_get_child(*static_cast<cConfigNode*>(parent), name, create);
}

cConfigFileRecord* cCIAppConfig::AddRecord(const wchar_t* name, const wchar_t* path, bool fresh, uint32_t fault)
{
    uint32_t stamp;
    cPackedKey key;
    packedkey_from_wstr(key, name, -1);
    if (!key.Data() || !file_stamp(path, stamp))
        return nullptr;
    cConfigFileRecord* record = tree_get_or_add(files, static_cast<cPackedKey&&>(key));
    if (!record)
        return nullptr;
    record->modified = 0;
    record->stamp = stamp;
    record->name.Assign(name);
    if (fault == CFG_FAULT_NONE && !fresh)
        ReadFile(path, record->root, &fault);
    if (fault == CFG_FAULT_NONE)
        return record;
    record->fault.Set(fault, path);
    if (first_fault.kind == CFG_FAULT_NONE)
        first_fault.Assign(record->fault);
    return record;
}

void* cCIAppConfig::GetFile(const char* name, bool create)
{
    // Without a folder a name would be taken relative to the current
    // directory.
    if (folder.IsEmpty() || !name[0] || (create && read_only))
        return nullptr;
    _guardchar<wchar_t> wide, path;
    wstr_from_utf8(-1, name, wide);
    if (wide.IsEmpty() || !path_join(folder.Text(), wide.Text(), path))
        return nullptr;
    cPackedKey key;
    packedkey_from_wstr(key, wide.Text(), -1);
    if (!key.Data())
        return nullptr;
    cConfigFileEntry* entry = tree_find_node(files.root, key);
    cConfigFileRecord* record = entry ? &entry->value : nullptr;
    if (record) {
        // What could not be read gives nothing: taken for empty, it would
        // pass for a store without its records.
        if (record->fault.kind != CFG_FAULT_NONE)
            return nullptr;
        // The stamp stays: while the file is newer, each lookup reads it
        // again, so no later change by another process is missed. A read
        // that fails (the file held past the wait) keeps what was known:
        // an emptied tree would pass for a store without its records, and
        // be saved as one.
        uint32_t stamp;
        cConfigNode fresh;
        if (!record->modified && file_stamp(path.Text(), stamp) && stamp > record->stamp &&
            ReadFile(path.Text(), fresh, nullptr))
            cfg_node_swap(record->root, fresh);
    } else {
        uint32_t kind = path_get_kind(path.Text());
        bool fresh = false;
        if (kind == PATH_KIND_MISSING && create) {
            fresh = cfg_file_create_empty(path.Text());
            // A file that another process created meanwhile is loaded as
            // it is.
            kind = path_get_kind(path.Text());
        }
        if (kind != PATH_KIND_FILE)
            return nullptr;
        record = AddRecord(wide.Text(), path.Text(), fresh, CFG_FAULT_NONE);
        if (!record || record->fault.kind != CFG_FAULT_NONE)
            return nullptr;
    }
    if (create)
        record->modified = 1;
    return &record->root;
}

bool cCIAppConfig::GetValueSize(void* handle, uint32_t& size)
{
    cConfigNode* node = NodeOf(handle);
    if (!node)
        return false;
    size = uint32_t(node->value.Count());
    return true;
}

bool cCIAppConfig::GetValue(void* destination, uint32_t capacity, void* handle)
{
    cConfigNode* node = NodeOf(handle);
    if (!destination || !capacity || !node || !node->value.Count())
        return false;
    uint32_t size = uint32_t(node->value.Count());
    memcpy(destination, node->value.Data(), capacity < size ? capacity : size);
    return true;
}

bool cCIAppConfig::SetValue(const void* data, uint32_t size, void* handle)
{
    cConfigNode* node = NodeOf(handle);
    if (!node || size > uint32_t(INT32_MAX) || (size && !data))
        return false;
    if (uint32_t(node->value.Count()) != size) {
        node->value.Resize(int32_t(size));
        if (size && !node->value.Data())
            return false;
    }
    if (size)
        memcpy(node->value.Data(), data, size);
    return true;
}

bool cCIAppConfig::KeepsText()
{
    return false;
}

bool cCIAppConfig::ResolveFolder(const wchar_t* folder_or_name)
{
    if (path_get_kind(folder_or_name) == PATH_KIND_FOLDER) {
        folder.Assign(folder_or_name);
    } else {
        _guardchar<wchar_t> resolved;
        if (!get_user_data_folder(resolved, folder_or_name))
            return false;
        folder.Assign(resolved.Text());
    }
    return !folder.IsEmpty();
}

bool cCIAppConfig::CreateStore(const wchar_t* folder_or_name)
{
    if (!ResolveFolder(folder_or_name) || path_get_kind(folder.Text()) != PATH_KIND_MISSING)
        return false;
    return path_create_folder(folder.Text());
}

bool cCIAppConfig::OpenStore(const wchar_t* folder_or_name)
{
    tree_clear(files);
    folder.Clear();
    first_fault.kind = CFG_FAULT_NONE;
    read_only = false;
    return ResolveFolder(folder_or_name) && LoadFolder();
}

bool cCIAppConfig::OpenToRead(const wchar_t* existing_folder)
{
    tree_clear(files);
    folder.Clear();
    first_fault.kind = CFG_FAULT_NONE;
    read_only = true;
    if (path_get_kind(existing_folder) != PATH_KIND_FOLDER)
        return false;
    folder.Assign(existing_folder);
    if (LoadFolder())
        return true;
    // There, yet closed to this run: nothing of it can be told.
    first_fault.Set(CFG_FAULT_UNREADABLE, existing_folder);
    return false;
}

bool cCIAppConfig::ReadFile(const wchar_t* path, cConfigNode& root, uint32_t* fault)
{
    return read_only ? cfg_file_peek(&lock, path, root, fault) : cfg_file_read(&lock, path, root, fault);
}

bool cCIAppConfig::LoadFolder()
{
    cFolderListing listing;
    _guardchar<wchar_t> side;
    if (path_get_kind(folder.Text()) != PATH_KIND_FOLDER || !listing.Read(folder.Text(), true) ||
        !cfg_store_side_folder(folder.Text(), side))
        return false;
    for (uint32_t i = 0; i < listing.Count(); ++i) {
        const cFolderEntry* entry = listing.GetEntry(i);
        _guardchar<wchar_t> path;
        if (!entry || !listing.GetEntryPath(i, path))
            continue;
        // Read through a link, a file would be another's; whatever else
        // stands in a store file's place, but the side folder, holds
        // nothing of the store.
        bool plain = entry->kind == PATH_KIND_FILE && !path_is_link(path.Text());
        if (plain || !path_same_identity(path.Text(), side.Text()))
            AddRecord(entry->name.Text(), path.Text(), false, plain ? CFG_FAULT_NONE : CFG_FAULT_PLACE);
    }
    return true;
}

bool cCIAppConfig::SettleModified(bool write)
{
    bool all = true;
    for (cConfigFileEntry* entry = tree_first_node(files); entry; entry = tree_next_node(entry)) {
        cConfigFileRecord& record = entry->value;
        if (!record.modified)
            continue;
        _guardchar<wchar_t> path;
        uint32_t fault = CFG_FAULT_PLACE;
        bool done = path_join(folder.Text(), record.name.Text(), path) &&
                    (write ? cfg_file_write(path.Text(), record.root, &fault)
                           : ReadFile(path.Text(), record.root, nullptr));
        if (done) {
            record.modified = 0;
        } else {
            if (write && all)
                save_fault.Set(fault, path.Text());
            all = false;
        }
    }
    return all;
}

bool cCIAppConfig::Save()
{
    return SettleModified(true);
}

bool cCIAppConfig::Revert()
{
    return SettleModified(false);
}

bool cCIAppConfig::DeleteKey(const char* key)
{
    const char* slash = key ? strrchr(key, '/') : nullptr;
    if (!slash)
        return false;
    _guardchar<char> parent_key;
    parent_key.AssignN(key, int32_t(slash - key));
    if (!parent_key.Text() || !FindNode(parent_key.Text(), false))
        return false;
    // Looked up again with create, which marks the file modified.
    cConfigNode* parent = NodeOf(FindNode(parent_key.Text(), true));
    return parent && cfg_node_remove_child(*parent, slash + 1);
}

void* cCIAppConfig::FindNode(const char* key, bool create)
{
    uint32_t levels = 0;  // below the file: one per '/'
    for (const char* at = key; create && at && *at; ++at)
        if (*at == '/' && ++levels > CFG_MAX_DEPTH)
            return nullptr;
    return cApplicationConfig::FindNode(key, create);
}

bool cCIAppConfig::FileOf(const char* key, _guardchar<wchar_t>& path) const
{
    const char* slash = key ? strchr(key, '/') : nullptr;
    _guardchar<char> name;
    _guardchar<wchar_t> wide;
    if (folder.IsEmpty() || !key || !key[0] || slash == key)
        return false;
    name.AssignN(key, slash ? int32_t(slash - key) : int32_t(strlen(key)));
    wstr_from_utf8(-1, name.Text(), wide);
    return !wide.IsEmpty() && path_join(folder.Text(), wide.Text(), path);
}

bool cCIAppConfig::HasKey(const char* key)
{
    return FindNode(key, false) != nullptr;
}

bool cCIAppConfig::EnumChildren(const char* key, EnumCallback callback, void* context)
{
    if (!key || !key[0] || !callback)
        return false;
    cConfigNode* node = NodeOf(FindNode(key, false));
    if (!node)
        return false;
    for (cConfigNodeEntry* child = tree_first_node(node->children); child;) {
        // Copies: the callback may free the child, or the whole tree when
        // its lookups read the file again.
        cPackedKey visited(child->key);
        _guardchar<char> name;
        if ((child->key.Count() && !visited.Data()) || !cfg_key_text(visited, name))
            return false;
        if (!callback(name.Text(), context))
            return false;
        node = NodeOf(FindNode(key, false));
        if (!node)
            return true;
        child = tree_find_greater(node->children, visited);
    }
    return true;
}
