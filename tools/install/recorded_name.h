#ifndef TOOLS_INSTALL_RECORDED_NAME_H
#define TOOLS_INSTALL_RECORDED_NAME_H

#include "base/buffers/guardchar.h"

class cApplicationConfig;

// The code name under which the store keeps the record of the product a
// user names: code_name itself when it is recorded so, else the first
// recorded one that is the same name as Windows compares names, as it
// finds the product's entry in its list of installed programs. False, with
// out untouched, when the store has neither.
bool find_recorded_code_name(cApplicationConfig& store, const wchar_t* code_name, _guardchar<wchar_t>& out);

#endif
