#ifndef TOOLS_INSTALL_PRODUCT_FOLDERS_H
#define TOOLS_INSTALL_PRODUCT_FOLDERS_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "base/linked_list.h"

// A folder's identity (path_identity_text) and its length.
struct cFolderIdentity {
    _typebuf<wchar_t> text;
    int32_t length;
};

// Which folders a product may call its own, against the folders of the
// system and of the user as a whole (get_known_folders) and the Start
// menu's Programs folders (get_programs_folders), found at the first
// question after construction or Find: a start-up that asks none spends no
// time on the system's folders. What the file system says each known folder
// and each folder above one is, is asked once per process (cFolderLineage).
// The one rule of the install folder the user picks, of the folders a
// package names, and of the folders an installation record names.
class cProductFolders {
public:
    cProductFolders();
    cProductFolders(const cProductFolders&) = delete;
    cProductFolders& operator=(const cProductFolders&) = delete;

    // The folders are found anew, as the system names them then, at the
    // next question.
    void Find();

    // A folder that can hold a product of its own: a full path below a
    // drive's or share's root, sound as recorded (recorded_path_sound),
    // that resolves as written (path_resolves_as_written: no short name,
    // mapped drive or share, or link on its way, and no link itself), and
    // that is neither a known folder nor an ancestor of one, by its text or
    // by what the file system says it is.
    bool Sound(const wchar_t* folder) const;
    // A sound folder strictly below one of the Programs folders: a product's
    // Start-menu group.
    bool SoundGroup(const wchar_t* folder) const;
    // The Programs folder that path lies inside, by its identity; null when
    // none.
    const cFolderIdentity* ProgramsHolding(const wchar_t* path) const;

private:
    void Ready() const;

    mutable bool found;
    mutable cLinkedList<cFolderIdentity> known;
    mutable cLinkedList<cFolderIdentity> programs;
};

// The identity of path into out; false when path is null or memory runs out.
bool folder_identity_of(const wchar_t* path, cFolderIdentity& out);

// path is sound as a recorded path: a full path on a drive or a share (not
// through the system's "//?/" or "//./" namespaces), without a step up
// (path_has_parent_step) or a segment whose end Windows drops
// (path_has_dropped_name_end), so that its identity and the file calls name
// the same file, and short enough that the ".tmp" and ".bkp" names beside
// it can be formed (path_format_limit).
bool recorded_path_sound(const wchar_t* path);

#endif
