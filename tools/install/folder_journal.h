#ifndef TOOLS_INSTALL_FOLDER_JOURNAL_H
#define TOOLS_INSTALL_FOLDER_JOURNAL_H

class cApplicationConfig;
class cInstallContext;

// The install run's journal (its layout in tools/shell/record_keys.h):
// what a run is about to put in place that the record does not have, known
// to the store before the first of it exists, so that whatever runs next
// for the product undoes a run cut off before its record (cut_off_run.h).

// The store of config that holds the product's journal: the one that holds
// its record, where one does (a run journals where it records); else the
// one that holds the journal (find_record_store). Null when none does, and
// for a common store that others than the administrators may change.
// code_name is UTF-8.
cApplicationConfig* journal_store_of(cApplicationConfig* config, const char* code_name);

// Once the repair has run, before the job puts anything in place: saves the
// journal of the context's run (its install folder; the folders it takes
// over from a cut-off run and those it is about to make; the files it writes
// that the record does not have, with the SHA-256 of the member for each
// it adds; the shortcuts it adds) into the store its record will go to
// first, and takes a journal of the other store away. Without a store, or
// when none keeps it, the run goes on without one.
void save_folder_journal(cInstallContext& context, cApplicationConfig* store);

// Deletes the journal from the store, unsaved: the save of the record, or
// of the give-up, takes it along.
void drop_folder_journal(const cInstallContext& context, cApplicationConfig& store);

#endif
