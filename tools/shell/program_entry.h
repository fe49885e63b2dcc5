#ifndef TOOLS_SHELL_PROGRAM_ENTRY_H
#define TOOLS_SHELL_PROGRAM_ENTRY_H

#include <stdint.h>

class cPelmaroApp;

// The process's start: marks it DPI-aware, splits its command line, takes
// its first icon group (101 without one), makes the two-store configuration
// and runs the application (owned from here; null ends with 1) through the
// GUI runner with the store name "qrv". Answers the exit code.
int32_t run_program(cPelmaroApp* application);

#endif
