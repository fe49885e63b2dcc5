#ifndef TOOLS_INSTALL_INSTALL_JOB_H
#define TOOLS_INSTALL_INSTALL_JOB_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/progress_notify_target.h"

class cApplicationConfig;
class cInstallContext;
struct cStringArray;

// What the install job reports to and asks of the page that runs it (the
// wizard's install page), always on the job's thread. From the base:
// SelectStep(i) shows step i's caption with the bar at 0, Notify(percent)
// reports progress within the step and answers false once a stop was
// requested.
class cInstallJobHost : public cProgressNotifyTarget {
public:
    // Shows the last caption with the bar at 0.
    virtual void SelectLastStep() = 0;
    // Every file is in place: from here on nothing can be put back. False
    // when a stop was asked for until then (the job gives up); after true
    // no stop is asked for any more.
    virtual bool Commit() = 0;
    // The target is held open by another program (or may not be written):
    // true when the user wants another try, false to give up. Blocks the
    // job until the user has answered.
    virtual bool AskRelease(const wchar_t* path) = 0;
};

// Texts of the page's catalog section the job uses itself.
struct cInstallJobTexts {
    const wchar_t* manager_shortcut_name;   // "Software Packages management"
    const wchar_t* manager_shortcut_group;  // the Start-menu folder of that shortcut
};

// The captions of the job's steps, from the page's texts (0 preparing, 1
// "Unpacking %s...", 2 backup, 3 apply, 4 clean-up): text 0, text 1 for
// each file to write, then texts 2, 3 and 4. False when a caption cannot
// be made.
bool build_install_step_captions(const cInstallContext& context, const cStringArray* texts,
                                 _classbuf<_guardchar<wchar_t>>& captions);

// The install job, on the page's worker thread: finishes the undo of a
// cut-off run (cut_off_run.h), repairs what an interrupted run left, writes
// every file beside its target as "<target>.tmp", moves each existing
// target aside to "<target>.bkp", moves the new files into place, puts the
// manager and its shortcut in place (cPlacedManager) and commits, then
// makes the package's shortcuts, saves the record into store and writes
// the Windows entry, and removes what the previous installation no longer
// needs. Before it puts anything in place it saves its journal
// (folder_journal.h), and stops when that save fails
// (INSTALL_STATUS_JOURNAL_NOT_SAVED); a saved record takes it away. A
// manager that cannot be placed fails the job (INSTALL_STATUS_NO_MANAGER).
// A failure, or a stop asked for before the new files are committed, puts
// back what the job changed (the old files, no temporary file, none of the
// folders it made, no manager where none was).
// Answers 0 when it reached the end (status 0, INSTALL_STATUS_NOT_RECORDED
// or INSTALL_STATUS_NO_MANAGER_SHORTCUT), 1 when it stopped; the context
// keeps the status and the path it concerns.
uint32_t run_install_job(cInstallContext& context, cApplicationConfig* store, const cInstallJobTexts& texts,
                         cInstallJobHost& host);

#endif
