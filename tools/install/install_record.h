#ifndef TOOLS_INSTALL_INSTALL_RECORD_H
#define TOOLS_INSTALL_INSTALL_RECORD_H

class cApplicationConfig;
class cInstallContext;

// The installation record's writer; its layout is in
// tools/shell/record_keys.h.

// Writes the record of the context's package, file list and created
// shortcuts into store under key. The single writes are not checked and
// nothing is saved: the caller deletes the old record first and saves after.
void write_install_record(cApplicationConfig& store, const cInstallContext& context, const char* key);

#endif
