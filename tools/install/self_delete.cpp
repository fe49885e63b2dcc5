#include "tools/install/self_delete.h"

#include <windows.h>

#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "tools/install/system_program.h"

namespace {

// %1 is the file, %0 the script; its current folder is the system folder.
// Once the file is gone its folder goes too, where that is left empty.
// Each try waits about two seconds, so that 1,800 tries span an hour: with
// timeout.exe, or where it is missing or fails (Windows XP, Wine) with
// ping.exe, whose three echoes to the own machine are a second apart.
const char self_delete_script[] =
    "@set tries=0\r\n"
    ":Repeat\r\n"
    "@.\\timeout.exe /t 2 /nobreak >NUL 2>NUL || .\\ping.exe -n 3 127.0.0.1 >NUL 2>NUL\r\n"
    "@del %1 >NUL 2>NUL\r\n"
    "@if not exist %1 goto Done\r\n"
    "@set /a tries+=1 >NUL\r\n"
    "@if %tries% lss 1800 goto Repeat\r\n"
    ":Done\r\n"
    "@if not exist %1 rd \"%~dp1.\" >NUL 2>NUL\r\n"
    "@del \"%~dpn0\" >NUL 2>NUL\r\n"
    "@del %0 >NUL 2>NUL\r\n";

// A new empty file "spm<hex>.tmp" in the temporary folder, which keeps the
// name taken, and the script's path beside it: that name with ".cmd".
bool reserve_script_name(_guardchar<wchar_t>& placeholder, _guardchar<wchar_t>& script)
{
    _guardchar<wchar_t> folder;
    if (!get_temp_folder(folder))
        return false;
    path_to_backslashes(folder.Buffer());
    wchar_t name[MAX_PATH + 1];
    if (!GetTempFileNameW(folder.Text(), L"spm", 0, name))
        return false;
    placeholder.Assign(name);
    if (path_format(script, L"%s.cmd", name))
        return true;
    file_delete(placeholder.Text());
    return false;
}

bool write_script(const wchar_t* path)
{
    cFileIO file;
    const uint32_t size = sizeof(self_delete_script) - 1;
    return file.Create(path, FILE_MODE_WRITE) && file.Write(self_delete_script, size) == int32_t(size);
}

bool start_script(const wchar_t* script, const wchar_t* target)
{
    _guardchar<wchar_t> folder, interpreter, file, command;
    file.Assign(target);
    path_to_backslashes(file.Buffer());
    if (!system_folder(folder) || !system_program_path(L"cmd.exe", interpreter) || !file.Text() ||
        !path_format(command, L"\"%s\" /c \"\"%s\" \"%s\"\"", interpreter.Text(), script, file.Text()))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    // No handle of this process goes along: the script may outlive it by
    // an hour. Its current folder is the system folder: there it finds
    // timeout.exe, and no folder of ours stays in use by it.
    if (!CreateProcessW(interpreter.Text(), command.Buffer(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, folder.Text(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool schedule_self_delete(const wchar_t* path)
{
    uint32_t kind = path_get_kind(path);
    if (kind == PATH_KIND_MISSING)
        return true;
    if (kind != PATH_KIND_FILE)
        return false;
    _guardchar<wchar_t> placeholder, script;
    if (!reserve_script_name(placeholder, script))
        return false;
    if (write_script(script.Text()) && start_script(script.Text(), path))
        return true;
    file_delete(script.Text());
    file_delete(placeholder.Text());
    return false;
}
