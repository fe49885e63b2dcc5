#include "base/file_info.h"

#include <windows.h>

bool path_get_info(const wchar_t* path, cFileInfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path || !path[0] || !GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return false;
    cFileInfo read = {};
    read.attributes = data.dwFileAttributes;
    read.size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    // A time Windows cannot convert stays zero.
    filetime_to_local(data.ftCreationTime, read.created);
    filetime_to_local(data.ftLastAccessTime, read.last_access);
    filetime_to_local(data.ftLastWriteTime, read.last_write);
    info = read;
    return true;
}
