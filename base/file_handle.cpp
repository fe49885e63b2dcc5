#include "base/file_handle.h"

#include "base/buffers/typebuf.h"
#include "base/file_io_target.h"
#include "base/path.h"

namespace {

HANDLE file_handle_make(const wchar_t* path, uint32_t mode, DWORD disposition, DWORD attributes)
{
    _typebuf<wchar_t> native;
    if (!path_to_native(path, native))
        return INVALID_HANDLE_VALUE;
    DWORD access = 0;
    if (mode & FILE_MODE_READ)
        access |= GENERIC_READ;
    if (mode & FILE_MODE_WRITE)
        access |= GENERIC_WRITE;
    DWORD share = (mode & FILE_MODE_EXCLUSIVE) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    return CreateFileW(native.Data(), access, share, nullptr, disposition, attributes, nullptr);
}

}  // namespace

HANDLE file_handle_create(const wchar_t* path, uint32_t mode)
{
    return file_handle_make(path, mode, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

HANDLE file_handle_open(const wchar_t* path, uint32_t mode)
{
    return file_handle_make(path, mode, OPEN_EXISTING, 0);
}

HANDLE file_handle_create_new(const wchar_t* path, uint32_t mode)
{
    return file_handle_make(path, mode, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
}

bool file_handle_close(HANDLE handle)
{
    // INVALID_HANDLE_VALUE is also the current process's own handle, which
    // CloseHandle would accept.
    return file_handle_is_valid(handle) && CloseHandle(handle);
}

void file_handle_close_and_clear(HANDLE& handle)
{
    if (handle != 0)
        file_handle_close(handle);
    handle = 0;
}

bool file_handle_seek(HANDLE handle, uint64_t position)
{
    if (position > uint64_t(INT64_MAX))
        return false;
    LARGE_INTEGER target, reached;
    target.QuadPart = int64_t(position);
    return SetFilePointerEx(handle, target, &reached, FILE_BEGIN) && reached.QuadPart == target.QuadPart;
}

bool file_handle_seek_from_end(HANDLE handle, uint64_t distance)
{
    if (!file_handle_is_valid(handle))
        return false;
    uint64_t size = file_handle_size(handle);
    return distance <= size && file_handle_seek(handle, size - distance);
}

int32_t file_handle_read(HANDLE handle, void* buffer, uint32_t count)
{
    DWORD moved = 0;
    if (!ReadFile(handle, buffer, io_clamp_count(count), &moved, nullptr))
        return 0;
    return int32_t(moved);
}

int32_t file_handle_write(HANDLE handle, const void* buffer, uint32_t count)
{
    DWORD moved = 0;
    if (!WriteFile(handle, buffer, io_clamp_count(count), &moved, nullptr))
        return 0;
    return int32_t(moved);
}

uint64_t file_handle_size(HANDLE handle)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size))
        return 0;
    return uint64_t(size.QuadPart);
}

bool file_handle_set_size(HANDLE handle, uint64_t size)
{
    return file_handle_seek(handle, size) && SetEndOfFile(handle);
}

bool file_handle_set_time(HANDLE handle, uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                          uint16_t minute, uint16_t second)
{
    SYSTEMTIME utc = {};
    utc.wYear = year;
    utc.wMonth = month;
    utc.wDay = day;
    utc.wHour = hour;
    utc.wMinute = minute;
    utc.wSecond = second;
    FILETIME time;
    return SystemTimeToFileTime(&utc, &time) && SetFileTime(handle, &time, nullptr, &time);
}

cSafeFD::~cSafeFD()
{
    file_handle_close_and_clear(handle);
}
