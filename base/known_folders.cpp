#include "base/known_folders.h"

#include <shlobj.h>
#include <string.h>
#include <wchar.h>

#include "base/byte_order.h"
#include "base/critical_section.h"
#include "base/dynamic_import.h"
#include "base/environment.h"
#include "base/path.h"
#include "base/small_utils.h"
#include "base/special_folders.h"

namespace {

typedef cLinkedList<_guardchar<wchar_t>> cFolderList;

// A folder by an environment variable: its value, or a path below it.
struct cVariableFolder {
    const wchar_t* variable;
    const wchar_t* below;  // null: the value itself
};

const cVariableFolder known_by_environment[] = {
    {L"ProgramFiles", nullptr},
    {L"ProgramFiles", L"Common Files"},
    {L"ProgramW6432", nullptr},
    {L"ProgramW6432", L"Common Files"},
    {L"ProgramFiles(x86)", nullptr},
    {L"ProgramFiles(x86)", L"Common Files"},
    {L"CommonProgramFiles", nullptr},
    {L"CommonProgramW6432", nullptr},
    {L"CommonProgramFiles(x86)", nullptr},
    {L"ProgramData", nullptr},
    {L"ALLUSERSPROFILE", nullptr},
    {L"ALLUSERSPROFILE", L"Microsoft/Windows/Start Menu"},
    {L"ALLUSERSPROFILE", L"Start Menu"},
    {L"SystemRoot", nullptr},
    {L"SystemRoot", L"System32"},
    {L"SystemRoot", L"SysWOW64"},
    {L"windir", nullptr},
    {L"windir", L"System32"},
    {L"windir", L"SysWOW64"},
    {L"USERPROFILE", nullptr},
    {L"USERPROFILE", L"Documents"},
    {L"USERPROFILE", L"Desktop"},
    {L"PUBLIC", nullptr},
    {L"PUBLIC", L"Documents"},
    {L"PUBLIC", L"Desktop"},
    {L"APPDATA", nullptr},
    {L"APPDATA", L"Microsoft/Windows/Start Menu"},
    {L"APPDATA", L"Microsoft/Windows/Start Menu/Programs/Startup"},
    {L"LOCALAPPDATA", nullptr},
};

void add_folder(cFolderList& out, const wchar_t* folder, const wchar_t* below)
{
    _guardchar<wchar_t> path;
    if (!folder || !folder[0] || !path_format(path, below ? L"%s/%s" : L"%s", folder, below))
        return;
    path_from_native(path.Buffer());
    if (_guardchar<wchar_t>* added = list_append(out))
        added->Swap(path);
}

void add_from_environment(cFolderList& out, const cVariableFolder& folder)
{
    _guardchar<wchar_t> value;
    if (env_get(folder.variable, value))
        add_folder(out, value.Text(), folder.below);
}

void add_from_shell(cFolderList& out, int csidl)
{
    wchar_t path[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK)
        add_folder(out, path, nullptr);
}

// A folder the system names and the environment variable that names it for
// this process: what the system names below the folder lies below the
// variable's value too, so that a process whose environment points the
// profile elsewhere has that profile's Music, Downloads and the like.
struct cRebasedFolder {
    const wchar_t* variable;
    int csidl;
};

const cRebasedFolder rebased_by_environment[] = {
    {L"USERPROFILE", CSIDL_PROFILE},       {L"APPDATA", CSIDL_APPDATA},
    {L"LOCALAPPDATA", CSIDL_LOCAL_APPDATA}, {L"ProgramData", CSIDL_COMMON_APPDATA},
    {L"ProgramFiles", CSIDL_PROGRAM_FILES}, {L"SystemRoot", CSIDL_WINDOWS},
};

// A GUID in its registry spelling, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
bool guid_of_name(const wchar_t* name, GUID& out)
{
    uint8_t bytes[16];
    int32_t count = 0;
    for (int32_t at = 1; at < 37 && name[at]; ++at) {
        if (at == 9 || at == 14 || at == 19 || at == 24) {
            if (name[at] != L'-')
                return false;
            continue;
        }
        uint32_t byte = count < 16 ? parse_hex_byte_w(name + at++) : 0xFFFFFFFF;
        if (byte > 255)
            return false;
        bytes[count++] = uint8_t(byte);
    }
    if (name[0] != L'{' || count != 16 || name[37] != L'}' || name[38])
        return false;
    out.Data1 = read_u32_be(bytes);
    out.Data2 = read_u16_be(bytes + 4);
    out.Data3 = read_u16_be(bytes + 6);
    memcpy(out.Data4, bytes + 8, 8);
    return true;
}

// Every folder of the shell's known folders that has a path here: those
// registered with the shell (Windows Vista and later), then every CSIDL
// (the road of earlier versions). The program imports nothing of COM: the
// shell's answer is freed through COM's allocator, found the same way.
void add_from_shell_lists(cFolderList& out)
{
    typedef HRESULT(WINAPI * known_folder_path_function)(const GUID&, DWORD, HANDLE, wchar_t**);
    typedef void(WINAPI * free_function)(void*);
    auto known_folder_path =
        dynamic_import<known_folder_path_function>(GetModuleHandleW(L"shell32.dll"), "SHGetKnownFolderPath");
    auto free_answer = dynamic_import<free_function>(LoadLibraryW(L"ole32.dll"), "CoTaskMemFree");
    HKEY key;
    if (known_folder_path && free_answer &&
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FolderDescriptions",
                      0, KEY_READ, &key) == ERROR_SUCCESS) {
        // Each subkey is named by its folder's GUID; a longer name is none.
        for (DWORD index = 0;; ++index) {
            wchar_t name[64];
            DWORD length = 64;
            LONG status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_MORE_DATA)
                continue;
            if (status != ERROR_SUCCESS)
                break;
            GUID id;
            wchar_t* path = nullptr;
            if (guid_of_name(name, id) && known_folder_path(id, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK)
                add_folder(out, path, nullptr);
            free_answer(path);
        }
        RegCloseKey(key);
    }
    for (int csidl = 0; csidl <= 0xFF; ++csidl)
        add_from_shell(out, csidl);
}

// The shell's folders follow the user, not the process's environment: asked
// once per process (the start-up, the record's bounds and the job each find
// the known folders anew), under a lock, since two threads may ask at once.
const cFolderList& shell_folders()
{
    static cCriticalSection lock;
    static cFolderList folders;
    static bool found = false;
    cSafeCriticalSectionAccess access(&lock);
    if (!found) {
        add_from_shell_lists(folders);
        found = true;
    }
    return folders;
}

// The folders of shell below the system's folder of each rebased entry,
// below its variable's value, when the two differ.
void add_rebased(const cFolderList& shell, cFolderList& out)
{
    for (const cRebasedFolder& rebased : rebased_by_environment) {
        wchar_t system[MAX_PATH];
        _guardchar<wchar_t> value;
        if (SHGetFolderPathW(nullptr, rebased.csidl, nullptr, SHGFP_TYPE_CURRENT, system) != S_OK ||
            !env_get(rebased.variable, value))
            continue;
        path_from_native(system);
        path_from_native(value.Buffer());
        _typebuf<wchar_t> base, own;
        int32_t base_length = 0, own_length = 0;
        if (!path_identity_text(system, base, base_length) || !path_identity_text(value.Text(), own, own_length) ||
            base_length == 0 || (own_length == base_length && wmemcmp(own.Data(), base.Data(), base_length) == 0))
            continue;
        for (auto* node = shell.first; node; node = node->next) {
            _typebuf<wchar_t> folder;
            int32_t folder_length = 0;
            // Names compare without regard to case: the identity's own
            // spelling of the rest serves.
            if (path_identity_text(node->element.Text(), folder, folder_length) &&
                path_identity_within(folder.Data(), folder_length, base.Data(), base_length, false))
                add_folder(out, value.Text(), folder.Data() + base_length + 1);
        }
    }
}

// The Programs folder the program makes its shortcuts in, and this user's,
// as the environment names them.
void add_programs_from_environment(cFolderList& out)
{
    _guardchar<wchar_t> programs;
    if (get_start_menu_folder(nullptr, programs))
        add_folder(out, programs.Text(), nullptr);
    add_from_environment(out, {L"APPDATA", L"Microsoft/Windows/Start Menu/Programs"});
}

}  // namespace

void get_known_folders(cFolderList& out)
{
    for (const cVariableFolder& folder : known_by_environment)
        add_from_environment(out, folder);
    add_programs_from_environment(out);
    _guardchar<wchar_t> programs;
    if (get_start_menu_folder(nullptr, programs))
        add_folder(out, programs.Text(), L"Startup");
    const cFolderList& shell = shell_folders();
    add_rebased(shell, out);
    for (auto* node = shell.first; node; node = node->next)
        if (_guardchar<wchar_t>* added = list_append(out))
            added->Assign(node->element.Text());
    wchar_t temp[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH)
        add_folder(out, temp, nullptr);
}

void get_programs_folders(cFolderList& out)
{
    add_programs_from_environment(out);
    add_from_shell(out, CSIDL_COMMON_PROGRAMS);
    add_from_shell(out, CSIDL_PROGRAMS);
}
