#include "tools/shell/mode_table.h"

#include "base/buffers/guardchar.h"
#include "base/string_convert.h"
#include "tools/package/make_mode.h"
#include "tools/shell/version_query.h"

namespace {

// The main window, install, update and remove modes, until their work is
// part of the program.
int32_t not_available(const cPelmaroApp&)
{
    return mode_not_available_exit_code;
}

int32_t run_uninstall(const cPelmaroApp& application)
{
    return int32_t(run_uninstall_mode(application.GetFirstArgument(), nullptr));
}

int32_t run_make(const cPelmaroApp& application)
{
    return run_make_mode(application.GetOwnPath(), application.GetFirstArgument(), application.GetSecondArgument());
}

int32_t run_version(const cPelmaroApp&)
{
    return int32_t(run_version_mode());
}

}  // namespace

const tModeEntry mode_table[pelmaro_mode_count] = {
    not_available,  // PELMARO_MODE_MANAGER
    not_available,  // PELMARO_MODE_INSTALL
    run_uninstall,  // PELMARO_MODE_UNINSTALL
    not_available,  // PELMARO_MODE_UPDATE
    run_make,       // PELMARO_MODE_MAKE
    not_available,  // PELMARO_MODE_REMOVE: exit code 0 when the remover succeeds, else 1
    run_version,    // PELMARO_MODE_VERSION
};

uint32_t run_uninstall_mode(const wchar_t* code_name, cChildElement*)
{
    _guardchar<char> utf8;
    str_from_wstr_utf8(code_name, -1, utf8);
    if (utf8.IsEmpty())
        return 1;
    // The uninstall form is not part of the program yet.
    return mode_not_available_exit_code;
}
