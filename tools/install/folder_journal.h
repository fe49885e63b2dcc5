#ifndef TOOLS_INSTALL_FOLDER_JOURNAL_H
#define TOOLS_INSTALL_FOLDER_JOURNAL_H

class cApplicationConfig;
class cInstallContext;

// The install job's folder journal (its layout in tools/shell/record_keys.h):
// the folders a run makes are known to the store before they exist, so that
// a run cut off before its record still leaves them to the product.

// Before the job makes any folder: the folders that a cut-off run left in
// the journal and that lie where a record's made folders may (not reached
// through a link) join the context's made folders, and the journal is saved
// with them and with the folders the file list needs that are not there yet.
// Without a store nothing is kept.
void save_folder_journal(cInstallContext& context, cApplicationConfig* store);

// Deletes the journal from the store, unsaved: the save of the record, or
// of the give-up, takes it along.
void drop_folder_journal(const cInstallContext& context, cApplicationConfig& store);

#endif
