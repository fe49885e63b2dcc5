#include "base/file_io.h"

#include "base/clock.h"
#include "base/date_time.h"

namespace {

const uint64_t unchanged_time = 0xFFFFFFFF;
// How often a lock that another handle holds is tried again.
const uint32_t lock_retry_ms = 20;

}  // namespace

cFileIO::cFileIO() : handle(file_handle_invalid())
{
}

cFileIO::~cFileIO()
{
    Close();
}

bool cFileIO::Adopt(HANDLE opened, const wchar_t* opened_path)
{
    handle = opened;
    if (IsOpen())
        path.Assign(opened_path);
    return IsOpen();
}

bool cFileIO::Create(const wchar_t* new_path, uint32_t mode)
{
    Close();
    return Adopt(file_handle_create(new_path, mode), new_path);
}

bool cFileIO::Open(const wchar_t* new_path, uint32_t mode)
{
    Close();
    return Adopt(file_handle_open(new_path, mode), new_path);
}

bool cFileIO::CreateNew(const wchar_t* new_path, uint32_t mode)
{
    Close();
    return Adopt(file_handle_create_new(new_path, mode), new_path);
}

uint64_t cFileIO::GetSize()
{
    return file_handle_size(handle);
}

int32_t cFileIO::Read(void* buffer, uint32_t count)
{
    return file_handle_read(handle, buffer, count);
}

int32_t cFileIO::Write(const void* buffer, uint32_t count)
{
    return file_handle_write(handle, buffer, count);
}

bool cFileIO::Seek(uint64_t position)
{
    return file_handle_seek(handle, position);
}

bool cFileIO::SeekFromEnd(uint64_t distance)
{
    return file_handle_seek_from_end(handle, distance);
}

bool cFileIO::SetSize(uint64_t size)
{
    return file_handle_set_size(handle, size);
}

void cFileIO::Close()
{
    file_handle_close(handle);
    handle = file_handle_invalid();
}

bool cFileIO::SetTime(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t second)
{
    return file_handle_set_time(handle, year, month, day, hour, minute, second);
}

bool cFileIO::SetTimesUnix(uint64_t modified, uint64_t created, uint64_t accessed)
{
    const uint64_t given[3] = {modified, created, accessed};
    FILETIME times[3];
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (given[i] == unchanged_time)
            continue;
        if (given[i] > latest_filetime_unix_seconds)
            return false;
        uint64_t utc = local_unix_to_utc(given[i]);
        if (utc > latest_filetime_unix_seconds)
            return false;
        times[i] = filetime_of_unix(utc);
        any = true;
    }
    if (!any)
        return false;
    return SetFileTime(handle, created == unchanged_time ? nullptr : &times[1],
                       accessed == unchanged_time ? nullptr : &times[2],
                       modified == unchanged_time ? nullptr : &times[0]);
}

bool cFileIO::Lock(uint64_t offset, uint64_t length, DWORD flags)
{
    if (!IsOpen())
        return false;
    OVERLAPPED at = {};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    return LockFileEx(handle, flags, 0, DWORD(length), DWORD(length >> 32), &at);
}

bool cFileIO::LockRegion(uint64_t offset, uint64_t length, uint32_t wait_ms)
{
    uint64_t deadline = clock_now_us() + uint64_t(wait_ms) * 1000;
    while (!TryLockRegion(offset, length)) {
        if (!IsOpen() || clock_now_us() >= deadline)
            return false;
        Sleep(lock_retry_ms);
    }
    return true;
}

bool cFileIO::TryLockRegion(uint64_t offset, uint64_t length)
{
    return Lock(offset, length, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY);
}

bool cFileIO::IsOpen()
{
    return file_handle_is_valid(handle);
}

bool cFileIO::Flush()
{
    return IsOpen() && FlushFileBuffers(handle);
}

uint32_t cFileIO::GetKind()
{
    return 1;
}
