#include "tools/install/system_program.h"

#include <windows.h>

#include "base/buffers/typebuf.h"
#include "base/case_map.h"
#include "base/format.h"
#include "base/path.h"
#include "base/string_utils.h"

namespace {

typedef UINT(WINAPI* tFolderQuery)(LPWSTR, UINT);

bool folder_from(tFolderQuery query, _guardchar<wchar_t>& out)
{
    UINT needed = query(nullptr, 0);
    if (!needed)
        return false;
    _typebuf<wchar_t> buffer{int32_t(needed) + 1};
    if (!buffer.Data())
        return false;
    UINT length = query(buffer.Data(), needed + 1);
    if (!length || length > needed)
        return false;
    while (length > 0 && buffer[int32_t(length) - 1] == L'\\')
        --length;
    return out.AssignN(buffer.Data(), int32_t(length)) == int32_t(length) && !out.IsEmpty();
}

bool windows_folder(_guardchar<wchar_t>& out)
{
    return folder_from(GetSystemWindowsDirectoryW, out);
}

bool is_plain_file(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The full path of the program name in one of Windows' own folders.
bool find_system_program(const wchar_t* name, _guardchar<wchar_t>& out)
{
    bool extension = wstr_find_char(name, L'.') != nullptr;
    _guardchar<wchar_t> folders[2];
    if (!system_folder(folders[0]) || !windows_folder(folders[1]))
        return false;
    for (const _guardchar<wchar_t>& folder : folders) {
        if (path_format(out, extension ? L"%s\\%s" : L"%s\\%s.exe", folder.Text(), name) && is_plain_file(out.Text()))
            return true;
    }
    return false;
}

}  // namespace

bool system_folder(_guardchar<wchar_t>& out)
{
    return folder_from(GetSystemDirectoryW, out);
}

bool system_program_path(const wchar_t* name, _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> folder;
    return name && system_folder(folder) && path_format(out, L"%s\\%s", folder.Text(), name);
}

bool resolve_system_command(const wchar_t* command_line, _guardchar<wchar_t>& out)
{
    out.Assign(command_line);
    if (!command_line || !command_line[0])
        return true;
    if (!out.Text())
        return false;
    const wchar_t* start = command_line;
    while (wchar_is_space(*start))
        ++start;
    bool quoted = *start == L'"';
    const wchar_t* name_start = quoted ? start + 1 : start;
    const wchar_t* name_end = name_start;
    while (*name_end && (quoted ? *name_end != L'"' : !wchar_is_space(*name_end)))
        ++name_end;
    if (name_end == name_start || (quoted && *name_end != L'"'))
        return true;
    for (const wchar_t* at = name_start; at < name_end; ++at)
        if (*at == L'\\' || *at == L'/' || *at == L':')
            return true;
    _guardchar<wchar_t> name, program;
    int32_t name_length = int32_t(name_end - name_start);
    if (name.AssignN(name_start, name_length) != name_length)
        return false;
    if (!find_system_program(name.Text(), program))
        return true;
    const wchar_t* rest = quoted ? name_end + 1 : name_end;
    int32_t size = program.Length() + wstr_length(rest) + 3;
    _guardchar<wchar_t> resolved;
    resolved.Allocate(size);
    if (!resolved.Buffer() || wstr_format(resolved.Buffer(), size, L"\"%s\"%s", program.Text(), rest) < 0)
        return false;
    out.Swap(resolved);
    return true;
}
