#ifndef BASE_FOLDER_LISTING_H
#define BASE_FOLDER_LISTING_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/date_time.h"
#include "base/tree_map.h"

// One entry of a folder listing or of the list of locations.
struct cFolderEntry {
    _guardchar<wchar_t> name;     // file or folder name; a location's path
    _guardchar<wchar_t> display;  // the text a location shows; empty for folder entries
    uint64_t size;                // bytes
    uint32_t kind;                // PATH_KIND_*
    uint8_t hidden;               // 1 for hidden and system entries
    cDateTime last_write;         // local time
};

// The entries of one folder, or the locations (home folder, drives,
// network drives) a folder chooser starts from, numbered 0, 1, 2... in the
// order they were found. No lock: the owner serialises access.
class cFolderListing {
public:
    cFolderListing();
    cFolderListing(const cFolderListing&) = delete;
    cFolderListing& operator=(const cFolderListing&) = delete;

    // Lists folder's entries without "." and "..", and without devices when
    // skip_devices is set. A remembered network drive that is not
    // connected is reconnected first. True for any existing folder, also
    // one that cannot be read (no entries then); false for a missing path
    // or one that is no folder. The entries are cleared in every case.
    bool Read(const wchar_t* folder, bool skip_devices);

    // Lists the locations: the home folder, the drives, and the remembered
    // network drives, connected or not. The folder text is emptied.
    bool ReadLocations();

    // The listed folder in internal form; null (empty) for locations.
    const wchar_t* GetFolder() const { return folder.Text(); }

    // The path of an entry: its name joined to the folder, or the name
    // alone for locations. False when there is no such entry.
    bool GetEntryPath(uint32_t index, _guardchar<wchar_t>& out) const;

    // The entry of that index; null when there is none.
    const cFolderEntry* GetEntry(uint32_t index) const;
    uint32_t Count() const;

    // A new entry under the next index: name and kind set, texts empty,
    // numbers zero. Null when memory runs out.
    cFolderEntry* AddEntry(const wchar_t* name, uint32_t kind);

    // Frees every entry; the folder text stays.
    void Clear();

    // Exchanges folder and entries with the other listing, so that one
    // thread can hand what it listed to another.
    void Swap(cFolderListing& other);

private:
    _guardchar<wchar_t> folder;
    cTreeMap<int32_t, cFolderEntry> entries;
};

#endif
