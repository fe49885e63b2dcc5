#include "base/file_handle.h"

#include "base/buffers/typebuf.h"
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

cSafeFD::~cSafeFD()
{
    if (handle != 0 && handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = 0;
}
