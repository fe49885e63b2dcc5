// The process entry of pelmarodesk.exe: the bare manager, every installer
// made from it and the package maker are this one program. The shell takes
// the mode from the self-command block or the command line and runs the
// entry given here; each entry belongs to the part that does that work.
#include <windows.h>

#include "tools/install/install_mode.h"
#include "tools/install/remove_mode.h"
#include "tools/install/uninstall_mode.h"
#include "tools/package/make_mode.h"
#include "tools/package/package_queries.h"
#include "tools/shell/manager_window.h"
#include "tools/shell/pelmaro_app.h"
#include "tools/shell/program_entry.h"
#include "tools/shell/update_mode.h"
#include "tools/shell/version_query.h"

namespace {

// What the main window runs for its Uninstall and "Remove Pelmaro".
const cManagerCommands manager_commands = {
    run_uninstall_mode,
    run_remove_mode,
    get_manager_exe_path,
};

int32_t run_manager_mode(const cPelmaroApp&)
{
    return int32_t(run_manager(&manager_commands));
}

int32_t run_install(const cPelmaroApp& application)
{
    return run_install_mode(application.GetOwnPath(), application.GetFirstArgument(), application.GetPackageOffset());
}

int32_t run_update(const cPelmaroApp& application)
{
    return int32_t(run_update_mode(application.GetFirstArgument(), application.IsQuiet()));
}

int32_t run_uninstall(const cPelmaroApp& application)
{
    return int32_t(run_uninstall_mode(application.GetFirstArgument(), nullptr));
}

int32_t run_make(const cPelmaroApp& application)
{
    return run_make_mode(application.GetOwnPath(), application.GetFirstArgument(), application.GetSecondArgument());
}

// The installed manager, or else this program's own file, off the machine.
int32_t run_remove(const cPelmaroApp& application)
{
    return run_remove_mode(application.GetOwnPath(), nullptr) ? 0 : 1;
}

int32_t run_version(const cPelmaroApp&)
{
    return int32_t(run_version_mode());
}

const tModeEntry program_modes[pelmaro_mode_count] = {
    run_manager_mode,  // PELMARO_MODE_MANAGER
    run_install,       // PELMARO_MODE_INSTALL
    run_uninstall,     // PELMARO_MODE_UNINSTALL
    run_update,        // PELMARO_MODE_UPDATE
    run_make,          // PELMARO_MODE_MAKE
    run_remove,        // PELMARO_MODE_REMOVE
    run_version,       // PELMARO_MODE_VERSION
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return run_program(new cPelmaroApp(program_modes));
}
