#include "tools/install/uninstall_mode.h"

#include "base/buffers/guardchar.h"
#include "base/string_convert.h"
#include "tools/shell/pelmaro_app.h"

uint32_t run_uninstall_mode(const wchar_t* code_name, cChildElement*)
{
    _guardchar<char> utf8;
    str_from_wstr_utf8(code_name, -1, utf8);
    if (utf8.IsEmpty())
        return 1;
    // The uninstall form is not part of the program yet.
    return mode_not_available_exit_code;
}
