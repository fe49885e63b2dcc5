#include "tools/install/install_mode.h"

#include "tools/install/install_context.h"
#include "tools/install/install_init_ui.h"
#include "tools/install/install_wizard.h"

int32_t run_install_mode(const wchar_t* own_path, const wchar_t* package_path, uint32_t package_offset)
{
    cInstallContext context(own_path, package_path, package_offset);
    if (!run_install_init_ui(&context))
        return 1;
    return run_install_wizard(&context);
}
