#include "tools/shell/program_entry.h"

#include <windows.h>

#include <shellapi.h>

#include "base/ci_app_full_config.h"
#include "base/dynamic_import.h"
#include "gui/application.h"
#include "tools/shell/pelmaro_app.h"
#include "tools/shell/program_config.h"

namespace {

typedef BOOL(WINAPI* tSetProcessDPIAware)();

const int32_t default_icon_group = 101;
const WORD group_icon_type = 14;  // RT_GROUP_ICON

BOOL CALLBACK take_first_icon_group(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found)
{
    // A numbered group gives its number; a named one its name pointer.
    *reinterpret_cast<int32_t*>(found) = int32_t(reinterpret_cast<intptr_t>(name));
    return FALSE;
}

}  // namespace

int32_t run_program(cPelmaroApp* application)
{
    tSetProcessDPIAware set_dpi_aware =
        dynamic_import<tSetProcessDPIAware>(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware");
    if (set_dpi_aware)
        set_dpi_aware();

    int argument_count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argument_count);
    // Without a split command line the program runs as if it had no words.
    static wchar_t* no_arguments[] = {nullptr};
    if (!arguments)
        argument_count = 0;
    HINSTANCE instance = GetModuleHandleW(nullptr);

    int32_t icon_group = default_icon_group;
    EnumResourceNamesW(instance, MAKEINTRESOURCEW(group_icon_type), take_first_icon_group,
                       reinterpret_cast<LONG_PTR>(&icon_group));

    int32_t exit_code = run_application(application, instance, 0, icon_group, argument_count,
                                        arguments ? arguments : no_arguments, new cCIAppFullConfig,
                                        program_store_name);
    if (arguments)
        LocalFree(arguments);
    return exit_code;
}
