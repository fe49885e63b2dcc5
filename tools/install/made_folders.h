#ifndef TOOLS_INSTALL_MADE_FOLDERS_H
#define TOOLS_INSTALL_MADE_FOLDERS_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

class cRecordBounds;

// The folders an update or an uninstall may remove once they are empty:
// those the installations made (a record lists them, "<key>/folder<i>",
// each checked by cRecordBounds::ReadMadeFolders), and the Start-menu group
// with what lies in it. Without such a list (a record written before it was
// kept): the install folder and what lies in it or in an accepted base,
// never a folder above them. A folder that does not resolve as written
// (cRecordBounds::LinkOnTheWay) never goes.
class cFolderPrune {
public:
    // listed: the record keeps a list of its made folders (Made gives them).
    cFolderPrune(cRecordBounds& bounds, bool listed);
    cFolderPrune(const cFolderPrune&) = delete;
    cFolderPrune& operator=(const cFolderPrune&) = delete;

    // Folders the installations made.
    void Made(const cLinkedList<_guardchar<wchar_t>>& folders);
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

    cRecordBounds& bounds;
    bool listed;
    cTreeMap<cPackedKey, uint8_t> made;
    // By identity: a folder's key is a prefix of its children's keys, so
    // the last come first when walked backwards.
    cTreeMap<cPackedKey, _guardchar<wchar_t>> taken;
};

#endif
