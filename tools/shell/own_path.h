#ifndef TOOLS_SHELL_OWN_PATH_H
#define TOOLS_SHELL_OWN_PATH_H

#include "base/buffers/guardchar.h"

// The running program's file as the system names it, in the program's '/'
// path form: whatever the command line's first word says (a bare name, no
// ".exe", another program's path), this is the file that runs. False when
// the system gives no name or memory is short.
bool get_own_program_path(_guardchar<wchar_t>& out);

#endif
