#ifndef TOOLS_SHELL_UPDATE_SERVER_H
#define TOOLS_SHELL_UPDATE_SERVER_H

#include "base/buffers/guardchar.h"

class cApplicationConfig;
struct cStoreFault;

// Where the update check asks: the address of the server folder that holds
// "autocheck.php". The program carries one; the configuration key below
// overrides it, so that a test or an administrator can point the program
// at another server without rebuilding it.
extern const char update_server_key[];             // "installer/update_server"
extern const wchar_t default_update_server[];      // "http://updates.vantrel.com/pelmaro/"

// The override (a non-empty text of update_server_key in the store that
// holds it for this run, find_record_store, up to its first '?' or '#', with
// '/' added at its end when missing) or the built-in address, as UTF-8. A
// null config gives the built-in address. False, out empty, where the
// store file that may hold the override could not be read
// (RECORD_STORE_UNREAD), fault (when given) naming it: then no server may
// be asked.
bool get_update_server_address(cApplicationConfig* config, _guardchar<char>& out, cStoreFault* fault = nullptr);

// The check address of a product: the server address, "autocheck.php?softwareid=",
// the code name's UTF-8 bytes, those other than letters, digits and "-_.~"
// percent-encoded ("%26" for '&'), and "&os=win".
void format_update_check_url(const char* server_address, const char* code_name, _guardchar<char>& out);

// Windows sockets for the update check and the download, started once per
// process (version 2.0); false when they cannot be, and the next call
// tries again. They stay started until the process ends.
bool start_update_sockets();

#endif
