#ifndef TOOLS_INSTALL_UNINSTALL_ENTRY_H
#define TOOLS_INSTALL_UNINSTALL_ENTRY_H

#include <stdint.h>

#include "base/buffers/guardchar.h"

class cPackage;

// The product's entry in Windows' list of installed programs:
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\<code name>" under
// HKEY_CURRENT_USER for a per-user installation, else under
// HKEY_LOCAL_MACHINE, written and deleted in the 64-bit view on 64-bit
// Windows. Its commands start the installed manager in its "uninstall" and
// "update" modes. Code names lose their leading blanks; a name that is
// blank is refused.

// Creates the entry from the package's version, strings and URLs for the
// manager at manager_path ('/' form). True when the keys, the four version
// numbers and both commands were written; a failure leaves what was written.
bool write_uninstall_entry(const cPackage& package, const wchar_t* manager_path, bool per_user);

// Reads the entry, from the 64-bit view when it is there, else from the
// process's own. version gets MajorVersion, MinorVersion, SubVersion and
// BuildNumber, 0 for those missing after the first; the texts (when given)
// get UninstallString and DisplayName, empty when absent. True when the
// entry has a MajorVersion.
bool read_uninstall_entry(const wchar_t* code_name, uint32_t version[4], _guardchar<wchar_t>* uninstall_command,
                          _guardchar<wchar_t>* display_name, bool per_user);

// Deletes the entry in both views, the 64-bit one and the process's own,
// as the reader looks in both. True when it is gone from both: deleted now,
// or not there to begin with. False when a key on the way cannot be opened
// or the deletion is refused (access denied included).
bool delete_uninstall_entry(const wchar_t* code_name, bool per_user);

// "\"<manager>\" <verb> \"<code name>\"" with the manager's path in
// Windows' separators: the command lines that start the installed manager.
bool format_manager_command(const wchar_t* manager_path, const wchar_t* verb, const wchar_t* code_name,
                            _guardchar<wchar_t>& out);

// The code name as the entry's key names it: without its leading blanks;
// null for a null or blank name.
const wchar_t* uninstall_entry_name(const wchar_t* code_name);

#endif
