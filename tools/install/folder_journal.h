#ifndef TOOLS_INSTALL_FOLDER_JOURNAL_H
#define TOOLS_INSTALL_FOLDER_JOURNAL_H

#include "base/buffers/guardchar.h"

class cApplicationConfig;
class cInstallContext;

// The install run's journal (its layout in tools/shell/record_keys.h):
// what a run is about to put in place, with what proves each to be its own,
// known to the store before the first of it exists, so that whatever runs
// next for the product undoes a run cut off before its record
// (cut_off_run.h).

// The store of config that keeps the product's journal for this run: the
// one that holds its record (a run journals where it records), else the one
// the run would record in (record_target). Null where the run refuses the
// record's store. The roads refuse a journal file that others may change
// before they come here (find_record_store). code_name is UTF-8.
cApplicationConfig* journal_store_of(cApplicationConfig* config, const char* code_name);

// Once the repair has run, before the job puts anything in place: saves the
// journal of the context's run into journal_store_of (its install folder,
// the package's folders besides it and group, when it began, the folders it
// takes over from a cut-off run and those it is about to make, the group
// among them while it is missing, every file it writes with the SHA-256 of
// its member and whether a file stood there, the shortcuts it adds), and
// notes in the context when it began. True when it is saved, or the run
// has no store at all; false when the store does not keep it (the save
// failed, or the run refuses the store), the context's error path then
// naming what kept the save from its place where it is known: nothing may
// be put in place that no journal tells the next run of.
bool save_folder_journal(cInstallContext& context, cApplicationConfig* config);

// Deletes the journal from the store, unsaved: the save of the record, or
// of the give-up, takes it along.
void drop_folder_journal(const cInstallContext& context, cApplicationConfig& store);

#endif
