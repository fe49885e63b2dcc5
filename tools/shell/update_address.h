#ifndef TOOLS_SHELL_UPDATE_ADDRESS_H
#define TOOLS_SHELL_UPDATE_ADDRESS_H

#include "base/buffers/guardchar.h"

// The addresses in an update reply come from a plain HTTP server: anything
// taken from them is checked before the shell or the file system sees it.

// Begins with "http://" or "https://" (any letter case): a page the shell
// may open in the web browser. Anything else (a command line, a local
// path) is not opened.
bool is_web_address(const wchar_t* text);

// An "http://" address that the download's request accepts.
bool is_downloadable_address(const wchar_t* address);

// The name to propose for the downloaded file: the address without its
// query or fragment ('?' or '#' on), after its last '/', made a safe file
// name (trailing dots and blanks go, the characters Windows refuses in
// names become '_', a device name such as CON or LPT1 gets a '_' in
// front: path_char_refused_in_name, path_names_device).
// Empty when the address ends in '/'.
void suggested_update_file_name(const wchar_t* address, _guardchar<wchar_t>& out);

#endif
