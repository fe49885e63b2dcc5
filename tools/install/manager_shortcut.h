#ifndef TOOLS_INSTALL_MANAGER_SHORTCUT_H
#define TOOLS_INSTALL_MANAGER_SHORTCUT_H

class cProductFolders;

// Deletes the manager's Start-menu shortcut as the installations make it,
// found by the program itself and never by a stored path: in each language
// the program carries, the shortcut of that language's name (text 5 of
// "pkgm::instp") in that language's group (text 6), when it is a link file
// whose target is the manager at manager_path ('/' form, compared without
// case); its group goes with it when left empty. Anything else there, and
// a group that is a link, are left alone.
void delete_manager_shortcuts(const wchar_t* manager_path, const cProductFolders& folders);

#endif
