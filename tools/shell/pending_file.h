#ifndef TOOLS_SHELL_PENDING_FILE_H
#define TOOLS_SHELL_PENDING_FILE_H

#include "base/buffers/guardchar.h"
#include "base/file_io.h"

// A file written beside its destination under a name of its own, that
// takes the destination's place only when Commit is called. Until then
// whatever the destination holds stays as it is; without a commit the
// destructor deletes the file (also when the stack unwinds through it).
// Paths are in the program's '/' form.
class cPendingFile {
public:
    cPendingFile() = default;
    cPendingFile(const cPendingFile&) = delete;
    cPendingFile& operator=(const cPendingFile&) = delete;
    ~cPendingFile();

    // Makes a new, empty file in the destination's folder whose name is the
    // destination's with ".download" added, and a number after it when that
    // name is taken; nothing that exists is opened or emptied. False when
    // no such file could be made.
    bool Create(const wchar_t* destination);
    // The file while it is pending, for writing.
    cFileIO& File() { return file; }
    // Closes the file and moves it onto the destination, replacing what is
    // there in one step. On false the file is deleted and the destination
    // is as it was.
    bool Commit();

private:
    void Discard();

    cFileIO file;
    _guardchar<wchar_t> destination;
    _guardchar<wchar_t> pending_path;  // empty when nothing is pending
};

#endif
