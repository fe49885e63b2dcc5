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
// The right to rename or delete the file through the handle.
const uint32_t FILE_MODE_DELETE = 8;
// A link at the path is opened itself, never what it names (opens of
// existing files only).
const uint32_t FILE_MODE_LINK_ITSELF = 16;

// A new or emptied file at path (the program's '/' form); INVALID_HANDLE_VALUE
// on failure, and for a null or empty path.
HANDLE file_handle_create(const wchar_t* path, uint32_t mode);
// An existing file; INVALID_HANDLE_VALUE on failure.
HANDLE file_handle_open(const wchar_t* path, uint32_t mode);
// A new file where nothing exists yet; INVALID_HANDLE_VALUE on failure,
// with GetLastError ERROR_FILE_EXISTS for an existing file, which is left
// untouched.
HANDLE file_handle_create_new(const wchar_t* path, uint32_t mode);

// Operations on a bare file handle, for code that keeps only the handle
// (cFileIO is made of them). On an invalid or closed handle they fail as
// the Windows calls do: false, or a count or size of 0.
inline HANDLE file_handle_invalid()
{
    return INVALID_HANDLE_VALUE;
}
// Not INVALID_HANDLE_VALUE.
inline bool file_handle_is_valid(HANDLE handle)
{
    return handle != INVALID_HANDLE_VALUE;
}
// False for INVALID_HANDLE_VALUE, which it leaves alone.
bool file_handle_close(HANDLE handle);
// Renames the file open as handle (with FILE_MODE_DELETE) to new_path on its
// volume, in one step on the handle: no second open of the file and no
// second look for the new name. An existing target is never replaced.
bool file_handle_rename(HANDLE handle, const wchar_t* new_path);
// Gives the file or folder open as handle (with FILE_WRITE_ATTRIBUTES)
// these FILE_ATTRIBUTE_* attributes; its times stay. 0 stands for
// FILE_ATTRIBUTE_NORMAL.
bool file_handle_set_attributes(HANDLE handle, uint32_t attributes);
// Closes a handle that is neither 0 nor INVALID_HANDLE_VALUE; the handle
// becomes 0 in every case.
void file_handle_close_and_clear(HANDLE& handle);
// Position from the start; false for a position that cannot be reached.
bool file_handle_seek(HANDLE handle, uint64_t position);
// Position distance bytes before the end; false, with the position
// unchanged, further back than the start.
bool file_handle_seek_from_end(HANDLE handle, uint64_t distance);
// One ReadFile or WriteFile of at most 2^31 - 1 bytes: the count moved.
int32_t file_handle_read(HANDLE handle, void* buffer, uint32_t count);
int32_t file_handle_write(HANDLE handle, const void* buffer, uint32_t count);
uint64_t file_handle_size(HANDLE handle);
// Seeks to size and ends the file there.
bool file_handle_set_size(HANDLE handle, uint64_t size);
// Creation and last-write time, given in UTC; the last-access time stays.
bool file_handle_set_time(HANDLE handle, uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                          uint16_t minute, uint16_t second);

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
