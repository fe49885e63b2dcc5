#ifndef TOOLS_INSTALL_UNINSTALL_RECORD_H
#define TOOLS_INSTALL_UNINSTALL_RECORD_H

#include <stdint.h>

class cApplicationConfig;
class cUninstallContext;
class cUninstallQuestions;

// The uninstall of a product that has its record under key
// ("install/<code name>") in the store, once asked for (UNINSTALL_*):
//  1. its recorded files and shortcuts as they are now, those inside the
//     recorded install folder and Start-menu group (cRecordBounds) only; a
//     file found only as its ".bkp" was moved aside by a run cut off before;
//  2. question 3; No changes nothing;
//  3. each file moved aside to "<path>.bkp" (a stale ".bkp" deleted
//     first), asking while another program holds it; a give-up moves every
//     moved file back and changes nothing else;
//  4. the backups deleted, then the shortcuts, then the folders left
//     empty that may go (cFolderPrune: those the installations made, and
//     the Start-menu group), then the Windows entry wherever it is;
//  5. the record deleted and saved, only when all of that went: otherwise
//     UNINSTALL_INCOMPLETE leaves the record for a later run to finish.
// Paths outside the product were left where they are: UNINSTALL_DAMAGED_RECORD
// then tells of them once the rest is gone.
uint32_t uninstall_recorded_product(cUninstallContext& context, cApplicationConfig& store, const char* key,
                                    cUninstallQuestions& questions);

#endif
