#ifndef TOOLS_SHELL_CATALOG_TEXT_H
#define TOOLS_SHELL_CATALOG_TEXT_H

#include "base/buffers/guardchar.h"

// A catalog text with one "%s" filled in, however long the inserted text
// is. A null format gives an empty text, a null argument an empty insert.
// False when the text cannot be made (out then empty).
bool format_catalog_text(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* argument);
// The same with a path (in '/' or '\' form) as the argument, shown with
// Windows' separators.
bool format_catalog_path(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* path);

// The catalog text id of the section, null when the catalog lacks either;
// for code that has no element of that section at hand.
const wchar_t* section_text(const wchar_t* section, int32_t id);

#endif
