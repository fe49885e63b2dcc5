#ifndef TOOLS_SHELL_SHOWN_NAMES_H
#define TOOLS_SHELL_SHOWN_NAMES_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "tools/shell/record_store.h"

// How many names a message shows before it says how many more there are.
const int32_t shown_names_limit = 10;

// The text (UTF-16) as a message shows a name from a file others write:
// every control character (C0, DEL and C1, the line and paragraph
// separators, and the marks that turn the direction of the text) as a
// visible escape, "\xHH" or "\uHHHH", and the backslash as "\\", so that a
// name is one line of its own letters.
void escape_shown_name(const wchar_t* name, _guardchar<wchar_t>& out);

// The names (UTF-8) as one text, each escaped, the separator between each
// two: at most shown_names_limit of them, then, after the separator, the
// catalog text more (its "%s" the count of the others, its digits in
// groups of three). Empty for no names, or when memory runs out.
void join_shown_names(const cRecordNames& names, const wchar_t* separator, const wchar_t* more,
                      _guardchar<wchar_t>& out);

#endif
