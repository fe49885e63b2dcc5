#ifndef BASE_NET_API_H
#define BASE_NET_API_H

#include <windows.h>
#include <winnetwk.h>

// The network-drive functions of mpr.dll, which the program loads only when
// it lists or reconnects network drives.
struct cNetApi {
    DWORD(WINAPI* OpenEnum)(DWORD scope, DWORD type, DWORD usage, NETRESOURCEW* container, HANDLE* enumeration);
    DWORD(WINAPI* EnumResource)(HANDLE enumeration, DWORD* count, void* buffer, DWORD* buffer_size);
    DWORD(WINAPI* CloseEnum)(HANDLE enumeration);
    DWORD(WINAPI* AddConnection2)(NETRESOURCEW* resource, const wchar_t* password, const wchar_t* user, DWORD flags);
    DWORD(WINAPI* GetConnection)(const wchar_t* local_name, wchar_t* remote_name, DWORD* length);
};

// Loads mpr.dll on first use (it stays loaded) and resolves the five
// functions. True once all were found, which is then remembered; a failure
// is tried again on the next call.
bool net_api_load();

// The functions net_api_load found; to be used only after it answered true.
const cNetApi& net_api();

// Connects the drive letter again to the share it is remembered for, when
// it is remembered but not connected now; the user may be asked for
// credentials. True when the connection was made.
bool net_reconnect_drive(wchar_t letter);

#endif
