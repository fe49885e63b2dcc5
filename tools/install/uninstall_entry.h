#ifndef TOOLS_INSTALL_UNINSTALL_ENTRY_H
#define TOOLS_INSTALL_UNINSTALL_ENTRY_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

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
// Another program's entry under the name (uninstall_entry_owner) is never
// written over: false, with nothing written.
bool write_uninstall_entry(const cPackage& package, const wchar_t* manager_path, bool per_user);

// Reads the entry, from the 64-bit view when it is there, else from the
// process's own. version gets MajorVersion, MinorVersion, SubVersion and
// BuildNumber, 0 for those missing after the first; the texts (when given)
// get UninstallString and DisplayName, empty when absent. True when the
// entry has a MajorVersion.
bool read_uninstall_entry(const wchar_t* code_name, uint32_t version[4], _guardchar<wchar_t>* uninstall_command,
                          _guardchar<wchar_t>* display_name, bool per_user);

// Whose entry stands under the code name in one hive, in either view.
enum : uint32_t {
    UNINSTALL_ENTRY_NONE = 0,     // no entry, or a key without values (a write cut off at its start)
    UNINSTALL_ENTRY_OURS = 1,     // this program's uninstall of this code name (is_own_uninstall_command)
    UNINSTALL_ENTRY_FOREIGN = 2,  // an entry that starts something else, nothing, or cannot be read
};

// The owner of the entry; for a foreign one, other (when given) gets the
// name of its program (DisplayName), else the entry's key. Registry names
// compare without case: "DEMO" finds the entry of "demo", which is not
// this program's uninstall of "DEMO".
uint32_t uninstall_entry_owner(const wchar_t* code_name, bool per_user, _guardchar<wchar_t>* other);

// Deletes the entry in both views, the 64-bit one and the process's own,
// as the reader looks in both, where it is this program's uninstall of the
// code name: another program's entry under the name stays. True when none
// of ours is left in either: deleted now, or not there to begin with.
// False when a key on the way cannot be opened or the deletion is refused
// (access denied included).
bool delete_uninstall_entry(const wchar_t* code_name, bool per_user);

// The same for an entry without an uninstall command, which the user
// agreed to take off: one that starts something stays.
bool delete_bare_uninstall_entry(const wchar_t* code_name, bool per_user);

// The names of the entries in the hive, in either view, that start this
// program's uninstall of their own name (is_own_uninstall_command): each
// once, as its key spells it (leading blanks and all), appended to names.
// False when the list of a view cannot be read whole (a missing list holds
// nothing).
bool list_own_uninstall_entries(bool per_user, cLinkedList<_guardchar<wchar_t>>& names);

// Where the list of entries lies in the hive, as Windows' registry editor
// names it: "HKEY_LOCAL_MACHINE\Software\...\Uninstall".
void uninstall_list_place(bool per_user, _guardchar<wchar_t>& out);

// The entry of exactly that key name opens for deletion in each view that
// holds it, as delete_listed_uninstall_entry opens it: false where this run
// lacks the rights.
bool uninstall_entry_deletable(const wchar_t* key_name, bool per_user);

// delete_uninstall_entry for a name as list_own_uninstall_entries gives
// it: the key of exactly that name, where it is this program's uninstall
// of that name.
bool delete_listed_uninstall_entry(const wchar_t* key_name, bool per_user);

// "\"<manager>\" <verb> \"<code name>\"" with the manager's path in
// Windows' separators: the command lines that start the installed manager.
bool format_manager_command(const wchar_t* manager_path, const wchar_t* verb, const wchar_t* code_name,
                            _guardchar<wchar_t>& out);

// The code name as the entry's key names it: without its leading blanks;
// null for a null or blank name.
const wchar_t* uninstall_entry_name(const wchar_t* code_name);

#endif
