#ifndef TOOLS_INSTALL_INSTALL_FILES_H
#define TOOLS_INSTALL_INSTALL_FILES_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cInstallContext;
class cInstallJobHost;

// The install job's passes over the file list. Each answers true when it
// went through; false with the context's status and error path set. Items
// marked skipped are left alone, except by the repair.

// "<target>.tmp" and "<target>.bkp".
bool temporary_path_of(const wchar_t* target, _guardchar<wchar_t>& out);
bool backup_path_of(const wchar_t* target, _guardchar<wchar_t>& out);

// Puts right what an interrupted run left beside the targets and the
// previous installation's files, once a cut-off run is undone
// (cut_off_run.h), so that no journal tells of one: a temporary file is
// deleted; a backup beside its target is of the version before the recorded
// one (a run cut off after its record) and is deleted, and one without its
// target goes back to its name. Read-only ones go all the same.
bool install_repair_pass(cInstallContext& context);

// Writes each member to its temporary file, flushed to the disk, reporting
// progress per file from step *step on (*step counts on). A stop asked for
// meanwhile ends it as aborted.
bool install_unpack_pass(cInstallContext& context, cInstallJobHost& host, int32_t* step);

// Moves each existing target to its backup path, asking the host while a
// program holds it. On failure, on the user's No to that question
// (INSTALL_STATUS_FILE_IN_USE, the error path the target) and on a stop
// asked for meanwhile the targets moved so far are moved back.
bool install_backup_pass(cInstallContext& context, cInstallJobHost& host);

// Moves each temporary file onto its target and sets its access. On
// failure, or on a stop asked for meanwhile, the old targets are put back
// from their backups.
bool install_apply_pass(cInstallContext& context, cInstallJobHost& host);

// The host's commit (cInstallJobHost::Commit) once every new file is in
// place and the step after them went through (ready). Otherwise, or when a
// stop came first, the old targets are put back: the job fails with the
// status that step set, or is aborted.
bool install_commit(cInstallContext& context, cInstallJobHost& host, bool ready);

// After a pass gave up (and put the targets back): deletes every temporary
// file of the list and the folders the job made that are empty now. True
// when none of those folders, nor one it took over from a cut-off run
// (cInstallContext::cut_off_folders), is left.
bool discard_new_files(cInstallContext& context);

#endif
