#include "base/locations.h"

#include <windows.h>

#include "base/dynamic_import.h"
#include "base/file_ops.h"
#include "base/format.h"
#include "base/location_text.h"
#include "base/net_api.h"
#include "base/special_folders.h"
#include "base/system_info.h"

namespace {

typedef LONG(WINAPI* RegGetValueFunction)(HKEY, const wchar_t*, const wchar_t*, DWORD, DWORD*, void*, DWORD*);

// RegGetValueW, missing before Windows Vista; looked up once.
RegGetValueFunction reg_get_value()
{
    // Concurrent first calls store the same address.
    static RegGetValueFunction function = nullptr;
    static volatile LONG looked_up = 0;
    if (!looked_up) {
        function = dynamic_import<RegGetValueFunction>(LoadLibraryW(L"ADVAPI32.DLL"), "RegGetValueW");
        InterlockedExchange(&looked_up, 1);
    }
    return function;
}

uint32_t drive_bit(wchar_t letter)
{
    return 1u << (letter - L'A');
}

// A local name of the form "X:", with X upper-cased in *letter.
bool drive_letter_of(const wchar_t* name, wchar_t* letter)
{
    wchar_t upper = name[0] >= L'a' && name[0] <= L'z' ? wchar_t(name[0] - 32) : name[0];
    if (upper < L'A' || upper > L'Z' || name[1] != L':' || name[2] != 0)
        return false;
    *letter = upper;
    return true;
}

// Total bytes and label of the volume at root; a volume whose size or label
// cannot be read has no label, and its size is 0 when that is what failed.
void read_volume(const wchar_t* root, uint64_t* total, wchar_t* label)
{
    label[0] = 0;
    *total = 0;
    ULARGE_INTEGER available, volume_bytes;
    if (!GetDiskFreeSpaceExW(root, &available, &volume_bytes, nullptr))
        return;
    *total = volume_bytes.QuadPart;
    if (!GetVolumeInformationW(root, label, 260, nullptr, nullptr, nullptr, nullptr, 0))
        label[0] = 0;
}

void add_location(cFolderListing& listing, const wchar_t* name, uint32_t kind, const wchar_t* display)
{
    cFolderEntry* entry = listing.AddEntry(name, kind);
    if (entry)
        entry->display.Assign(display);
}

void add_drive(cFolderListing& listing, wchar_t letter, uint32_t drive_type)
{
    wchar_t root[4] = {letter, L':', L'\\', 0};
    uint64_t total = 0;
    wchar_t label[260] = {};
    if (drive_type == DRIVE_FIXED || drive_type == DRIVE_REMOTE)
        read_volume(root, &total, label);
    wchar_t text[1024];
    location_drive_text(text, 1024, drive_type, letter, label, total);
    root[2] = 0;
    add_location(listing, root, PATH_KIND_DRIVE, text);
}

void add_remembered(cFolderListing& listing, const wchar_t* local_name, const wchar_t* remote_name,
                    uint32_t& drives_aside)
{
    wchar_t letter;
    if (drive_letter_of(local_name, &letter))
        drives_aside &= ~drive_bit(letter);
    wchar_t root[300];
    bool online = wstr_format(root, 300, L"%s\\", local_name) > 0 && GetDriveTypeW(root) == DRIVE_REMOTE;
    uint64_t total = 0;
    wchar_t label[260] = {};
    if (online)
        read_volume(root, &total, label);
    wchar_t text[1024];
    location_remembered_text(text, 1024, local_name, label, total, remote_name, online);
    add_location(listing, local_name, online ? PATH_KIND_DRIVE : PATH_KIND_OFFLINE_DRIVE, text);
}

}  // namespace

void locations_add_remembered_from_registry(cFolderListing& listing, uint32_t& drives_aside)
{
    RegGetValueFunction get_value = reg_get_value();
    HKEY network;
    if (!get_value || RegOpenKeyExW(HKEY_CURRENT_USER, L"Network", 0, KEY_READ, &network) != ERROR_SUCCESS)
        return;
    wchar_t subkey[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(network, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        wchar_t local_name[3] = {subkey[0], L':', 0};
        wchar_t letter;
        wchar_t remote_name[1024];
        DWORD size = sizeof(remote_name);
        if (length != 1 || !drive_letter_of(local_name, &letter) ||
            get_value(network, subkey, L"RemotePath", RRF_RT_REG_SZ, nullptr, remote_name, &size) != ERROR_SUCCESS)
            continue;
        local_name[0] = letter;
        add_remembered(listing, local_name, remote_name, drives_aside);
    }
    RegCloseKey(network);
}

void locations_add_remembered_from_providers(cFolderListing& listing, uint32_t& drives_aside)
{
    const cNetApi& api = net_api();
    HANDLE enumeration;
    if (api.OpenEnum(RESOURCE_REMEMBERED, RESOURCETYPE_DISK, RESOURCEUSAGE_CONNECTABLE, nullptr, &enumeration) !=
        NO_ERROR)
        return;
    // One resource a call; the record and its texts share the buffer.
    alignas(8) uint8_t buffer[16384];
    for (;;) {
        DWORD count = 1;
        DWORD size = sizeof(buffer);
        if (api.EnumResource(enumeration, &count, buffer, &size) != NO_ERROR || count != 1)
            break;
        const NETRESOURCEW* resource = reinterpret_cast<const NETRESOURCEW*>(buffer);
        if (resource->lpLocalName && resource->lpRemoteName)
            add_remembered(listing, resource->lpLocalName, resource->lpRemoteName, drives_aside);
    }
    api.CloseEnum(enumeration);
}

bool cFolderListing::ReadLocations()
{
    Clear();
    folder.Clear();
    _guardchar<wchar_t> home;
    if (get_home_folder(home))
        add_location(*this, home.Text(), PATH_KIND_HOME, L"Home folder");

    // Remote drives wait for the remembered ones, which tell their shares.
    bool network = net_api_load();
    uint32_t drives_aside = 0;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        wchar_t root[4] = {letter, L':', L'\\', 0};
        UINT type = GetDriveTypeW(root);
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR)
            continue;
        if (type == DRIVE_REMOTE && network)
            drives_aside |= drive_bit(letter);
        else
            add_drive(*this, letter, type);
    }
    if (network) {
        if (os_is_win10_or_later())
            locations_add_remembered_from_registry(*this, drives_aside);
        else
            locations_add_remembered_from_providers(*this, drives_aside);
    }
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter)
        if (drives_aside & drive_bit(letter))
            add_drive(*this, letter, DRIVE_REMOTE);
    return true;
}
