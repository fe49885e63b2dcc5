#ifndef TOOLS_INSTALL_RECORD_BOUNDS_H
#define TOOLS_INSTALL_RECORD_BOUNDS_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/file_identity.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"
#include "tools/install/product_folders.h"

class cRecordReader;

// Where a recorded file lies (cRecordBounds::PlaceOf).
enum : uint32_t {
    RECORDED_OUTSIDE = 0,    // not the product's: never moved or deleted, and damage to the record
    RECORDED_IN_FOLDER = 1,  // inside the install folder
    // Inside another folder the package named: the product's only while its
    // content has the digest the record keeps for it, or when the package
    // that updates the product writes it.
    RECORDED_IN_BASE = 2,
};

// What of the machine an installation record may make later runs touch,
// so that an edited record (the per-user store is the user's own file,
// while an update or uninstall may run with more rights) names nothing that
// is not the product's. Built from the record, every folder of it checked
// against cProductFolders, not taken on trust:
//  - files inside the install folder ("path"), which must be sound, or
//    inside a base ("base<i>") that is sound and neither the install folder
//    nor above it, by its text or by what the file system says it is;
//  - shortcuts: ".lnk" files inside the Start-menu group ("group"), which
//    must be sound and strictly below a Programs folder; for a record without
//    a group, directly in a Programs folder;
//  - made folders ("folder<i>"): inside (or equal to) the install folder, an
//    accepted base or the group;
//  - every recorded path sound as recorded (recorded_path_sound), and the
//    folder of every file, shortcut or made folder resolving as written
//    (path_resolves_as_written: no link, junction, short name, mapped drive
//    or share anywhere on its way), so that the text comparisons above tell
//    where it lies: a look per folder, kept.
class cRecordBounds {
public:
    cRecordBounds();
    cRecordBounds(const cRecordBounds&) = delete;
    cRecordBounds& operator=(const cRecordBounds&) = delete;

    // Takes the bounds of the record. group_fallback (null: none) stands in
    // for the group of a record written before groups were recorded: the
    // group of the package that updates it.
    void Read(cRecordReader& record, const wchar_t* group_fallback);
    // Takes bounds that no record names, checked as a record's are: the
    // install folder, the folders besides it (bases) and the Start-menu
    // group (null: the shortcuts lie directly in a Programs folder) of the
    // run at hand.
    void Take(const wchar_t* install_folder, const cLinkedList<_guardchar<wchar_t>>& base_folders,
              const wchar_t* start_menu_group);

    const cProductFolders& Folders() const { return folders; }
    // The recorded install folder as written; empty when none.
    const _guardchar<wchar_t>& Folder() const { return folder; }
    bool FolderSound() const { return folder_sound; }
    // The group the shortcuts lie in; empty when the record has none that
    // is sound.
    const _guardchar<wchar_t>& Group() const { return group; }

    // RECORDED_*. Outside also for a path not sound as recorded, and for one
    // whose folder does not resolve as written.
    uint32_t PlaceOf(const wchar_t* path);
    bool HoldsShortcut(const wchar_t* path);
    // The made folders the record lists that lie where they may (see above),
    // appended to out; false when the record keeps no such list.
    bool ReadMadeFolders(cRecordReader& record, cLinkedList<_guardchar<wchar_t>>& out) const;
    // folder is the install folder or inside it, or inside an accepted base.
    bool InFolderOrBase(const wchar_t* folder) const;
    // folder is the group or inside it.
    bool InGroup(const wchar_t* folder) const;
    // folder does not resolve as written (a link, junction or alias anywhere
    // on its way, or the folder itself a link); also true for a folder
    // nothing bounds.
    bool LinkOnTheWay(const wchar_t* folder);
    // The folders looked at so far are looked at again from now on.
    void ForgetLinks();

private:
    // The bound folder's identity that holds path (or is it, with or_same).
    const cFolderIdentity* BoundOf(const cFolderIdentity& path, bool or_same) const;
    // path_resolves_as_written, asked once per folder until ForgetLinks.
    bool Resolves(const wchar_t* folder);

    cProductFolders folders;
    _guardchar<wchar_t> folder;
    bool folder_sound;
    cFolderIdentity folder_identity;
    cFolderLineage folder_lineage;       // the recorded install folder, sound or not, and the folders above it
    cLinkedList<cFolderIdentity> bases;  // the accepted ones
    _guardchar<wchar_t> group;
    bool group_recorded;  // the record names a group, sound or not
    cFolderIdentity group_identity;
    const cFolderIdentity* group_programs;  // the Programs folder above the group
    cTreeMap<cPackedKey, uint8_t> resolved;  // folder identity -> 1 resolves as written, 0 not
};

// Appends the record's bases ("base<i>") as it writes them, unchecked.
void read_record_bases(cRecordReader& record, cLinkedList<_guardchar<wchar_t>>& out);

// Deletes a shortcut the installer made, with its group when that is left
// empty and is a sound group (never a Programs folder). True when no file
// is left at path.
bool delete_shortcut_and_empty_group(const wchar_t* path, const cProductFolders& folders);

#endif
