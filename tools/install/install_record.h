#ifndef TOOLS_INSTALL_INSTALL_RECORD_H
#define TOOLS_INSTALL_INSTALL_RECORD_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

class cApplicationConfig;
class cInstallContext;

// The installation record's writer; its layout is in
// tools/shell/record_keys.h.

// Writes the record of the context's package, file list and created
// shortcuts into store under key. The single writes are not checked and
// nothing is saved: the caller deletes the old record first and saves after.
void write_install_record(cApplicationConfig& store, const cInstallContext& context, const char* key);

// Writes the folder journal under key (folder_journal_key_of): the install
// folder and the other folders of the package as the record has them, and
// the context's made folders with the missing ones, each once. Not saved.
void write_folder_journal(cApplicationConfig& store, const cInstallContext& context, const char* key,
                          const cLinkedList<_guardchar<wchar_t>>& missing);

#endif
