#ifndef TOOLS_INSTALL_MANAGER_SHORTCUT_H
#define TOOLS_INSTALL_MANAGER_SHORTCUT_H

#include "base/buffers/guardchar.h"

class cProductFolders;

// The manager's Start-menu shortcut as the installations make it, found by
// the program itself and never by a stored path: in each language the
// program carries, the shortcut of that language's name (text 5 of
// "pkgm::instp") in that language's group (text 6), when it is a link file
// whose target is the manager at manager_path ('/' form, compared without
// case). Anything else there is left alone. A new shortcut is written
// beside its place, as "<shortcut>.tmp", and moved there: such a file is
// the program's own while it is a whole link to the manager, or empty (a
// run cut off before it wrote the bytes), a plain file reached as written.

// Puts the shortcut of that name in that group (the installing language's)
// in place, then deletes the other languages' ones, so that a kill at any
// moment leaves the manager a shortcut where it had one. A link to the
// manager there already stays as it is; where nothing stands, a new one is
// written beside it, where a leftover of its own goes first, and moved into
// place in one step. Something else at its name or beside it, or a group
// that is a link or no folder, is left alone and named in blocked (empty
// otherwise), as is the group that cannot be made or written in and the
// place the shortcut could not be moved to; then no shortcut is made and
// the others stay. made receives its path, or is empty when none is in
// place.
void place_manager_shortcut(const wchar_t* name, const wchar_t* group, const wchar_t* manager_path,
                            const cProductFolders& folders, _guardchar<wchar_t>& made, _guardchar<wchar_t>& blocked);

// The manager's shortcut of that name in that group is in place.
bool manager_shortcut_in_place(const wchar_t* name, const wchar_t* group, const wchar_t* manager_path);

// Deletes the manager's shortcuts of every language, and what a cut-off run
// left beside them, each group with its last one or where it is left empty
// (a group that is a link is left alone); the one at kept (null: none)
// stays.
void delete_manager_shortcuts(const wchar_t* manager_path, const cProductFolders& folders, const wchar_t* kept);

#endif
