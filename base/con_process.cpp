#include "base/con_process.h"

#include <string.h>

#include "base/process_launch.h"

namespace {

void close_handle(HANDLE& handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

// An anonymous pipe whose child end is inheritable and whose parent end is
// not. Ends already made stay set when a later step fails.
bool create_pipe(HANDLE& parent_end, HANDLE& child_end, bool parent_reads)
{
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, TRUE};
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &attributes, 0))
        return false;
    parent_end = parent_reads ? read_end : write_end;
    child_end = parent_reads ? write_end : read_end;
    return SetHandleInformation(parent_end, HANDLE_FLAG_INHERIT, 0) != 0;
}

}  // namespace

cConProcess::cConProcess()
    : output_read(INVALID_HANDLE_VALUE), input_write(INVALID_HANDLE_VALUE), process(INVALID_HANDLE_VALUE),
      exit_code(0)
{
}

cConProcess::~cConProcess() { Close(); }

bool cConProcess::Start(const wchar_t* command_line, DWORD creation_flags)
{
    if (!Kill())
        return false;
    close_handle(output_read);
    close_handle(input_write);
    exit_code = 0;

    // The child's ends must not stay open here: while the parent holds a
    // copy of the output pipe's write end, reading never sees the end.
    HANDLE child_output = INVALID_HANDLE_VALUE, child_input = INVALID_HANDLE_VALUE;
    bool started = false;
    if (create_pipe(output_read, child_output, true) && create_pipe(input_write, child_input, false)) {
        STARTUPINFOW startup;
        memset(&startup, 0, sizeof(startup));
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = child_input;
        startup.hStdOutput = child_output;
        startup.hStdError = child_output;
        PROCESS_INFORMATION info;
        started = process_create(command_line, true, startup, info, creation_flags);
        if (started) {
            CloseHandle(info.hThread);
            process = info.hProcess;
        }
    }
    close_handle(child_output);
    close_handle(child_input);
    return started;
}

bool cConProcess::TakeExitCode()
{
    // The wait, not the exit code, tells whether the child ended: a child
    // may exit with the code STILL_ACTIVE.
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code))
        return false;
    exit_code = code;
    close_handle(process);
    return true;
}

bool cConProcess::Poll()
{
    if (process == INVALID_HANDLE_VALUE)
        return false;
    TakeExitCode();
    return true;
}

bool cConProcess::Kill()
{
    if (process == INVALID_HANDLE_VALUE || TakeExitCode())
        return true;
    if (!TerminateProcess(process, 1))
        return false;
    exit_code = 1;
    close_handle(process);
    return true;
}

void cConProcess::CloseInput()
{
    close_handle(input_write);
}

void cConProcess::Close()
{
    Kill();
    close_handle(process);
    close_handle(output_read);
    close_handle(input_write);
}
