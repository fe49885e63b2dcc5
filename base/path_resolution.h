#ifndef BASE_PATH_RESOLUTION_H
#define BASE_PATH_RESOLUTION_H

// Whether a path reaches the folder it spells. A short (8.3) name, a drive
// or share mapped onto a folder, or a link or junction anywhere on the way
// makes one folder answer to several spellings, so that comparing paths as
// text tells nothing about what they reach; a path that resolves as written
// can be compared as text with another such path.

// The deepest existing folder on path (path itself when it is a folder; "."
// segments and repeated separators left out) is the folder that the system
// names by the same text (path_identity_key), once it has followed every
// link, junction, short name and mapped drive or share to the folder's own
// place. False when no folder of the path exists or the system cannot say.
// Without the system's own answer (before Windows Vista) it is
// path_resolves_by_names.
bool path_resolves_as_written(const wchar_t* path);

// The same judged by names alone, as far as they tell: no folder on the way
// to the deepest existing one is a link or junction or is named otherwise
// than its long name, and the drive is no substitute for a folder. A share
// counts as written.
bool path_resolves_by_names(const wchar_t* path);

// The file at path is the file its path spells: the system's final path of
// it is its own text, so that neither its name nor a folder on its way is a
// link leading elsewhere (a link to a file need not show as one in the
// file's attributes). False for anything but a file, and when the system
// cannot say. Before Windows Vista it is judged by names.
bool file_resolves_as_written(const wchar_t* path);

#endif
