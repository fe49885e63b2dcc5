#ifndef BASE_CI_APP_CONFIG_H
#define BASE_CI_APP_CONFIG_H

#include <stdint.h>

#include "base/app_config.h"
#include "base/config_file.h"
#include "base/config_node.h"
#include "base/critical_section.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

// One store file as loaded: the tree of the file named `name` in the store
// folder.
struct cConfigFileRecord {
    cConfigFileRecord() : modified(0), stamp(0) {}

    uint8_t modified;  // 1 when the tree may differ from the file
    uint32_t stamp;    // the file's last-write time when it was loaded or created
    _guardchar<wchar_t> name;
    cConfigNode root;
    // Why the last read of the name failed (held past the wait, damaged,
    // no plain file): its content is not known, so the record gives
    // nothing and takes no write until a later read of it succeeds.
    cStoreFault fault;
};

// The configuration over a folder of store files: the first name of a key
// is the file, the names after it a path of nodes inside that file. Values
// are raw bytes. Files are loaded when the store opens, or on first use of
// their name; a file whose last-write time has passed its stamp is read
// again on lookup while the record holds no unsaved changes, which is how
// another process's saves are picked up. Every lookup with create marks its
// file modified, and Save writes the modified files back.
//
// At every moment a file's content is read whole, absent, or not known:
// every read sets it (the open, a lookup's read of a newer file, Revert),
// and a file whose last read failed gives nothing, is never saved over and
// is not read again before the store is opened again, so that a run never
// waits for it twice nor takes it for a file without values.
class cCIAppConfig : public cApplicationConfig {
public:
    cCIAppConfig();
    ~cCIAppConfig() override;

    // The root is the file table; it has no value.
    void* GetRoot() override;
    // Below the root: the child node. At the root: the file's tree, loaded
    // when needed; with create, the file is created when missing. Null at
    // the root while the store has no folder.
    void* GetChild(const char* name, void* parent, bool create) override;
    bool GetValueSize(void* node, uint32_t& size) override;
    bool GetValue(void* destination, uint32_t capacity, void* node) override;
    bool SetValue(const void* data, uint32_t size, void* node) override;
    bool KeepsText() override;
    // Resolves the folder as OpenStore does and creates it: false when
    // something is there already (as after resolving a name, which creates
    // the per-user folder).
    bool CreateStore(const wchar_t* folder_or_name) override;
    // Drops every record and loads every file of the folder (an existing
    // folder path, else the per-user folder of that name). A name of it
    // that cannot be read whole, a link or anything but a plain file (the
    // side folder aside), gives nothing and keeps its fault (FirstFault).
    // False when the folder cannot be had or listed.
    bool OpenStore(const wchar_t* folder_or_name) override;
    // The existing folder as a store to read only (cfg_file_peek): nothing
    // is made in it, and every write is refused. False when it is no
    // folder or cannot be listed (a fault then, when it is a folder).
    bool OpenToRead(const wchar_t* existing_folder);
    // Drops every record and fault: no store.
    void Close() { Reset(false); }
    // Drops every record: the store is there, but place (a file or a link
    // where one of its folders belongs) keeps it from being read, so
    // nothing of it is known (FirstFault, FileFault).
    void OpenUnknown(const wchar_t* place);
    // Writes each modified file whose content is known; true when every
    // write succeeded. A file that cannot be written stays marked, and the
    // first one's fault is kept (SaveFault).
    bool Save() override;
    // Reads each modified file again; true when every read succeeded. A
    // file that cannot be read loses its changes and its content: it is
    // not known (FileFault) until the store opens again.
    bool Revert() override;
    // Removes the node of key with everything below it. A whole file (a key
    // without '/') cannot be deleted, and a key that is not there creates
    // nothing.
    bool DeleteKey(const char* key) override;
    bool HasKey(const char* key) override;
    // False when key is not there or the callback stops the walk. The
    // callback may change the store, delete the child it was given among
    // them: the walk goes on with the next name after it.
    bool EnumChildren(const char* key, EnumCallback callback, void* context) override;
    // With create, a key that names a node deeper below its file than a
    // store file holds (CFG_MAX_DEPTH) gives null and adds nothing: its
    // file could no longer be saved.
    void* FindNode(const char* key, bool create) override;
    // The path of the store file that holds key (the file of its first
    // name), whether or not it is there; false while the store has no
    // folder.
    bool FileOf(const char* key, _guardchar<wchar_t>& path) const;
    // The store has a folder (opened or created).
    bool IsOpen() const { return !folder.IsEmpty(); }
    // Why the content of the store's file of key (its first name) is not
    // known: the fault of its last read, or of the whole store (a folder
    // that could not be listed or read, OpenUnknown). Looked up as a read
    // of key would, so a newer file is read again first. CFG_FAULT_NONE
    // while it is read whole or absent.
    const cStoreFault& FileFault(const char* key);
    // The first such fault of the whole store or of any of its files, in
    // name order (CFG_FAULT_NONE while every one is known).
    const cStoreFault& FirstFault() const;
    // What kept the last Save that failed from writing its first file.
    const cStoreFault& SaveFault() const { return save_fault; }

private:
    _guardchar<wchar_t> folder;  // '/'-separated; empty until a store is opened or created
    cCriticalSection lock;  // held while a file is read into a tree
    cTreeMap<cPackedKey, cConfigFileRecord> files;
    bool read_only;  // opened by OpenToRead
    // Why nothing of the store is known (a folder that cannot be listed or
    // stands where it cannot be read); CFG_FAULT_NONE while it is.
    cStoreFault folder_fault;
    cStoreFault save_fault;

    // The node a handle stands for: null for null and for the root.
    cConfigNode* NodeOf(void* handle);
    // Drops every record and fault, ready to open.
    void Reset(bool to_read);
    // Sets the folder: folder_or_name when it is an existing folder, else
    // the per-user folder of that name.
    bool ResolveFolder(const wchar_t* folder_or_name);
    // Loads every file of the folder; false when it cannot be listed.
    bool LoadFolder();
    // Reads the file into root as the store is opened: to read only, or
    // under the file's lock.
    bool ReadFile(const wchar_t* path, cConfigNode& root, uint32_t* fault);
    // A record for the name at path, stamped with its last-write time and
    // read from the file unless fresh is set (a file just created empty)
    // or fault is (what stands there is no plain file). Null when its
    // information cannot be had or memory runs out; the record's fault
    // tells whether the file was read.
    cConfigFileRecord* AddRecord(const wchar_t* name, const wchar_t* path, bool fresh, uint32_t fault);
    // The record of the file name (UTF-8): a file of the table, read again
    // when it is newer than its stamp and known; else loaded when there
    // (also a name that is no plain file, as not known); with create made
    // empty when missing. Null when there is none.
    cConfigFileRecord* LoadRecord(const char* name, bool create);
    void* GetFile(const char* name, bool create);
    // Reads the record's file again into it: on success the content is
    // known again; on failure the record loses its content and changes,
    // and keeps the fault.
    bool Reread(cConfigFileRecord& record, const wchar_t* path);
    // Writes (or reads again) every modified file in name order and clears
    // the mark of each that worked; true when all did.
    bool SettleModified(bool write);
};

#endif
