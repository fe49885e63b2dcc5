#ifndef TOOLS_SHELL_CATALOG_TEXT_H
#define TOOLS_SHELL_CATALOG_TEXT_H

#include "base/buffers/guardchar.h"

// A catalog text with one "%s" filled in, however long the inserted text
// is. A null format gives an empty text, a null argument an empty insert.
void format_catalog_text(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* argument);

// The catalog text id of the section, null when the catalog lacks either;
// for code that has no element of that section at hand.
const wchar_t* section_text(const wchar_t* section, int32_t id);

#endif
