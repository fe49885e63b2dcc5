#ifndef TOOLS_SHELL_STORE_FAULT_TEXT_H
#define TOOLS_SHELL_STORE_FAULT_TEXT_H

#include "base/buffers/guardchar.h"
#include "base/config_file.h"

// A road's message on a store that keeps it from acting: the road's catalog
// text, its "%s" the text of "pkgm::store" that tells of the fault (by its
// kind and whether it is the common store's: who may mend it, and how), in
// turn naming the place with Windows' separators. A held file is told to be
// closed by the program that holds it; a file that cannot be read is told
// to be mended, never to be deleted without what that forgets. shown (when
// given) is the place as shown instead.
void format_store_refusal(_guardchar<wchar_t>& out, const wchar_t* road_text, const cStoreFault& fault,
                          const wchar_t* shown = nullptr);

#endif
