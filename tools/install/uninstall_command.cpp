#include "tools/install/uninstall_command.h"

#include <windows.h>

#include <wchar.h>

#include "base/con_process.h"
#include "base/job.h"
#include "base/string_utils.h"
#include "tools/install/system_program.h"
#include "tools/install/uninstall_entry.h"
#include "tools/package/package_queries.h"

namespace {

// Reads what the pipe holds now, without blocking; true when it held
// something.
bool discard_waiting_output(HANDLE pipe)
{
    bool discarded = false;
    char bytes[4096];
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting) {
        DWORD read = 0;
        if (!ReadFile(pipe, bytes, waiting < sizeof(bytes) ? waiting : sizeof(bytes), &read, nullptr) || !read)
            break;
        discarded = true;
    }
    return discarded;
}

}  // namespace

int32_t run_uninstall_command(const wchar_t* command_line, const cJob* job)
{
    _guardchar<wchar_t> resolved;
    if (!resolve_system_command(command_line, resolved))
        return -1;
    // A console window would show nothing (the output comes here) and take
    // the focus from the form that waits.
    cConProcess process;
    if (!process.Start(resolved.Text(), CREATE_NO_WINDOW))
        return -1;
    process.CloseInput();
    while (process.Poll()) {
        if (job && job->IsStopRequested())
            return process.Kill() ? int32_t(process.ExitCode()) : 1;
        // A child blocked on a full pipe is read again at once; an idle one
        // is waited for on its handle.
        if (!discard_waiting_output(process.OutputPipe()) && process.ProcessHandle() != INVALID_HANDLE_VALUE)
            WaitForSingleObject(process.ProcessHandle(), 100);
    }
    return int32_t(process.ExitCode());
}

bool is_own_uninstall_command(const wchar_t* command, const wchar_t* code_name)
{
    _guardchar<wchar_t> manager, own;
    if (!command || !code_name || !get_manager_exe_path(manager) ||
        !format_manager_command(manager.Text(), L"uninstall", code_name, own) || wstr_length(command) != own.Length())
        return false;
    // Behind the opening quote, the manager's path compares as Windows
    // compares paths, without case; what follows it, to the letter.
    const int32_t path_end = 1 + manager.Length();
    if (wstr_compare(command + path_end, own.Text() + path_end) != 0)
        return false;
    _guardchar<wchar_t> path;
    path.AssignN(command, path_end);
    own.Buffer()[path_end] = 0;
    return wstr_compare_nocase(path.Text(), own.Text()) == 0;
}
