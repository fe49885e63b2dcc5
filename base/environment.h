#ifndef BASE_ENVIRONMENT_H
#define BASE_ENVIRONMENT_H

#include "base/buffers/guardchar.h"

// The value of an environment variable as Windows holds it, backslashes and
// all. Values are read into a buffer of 260 characters: false, with out
// untouched, when the variable is unset or empty, and also when its value
// is 260 characters or longer, which would not fit and is refused rather
// than cut. An allocation failure leaves out empty and answers false.
bool env_get(const wchar_t* name, _guardchar<wchar_t>& out);

#endif
