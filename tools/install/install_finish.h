#ifndef TOOLS_INSTALL_INSTALL_FINISH_H
#define TOOLS_INSTALL_INSTALL_FINISH_H

class cApplicationConfig;
class cInstallContext;

// The install job's steps once every file is in place. Their failures are
// silent (a shortcut or the entry is missing), except that no store keeping
// the record is INSTALL_STATUS_NOT_RECORDED.

// Creates the package's shortcuts, each path recorded once, and deletes
// the previous installation's shortcuts that were not made again, with
// their emptied group.
void install_shortcuts(cInstallContext& context);

// Saves the record, with the journal's drop, into the store that holds the
// product, else the one this run keeps records in (record_target: the
// common store for a run that records for all users, else the per-user
// one), and writes the Windows entry of the same scope.
void install_record_and_entry(cInstallContext& context, cApplicationConfig* store, const wchar_t* manager_path,
                              const wchar_t* manager_shortcut);

// Deletes the previous installation's files that the new one does not
// have and that are the product's beyond doubt (cPreviousFile::owned), as
// the previous record bounds them, read-only ones too, with the folders
// they leave empty that may go (cFolderPrune).
void remove_dropped_files(cInstallContext& context);

// Deletes the backups of the replaced files, read-only ones too.
void delete_backups(cInstallContext& context);

#endif
