#include "tools/install/kill_point.h"

#ifdef INSTALL_KILL_POINTS

#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

// The moment the variable names: "<name>" for any index or "<name>:<index>".
bool named_in(const char* variable, const char* name, int32_t index)
{
    char wanted[128];
    DWORD length = GetEnvironmentVariableA(variable, wanted, sizeof(wanted));
    if (length == 0 || length >= sizeof(wanted))
        return false;
    char here[128];
    snprintf(here, sizeof(here), "%s:%d", name, int(index));
    size_t name_length = strlen(name);
    bool any_index = length == name_length && strncmp(wanted, name, name_length) == 0;
    return any_index || strcmp(wanted, here) == 0;
}

// Creates the pause file and waits until the test deletes it (a minute at
// most).
void pause_here()
{
    wchar_t file[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PELMARO_TEST_PAUSE_FILE", file, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    HANDLE made = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(made);
    for (int waited = 0; waited < 6000 && GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES; ++waited)
        Sleep(10);
}

}  // namespace

void install_kill_point(const char* name, int32_t index)
{
    if (named_in("PELMARO_TEST_KILL_POINT", name, index))
        TerminateProcess(GetCurrentProcess(), install_kill_point_exit_code);
    if (named_in("PELMARO_TEST_PAUSE_POINT", name, index))
        pause_here();
}

#endif
