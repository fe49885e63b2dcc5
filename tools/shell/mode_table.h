#ifndef TOOLS_SHELL_MODE_TABLE_H
#define TOOLS_SHELL_MODE_TABLE_H

#include <stdint.h>

#include "tools/shell/pelmaro_app.h"

class cChildElement;

// The exit code of a mode whose work this build does not carry yet.
const int32_t mode_not_available_exit_code = 126;

// Runs one mode with the arguments that Init kept; answers the exit code.
typedef int32_t (*tModeEntry)(const cPelmaroApp& application);

// The entry of each mode, by mode number.
extern const tModeEntry mode_table[pelmaro_mode_count];

// Uninstalls the product of that code name with the uninstall form, on the
// parent form or on none; 1 at once for an empty code name.
uint32_t run_uninstall_mode(const wchar_t* code_name, cChildElement* parent);

#endif
