#ifndef BASE_FILE_IDENTITY_H
#define BASE_FILE_IDENTITY_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// What the file system says a file or folder is: its volume's serial number
// and its index on that volume, the same whatever path reaches it (a short
// name, a link or junction, a drive or share mapped onto a folder).
struct cFileIdentity {
    uint32_t volume;
    uint32_t index_high;
    uint32_t index_low;
};

// Orders identities for the program's ordered map.
bool operator<(const cFileIdentity& a, const cFileIdentity& b);

// A handle on the file or folder at path, links followed, that reads
// nothing but its attributes, so that a folder this user may not list still
// tells what it is; INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE path_open_attributes(const wchar_t* path);

// The identity of the file or folder at path, links followed; false when it
// cannot be opened (missing, no access).
bool path_file_identity(const wchar_t* path, cFileIdentity& out);

// When the file or folder at path was made, links followed, in FILETIME
// ticks (UTC); false when it cannot be opened.
bool path_creation_time(const wchar_t* path, uint64_t& out);

// The identities of folders and of every folder above them (up to their
// drive's or share's root, by the paths as written), so that a folder can be
// told to be one of them or above one, whatever path names it. No lock: the
// owner serialises access.
class cFolderLineage {
public:
    cFolderLineage();
    cFolderLineage(const cFolderLineage&) = delete;
    cFolderLineage& operator=(const cFolderLineage&) = delete;

    // Takes in folder and the folders above it that exist; each folder is
    // opened once, however many added folders lie below it.
    void Add(const wchar_t* folder);
    // The folder at path exists and is one of those taken in: the folder it
    // was taken in by still has its identity, so that a folder removed and
    // made anew since, whose identity another may have now, is none.
    bool Holds(const wchar_t* path) const;
    void Clear();

private:
    cTreeMap<cFileIdentity, _guardchar<wchar_t>> identities;  // -> the folder that had it
    cTreeMap<cPackedKey, uint8_t> walked;  // path_identity_key of each folder looked at
};

#endif
