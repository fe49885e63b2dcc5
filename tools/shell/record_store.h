#ifndef TOOLS_SHELL_RECORD_STORE_H
#define TOOLS_SHELL_RECORD_STORE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cApplicationConfig;

// Which store of the program's configuration holds a key.
enum : uint32_t {
    RECORD_STORE_NONE = 0,    // neither store has the key
    RECORD_STORE_USER = 1,    // the per-user store, the user's own
    RECORD_STORE_COMMON = 2,  // the common store, which only administrators may change
    // The common store, but others than the administrators may change it
    // (cCIAppFullConfig::CommonKeyGuarded): not to be taken for what was
    // installed for all users.
    RECORD_STORE_UNGUARDED = 3,
};

// The one store that holds key (a record "install/<code name>", a folder
// journal "journal/<code name>", a shared "installer/..." value), from which
// it is read whole, never overlaid value by value by the other store: the
// common store when it has the key, else the per-user one. A configuration
// of one store (not the program's two) holds as the per-user store.
// RECORD_STORE_*; holder is the store to read for USER and COMMON, null
// otherwise.
uint32_t find_record_store(cApplicationConfig& config, const char* key, cApplicationConfig*& holder);

// find_record_store's holder alone: the store to read key from, or null
// (also for a null config).
cApplicationConfig* record_holder(cApplicationConfig* config, const char* key);

// The same for the record of the product with that code name (UTF-8), whose
// key (record_key_of) goes to key.
cApplicationConfig* record_holder_of(cApplicationConfig* config, const char* code_name, _guardchar<char>& key);

// The path of the common store's file that would hold key, for a message;
// false (path untouched) when config is not the program's two stores.
bool common_store_file_of(cApplicationConfig& config, const char* key, _guardchar<wchar_t>& path);

#endif
