#ifndef BASE_CONFIG_FILE_H
#define BASE_CONFIG_FILE_H

#include "base/config_node.h"
#include "base/critical_section.h"

// Configuration store files on disk. Each create, read and write holds an
// exclusive lock on bytes 0 to 3 of the file for as long as it has the file
// open, so that processes sharing a store never see each other's half-done
// work; reads and writes wait for that lock. The file is opened for reading
// and writing, shared both ways: a file the user may only read cannot be
// used.

// Creates the empty store file (7 bytes: "QRVC", an empty root, no
// children). False when anything is at path already: a file that another
// process has just created is never emptied. Also false when that other
// process holds the lock at the moment (creation does not wait).
bool cfg_file_create_empty(const wchar_t* path);

// Empties node and reads the file at path into it, all under store_lock
// (none when null). False for a missing file, a failed open and anything
// cfg_stream_read refuses; node then holds what was read before the fault.
bool cfg_file_read(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node);

// Writes node over the existing file at path as cfg_stream_write does (not
// truncated). False when the file is missing or cannot be opened.
bool cfg_file_write(const wchar_t* path, const cConfigNode& node);

#endif
