#ifndef TOOLS_PACKAGE_MAKE_INSTALLER_H
#define TOOLS_PACKAGE_MAKE_INSTALLER_H

#include <stdint.h>

#include "base/buffers/typebuf.h"
#include "tools/package/package.h"

class cMakeLog;

// Exit codes of make.
enum : int32_t {
    MAKE_DONE = 0,
    MAKE_SCENARIO_FAILED = 1,  // also: the program file cannot be opened
    MAKE_NOT_A_MANAGER = 2,    // no block template, or headers and resources unusable
    MAKE_DOES_NOT_FIT = 3,     // the version text, the undo records or the optional header
    MAKE_SAVE_FAILED = 4,
};

// The first part of an installer made of the bare manager's bytes, whose
// self-command block template lies at block_offset: its version resource
// rebuilt from the package (day_number: installer_day_number), the
// certificate-table entry and checksum cleared, and the block filled (kind
// 1, the package appended at the manager's length) with the records that
// undo each change, in rising order of offset. MAKE_DONE or the exit code
// of the fault, which is logged.
int32_t make_installer_image(const uint8_t* bare, uint32_t size, uint32_t block_offset, const cPackage& package,
                             uint32_t day_number, _typebuf<uint8_t>& image, cMakeLog& log);

#endif
