#include "tools/install/install_mode.h"

#include "tools/install/install_context.h"
#include "tools/install/install_init_ui.h"
#include "tools/install/install_wizard.h"

int32_t install_exit_code(uint32_t status)
{
    return status == INSTALL_STATUS_OBJECT_IN_THE_WAY ? INSTALL_EXIT_OBJECT_IN_THE_WAY : int32_t(status);
}

int32_t run_install_mode(const wchar_t* own_path, const wchar_t* package_path, uint32_t package_offset)
{
    cInstallContext context(own_path, package_path, package_offset);
    if (!run_install_init_ui(&context))
        return INSTALL_EXIT_NOT_STARTED;
    // Until the install job sets it, a wizard that ends was left by the user.
    context.status = INSTALL_STATUS_ABORTED;
    int32_t result = run_install_wizard(&context);
    return result != 0 ? result : install_exit_code(context.status);
}
