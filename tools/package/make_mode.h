#ifndef TOOLS_PACKAGE_MAKE_MODE_H
#define TOOLS_PACKAGE_MAKE_MODE_H

#include <stdint.h>

// "make": reads the scenario into a package and writes the target, a copy
// of the bare manager at own_path with its block filled and the package
// appended. The log goes to the scenario path with ".log" appended. The
// target is written beside itself first and takes its name only once the
// package reads back and the block's records undo to the bare manager, so
// a failed make leaves no target. A target (or the file beside it) that is
// one of the files make reads, in any spelling, is refused and left as it
// is (MAKE_SAVE_FAILED). Answers the exit code (MAKE_*).
int32_t run_make_mode(const wchar_t* own_path, const wchar_t* scenario_path, const wchar_t* target_path);

#endif
