#ifndef BASE_CONFIG_FILE_H
#define BASE_CONFIG_FILE_H

#include "base/config_node.h"
#include "base/critical_section.h"

// Configuration store files on disk. A file is never changed in place: its
// new content is written whole beside it and replaces it in one rename, so
// that at every instant, a killed process or a failed write included, the
// file holds a whole old or a whole new tree.
//
// Each create, read and write holds the file's lock for as long as it works
// on the file: an exclusive lock on bytes 0 to 3 of its lock file, so that
// processes sharing a store take turns; reads and writes wait for it. The
// lock file of "folder/NAME" is "folder/~save/NAME.lock", and the new
// content is written to "folder/~save/NAME.new" first (a folder of its own,
// as every file of a store folder is a store file); both are made when
// missing, and the new content's file is made afresh each time. The lock
// file stays, as another process may be waiting on it. A reader opens the
// file for reading and writing, so a file the user may only read cannot be
// used that way; cfg_file_peek reads what a run may not change.
//
// Any program that may read a store file may also hold it open without
// sharing it, or take its lock and keep it, which keeps a reader out and a
// replacement from taking its place: each is tried again for
// CFG_HOLD_WAIT_MS, then fails.
const uint32_t CFG_HOLD_WAIT_MS = 3000;

// What kept a store from serving a run, or a store file from being read or
// saved whole: a kind, in the low byte...
enum : uint32_t {
    CFG_FAULT_NONE = 0,
    // Another program holds the file open, or its lock, past
    // CFG_HOLD_WAIT_MS.
    CFG_FAULT_HELD = 1,
    // The file's content is no store file (damaged), or the run may not
    // open it.
    CFG_FAULT_UNREADABLE = 2,
    // What the store needs there is not its own: a folder, a link or
    // another object where a file belongs, a file or a link where a folder
    // belongs, a level that others may change, or a folder in which
    // nothing can be made.
    CFG_FAULT_PLACE = 3,
};
// ...and for the faults of the functions below, where it is, beside the
// store file at their path.
enum : uint32_t {
    CFG_FAULT_AT_FILE = 0,
    CFG_FAULT_AT_LOCK = 1 << 8,  // its lock file
    CFG_FAULT_AT_NEW = 2 << 8,   // the side file its new content is written to
    CFG_FAULT_AT_SIDE = 3 << 8,  // the side folder
};

// A fault's kind and the folder or file that stands in the way.
struct cStoreFault {
    cStoreFault() : kind(CFG_FAULT_NONE), common(false) {}
    // The kind of fault (CFG_FAULT_*, either kind) and its place: path, or
    // with a CFG_FAULT_AT_* beside path that of the store file at path.
    void Set(uint32_t fault, const wchar_t* path);
    void Assign(const cStoreFault& other)
    {
        Set(other.kind, other.place.Text());
        common = other.common;
    }

    uint32_t kind;  // CFG_FAULT_*
    bool common;    // of the common store, where the configuration tells
    _guardchar<wchar_t> place;
};

// Creates the empty store file (7 bytes: "QRVC", an empty root, no
// children). False when anything is at path already: a file that another
// process has just created is never emptied. Also false when that other
// process holds the lock at the moment (creation does not wait). fault
// (when given) then tells what stood in the way (CFG_FAULT_*), as
// cfg_file_write does.
bool cfg_file_create_empty(const wchar_t* path, uint32_t* fault = nullptr);

// Empties node and reads the file at path into it, all under store_lock
// (none when null). False for a missing file, a failed open (one held past
// CFG_HOLD_WAIT_MS too), a lock not had within CFG_HOLD_WAIT_MS and
// anything cfg_stream_read refuses; node then holds what was read before
// the fault, and fault (when given) tells what stood in the way
// (CFG_FAULT_* of both kinds).
bool cfg_file_read(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node,
                   uint32_t* fault = nullptr);

// Reads the file at path into node as cfg_file_read does, but for reading
// only, without its lock and without making anything beside it: for a
// store the run may not write, or must not (one that only somebody with
// fewer rights than the run could have filled). A writer's replacement
// waits out the moment the file is held.
bool cfg_file_peek(cCriticalSection* store_lock, const wchar_t* path, cConfigNode& node,
                   uint32_t* fault = nullptr);

// The side folder ("~save") of the store file at path, through which every
// save of it goes.
bool cfg_file_side_folder(const wchar_t* path, _guardchar<wchar_t>& out);

// The side folder of the store folder ('/' form, with or without its final
// '/'): the one of each of its files.
bool cfg_store_side_folder(const wchar_t* folder, _guardchar<wchar_t>& out);

// Replaces the existing file at path with node as cfg_stream_write lays it
// out. False, with the file as it was, when the file is missing, the tree
// cannot be written, the lock is not had within CFG_HOLD_WAIT_MS or the
// file cannot be replaced (Windows refuses while another program has it
// open, which is waited out for CFG_HOLD_WAIT_MS); fault (when given) then
// tells what stood in the way (CFG_FAULT_* of both kinds).
bool cfg_file_write(const wchar_t* path, const cConfigNode& node, uint32_t* fault = nullptr);

#endif
