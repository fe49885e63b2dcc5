#ifndef TOOLS_INSTALL_SHELL_LINK_H
#define TOOLS_INSTALL_SHELL_LINK_H

#include "base/buffers/guardchar.h"

// Start-menu shortcuts written byte by byte as shell link files, without
// the shell's COM objects. Paths are in the program's '/' form; the target
// must be a file or folder on a drive ("X:..."). Null or empty optional
// texts are left out of the link.

// Writes "<Start-menu programs>/<group>/<name>.lnk" to the target, with the
// target's folder as working folder; group and name are made safe as file
// names. link_path receives the link's path as soon as it is known, so that
// the caller can delete a half-written file when the answer is false. An
// empty name or target gives false with link_path untouched.
bool create_shortcut(const wchar_t* name, const wchar_t* target, const wchar_t* group, const wchar_t* arguments,
                     const wchar_t* icon_path, const wchar_t* description, bool run_as_administrator,
                     _guardchar<wchar_t>& link_path);

// Where create_shortcut writes the shortcut of that name in that group
// (null or empty: directly in the Programs folder, as create_shortcut puts
// it); nothing is made. False for an empty name.
bool shortcut_path(const wchar_t* name, const wchar_t* group, _guardchar<wchar_t>& link_path);

// Writes the link file at link_path. Names of the target's path inside the
// link (its local base path and the short names of its items) are in the
// system's ANSI code page, as the format wants; the items carry their
// Unicode names too. False, with nothing written, for a target that is not
// an existing file or folder on a drive, a working folder that is not a
// folder, an icon that is not a file, or a text too long for the format;
// false after a failed write, leaving the part written.
bool write_shell_link(const wchar_t* link_path, const wchar_t* target, const wchar_t* working_folder,
                      bool run_as_administrator, const wchar_t* arguments, const wchar_t* icon_path,
                      const wchar_t* description);

// The target that a link file names by its local path (its LinkInfo's
// local base path and common path suffix, the Unicode ones where it has
// them), in Windows' separators as written. False for a file that is no
// link, a link without a local path, and one whose fields run past their
// bounds.
bool read_shell_link_target(const wchar_t* link_path, _guardchar<wchar_t>& target);

#endif
