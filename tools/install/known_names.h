#ifndef TOOLS_INSTALL_KNOWN_NAMES_H
#define TOOLS_INSTALL_KNOWN_NAMES_H

#include <stdint.h>

#include "base/tree_map.h"

// What the install's folders hold, listed once per folder: a target, a
// temporary or a backup name that its folder's listing lacks is missing
// without a query of its own, so that a product of thousands of files in
// new or sparsely filled folders costs one listing per folder instead of a
// few queries per file. A listed name (or one whose hash a listed name
// shares) is looked at on disk. Names the job itself brings into being
// after the listing are added to it. One thread at a time; paths in '/'
// form.
class cKnownNames {
public:
    cKnownNames();
    cKnownNames(const cKnownNames&) = delete;
    cKnownNames& operator=(const cKnownNames&) = delete;

    // PATH_KIND_* of the path, as path_get_kind gives it; its folder is
    // listed on the folder's first use.
    uint32_t Kind(const wchar_t* path);
    // The job made a file at path since its folder was listed.
    void Add(const wchar_t* path);
    // Forgets every listing: the folders are listed again on their next use.
    void Clear();

private:
    // Whether the folder of path, listed now if it was not yet, may hold
    // path's name.
    bool MayHold(const wchar_t* path);

    // Listed folders (hash of the folder path) -> 1 when its names tell
    // what is missing; 0 when they cannot (an existing folder listed
    // empty: it may be unreadable).
    cTreeMap<uint64_t, uint8_t> folders;
    cTreeMap<uint64_t, uint8_t> names;  // hashes of the listed paths
};

#endif
