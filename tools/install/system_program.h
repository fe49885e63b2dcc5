#ifndef TOOLS_INSTALL_SYSTEM_PROGRAM_H
#define TOOLS_INSTALL_SYSTEM_PROGRAM_H

#include "base/buffers/guardchar.h"

// Windows' own programs are started by their full path, so that a file of
// the same name in the program's folder or the current folder never runs in
// their place (a command line's bare program name is looked for there first).
// Paths here are in Windows' form, with backslashes.

// The system folder, without a trailing backslash. For this 32-bit program
// on 64-bit Windows the system redirects it to the 32-bit programs.
bool system_folder(_guardchar<wchar_t>& out);

// "<system folder>\<name>"; false when the system folder cannot be had.
bool system_program_path(const wchar_t* name, _guardchar<wchar_t>& out);

// The command line with its program, when that is a bare name (no folder,
// no drive) of a program in the system folder or the Windows folder,
// replaced by its full path in double quotes; ".exe" is taken for a name
// without an extension, as Windows does. Any other command line is given
// back as it is. False only when memory runs out.
bool resolve_system_command(const wchar_t* command_line, _guardchar<wchar_t>& out);

#endif
