#include "tools/shell/program_config.h"

#include "base/ci_app_full_config.h"

const wchar_t program_store_name[] = L"qrv";

cApplicationConfig* open_program_config()
{
    cCIAppFullConfig* config = new cCIAppFullConfig;
    if (config)
        config->OpenStore(program_store_name);
    return config;
}
