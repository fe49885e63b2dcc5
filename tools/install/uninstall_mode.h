#ifndef TOOLS_INSTALL_UNINSTALL_MODE_H
#define TOOLS_INSTALL_UNINSTALL_MODE_H

#include <stdint.h>

class cChildElement;

// Uninstalls the product of that code name with the uninstall form, on the
// parent form (the main window) or, without one, as the program's own
// window. 0 when the product was uninstalled; 1 for every other outcome,
// at once and without a form for an empty code name.
uint32_t run_uninstall_mode(const wchar_t* code_name, cChildElement* parent);

#endif
