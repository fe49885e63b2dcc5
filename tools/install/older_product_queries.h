#ifndef TOOLS_INSTALL_OLDER_PRODUCT_QUERIES_H
#define TOOLS_INSTALL_OLDER_PRODUCT_QUERIES_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cApplicationConfig;

// What the install start-up asks about an older product that a package
// replaces, by its code name. A product this program installed answers
// from its record; any other from its Windows "Uninstall" entry, for all
// users first, then for the current user. The forms without a store ask
// the current application's configuration, when there is one.

// The installed major version (a of a.b.c.d) and the command line that
// uninstalls the product. A record counts only while the manager at its own
// place (get_manager_exe_path) is a file, never the program that a store
// names; its command then runs that manager. An entry gives its own
// command, which is this program's only when it runs that same manager
// (is_own_uninstall_command). False when neither is found, and at once for
// an empty code name when there is a store.
bool get_installed_major_version(const wchar_t* code_name, uint32_t& major, _guardchar<wchar_t>& command);
bool get_installed_major_version_in(cApplicationConfig* store, const wchar_t* code_name, uint32_t& major,
                                    _guardchar<wchar_t>& command);

// The product's display name: the record's name, else the entry's.
bool get_installed_product_name(const wchar_t* code_name, _guardchar<wchar_t>& name);
bool get_installed_product_name_in(cApplicationConfig* store, const wchar_t* code_name, _guardchar<wchar_t>& name);

#endif
