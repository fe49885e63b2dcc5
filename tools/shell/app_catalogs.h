#ifndef TOOLS_SHELL_APP_CATALOGS_H
#define TOOLS_SHELL_APP_CATALOGS_H

#include <stdint.h>

#include "gui/builtin_catalogs.h"

// The application's "CIOMLAFI" containers of its "pkgm::" sections, packed
// at build time from the text files in tools/shell/lang by
// gui/lang/pack_catalogs.py, in the order English, German, Russian,
// Ukrainian, Korean, Japanese, Chinese (simplified, code "CHI"), Chinese
// (traditional).
extern const cBuiltinContainer application_language_containers[];
extern const uint32_t application_language_container_count;

#endif
