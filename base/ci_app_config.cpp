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

// What a file or store that is known answers for its fault.
const cStoreFault& no_fault()
{
    static const cStoreFault none;
    return none;
}

// The first name of key: the store file that holds it.
bool first_name(const char* key, _guardchar<char>& name)
{
    const char* slash = key ? strchr(key, '/') : nullptr;
    if (!key || !key[0] || slash == key)
        return false;
    name.AssignN(key, slash ? int32_t(slash - key) : int32_t(strlen(key)));
    return name.Text() != nullptr;
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
    record->fault.Set(fault, path);
    return record;
}

bool cCIAppConfig::Reread(cConfigFileRecord& record, const wchar_t* path)
{
    uint32_t fault = CFG_FAULT_NONE;
    cConfigNode fresh, none;
    bool read = ReadFile(path, fresh, &fault);
    // Neither what a failed read left nor what was read before is what the
    // file holds now.
    cfg_node_swap(record.root, read ? fresh : none);
    record.fault.Set(read ? CFG_FAULT_NONE : fault, path);
    return read;
}

cConfigFileRecord* cCIAppConfig::LoadRecord(const char* name, bool create)
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
    if (cConfigFileEntry* entry = tree_find_node(files.root, key)) {
        // The stamp stays: while the file is newer, each lookup reads it
        // again, so no later change by another process is missed. One not
        // known is not read again before the store opens again, so a held
        // file is waited for once.
        cConfigFileRecord& record = entry->value;
        uint32_t stamp;
        if (record.fault.kind == CFG_FAULT_NONE && !record.modified && file_stamp(path.Text(), stamp) &&
            stamp > record.stamp)
            Reread(record, path.Text());
        return &record;
    }
    uint32_t kind = path_get_kind(path.Text());
    bool fresh = false;
    uint32_t fault = CFG_FAULT_NONE;
    if (kind == PATH_KIND_MISSING && create) {
        fresh = cfg_file_create_empty(path.Text(), &fault);
        // A file that another process created meanwhile is loaded as it is.
        kind = path_get_kind(path.Text());
    }
    if (kind == PATH_KIND_MISSING) {
        // What keeps a new file from its place keeps the save of what was
        // to go into it.
        if (create)
            save_fault.Set(fault, path.Text());
        return nullptr;
    }
    // Read through a link, a file would be another's; a folder in a file's
    // place holds nothing of the store.
    bool plain = kind == PATH_KIND_FILE && !path_is_link(path.Text());
    return AddRecord(wide.Text(), path.Text(), fresh, plain ? CFG_FAULT_NONE : CFG_FAULT_PLACE);
}

void* cCIAppConfig::GetFile(const char* name, bool create)
{
    // What is not known gives nothing: taken for empty, it would pass for a
    // store without its records, and be saved as one.
    cConfigFileRecord* record = LoadRecord(name, create);
    if (!record || record->fault.kind != CFG_FAULT_NONE)
        return nullptr;
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

void cCIAppConfig::Reset(bool to_read)
{
    tree_clear(files);
    folder.Clear();
    folder_fault.kind = CFG_FAULT_NONE;
    read_only = to_read;
}

bool cCIAppConfig::OpenStore(const wchar_t* folder_or_name)
{
    Reset(false);
    return ResolveFolder(folder_or_name) && LoadFolder();
}

bool cCIAppConfig::OpenToRead(const wchar_t* existing_folder)
{
    Reset(true);
    if (path_get_kind(existing_folder) != PATH_KIND_FOLDER)
        return false;
    folder.Assign(existing_folder);
    if (LoadFolder())
        return true;
    // There, yet closed to this run: nothing of it can be told.
    folder_fault.Set(CFG_FAULT_UNREADABLE, existing_folder);
    return false;
}

void cCIAppConfig::OpenUnknown(const wchar_t* place)
{
    Reset(true);
    folder_fault.Set(CFG_FAULT_PLACE, place);
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
        // A file not known is never written: saved over, what it holds
        // would be lost.
        if (!record.modified || record.fault.kind != CFG_FAULT_NONE)
            continue;
        _guardchar<wchar_t> path;
        uint32_t fault = CFG_FAULT_PLACE;
        bool done = path_join(folder.Text(), record.name.Text(), path) &&
                    (write ? cfg_file_write(path.Text(), record.root, &fault) : Reread(record, path.Text()));
        if (done || !write)
            record.modified = 0;
        if (!done) {
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
    _guardchar<char> name;
    _guardchar<wchar_t> wide;
    if (folder.IsEmpty() || !first_name(key, name))
        return false;
    wstr_from_utf8(-1, name.Text(), wide);
    return !wide.IsEmpty() && path_join(folder.Text(), wide.Text(), path);
}

const cStoreFault& cCIAppConfig::FileFault(const char* key)
{
    _guardchar<char> name;
    if (folder_fault.kind != CFG_FAULT_NONE)
        return folder_fault;
    const cConfigFileRecord* record = first_name(key, name) ? LoadRecord(name.Text(), false) : nullptr;
    return record ? record->fault : no_fault();
}

const cStoreFault& cCIAppConfig::FirstFault() const
{
    if (folder_fault.kind != CFG_FAULT_NONE)
        return folder_fault;
    for (cConfigFileEntry* entry = tree_first_node(files); entry; entry = tree_next_node(entry))
        if (entry->value.fault.kind != CFG_FAULT_NONE)
            return entry->value.fault;
    return no_fault();
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
