#ifndef BASE_FILE_OPS_H
#define BASE_FILE_OPS_H

#include <stdint.h>

// What a path names (path_get_kind), and the kinds of folder-listing
// entries (cFolderListing), where the last three name locations.
enum : uint32_t {
    PATH_KIND_MISSING = 0,
    PATH_KIND_FILE = 1,
    PATH_KIND_FOLDER = 2,
    PATH_KIND_DEVICE = 4,
    PATH_KIND_DRIVE = 8,          // a drive or a connected network drive
    PATH_KIND_HOME = 9,           // the user's home folder
    PATH_KIND_OFFLINE_DRIVE = 10, // a remembered network drive not connected now
};

// File-system operations on internal ('/'-separated) paths. Each converts
// the path with path_to_native; a null or empty path fails.

// PATH_KIND_MISSING, _FILE, _FOLDER or _DEVICE from the path's attributes.
uint32_t path_get_kind(const wchar_t* path);

// A link or junction (a reparse point) is at path: what lies below it, or
// what it names, may be anywhere.
bool path_is_link(const wchar_t* path);

// True when the folder was created, or already exists as a folder. Parent
// folders are not created.
bool path_create_folder(const wchar_t* path);

// True when the folder was removed or was not there; a folder that is not
// empty stays, and the answer is false.
bool path_remove_folder(const wchar_t* path);

// Renames a file or folder within one volume, flushed before the call
// returns. An existing target is never replaced: the rename fails and
// nothing changes. A link at old_path is renamed itself, never what it
// names.
bool file_rename(const wchar_t* old_path, const wchar_t* new_path);

// Like file_rename, but an existing file at new_path is replaced in the same
// single step: whatever happens meanwhile, new_path names the old file or
// the new one, never neither. Windows refuses it while another handle has
// the target open.
bool file_replace(const wchar_t* old_path, const wchar_t* new_path);

bool file_delete(const wchar_t* path);

// The file cannot be opened to be read, or to be deleted or replaced,
// because another program holds it: its handle denies that sharing, or it
// has locked the file. False when it opens so, or fails for any other
// reason (missing, no access).
bool file_is_held(const wchar_t* path);

// Clears the read-only attribute of the file at path, for which Windows
// refuses deletion and opening for writing. A link at path loses its own
// attribute, never that of what it names; a folder is left alone. True
// when the file had the attribute and lost it.
bool file_clear_read_only(const wchar_t* path);

// Bytes available to this user and total bytes of the volume that holds
// path; both untouched on failure. The path goes to Windows as it is (a
// null or empty one fails rather than naming the current drive).
bool path_get_free_space(const wchar_t* path, uint64_t* available, uint64_t* total);

// Bytes of one cluster (the unit files are stored in) of the volume that
// holds the native path, which need not exist yet; untouched on failure.
bool path_get_cluster_size(const wchar_t* path, uint32_t* bytes);

#endif
