#include "tools/shell/version_query.h"

#include <string.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/clock.h"
#include "base/file_handle.h"
#include "base/file_ops.h"
#include "base/format.h"
#include "base/path.h"
#include "base/process_launch.h"

namespace {

const uint32_t poll_interval_ms = 20;
const uint32_t termination_wait_ms = 5000;

// Everything the child wrote: the first bytes of a record and the total.
struct cReply {
    cReply() : total(0) {}

    void Append(const uint8_t* bytes, uint32_t count)
    {
        for (uint32_t i = 0; i < count; ++i, ++total)
            if (total < version_record_size)
                record[total] = bytes[i];
    }

    uint64_t Version() const
    {
        if (total != version_record_size)
            return no_version;
        uint32_t magic, kind;
        uint64_t version;
        memcpy(&magic, record, 4);
        memcpy(&kind, record + 4, 4);
        memcpy(&version, record + 8, 8);
        return magic == version_record_magic && kind == version_record_kind ? version : no_version;
    }

    uint8_t record[version_record_size];
    uint64_t total;
};

// Reads whatever waits in the pipe without blocking.
void drain_pipe(HANDLE pipe, cReply& reply)
{
    uint8_t chunk[512];
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, chunk, waiting < sizeof chunk ? waiting : sizeof chunk, &read, nullptr) || read == 0)
            return;
        reply.Append(chunk, read);
    }
}

// Starts the child with its standard output and error on a new pipe. The
// parent keeps the read end only: once the child's copy of the write end
// is gone, the pipe holds what it wrote and nothing more comes.
bool start_with_output_pipe(const wchar_t* command_line, cSafeFD& read_end, cSafeFD& process)
{
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, TRUE};
    HANDLE read_handle = nullptr;
    HANDLE write_handle = nullptr;
    if (!CreatePipe(&read_handle, &write_handle, &attributes, 0))
        return false;
    read_end.handle = read_handle;
    cSafeFD write_end(write_handle);
    if (!SetHandleInformation(read_handle, HANDLE_FLAG_INHERIT, 0))
        return false;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_handle;
    startup.hStdError = write_handle;
    PROCESS_INFORMATION info = {};
    if (!process_create(command_line, true, startup, info))
        return false;
    CloseHandle(info.hThread);
    process.handle = info.hProcess;
    return true;
}

}  // namespace

bool format_version_text(const uint32_t parts[4], _guardchar<wchar_t>& out)
{
    wchar_t text[100];
    if (parts[3])
        wstr_format(text, 100, L"%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
    else if (parts[2])
        wstr_format(text, 100, L"%d.%d.%d", parts[0], parts[1], parts[2]);
    else
        wstr_format(text, 100, L"%d.%d", parts[0], parts[1]);
    out.Assign(text);
    return out.Text() != nullptr;
}

void format_packed_version(uint64_t version, _guardchar<wchar_t>& out)
{
    const uint32_t parts[4] = {uint32_t(version >> 48 & 0xFFFF), uint32_t(version >> 32 & 0xFFFF),
                               uint32_t(version >> 16 & 0xFFFF), uint32_t(version & 0xFFFF)};
    format_version_text(parts, out);
}

uint64_t get_own_version()
{
    int parts[4] = {0, 0, 0, 0};
    str_scan(PELMARO_VERSION_TEXT, "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    uint64_t version = 0;
    for (int part : parts)
        version = version << 16 | uint16_t(part);
    return version;
}

uint32_t run_version_mode()
{
    uint64_t version = get_own_version();
    if (version == no_version)
        return 1;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    // Without the flag the start-up field may hold something else (a
    // monitor), while a shell's redirection or an inherited pipe is still
    // the process's standard output.
    HANDLE output = (startup.dwFlags & STARTF_USESTDHANDLES) ? startup.hStdOutput : GetStdHandle(STD_OUTPUT_HANDLE);
    if (!output || output == INVALID_HANDLE_VALUE)
        return 1;
    uint8_t record[version_record_size];
    memcpy(record, &version_record_magic, 4);
    memcpy(record + 4, &version_record_kind, 4);
    memcpy(record + 8, &version, 8);
    DWORD written = 0;
    return WriteFile(output, record, version_record_size, &written, nullptr) && written == version_record_size ? 0
                                                                                                              : 1;
}

uint64_t query_version_of_command(const wchar_t* command_line, uint32_t timeout_ms)
{
    cSafeFD pipe;
    cSafeFD process;
    if (!start_with_output_pipe(command_line, pipe, process))
        return no_version;
    uint64_t deadline = clock_now_us() + uint64_t(timeout_ms) * 1000;
    cReply reply;
    for (;;) {
        drain_pipe(pipe.handle, reply);
        DWORD waited = WaitForSingleObject(process.handle, poll_interval_ms);
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited != WAIT_TIMEOUT || clock_now_us() >= deadline) {
            TerminateProcess(process.handle, 1);
            WaitForSingleObject(process.handle, termination_wait_ms);
            return no_version;
        }
    }
    drain_pipe(pipe.handle, reply);
    return reply.Version();
}

uint64_t query_manager_version(const wchar_t* manager_path)
{
    if (path_get_kind(manager_path) != PATH_KIND_FILE)
        return no_version;
    _guardchar<wchar_t> command_line;
    if (!path_format(command_line, L"\"%s\" version", manager_path))
        return no_version;
    // Backslashes, as a Windows command line spells a program; no long-path
    // prefix, which command lines do not take.
    for (wchar_t* unit = command_line.Buffer(); *unit; ++unit)
        if (*unit == L'/')
            *unit = L'\\';
    return query_version_of_command(command_line.Text(), version_query_timeout_ms);
}
