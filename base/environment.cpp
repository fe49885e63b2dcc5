#include "base/environment.h"

#include <windows.h>

bool env_get(const wchar_t* name, _guardchar<wchar_t>& out)
{
    wchar_t value[260];
    // A buffer that is too small makes the call answer the size it needs,
    // which counts the terminator and so is never below the buffer's size.
    DWORD length = GetEnvironmentVariableW(name, value, 260);
    if (length == 0 || length >= 260)
        return false;
    out.Assign(value);
    return !out.IsEmpty();
}
