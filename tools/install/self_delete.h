#ifndef TOOLS_INSTALL_SELF_DELETE_H
#define TOOLS_INSTALL_SELF_DELETE_H

// The deletion of a file that cannot be deleted now, typically the manager
// that runs this very process: a batch script in the temporary folder,
// run by a hidden command interpreter from the system folder, tries every
// two seconds (timeout.exe of the system folder waits; where that is
// missing the tries follow each other at once) and gives up after 1,800
// tries, about an hour. As soon as the file is gone it removes the file's
// folder where that is left empty; then, or on giving up, it deletes its
// own file and the empty "spm*.tmp" file that reserved its name.

// Starts that script for the file at path ('/' or '\' form); it is not
// waited for. True when there is nothing to delete (no file at path), or
// the script was written and started; false for something other than a
// plain file at path, or a script that could not be written or started
// (nothing of it is left then).
bool schedule_self_delete(const wchar_t* path);

#endif
