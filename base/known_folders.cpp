#include "base/known_folders.h"

#include <shlobj.h>

#include "base/environment.h"
#include "base/path.h"
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

const int known_by_shell[] = {
    CSIDL_PROGRAM_FILES,    CSIDL_PROGRAM_FILESX86,   CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_COMMON_APPDATA,   CSIDL_WINDOWS,            CSIDL_SYSTEM,               CSIDL_SYSTEMX86,
    CSIDL_PROFILE,          CSIDL_PERSONAL,           CSIDL_COMMON_DOCUMENTS,     CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_APPDATA,     CSIDL_LOCAL_APPDATA,        CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS,           CSIDL_COMMON_PROGRAMS,      CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
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
    for (int csidl : known_by_shell)
        add_from_shell(out, csidl);
}

void get_programs_folders(cFolderList& out)
{
    add_programs_from_environment(out);
    add_from_shell(out, CSIDL_COMMON_PROGRAMS);
    add_from_shell(out, CSIDL_PROGRAMS);
}
