#ifndef BASE_FILE_INFO_H
#define BASE_FILE_INFO_H

#include <stdint.h>

#include "base/date_time.h"

// What Windows reports about a file or folder; times in local time.
struct cFileInfo {
    uint32_t attributes;  // FILE_ATTRIBUTE_* bits
    cDateTime created;
    cDateTime last_access;
    cDateTime last_write;
    uint64_t size;
};

// Attributes, times and size of path, which goes to Windows as it is ('/'
// separators are accepted there). False, with info untouched, when the
// attributes cannot be read.
bool path_get_info(const wchar_t* path, cFileInfo& info);

#endif
