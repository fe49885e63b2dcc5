#include "base/process_launch.h"

#include <shellapi.h>
#include <string.h>

#include "base/buffers/typebuf.h"
#include "base/file_ops.h"
#include "base/string_utils.h"

bool process_create(const wchar_t* command_line, bool inherit_handles, STARTUPINFOW& startup,
                    PROCESS_INFORMATION& info, DWORD creation_flags)
{
    if (!command_line)
        return false;
    // CreateProcessW may write into the command line it is given.
    _typebuf<wchar_t> writable(wstr_length(command_line) + 1);
    if (!writable.Data())
        return false;
    memcpy(writable.Data(), command_line, size_t(writable.Count()) * sizeof(wchar_t));
    memset(&info, 0, sizeof(info));
    return CreateProcessW(nullptr, writable.Data(), nullptr, nullptr, inherit_handles,
                          NORMAL_PRIORITY_CLASS | creation_flags, nullptr, nullptr, &startup, &info) != 0;
}

bool process_run_detached(const wchar_t* command_line)
{
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    if (!process_create(command_line, false, startup, info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

bool split_command_line(const wchar_t* text, const wchar_t** program_end, const wchar_t** parameters)
{
    if (!text)
        return false;
    const wchar_t* end = text;
    if (*text == L'"') {
        end = wstr_find_char(text + 1, L'"');
        if (!end)
            return false;
        ++end;
    } else {
        while (*end && *end != L' ' && *end != L'\t')
            ++end;
    }
    const wchar_t* rest = end;
    while (*rest == L' ' || *rest == L'\t')
        ++rest;
    if (program_end)
        *program_end = end;
    if (parameters)
        *parameters = rest;
    return true;
}

namespace {

bool shell_execute_open(const wchar_t* text)
{
    SHELLEXECUTEINFOW info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = text;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

}  // namespace

bool shell_open(const wchar_t* text)
{
    if (!text || !text[0])
        return false;
    if (path_get_kind(text) != PATH_KIND_MISSING)
        return shell_execute_open(text);
    const wchar_t* parameters = nullptr;
    if (!split_command_line(text, nullptr, &parameters))
        return false;
    return *parameters ? process_run_detached(text) : shell_execute_open(text);
}
