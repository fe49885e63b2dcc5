#ifndef BASE_PATH_H
#define BASE_PATH_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "base/packed_key.h"

// Paths inside the program use '/' as the separator (C:/Program Files/x).
// Text from Windows is brought into that form with path_from_native; every
// Windows file call gets its argument from path_to_native.

// File names compare without regard to case on this system.
inline bool path_is_case_sensitive()
{
    return false;
}

// The native form of path in a new buffer sized from the input: separators
// become single backslashes (a leading pair stays, for UNC names), a path
// that begins with neither '/', '\\' nor '.' gets the \\?\ long-path
// prefix, and a bare drive "X:" gets its root backslash. False, with native
// untouched, for a null or empty path or when the buffer cannot be had.
bool path_to_native(const wchar_t* path, _typebuf<wchar_t>& native);

// In place: a leading double quote is dropped, backslashes become '/', and
// trailing blanks and double quotes are cut. Null is left alone.
void path_from_native(wchar_t* text);

// In place: every '/' becomes a backslash, the separator Windows shows to
// users and takes in command lines. Null is left alone.
void path_to_backslashes(wchar_t* text);

// A drive named by its letter and colon alone ("C:").
bool path_is_drive(const wchar_t* path);

// A path that names its place without the process's current folder: a
// drive ("C:") or a path from a drive's root ("C:/x"), or a UNC name
// ("//server/share"). Null is none.
bool path_is_absolute(const wchar_t* path);

// The longest text path_format gives: its buffer of 4096 characters less
// the NUL.
const int32_t path_format_limit = 4095;

// Prints into a buffer of path_format_limit characters and a NUL and
// assigns the result. False when the text does not fit (out untouched) or
// cannot be stored (out empty).
bool path_format(_guardchar<wchar_t>& out, const wchar_t* format, ...);

// folder + '/' + name, or folder + name when the folder already ends with
// '/' or '\\' (see path_format for the limits).
bool path_join(const wchar_t* folder, const wchar_t* name, _guardchar<wchar_t>& out);

// The identity of the file a path names, as a packed key of its UTF-8
// form: '\\' read as '/', runs of separators as one, "." segments and a
// trailing separator dropped, the trailing dots and blanks of every other
// segment but ".." dropped, as Windows drops them from names, and every
// unit upper-cased as Windows compares file names (wchar_to_name_upper).
// Paths with equal keys name one file; the key is not a path to use.
void path_identity_key(const wchar_t* path, cPackedKey& key);

// The two paths have one identity (path_identity_key).
bool path_same_identity(const wchar_t* one, const wchar_t* other);

// The text before the last '/' of path; false when it has none.
bool parent_folder_of(const wchar_t* path, _guardchar<wchar_t>& out);

// The text of that identity, length units and a NUL in out; false when
// out cannot be had.
bool path_identity_text(const wchar_t* path, _typebuf<wchar_t>& out, int32_t& length);

// A segment made of dots and blanks alone, more than one of them: ".." and
// what Windows may read as it. Such a path can name a place outside any
// folder it seems to lie in.
bool path_has_parent_step(const wchar_t* path);

// A segment other than "." whose last unit is '.' or ' ': Windows drops
// those where it reads a name, but the long-path form that every file call
// of the program uses keeps them, so that the path names another file than
// its identity (path_identity_key) says.
bool path_has_dropped_name_end(const wchar_t* path);

// A full path (path_is_absolute) below the root of its drive or share,
// without a step up (path_has_parent_step): a folder that can hold a
// product without holding everything else on the volume.
bool path_is_folder_below_root(const wchar_t* path);

// path names something inside folder (not folder itself), both full
// paths without a step up, compared by identity (path_identity_key).
bool path_is_inside(const wchar_t* path, const wchar_t* folder);

// The identity text inner (inner_length units, path_identity_text) names
// something inside the one of outer, or (with or_same) outer itself.
bool path_identity_within(const wchar_t* inner, int32_t inner_length, const wchar_t* outer, int32_t outer_length,
                          bool or_same);

// A character Windows refuses in a file name: a control character, DEL,
// or one of <>:"/\|?*.
bool path_char_refused_in_name(wchar_t unit);

// The name (length units) opens a device instead of a file: CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, CONIN$ or CONOUT$ in any case, alone or before an
// extension, with or without blanks before it.
bool path_names_device(const wchar_t* name, int32_t length);

// A name that Windows keeps as given for a file of its own: 1 to 255
// characters, none of them refused (path_char_refused_in_name), not
// ending in '.' or ' ' (Windows drops those), and not a device name
// (path_names_device).
bool path_is_plain_file_name(const wchar_t* name, int32_t length);

// A usable file name made of source: leading blanks and control characters
// skipped, characters Windows refuses in names replaced by look-alikes,
// other control characters blanked, trailing dots and blanks dropped. At
// most capacity - 1 characters and a NUL go to destination, which may be
// source itself. Returns the characters written (0 for a null argument or a
// capacity below 1).
int32_t make_safe_file_name(const wchar_t* source, wchar_t* destination, int32_t capacity);

#endif
