#ifndef TOOLS_INSTALL_MESSAGE_TEXT_H
#define TOOLS_INSTALL_MESSAGE_TEXT_H

#include "base/buffers/guardchar.h"

// A catalog text with one "%s" filled: out gets the format with the
// argument (null: empty) put in, however long either is. A null format
// gives an empty text. False when the text cannot be made.
bool format_with_text(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* argument);
// The same with a path as the argument, shown with Windows' separators.
bool format_with_path(_guardchar<wchar_t>& out, const wchar_t* format, const wchar_t* path);

#endif
