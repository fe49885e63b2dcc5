#ifndef TOOLS_INSTALL_INSTALL_MODE_H
#define TOOLS_INSTALL_INSTALL_MODE_H

#include <stdint.h>

// The install mode: the start-up form reads and plans the package at the
// offset of the package file, then the wizard installs it. The exit code:
// 1 when the start-up ends without the wizard, else the wizard's result.
int32_t run_install_mode(const wchar_t* own_path, const wchar_t* package_path, uint32_t package_offset);

#endif
