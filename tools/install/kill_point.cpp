#include "tools/install/kill_point.h"

#ifdef INSTALL_KILL_POINTS

#include <stdio.h>
#include <string.h>
#include <windows.h>

void install_kill_point(const char* name, int32_t index)
{
    char wanted[128];
    DWORD length = GetEnvironmentVariableA("PELMARO_TEST_KILL_POINT", wanted, sizeof(wanted));
    if (length == 0 || length >= sizeof(wanted))
        return;
    char here[128];
    snprintf(here, sizeof(here), "%s:%d", name, int(index));
    size_t name_length = strlen(name);
    bool any_index = length == name_length && strncmp(wanted, name, name_length) == 0;
    if (any_index || strcmp(wanted, here) == 0)
        TerminateProcess(GetCurrentProcess(), install_kill_point_exit_code);
}

#endif
