#ifndef TOOLS_INSTALL_FILE_REPLACE_H
#define TOOLS_INSTALL_FILE_REPLACE_H

#include "base/buffers/guardchar.h"
#include "base/linked_list.h"

// File routines of the install, uninstall and remove roads. Paths are in
// the program's '/' form. None of them shows anything; each answers by its
// result only.

// Moves the file to new_path, but only when no program holds it open: the
// file is opened for writing with no sharing and renamed through that
// handle, so no program can open it in between. A read-only file, which
// cannot be opened so, loses its attribute and is tried once more; it
// keeps that loss when the move still fails. An existing file at new_path
// is never replaced (false). A link at path moves itself, never what it
// names, and only its own attribute is cleared.
bool rename_if_unused(const wchar_t* path, const wchar_t* new_path);

// Deletes the plain file at path, read-only or not (a link itself, never
// what it names). True when no file is left at path (also when there was
// none); false for something other than a plain file, or a file that
// could not be deleted, which may have lost its read-only attribute.
bool delete_plain_file(const wchar_t* path);

// Deletes the plain file at path as delete_plain_file does, then its
// folder when that is left empty; nothing above it. True when no file is
// left at path (also when there was none); false for something other than
// a plain file, or a file that could not be deleted. Failing to remove the
// folder is silent.
bool delete_file_and_its_folder(const wchar_t* path);

// True when path is a folder, made with its missing parents when needed;
// false when it, or a parent on the way, names a file or another object, or
// a folder cannot be created. Each folder it creates is appended to made
// (when given), parents first.
bool make_folder_path(const wchar_t* path, cLinkedList<_guardchar<wchar_t>>* made = nullptr);

// Removes each of folders (listed parents first, as make_folder_path makes
// them) that is empty, deepest first, so that one emptied by its
// children's removal goes too; those that hold something stay. The list is
// left as it was.
void remove_empty_folders(const cLinkedList<_guardchar<wchar_t>>& folders);

#endif
