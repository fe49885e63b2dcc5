#ifndef TOOLS_INSTALL_UNINSTALL_RECORD_H
#define TOOLS_INSTALL_UNINSTALL_RECORD_H

#include <stdint.h>

class cApplicationConfig;
class cUninstallContext;
class cUninstallQuestions;

// An install run of the product cut off before its record, whose journal
// config keeps for this run, undone (cut_off_run.h), asking while another
// program holds a file it gives back: true once it is (what the journal
// named beyond the cut-off run's is counted in the context's outside);
// else result says why not (a held file given up, or what cannot go
// back).
bool undo_cut_off_install(cUninstallContext& context, cApplicationConfig* config, cUninstallQuestions& questions,
                          uint32_t& result);

// The uninstall of a product that has its record under key
// ("install/<code name>") in the store of config that holds it
// (find_record_store), once asked for (UNINSTALL_*):
//  1. question 3; No changes nothing;
//  2. an install run cut off before its record undone (undo_cut_off_install);
//  3. its recorded files and shortcuts as the record bounds them
//     (cRecordBounds), as they are now; a file found only as its ".bkp" was
//     moved aside by an uninstall cut off before;
//  4. each file moved aside to "<path>.bkp" (a stale ".bkp" deleted
//     first; a read-only file or backup loses its attribute when that
//     stands in the way), asking while another program holds it; a
//     give-up moves every moved file back and changes nothing else, and so
//     does an object other than a file at a backup path, without a
//     question (UNINSTALL_OBJECT_IN_WAY); a file outside the install
//     folder moves only while it has the content the record keeps the
//     digest of;
//  5. the backups deleted (one outside the install folder only with that
//     content), then the shortcuts, then the folders left empty that may go
//     (cFolderPrune: those the installations made, and the Start-menu
//     group);
//  6. the record deleted and saved, only when all of that went: otherwise
//     UNINSTALL_INCOMPLETE leaves the record and the entry for a later run
//     to finish, and a save that fails does too (UNINSTALL_RECORD_NOT_SAVED,
//     the context's store fault telling what stood in its way);
//  7. the Windows entry wherever it is, once the record's deletion is
//     saved (one that stays: UNINSTALL_INCOMPLETE).
// What is not the product's was left where it is: UNINSTALL_DAMAGED_RECORD
// then tells of it once the rest is gone, and UNINSTALL_CHANGED_FILES of
// files whose content changed since they were installed.
uint32_t uninstall_recorded_product(cUninstallContext& context, cApplicationConfig* config,
                                    cApplicationConfig& store, const char* key, cUninstallQuestions& questions);

#endif
