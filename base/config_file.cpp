#include "base/config_file.h"

#include "base/file_handle.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/mem_buffered_io.h"
#include "base/mem_io_target.h"
#include "base/path.h"
#include "base/path_resolution.h"
#include "base/string_utils.h"
#include "base/wait_bound.h"

namespace {

const uint64_t lock_offset = 0;
const uint64_t lock_length = 4;
const wchar_t side_folder[] = L"~save";
// How often a held store file is tried again.
const uint32_t hold_retry_ms = 20;

// The side folder of the store file at path, and with a suffix the file in
// it named after the store file.
bool side_path(const wchar_t* path, const wchar_t* suffix, _guardchar<wchar_t>& out)
{
    const wchar_t* slash = path ? wstr_find_last_char(path, L'/') : nullptr;
    const wchar_t* backslash = path ? wstr_find_last_char(path, L'\\') : nullptr;
    if (backslash > slash)
        slash = backslash;
    if (!slash || !slash[1])
        return false;
    if (!suffix)
        return path_format(out, L"%.*s%s", int(slash + 1 - path), path, side_folder);
    return path_format(out, L"%.*s%s/%s%s", int(slash + 1 - path), path, side_folder, slash + 1, suffix);
}

// Tells fault (when given) what stood in the way; false, for the caller's
// answer.
bool faulted(uint32_t* fault, uint32_t what)
{
    if (fault)
        *fault = what;
    return false;
}

// The store file that is there and will not open or be replaced: held by
// another program, else closed to this run.
bool held_or(uint32_t* fault, uint32_t otherwise, const wchar_t* path)
{
    return faulted(fault, file_is_held(path) ? CFG_FAULT_HELD : otherwise);
}

// The lock of one store file, held from Take until the object goes.
class cStoreFileLock {
public:
    // Makes the side folder and the lock file when missing; false at once
    // while another process holds the lock, or with wait once it has held
    // it for CFG_HOLD_WAIT_MS.
    bool Take(const wchar_t* path, bool wait, uint32_t* fault)
    {
        _guardchar<wchar_t> folder, lock;
        const uint32_t mode = FILE_MODE_READ | FILE_MODE_WRITE;
        if (!side_path(path, nullptr, folder) || !side_path(path, L".lock", lock) ||
            !path_create_folder(folder.Text()))
            return faulted(fault, CFG_FAULT_PLACE | CFG_FAULT_AT_SIDE);
        // Another process may create the lock file between the two opens.
        if (!file.Open(lock.Text(), mode) && !file.CreateNew(lock.Text(), mode) && !file.Open(lock.Text(), mode))
            return faulted(fault, CFG_FAULT_PLACE | CFG_FAULT_AT_LOCK);
        return file.LockRegion(lock_offset, lock_length, wait ? CFG_HOLD_WAIT_MS : 0) ||
               faulted(fault, CFG_FAULT_HELD | CFG_FAULT_AT_LOCK);
    }

private:
    cFileIO file;
};

// Tries again while it fails, for as long as another program may hold a
// store file.
template <class Try>
bool waiting_out_holds(Try attempt)
{
    cWaitBound bound(CFG_HOLD_WAIT_MS, nullptr);
    while (!attempt()) {
        if (bound.Ended())
            return false;
        Sleep(hold_retry_ms);
    }
    return true;
}

// Moves the side file onto the store file in one step. A reader that only
// peeks (cfg_file_peek) holds the file open for a moment without the lock,
// and any program that may read it can hold it longer.
bool replace_store_file(const wchar_t* next, const wchar_t* path)
{
    return waiting_out_holds([&] { return file_replace(next, path); });
}

// The whole file that holds root, in out.
bool file_image(const cConfigNode& root, _typebuf<uint8_t>& out)
{
    cMemIOTarget image;
    return cfg_stream_write(image, root) && image.CopyTo(out);
}

// Writes bytes to the side file and renames it onto path, replacing what is
// there only with replace. The caller holds the lock, which the side file
// is also under. The side file is made afresh: a file left there by a kill
// is removed first, and anything else at its name (a link, a folder)
// refuses the save, which never writes through it. Flushed first,
// so that a rename that reaches the disk never names a file whose bytes
// did not.
bool put_whole_file(const wchar_t* path, const _typebuf<uint8_t>& bytes, bool replace, uint32_t* fault)
{
    _guardchar<wchar_t> next;
    cFileIO file;
    if (!side_path(path, L".new", next))
        return faulted(fault, CFG_FAULT_PLACE);
    // What a killed save left is a file of that very name; anything else
    // there (a link, a folder) is nobody's to remove.
    uint32_t kind = path_get_kind(next.Text());
    bool made = (kind == PATH_KIND_MISSING ||
                 (kind == PATH_KIND_FILE && file_resolves_as_written(next.Text()) && file_delete(next.Text()))) &&
                file.CreateNew(next.Text(), FILE_MODE_WRITE);
    bool written = made && file.WriteExact(bytes.Data(), uint32_t(bytes.Count())) && file.Flush();
    file.Close();
    if (written && (replace ? replace_store_file(next.Text(), path) : file_rename(next.Text(), path)))
        return true;
    if (made)
        file_delete(next.Text());
    return written ? held_or(fault, CFG_FAULT_PLACE, path) : faulted(fault, CFG_FAULT_PLACE | CFG_FAULT_AT_NEW);
}

// Reads the store file at path, opened with mode, into node under
// store_lock.
bool read_store_file(cCriticalSection* store_lock, const wchar_t* path, uint32_t mode, cConfigNode& node,
                     uint32_t* fault)
{
    cSafeCriticalSectionAccess guard(store_lock);
    cfg_node_clear(node);
    if (path_get_kind(path) != PATH_KIND_FILE)
        return faulted(fault, CFG_FAULT_PLACE);
    cFileIO file;
    cMemBufferedIO buffered;
    // A file that is there and will not open is held by another program,
    // or closed to this run for good: either way it is waited for.
    if (!waiting_out_holds([&] { return file.Open(path, mode) || path_get_kind(path) != PATH_KIND_FILE; }) ||
        !file.IsOpen())
        return held_or(fault, CFG_FAULT_UNREADABLE, path);
    return (buffered.Attach(&file) && cfg_stream_read(buffered, node)) || faulted(fault, CFG_FAULT_UNREADABLE);
}

}  // namespace

void cStoreFault::Set(uint32_t fault, const wchar_t* path)
{
    static const wchar_t* const suffixes[] = {nullptr, L".lock", L".new", nullptr};
    kind = fault & 0xFF;
    if (fault < CFG_FAULT_AT_LOCK)
        place.Assign(path);
    else
        side_path(path, suffixes[(fault >> 8) & 3], place);
}

bool cfg_file_create_empty(const wchar_t* path, uint32_t* fault)
{
    cConfigNode empty;
    _typebuf<uint8_t> bytes;
    cStoreFileLock lock;
    // The rename refuses to replace what another process made meanwhile.
    return (path_get_kind(path) == PATH_KIND_MISSING || faulted(fault, CFG_FAULT_PLACE)) &&
           (file_image(empty, bytes) || faulted(fault, CFG_FAULT_PLACE)) && lock.Take(path, false, fault) &&
           put_whole_file(path, bytes, false, fault);
}

bool cfg_file_read(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node, uint32_t* fault)
{
    cStoreFileLock lock;
    // The lock comes first: a reader holding the file open would make a
    // writer's replacement fail.
    bool locked = path_get_kind(path) == PATH_KIND_FILE ? lock.Take(path, true, fault)
                                                        : faulted(fault, CFG_FAULT_PLACE);
    if (locked)
        return read_store_file(store_lock, path, FILE_MODE_READ | FILE_MODE_WRITE, node, fault);
    cSafeCriticalSectionAccess guard(store_lock);
    cfg_node_clear(node);
    return false;
}

bool cfg_file_peek(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node, uint32_t* fault)
{
    return read_store_file(store_lock, path, FILE_MODE_READ, node, fault);
}

bool cfg_file_side_folder(const wchar_t* path, _guardchar<wchar_t>& out)
{
    return side_path(path, nullptr, out);
}

bool cfg_store_side_folder(const wchar_t* folder, _guardchar<wchar_t>& out)
{
    int32_t length = wstr_length(folder);
    while (length > 0 && (folder[length - 1] == L'/' || folder[length - 1] == L'\\'))
        --length;
    return length > 0 && path_format(out, L"%.*s/%s", int(length), folder, side_folder);
}

bool cfg_file_write(const wchar_t* path, const cConfigNode& node, uint32_t* fault)
{
    _typebuf<uint8_t> bytes;
    cStoreFileLock lock;
    if (!file_image(node, bytes))
        return faulted(fault, CFG_FAULT_PLACE);
    return lock.Take(path, true, fault) &&
           (path_get_kind(path) == PATH_KIND_FILE || faulted(fault, CFG_FAULT_PLACE)) &&
           put_whole_file(path, bytes, true, fault);
}
