#ifndef BASE_PROCESS_LAUNCH_H
#define BASE_PROCESS_LAUNCH_H

#include <windows.h>

// Starting other programs. Command lines are wide Windows command lines
// (program first, quoted when it holds blanks); they are copied before
// CreateProcessW sees them, so constant texts are fine.

// CreateProcessW of the command line at normal priority with the parent's
// environment and current folder; creation_flags are added to the
// priority (CREATE_NO_WINDOW: a console program gets no console window).
// Handles marked inheritable go to the child only when inherit_handles is
// set. On success the caller owns both handles in info.
bool process_create(const wchar_t* command_line, bool inherit_handles, STARTUPINFOW& startup,
                    PROCESS_INFORMATION& info, DWORD creation_flags = 0);

// Starts the command line and forgets it: no handle of the parent goes to
// the child, and the child's handles are closed at once. True when the
// process was created.
bool process_run_detached(const wchar_t* command_line);

// Opens a file, folder or web address with the shell's "open" verb. A text
// that names nothing existing and carries parameters after its program
// part (a program part in double quotes, or up to the first blank) is
// started as a command line instead. False for a null or empty text, an
// opening quote without its closing one, and whatever the shell refuses.
bool shell_open(const wchar_t* text);

#endif
