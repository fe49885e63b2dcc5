#include "base/net_api.h"

#include "base/dynamic_import.h"

namespace {

cNetApi functions;
volatile LONG loaded = 0;

}  // namespace

bool net_api_load()
{
    if (loaded)
        return true;
    HMODULE mpr = LoadLibraryW(L"mpr.dll");
    if (!mpr)
        return false;
    cNetApi found;
    found.OpenEnum = dynamic_import<decltype(found.OpenEnum)>(mpr, "WNetOpenEnumW");
    found.EnumResource = dynamic_import<decltype(found.EnumResource)>(mpr, "WNetEnumResourceW");
    found.CloseEnum = dynamic_import<decltype(found.CloseEnum)>(mpr, "WNetCloseEnum");
    found.AddConnection2 = dynamic_import<decltype(found.AddConnection2)>(mpr, "WNetAddConnection2W");
    found.GetConnection = dynamic_import<decltype(found.GetConnection)>(mpr, "WNetGetConnectionW");
    if (!found.OpenEnum || !found.EnumResource || !found.CloseEnum || !found.AddConnection2 ||
        !found.GetConnection)
        return false;
    // Concurrent first calls find the same addresses; the flag is set last.
    functions = found;
    InterlockedExchange(&loaded, 1);
    return true;
}

const cNetApi& net_api()
{
    return functions;
}

bool net_reconnect_drive(wchar_t letter)
{
    if (!net_api_load())
        return false;
    wchar_t local_name[3] = {letter, L':', 0};
    wchar_t remote_name[260];
    DWORD length = 260;
    if (functions.GetConnection(local_name, remote_name, &length) != ERROR_CONNECTION_UNAVAIL)
        return false;
    NETRESOURCEW resource = {};
    resource.dwType = RESOURCETYPE_DISK;
    resource.lpLocalName = local_name;
    resource.lpRemoteName = remote_name;
    return functions.AddConnection2(&resource, nullptr, nullptr, CONNECT_INTERACTIVE) == NO_ERROR;
}
