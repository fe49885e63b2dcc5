#ifndef TOOLS_INSTALL_UNINSTALL_COMMAND_H
#define TOOLS_INSTALL_UNINSTALL_COMMAND_H

#include <stdint.h>

class cJob;

// Runs another product's uninstall command as a console child to its end
// and answers its exit code, or -1 when it could not be started. A bare
// program name of Windows' own runs from its system folder
// (resolve_system_command); a console program gets no console window. Its
// input is at its end from the start and its output and error are read
// and thrown away as they come, so a command that prints much or reads its
// input cannot hang; its end is taken from the process handle, so every
// exit code ends the wait (259 too). The job, when given, is looked at
// every 100 ms at most: once it is asked to stop, the command is ended with
// exit code 1, which is answered.
int32_t run_uninstall_command(const wchar_t* command_line, const cJob* job);

// The command is exactly what the installation registers as this program's
// uninstall of that code name: "\"<manager>\" uninstall \"<code name>\""
// with the installed manager's own path (get_manager_exe_path, in Windows'
// separators), nothing before or after. The path compares without case,
// the rest to the letter. A null command or code name is none, and so is
// every command while the manager's place cannot be told.
bool is_own_uninstall_command(const wchar_t* command, const wchar_t* code_name);

#endif
