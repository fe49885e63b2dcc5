#include "base/ci_app_full_config.h"

#include "base/admin_access.h"
#include "base/config_file.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/store_usable.h"

namespace {

// The store folders' name under the maker's folders.
const wchar_t* const store_name = L"qrv";

// A level of the per-user store: made when missing, and then a folder of
// its own, no link or junction that could lead anywhere; refused names it
// otherwise.
bool own_level(const _guardchar<wchar_t>& folder, _guardchar<wchar_t>& refused)
{
    if (path_get_kind(folder.Text()) == PATH_KIND_MISSING)
        path_create_folder(folder.Text());
    if (path_get_kind(folder.Text()) == PATH_KIND_FOLDER && !path_is_link(folder.Text()))
        return true;
    refused.Assign(folder.Text());
    return false;
}

// A level of the store a run only reads that is there but is no folder of
// its own (a file, a link or a junction): the store is there, yet nothing
// of it can be read. A missing level leaves no store.
bool level_in_way(const _guardchar<wchar_t>& level)
{
    uint32_t kind = path_get_kind(level.Text());
    return !level.IsEmpty() && kind != PATH_KIND_MISSING && (kind != PATH_KIND_FOLDER || path_is_link(level.Text()));
}

}  // namespace

cCIAppFullConfig::cCIAppFullConfig() : all_users(false), usable(false)
{
}

cCIAppFullConfig::~cCIAppFullConfig()
{
}

void* cCIAppFullConfig::GetRoot()
{
    return nullptr;
}

void* cCIAppFullConfig::GetChild(const char*, void*, bool)
{
    return nullptr;
}

bool cCIAppFullConfig::GetValueSize(void*, uint32_t&)
{
    return false;
}

bool cCIAppFullConfig::KeepsText()
{
    return false;
}

bool cCIAppFullConfig::OpenOwn(cCIAppConfig& store, const wchar_t* folder)
{
    if (!store_folder_usable(folder, all_users, refusal.place)) {
        // A store file that another program holds is not to be judged.
        if (file_is_held(refusal.place.Text()))
            refusal.kind = CFG_FAULT_HELD;
        return false;
    }
    if (!store.OpenStore(folder)) {
        refusal.place.Assign(folder);
        return false;
    }
    const cStoreFault& unread = store.FirstFault();
    refusal.Set(unread.kind, unread.place.Text());
    return unread.kind == CFG_FAULT_NONE;
}

bool cCIAppFullConfig::OpenStore(const wchar_t* folder_or_name)
{
    opened_name.Assign(folder_or_name);
    all_users = process_is_administrator();
    usable = false;
    // What stands in the store's way is of its place, but for a file that
    // cannot be read whole (OpenOwn).
    refusal.Set(CFG_FAULT_PLACE, nullptr);
    refusal.common = all_users;
    common.Close();
    user.Close();
    _guardchar<wchar_t> common_folder, user_maker, user_folder;
    bool user_place = get_user_data_paths(folder_or_name, user_maker, user_folder);
    if (all_users) {
        usable = get_common_data_folder(common_folder, store_name, true, refusal.place) &&
                 OpenOwn(common, common_folder.Text());
        if (user_place && level_in_way(user_maker))
            user.OpenUnknown(user_maker.Text());
        else if (user_place && level_in_way(user_folder))
            user.OpenUnknown(user_folder.Text());
        else if (user_place)
            user.OpenToRead(user_folder.Text());
        return true;
    }
    // A level that others may change leaves no store to read, as one that
    // is missing does; one that is no folder at all hides a store.
    _guardchar<wchar_t> blocked;
    if (get_common_data_folder(common_folder, store_name, false, blocked))
        common.OpenToRead(common_folder.Text());
    else if (level_in_way(blocked))
        common.OpenUnknown(blocked.Text());
    usable = user_place && own_level(user_maker, refusal.place) && own_level(user_folder, refusal.place) &&
             OpenOwn(user, user_folder.Text());
    return true;
}

bool cCIAppFullConfig::Reopen()
{
    _guardchar<wchar_t> name(opened_name.Text());
    return !name.IsEmpty() && OpenStore(name.Text());
}

bool cCIAppFullConfig::StoreUsable() const
{
    return usable && (all_users ? common : user).FirstFault().kind == CFG_FAULT_NONE;
}

const cStoreFault& cCIAppFullConfig::Refusal() const
{
    return usable ? (all_users ? common : user).FirstFault() : refusal;
}

bool cCIAppFullConfig::OtherStoreFault(const char* key, cStoreFault& out)
{
    out.Assign((all_users ? user : common).FileFault(key));
    out.common = !all_users;
    return out.kind != CFG_FAULT_NONE;
}

bool cCIAppFullConfig::Save()
{
    bool saved[2] = {common.Save(), user.Save()};
    return StoreUsable() && saved[all_users ? 0 : 1];
}

bool cCIAppFullConfig::Revert()
{
    bool reverted[2] = {common.Revert(), user.Revert()};
    return reverted[all_users ? 0 : 1];
}

bool cCIAppFullConfig::ReadBytes(const char* key, _typebuf<uint8_t>& out)
{
    return (!all_users && StoreUsable() && user.ReadBytes(key, out)) || (CommonGives(key) && common.ReadBytes(key, out));
}

bool cCIAppFullConfig::ReadInt64(const char* key, int64_t& out)
{
    return (!all_users && StoreUsable() && user.ReadInt64(key, out)) || (CommonGives(key) && common.ReadInt64(key, out));
}

bool cCIAppFullConfig::ReadString(const char* key, _guardchar<wchar_t>& out)
{
    return (!all_users && StoreUsable() && user.ReadString(key, out)) ||
           (CommonGives(key) && common.ReadString(key, out));
}

cCIAppConfig* cCIAppFullConfig::OwnStoreFor()
{
    if (!StoreUsable())
        return nullptr;
    return all_users ? &common : &user;
}

bool cCIAppFullConfig::WriteBytes(const char* key, const void* data, uint32_t size)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->WriteBytes(key, data, size);
}

bool cCIAppFullConfig::WriteInt16(const char* key, int16_t value)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->WriteInt16(key, value);
}

bool cCIAppFullConfig::WriteInt32(const char* key, int32_t value)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->WriteInt32(key, value);
}

bool cCIAppFullConfig::WriteInt64(const char* key, int64_t value)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->WriteInt64(key, value);
}

bool cCIAppFullConfig::WriteString(const char* key, const wchar_t* text, int32_t length)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->WriteString(key, text, length);
}

bool cCIAppFullConfig::DeleteKey(const char* key)
{
    cCIAppConfig* store = OwnStoreFor();
    return store && store->DeleteKey(key);
}

bool cCIAppFullConfig::HasKey(const char* key)
{
    return (!all_users && StoreUsable() && user.HasKey(key)) || CommonGives(key);
}

bool cCIAppFullConfig::EnumChildren(const char* key, EnumCallback callback, void* context)
{
    if (!key || !key[0] || !callback)
        return false;
    bool found = false;
    cCIAppConfig* stores[2] = {&common, &user};
    for (cCIAppConfig* store : stores) {
        if (!Counts(*store) || !store->HasKey(key))
            continue;
        found = true;
        if (!store->EnumChildren(key, callback, context))
            return false;
    }
    return found;
}

bool cCIAppFullConfig::DeleteCommonKey(const char* key)
{
    return common.DeleteKey(key);
}

bool cCIAppFullConfig::CommonGives(const char* key)
{
    // A run with administrator rights judged the whole of it as it opened.
    if (all_users)
        return StoreUsable() && common.HasKey(key);
    return common.HasKey(key) && CommonKeyGuarded(key);
}

bool cCIAppFullConfig::Counts(const cCIAppConfig& store) const
{
    bool own = all_users == (&store == &common);
    return StoreUsable() || !own;
}

bool cCIAppFullConfig::CommonKeyGuarded(const char* key, _guardchar<wchar_t>* open_path)
{
    // The maker's folder, the store's folder, its side folder and the key's
    // file, from the top: the first that others may change is the one to
    // name. A side folder or file still to be made is made by the run that
    // may change the store folder, with its access.
    _guardchar<wchar_t> levels[4];
    if (!common.FileOf(key, levels[3]) || !parent_folder_of(levels[3].Text(), levels[1]) ||
        !parent_folder_of(levels[1].Text(), levels[0]) || !cfg_file_side_folder(levels[3].Text(), levels[2]))
        return false;
    for (_guardchar<wchar_t>& level : levels) {
        if (&level >= &levels[2] && path_get_kind(level.Text()) == PATH_KIND_MISSING)
            continue;
        if (!path_guarded_as_itself(level.Text())) {
            if (open_path)
                open_path->Swap(level);
            return false;
        }
    }
    return true;
}
