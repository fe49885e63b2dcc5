#include "base/system_info.h"

#include <windows.h>

#include "base/dynamic_import.h"

namespace {

typedef LONG(WINAPI* RtlGetVersionFunction)(OSVERSIONINFOEXW*);
typedef BOOL(WINAPI* IsWow64ProcessFunction)(HANDLE, BOOL*);

static_assert(sizeof(OSVERSIONINFOEXW) == 284, "RtlGetVersion takes the extended record");

uint32_t ask_major_version()
{
    RtlGetVersionFunction get_version =
        dynamic_import<RtlGetVersionFunction>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!get_version || get_version(&info) != 0)
        return 4;
    return info.dwMajorVersion;
}

}  // namespace

uint32_t os_major_version()
{
    // Concurrent first calls store the same value.
    static volatile LONG major = 0;
    if (!major)
        InterlockedExchange(&major, LONG(ask_major_version()));
    return uint32_t(major);
}

bool os_is_win10_or_later()
{
    return os_major_version() >= 10;
}

bool os_is_wow64()
{
    IsWow64ProcessFunction is_wow64 =
        dynamic_import<IsWow64ProcessFunction>(GetModuleHandleW(L"kernel32"), "IsWow64Process");
    BOOL answer = FALSE;
    return is_wow64 && is_wow64(GetCurrentProcess(), &answer) && answer;
}
