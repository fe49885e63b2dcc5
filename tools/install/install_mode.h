#ifndef TOOLS_INSTALL_INSTALL_MODE_H
#define TOOLS_INSTALL_INSTALL_MODE_H

#include <stdint.h>

// Exit codes of the install mode that are not a job's status.
enum : int32_t {
    INSTALL_EXIT_INSTALLED = 0,
    // Nothing was installed: the start-up (or the plan made again after
    // the older products' removal) refused with its message, no language
    // was chosen, or the wizard could not be shown.
    INSTALL_EXIT_NOT_STARTED = 1,
    // The install job's INSTALL_STATUS_OBJECT_IN_THE_WAY, whose own number
    // is the start-up's refusal.
    INSTALL_EXIT_OBJECT_IN_THE_WAY = 12,
};

// The exit code of an install that ran to the wizard's end with the
// context's status: 0 only for an installed product, else the status
// (INSTALL_STATUS_ABORTED also when the wizard was closed before the
// installation), except INSTALL_EXIT_OBJECT_IN_THE_WAY for status 1.
int32_t install_exit_code(uint32_t status);

// The install mode: the start-up form reads and plans the package at the
// offset of the package file, then the wizard installs it. The exit code:
// INSTALL_EXIT_NOT_STARTED when the start-up ends without the wizard, the
// wizard's result when it fails, else install_exit_code of the outcome.
int32_t run_install_mode(const wchar_t* own_path, const wchar_t* package_path, uint32_t package_offset);

#endif
