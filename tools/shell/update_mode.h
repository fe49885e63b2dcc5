#ifndef TOOLS_SHELL_UPDATE_MODE_H
#define TOOLS_SHELL_UPDATE_MODE_H

#include <stdint.h>

// "update <code name> [quite]": asks the update server about the installed
// product and offers a newer version in the update form. Exit code 1 for an
// unknown product or a failed check, else 0. Quiet silences the messages;
// a newer version is offered all the same.
uint32_t run_update_mode(const wchar_t* code_name, bool quiet);

#endif
