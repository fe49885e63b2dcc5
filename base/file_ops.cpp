#include "base/file_ops.h"

#include <windows.h>

#include "base/file_handle.h"
#include "base/path.h"

uint32_t path_get_kind(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return PATH_KIND_MISSING;
    DWORD attributes = GetFileAttributesW(native.Data());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PATH_KIND_MISSING;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PATH_KIND_FOLDER;
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return PATH_KIND_DEVICE;
    return PATH_KIND_FILE;
}

bool path_is_link(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    DWORD attributes = GetFileAttributesW(native.Data());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool path_create_folder(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    if (CreateDirectoryW(native.Data(), nullptr))
        return true;
    return GetLastError() == ERROR_ALREADY_EXISTS && path_get_kind(path) == PATH_KIND_FOLDER;
}

bool path_remove_folder(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    return RemoveDirectoryW(native.Data()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool file_rename(const wchar_t* old_path, const wchar_t* new_path)
{
    // Through a handle on the old name: MoveFileEx looks for the new name
    // once more before its rename, and where names are matched without
    // regard to case on a disk that keeps it, each look for a missing name
    // reads the whole folder.
    _typebuf<wchar_t> native;
    if (!path_to_native(old_path, native))
        return false;
    cSafeFD held(CreateFileW(native.Data(), DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_WRITE_THROUGH, nullptr));
    return file_handle_is_valid(held.handle) && file_handle_rename(held.handle, new_path);
}

bool file_replace(const wchar_t* old_path, const wchar_t* new_path)
{
    _typebuf<wchar_t> old_native, new_native;
    if (!path_to_native(old_path, old_native) || !path_to_native(new_path, new_native))
        return false;
    return MoveFileExW(old_native.Data(), new_native.Data(), MOVEFILE_WRITE_THROUGH | MOVEFILE_REPLACE_EXISTING) != 0;
}

bool file_delete(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    return DeleteFileW(native.Data()) != 0;
}

bool file_is_held(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    // Sharing every way ourselves: only the other handle's refusal fails it.
    cSafeFD file(CreateFileW(native.Data(), GENERIC_READ | DELETE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                             nullptr));
    if (file_handle_is_valid(file.handle))
        return false;
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool file_clear_read_only(const wchar_t* path)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return false;
    // One handle for the look and the change, on a link itself, never on
    // what it names.
    cSafeFD held(CreateFileW(native.Data(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!file_handle_is_valid(held.handle) || !GetFileInformationByHandle(held.handle, &information))
        return false;
    DWORD attributes = information.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_READONLY) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return file_handle_set_attributes(held.handle, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
}

bool path_get_free_space(const wchar_t* path, uint64_t* available, uint64_t* total)
{
    if (!path || !path[0] || !available || !total)
        return false;
    ULARGE_INTEGER user_bytes, volume_bytes;
    if (!GetDiskFreeSpaceExW(path, &user_bytes, &volume_bytes, nullptr))
        return false;
    *available = user_bytes.QuadPart;
    *total = volume_bytes.QuadPart;
    return true;
}

bool path_get_cluster_size(const wchar_t* path, uint32_t* bytes)
{
    wchar_t root[MAX_PATH + 1];
    DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, clusters = 0;
    if (!path || !path[0] || !bytes || !GetVolumePathNameW(path, root, MAX_PATH + 1) ||
        !GetDiskFreeSpaceW(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters))
        return false;
    uint64_t size = uint64_t(sectors_per_cluster) * bytes_per_sector;
    if (size == 0 || size > UINT32_MAX)
        return false;
    *bytes = uint32_t(size);
    return true;
}
