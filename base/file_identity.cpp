#include "base/file_identity.h"

#include "base/file_handle.h"
#include "base/path.h"
#include "base/string_utils.h"

bool operator<(const cFileIdentity& a, const cFileIdentity& b)
{
    if (a.volume != b.volume)
        return a.volume < b.volume;
    if (a.index_high != b.index_high)
        return a.index_high < b.index_high;
    return a.index_low < b.index_low;
}

HANDLE path_open_attributes(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(native.Data(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

namespace {

bool information_of(const wchar_t* path, BY_HANDLE_FILE_INFORMATION& information)
{
    cSafeFD handle(path_open_attributes(path));
    return file_handle_is_valid(handle.handle) && GetFileInformationByHandle(handle.handle, &information);
}

}  // namespace

bool path_file_identity(const wchar_t* path, cFileIdentity& out)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!information_of(path, information))
        return false;
    out.volume = information.dwVolumeSerialNumber;
    out.index_high = information.nFileIndexHigh;
    out.index_low = information.nFileIndexLow;
    return true;
}

bool path_creation_time(const wchar_t* path, uint64_t& out)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!information_of(path, information))
        return false;
    out = uint64_t(information.ftCreationTime.dwHighDateTime) << 32 | information.ftCreationTime.dwLowDateTime;
    return true;
}

cFolderLineage::cFolderLineage() : identities(1024), walked(1024) {}

void cFolderLineage::Add(const wchar_t* folder)
{
    _guardchar<wchar_t> at;
    at.Assign(folder);
    // The separators that end a folder's path name no folder of their own.
    for (int32_t length = at.Length(); length > 1 && at.Text()[length - 1] == L'/'; --length)
        at.Buffer()[length - 1] = 0;
    while (path_is_absolute(at.Text())) {
        cPackedKey key;
        path_identity_key(at.Text(), key);
        // A folder looked at before had the folders above it looked at too.
        if (!key.Data() || tree_find_node(walked, key))
            return;
        tree_get_or_add(walked, static_cast<cPackedKey&&>(key));
        cFileIdentity identity;
        if (path_file_identity(at.Text(), identity) && !tree_find_node(identities, identity))
            if (_guardchar<wchar_t>* kept = tree_get_or_add(identities, identity))
                kept->Assign(at.Text());
        const wchar_t* cut = wstr_find_last_char(at.Text(), L'/');
        if (!cut)
            return;
        at.Buffer()[cut - at.Text()] = 0;
    }
}

bool cFolderLineage::Holds(const wchar_t* path) const
{
    cFileIdentity identity, again;
    const _guardchar<wchar_t>* folder = path_file_identity(path, identity) ? tree_find_value(identities, identity) : nullptr;
    return folder && path_file_identity(folder->Text(), again) && !(identity < again) && !(again < identity);
}

void cFolderLineage::Clear()
{
    tree_clear(identities);
    tree_clear(walked);
}
