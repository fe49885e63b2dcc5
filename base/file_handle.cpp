#include "base/file_handle.h"

#include <string.h>
#include <wchar.h>

#include "base/buffers/typebuf.h"
#include "base/dynamic_import.h"
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
    if (mode & FILE_MODE_DELETE)
        access |= DELETE;
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
    return file_handle_make(path, mode, OPEN_EXISTING, (mode & FILE_MODE_LINK_ITSELF) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
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

namespace {

// FILE_RENAME_INFORMATION, its name running on past its end.
struct cRenameInformation {
    BOOLEAN replace;
    HANDLE root;
    ULONG name_bytes;
    WCHAR name[1];
};

struct cIoStatus {
    LONG status;
    ULONG_PTR information;
};

// FILE_BASIC_INFORMATION: times of 0 stay as they are.
struct cBasicInformation {
    LARGE_INTEGER creation_time;
    LARGE_INTEGER last_access_time;
    LARGE_INTEGER last_write_time;
    LARGE_INTEGER change_time;
    ULONG attributes;
};

typedef LONG(NTAPI* SetInformationFileFunction)(HANDLE, cIoStatus*, void*, ULONG, int);
const int file_basic_information_class = 4;
const int file_rename_information_class = 10;

// The system's own call: the one of kernel32 that sets information
// through a handle is missing before Vista.
SetInformationFileFunction set_information_file()
{
    return dynamic_import<SetInformationFileFunction>(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile");
}

}  // namespace

bool file_handle_set_attributes(HANDLE handle, uint32_t attributes)
{
    SetInformationFileFunction set_information = set_information_file();
    if (!set_information)
        return false;
    cBasicInformation information = {};
    // None at all would mean "unchanged".
    information.attributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    cIoStatus io = {0, 0};
    return set_information(handle, &io, &information, sizeof(information), file_basic_information_class) >= 0;
}

bool file_handle_rename(HANDLE handle, const wchar_t* new_path)
{
    SetInformationFileFunction set_information = set_information_file();
    _typebuf<wchar_t> native;
    if (!set_information || !path_to_native(new_path, native))
        return false;
    if (wcsncmp(native.Data(), L"\\\\", 2) != 0) {
        // A relative or rooted path: its full form from the current folder.
        DWORD length = GetFullPathNameW(native.Data(), 0, nullptr, nullptr);
        _typebuf<wchar_t> full{int32_t(length)};
        if (!length || !full.Data() || GetFullPathNameW(native.Data(), length, full.Data(), nullptr) >= length)
            return false;
        native = static_cast<_typebuf<wchar_t>&&>(full);
    }
    // The system's own form of the name: "\\?\C:\..." and "C:\..." become
    // "\??\C:\...", "\\server\share\..." becomes "\??\UNC\server\share\...".
    const wchar_t* text = native.Data();
    const wchar_t* prefix = L"\\??\\";
    const wchar_t* rest = text;
    if (wcsncmp(text, L"\\\\?\\", 4) == 0) {
        rest = text + 4;
    } else if (wcsncmp(text, L"\\\\", 2) == 0) {
        prefix = L"\\??\\UNC\\";
        rest = text + 2;
    }
    size_t prefix_length = wcslen(prefix), rest_length = wcslen(rest);
    ULONG name_bytes = ULONG((prefix_length + rest_length) * sizeof(wchar_t));
    _typebuf<uint8_t> buffer(int32_t(sizeof(cRenameInformation) + name_bytes));
    if (!buffer.Data())
        return false;
    cRenameInformation* information = reinterpret_cast<cRenameInformation*>(buffer.Data());
    information->replace = FALSE;
    information->root = nullptr;
    information->name_bytes = name_bytes;
    memcpy(information->name, prefix, prefix_length * sizeof(wchar_t));
    memcpy(information->name + prefix_length, rest, rest_length * sizeof(wchar_t));
    cIoStatus io = {0, 0};
    return set_information(handle, &io, information, ULONG(buffer.Count()), file_rename_information_class) >= 0;
}

cSafeFD::~cSafeFD()
{
    file_handle_close_and_clear(handle);
}
