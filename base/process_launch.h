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

// A command line's program and parameters as CommandLineToArgvW tells its
// first argument from the others: a program in double quotes ends at the
// closing quote, any other at the first space or tab. program_end gets
// where the program part ends (past its closing quote), parameters where
// the parameters start (past the blanks after the program; the text's end
// when there are none). False for a null text and an opening quote that is
// never closed.
bool split_command_line(const wchar_t* text, const wchar_t** program_end, const wchar_t** parameters);

// Opens a file, folder or web address with the shell's "open" verb. A text
// that names nothing existing and carries parameters after its program
// part (split_command_line) is started as a command line instead. False
// for a null or empty text, an opening quote without its closing one, and
// whatever the shell refuses.
bool shell_open(const wchar_t* text);

#endif
