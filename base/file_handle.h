#ifndef BASE_FILE_HANDLE_H
#define BASE_FILE_HANDLE_H

#include <stdint.h>
#include <windows.h>

// Modes of file_handle_create and file_handle_open (and of cFileIO), joined
// with |.
const uint32_t FILE_MODE_READ = 1;
const uint32_t FILE_MODE_WRITE = 2;
// No other handle may open the file while this one is open.
const uint32_t FILE_MODE_EXCLUSIVE = 4;

// A new or emptied file at path (the program's '/' form); INVALID_HANDLE_VALUE
// on failure, and for a null or empty path.
HANDLE file_handle_create(const wchar_t* path, uint32_t mode);
// An existing file; INVALID_HANDLE_VALUE on failure.
HANDLE file_handle_open(const wchar_t* path, uint32_t mode);
// A new file where nothing exists yet; INVALID_HANDLE_VALUE on failure,
// with GetLastError ERROR_FILE_EXISTS for an existing file, which is left
// untouched.
HANDLE file_handle_create_new(const wchar_t* path, uint32_t mode);

// Owns one raw handle and closes it on destruction, unless it is 0 or
// INVALID_HANDLE_VALUE.
class cSafeFD {
public:
    explicit cSafeFD(HANDLE owned = 0) : handle(owned) {}
    virtual ~cSafeFD();
    cSafeFD(const cSafeFD&) = delete;
    cSafeFD& operator=(const cSafeFD&) = delete;

    HANDLE handle;
};

#endif
