#ifndef TOOLS_INSTALL_CUT_OFF_RUN_H
#define TOOLS_INSTALL_CUT_OFF_RUN_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

class cApplicationConfig;
class cInstallContext;

// An install run cut off before it saved its record (a kill, a crash, a
// power cut) is undone from its journal (folder_journal.h) back to the
// installation the record holds, by whatever runs next for the product,
// before it looks at that installation. Only what proves to be the cut-off
// run's is touched, and only within bounds:
//  - the bounds: the install folder (the record's where there is one, else
//    the journal's; sound by the record's rule, cRecordBounds), the folders
//    besides it and the Start-menu group of the run at hand (for an
//    uninstall, those of the record, or without one those the journal
//    names as a record would);
//  - a file the journal lists there: its ".tmp" deleted; its backup given
//    back only over a target that holds what the run wrote there (the
//    journal's digest) or is missing; without a backup, the file deleted
//    only when nothing stood there before the run and it holds what the run
//    wrote;
//  - a shortcut or made folder the journal lists there: only when it was
//    made since the run began to journal (a folder removed where empty);
//  - anything else the journal names (outside the bounds, a file without
//    its digest, or holding other content beside its backup, a folder or
//    shortcut older than the run) is damage: left where it is.

// The outcome of an undo; error_path names the file a failure concerns.
enum : uint32_t {
    UNDO_DONE = 0,  // nothing was cut off, or all of it is undone
    UNDO_FILE_IN_USE = 1,
    UNDO_FAILED = 2,  // a file cannot be moved back or deleted
    UNDO_OBJECT_IN_THE_WAY = 3,  // something other than a file where a backup goes back
    // Undone as far as it proved to be the cut-off run's; the rest of what
    // the journal names is left, and the journal dropped all the same.
    UNDO_DAMAGED = 4,
};

// What becomes of the journal's install folder when the cut-off run made it.
enum : uint32_t {
    // Removed when empty, with the journal (the uninstall).
    CUT_OFF_FOLDER_REMOVED = 0,
    // Left, with a journal that names only it, for the run whose folder is
    // still to be chosen (the install's start-up).
    CUT_OFF_FOLDER_LEFT = 1,
    // Taken over by a run into it (run_folder): it stays and the caller
    // lists it with the folders that run made; a run into another folder
    // removes it. The journal is left for the caller's own to replace.
    CUT_OFF_FOLDER_TAKEN_OVER = 2,
};

// The run at hand.
struct cUndoScope {
    // The folders besides the install folder and the Start-menu group
    // (null: shortcuts directly in a Programs folder) of its package; with
    // from_record, those of the record instead (the uninstall has no
    // package).
    const cLinkedList<_guardchar<wchar_t>>* bases;
    const wchar_t* group;
    bool from_record;
    uint32_t install_folder;  // CUT_OFF_FOLDER_*
    // For CUT_OFF_FOLDER_TAKEN_OVER: the folder the run installs into, the
    // list that gets the journal's install folder when it is that one, and
    // the stamp that then becomes the cut-off run's when it is earlier.
    const wchar_t* run_folder;
    cLinkedList<_guardchar<wchar_t>>* taken_over;
    uint64_t* taken_since;
};

// Undoes the cut-off run of the product with that code name (UTF-8) whose
// journal config keeps for this run (journal_store_of); UNDO_*. A failure
// leaves the journal, so that a later try finishes what this one began.
uint32_t undo_cut_off_run(cApplicationConfig* config, const char* code_name, const cUndoScope& scope,
                          _guardchar<wchar_t>& error_path);

// The undo before an installation of the context's package, bounded by its
// package: at the start-up (folder_chosen false), or at the start of the
// install job into the folder the package's "pgm" string names, which then
// takes over a cut-off first installation's folder into the context's
// cut_off_folders. The context's error path names what a failure concerns.
uint32_t undo_before_install(cInstallContext& context, cApplicationConfig* store, bool folder_chosen);

#endif
