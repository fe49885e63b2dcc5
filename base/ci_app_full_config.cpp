#include "base/ci_app_full_config.h"

#include "base/admin_access.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"

namespace {

// The store folders' name under the maker's folders.
const wchar_t* const common_store_name = L"qrv";

}  // namespace

cCIAppFullConfig::cCIAppFullConfig()
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

bool cCIAppFullConfig::CreateStore(const wchar_t* folder_or_name)
{
    return user.CreateStore(folder_or_name);
}

bool cCIAppFullConfig::OpenStore(const wchar_t* folder_or_name)
{
    if (!user.OpenStore(folder_or_name))
        return false;
    _guardchar<wchar_t> common_folder;
    if (get_common_data_folder(common_folder, common_store_name) && !common_folder.IsEmpty())
        common.OpenStore(common_folder.Text());
    else
        NoteCommonPlace();
    return true;
}

void cCIAppFullConfig::NoteCommonPlace()
{
    _guardchar<wchar_t> levels[2];
    if (!get_common_data_paths(common_store_name, levels[0], levels[1]))
        return;
    for (_guardchar<wchar_t>& level : levels)
        if (path_get_kind(level.Text()) != PATH_KIND_MISSING && path_changed_by(level.Text()) != PATH_CHANGED_BY_ADMINS) {
            open_place.Swap(level);
            return;
        }
}

bool cCIAppFullConfig::Save()
{
    common.Save();
    return user.Save();
}

bool cCIAppFullConfig::Revert()
{
    common.Revert();
    return user.Revert();
}

bool cCIAppFullConfig::ReadBytes(const char* key, _typebuf<uint8_t>& out)
{
    return user.ReadBytes(key, out) || (CommonGives(key) && common.ReadBytes(key, out));
}

bool cCIAppFullConfig::ReadInt64(const char* key, int64_t& out)
{
    return user.ReadInt64(key, out) || (CommonGives(key) && common.ReadInt64(key, out));
}

bool cCIAppFullConfig::ReadString(const char* key, _guardchar<wchar_t>& out)
{
    return user.ReadString(key, out) || (CommonGives(key) && common.ReadString(key, out));
}

bool cCIAppFullConfig::WriteBytes(const char* key, const void* data, uint32_t size)
{
    return user.WriteBytes(key, data, size);
}

bool cCIAppFullConfig::WriteInt16(const char* key, int16_t value)
{
    return user.WriteInt16(key, value);
}

bool cCIAppFullConfig::WriteInt32(const char* key, int32_t value)
{
    return user.WriteInt32(key, value);
}

bool cCIAppFullConfig::WriteInt64(const char* key, int64_t value)
{
    return user.WriteInt64(key, value);
}

bool cCIAppFullConfig::WriteString(const char* key, const wchar_t* text, int32_t length)
{
    return user.WriteString(key, text, length);
}

bool cCIAppFullConfig::DeleteKey(const char* key)
{
    common.DeleteKey(key);
    return user.DeleteKey(key);
}

bool cCIAppFullConfig::HasKey(const char* key)
{
    return common.HasKey(key) || user.HasKey(key);
}

bool cCIAppFullConfig::EnumChildren(const char* key, EnumCallback callback, void* context)
{
    if (!key || !key[0] || !callback)
        return false;
    bool found = false;
    cCIAppConfig* stores[2] = {&common, &user};
    for (cCIAppConfig* store : stores) {
        if (!store->HasKey(key))
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
    return common.HasKey(key) && CommonKeyGuarded(key);
}

bool cCIAppFullConfig::CommonKeyGuarded(const char* key, _guardchar<wchar_t>* open_path)
{
    // The maker's folder, the store's folder and the key's file, from the
    // top: the first that others may change is the one to name.
    _guardchar<wchar_t> levels[3];
    if (!common.FileOf(key, levels[2]) || !parent_folder_of(levels[2].Text(), levels[1]) ||
        !parent_folder_of(levels[1].Text(), levels[0])) {
        if (open_path && !open_place.IsEmpty())
            open_path->Assign(open_place.Text());
        return false;
    }
    for (int level = 0; level < 3; ++level) {
        const wchar_t* path = levels[level].Text();
        // A missing file counts while nobody else may make it there.
        if (level == 2 && path_get_kind(path) == PATH_KIND_MISSING)
            break;
        if (path_changed_by(path) != PATH_CHANGED_BY_ADMINS) {
            if (open_path)
                open_path->Swap(levels[level]);
            return false;
        }
    }
    return true;
}
