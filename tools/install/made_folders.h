#ifndef TOOLS_INSTALL_MADE_FOLDERS_H
#define TOOLS_INSTALL_MADE_FOLDERS_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

class cApplicationConfig;
class cRecordBounds;

// The folders the installations of a product made, which its record lists
// ("<key>/folders" counts them, "<key>/folder<i>" names each) so that its
// uninstall removes them once empty and nothing that was there before.

// Reads the list of the record under key ("install/<code name>") into out,
// drive and share roots left out; false when the record has no such list
// (it was written before the list was kept).
bool read_made_folders(cApplicationConfig& store, const char* key, cLinkedList<_guardchar<wchar_t>>& out);

// The folders an uninstall may remove once they are empty: those listed
// in the record, and its Start-menu group with what lies in it. For a
// record without the list: the install folder and what lies in it or in
// the package's other folders, never a folder above them.
class cFolderPrune {
public:
    cFolderPrune(cApplicationConfig& store, const char* key, const cRecordBounds& bounds);
    cFolderPrune(const cFolderPrune&) = delete;

    // Takes in the folders above path (a deleted file or shortcut) that
    // may go, up to the first that may not or is taken in already.
    void Above(const wchar_t* path);
    // Takes in the folder itself when it may go.
    void Folder(const wchar_t* path);
    // Removes each folder taken in that is empty by then, deepest first,
    // so that a folder emptied by its children's removal goes too; a folder
    // that still holds something stays. Each is tried once.
    void Run();

private:
    bool MayGo(const wchar_t* folder, const cPackedKey& identity) const;

    const cRecordBounds& bounds;
    bool listed;  // the record lists its made folders
    cTreeMap<cPackedKey, uint8_t> made;
    cPackedKey group;  // the recorded group's identity; empty when none
    // By identity: a folder's key is a prefix of its children's keys, so
    // the last come first when walked backwards.
    cTreeMap<cPackedKey, _guardchar<wchar_t>> taken;
};

#endif
