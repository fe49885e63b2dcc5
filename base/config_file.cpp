#include "base/config_file.h"

#include "base/file_handle.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/mem_buffered_io.h"

namespace {

const uint64_t lock_offset = 0;
const uint64_t lock_length = 4;

}  // namespace

bool cfg_file_create_empty(const wchar_t* path)
{
    if (path_get_kind(path) != PATH_KIND_MISSING)
        return false;
    cFileIO file;
    cConfigNode empty;
    return file.CreateNew(path, FILE_MODE_READ | FILE_MODE_WRITE) && file.TryLockRegion(lock_offset, lock_length) &&
           cfg_stream_write(file, empty);
}

bool cfg_file_read(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node)
{
    cSafeCriticalSectionAccess guard(store_lock);
    cfg_node_clear(node);
    cFileIO file;
    if (!file.Open(path, FILE_MODE_READ | FILE_MODE_WRITE) || !file.LockRegion(lock_offset, lock_length))
        return false;
    // The lock keeps the file's size still while the window reads ahead.
    cMemBufferedIO buffered;
    return buffered.Attach(&file) && cfg_stream_read(buffered, node);
}

bool cfg_file_write(const wchar_t* path, const cConfigNode& node)
{
    cFileIO file;
    return file.Open(path, FILE_MODE_READ | FILE_MODE_WRITE) && file.LockRegion(lock_offset, lock_length) &&
           cfg_stream_write(file, node);
}
