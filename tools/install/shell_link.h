#ifndef TOOLS_INSTALL_SHELL_LINK_H
#define TOOLS_INSTALL_SHELL_LINK_H

#include "base/buffers/guardchar.h"

// Start-menu shortcuts written byte by byte as shell link files, without
// the shell's COM objects. Paths are in the program's '/' form; the target
// must be a file or folder on a drive ("X:..."). Null or empty optional
// texts are left out of the link.

// Makes the Start-menu group folder when it is missing and gives the path
// of the shortcut of that name in it, "<Start-menu programs>/<group>/<name>.lnk"
// (a null or empty group, or one without a safe name: directly in the
// Programs folder), group and name made safe as file names; nothing else is
// written. False for an empty name or a group that cannot be made.
bool make_shortcut_group(const wchar_t* name, const wchar_t* group, _guardchar<wchar_t>& link_path);

// Writes the link file at link_path to the target, with the target's folder
// as working folder, as write_shell_link does (only_new too). False for an
// empty target.
bool write_shortcut(const wchar_t* link_path, const wchar_t* target, const wchar_t* arguments,
                    const wchar_t* icon_path, const wchar_t* description, bool run_as_administrator, bool only_new);

// Where make_shortcut_group puts the shortcut of that name in that group;
// nothing is made. False for an empty name.
bool shortcut_path(const wchar_t* name, const wchar_t* group, _guardchar<wchar_t>& link_path);

// Writes the link file at link_path. Names of the target's path inside the
// link (its local base path and the short names of its items) are in the
// system's ANSI code page, as the format wants; the items carry their
// Unicode names too. False, with nothing written, for a target that is not
// an existing file or folder on a drive, a working folder that is not a
// folder, an icon that is not a file, or a text too long for the format;
// false after a failed write, leaving the part written. With only_new the
// link goes only where nothing stands at link_path yet, flushed to the disk
// before the answer, and a file it made and could not fill is deleted:
// false then leaves at link_path what stood there, or nothing.
bool write_shell_link(const wchar_t* link_path, const wchar_t* target, const wchar_t* working_folder,
                      bool run_as_administrator, const wchar_t* arguments, const wchar_t* icon_path,
                      const wchar_t* description, bool only_new);

// The target that a link file names by its local path (its LinkInfo's
// local base path and common path suffix, the Unicode ones where it has
// them), in Windows' separators as written. False for a file that is no
// link, a link without a local path, and one whose fields run past their
// bounds.
bool read_shell_link_target(const wchar_t* link_path, _guardchar<wchar_t>& target);

#endif
