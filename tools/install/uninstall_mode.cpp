#include "tools/install/uninstall_mode.h"

#include "tools/install/uninstall_form.h"

uint32_t run_uninstall_mode(const wchar_t* code_name, cChildElement* parent)
{
    cUninstallContext context(code_name);
    if (context.code_name_utf8.IsEmpty())
        return 1;
    return uint32_t(run_uninstall_ui(&context, parent));
}
