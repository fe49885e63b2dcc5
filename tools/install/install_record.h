#ifndef TOOLS_INSTALL_INSTALL_RECORD_H
#define TOOLS_INSTALL_INSTALL_RECORD_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"
#include "base/packed_key.h"
#include "base/tree_map.h"

class cApplicationConfig;
class cInstallContext;
class cPackage;
class cRecordKeys;
struct cRecordList;

// The installation record's writer; its layout is in
// tools/shell/record_keys.h.

// Writes the record of the context's package, file list and created
// shortcuts into store under key. The single writes are not checked and
// nothing is saved: the caller deletes the old record first and saves after.
void write_install_record(cApplicationConfig& store, const cInstallContext& context, const char* key);

// The folders other than the install folder that the package puts files
// in ("bases"), each once: the update and the uninstall take a recorded
// file outside every recorded folder for damage. Nothing when there are
// none.
void write_record_bases(cApplicationConfig& store, const cPackage& package, cRecordKeys& keys);

// The Start-menu folder the shortcuts must lie in ("group"), for the
// update and the uninstall to tell a damaged record: only a sound group,
// never a Programs folder itself, where a product without a group of its
// own puts its shortcuts.
void write_record_group(cApplicationConfig& store, const wchar_t* group, cRecordKeys& keys);

// Writes folders as a record's list "<item><i>" of the keys' record, each
// once as Windows compares paths, and counts them. Nothing is saved.
class cFolderListWriter {
public:
    cFolderListWriter(cApplicationConfig& store, cRecordKeys& keys, const cRecordList& list);
    cFolderListWriter(const cFolderListWriter&) = delete;
    cFolderListWriter& operator=(const cFolderListWriter&) = delete;

    void Add(const wchar_t* folder);
    void AddAll(const cLinkedList<_guardchar<wchar_t>>& folders);
    // Writes the count of the folders added ("<count>").
    void WriteCount();
    int32_t Written() const { return written; }

private:
    cApplicationConfig& store;
    cRecordKeys& keys;
    const cRecordList& list;
    cTreeMap<cPackedKey, uint8_t> seen;
    int32_t written;
};

#endif
