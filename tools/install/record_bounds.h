#ifndef TOOLS_INSTALL_RECORD_BOUNDS_H
#define TOOLS_INSTALL_RECORD_BOUNDS_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

class cApplicationConfig;

// Where an installation record's files and shortcuts may lie: its install
// folder ("<key>/path") or another folder the package named ("<key>/base<i>"),
// and its Start-menu group ("<key>/group"; a record written before the group
// was recorded: the Start menu's programs folder).
// A path elsewhere is damage to the record, never to be moved or deleted:
// a damaged record could otherwise name any file of the machine.
class cRecordBounds {
public:
    // key: "install/<code name>". A folder that is missing, not a full path,
    // a drive's or share's root or holds a step up ("..") bounds nothing.
    cRecordBounds(cApplicationConfig& store, const char* key);

    // The recorded install folder as written; empty when none.
    const _guardchar<wchar_t>& Folder() const { return folder; }
    // The Start-menu group the bounds take shortcuts from, and whether the
    // record names it (else it is the Start menu's programs folder).
    const _guardchar<wchar_t>& Group() const { return group; }
    bool GroupRecorded() const { return group_recorded; }
    // The install folder and the group are sound (see the constructor).
    bool FolderSound() const;
    bool GroupSound() const;
    bool HoldsFile(const wchar_t* path) const;
    bool HoldsShortcut(const wchar_t* path) const;

private:
    _guardchar<wchar_t> folder;
    cLinkedList<_guardchar<wchar_t>> bases;  // the sound ones only
    _guardchar<wchar_t> group;
    bool group_recorded;
};

// Appends to out the sound folders (full paths below a root) of a record's
// indexed list: "<key>/<count_name>" counts them, at most limit are read,
// "<key>/<name><i>" names each. False when the record has no count.
bool read_recorded_folders(cApplicationConfig& store, const char* key, const char* count_name, const char* name,
                           int32_t limit, cLinkedList<_guardchar<wchar_t>>& out);

// Deletes the manager's Start-menu shortcut that the store names
// ("installer/shortcut") and prunes its emptied group. A path outside the
// Start menu's programs folder is damage to the store and is left alone.
void delete_recorded_manager_shortcut(cApplicationConfig& store);

#endif
