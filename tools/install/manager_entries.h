#ifndef TOOLS_INSTALL_MANAGER_ENTRIES_H
#define TOOLS_INSTALL_MANAGER_ENTRIES_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

// The entries of Windows' list of installed programs, for all users and
// for this user, that start the installed manager's uninstall of their own
// name (list_own_uninstall_entries): once the manager is gone they would
// start nothing. The remover looks for them only after reading both stores
// whole and finding no product recorded, so none of them has a record:
// each is left by an uninstall cut off between the record's deletion and
// the entry's.
struct cManagerEntry {
    _guardchar<wchar_t> name;  // the key's, as it spells it
    bool per_user;             // under HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE
};
typedef cLinkedList<cManagerEntry> cManagerEntries;

// Lists them into entries (emptied first). Those this run may not take off
// stay out of it: one for all users under a run without administrator
// rights (process_is_administrator), one whose key does not open for its
// deletion (uninstall_entry_deletable). False when there are such, or a
// list cannot be read whole: named then names them, one a line, as
// join_shown_names shows names (more its text for those beyond), and after
// them the place of each list that could not be read.
bool find_manager_entries(cManagerEntries& entries, const wchar_t* more, _guardchar<wchar_t>& named);

// Takes each entry off (delete_listed_uninstall_entry). False when some
// stay, named then naming them as above.
bool take_off_manager_entries(const cManagerEntries& entries, const wchar_t* more, _guardchar<wchar_t>& named);

#endif
