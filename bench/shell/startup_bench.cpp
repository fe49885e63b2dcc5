// Start-up to the first window: the program's own start up to its language
// form against an empty installer of the peer installer system, each started
// as a process and timed until it shows a visible window, then ended.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/support/bench.h"
#include "tests/support/process_windows.h"

namespace {

const uint64_t longest_start_us = 30000000;

// A host path as Wine shows it on drive Z:.
std::wstring windows_path(const std::string& host)
{
    std::wstring path = L"Z:";
    for (char c : host)
        path += c == '/' ? L'\\' : wchar_t(c);
    return path;
}

// Microseconds from the process's creation to its first visible window.
double time_to_first_window(const std::wstring& program)
{
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    uint64_t start = clock_now_us();
    bench_require(CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != 0,
                  "the program starts");
    uint64_t elapsed = 0;
    while (!find_process_window(process.dwProcessId)) {
        bench_require(WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT, "the program waits with a window");
        elapsed = clock_now_us() - start;
        bench_require(elapsed < longest_start_us, "a window within 30 s");
    }
    elapsed = clock_now_us() - start;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return double(elapsed);
}

}  // namespace

int main(int argc, char** argv)
{
    std::wstring ours = windows_path(OURS_EXE);
    std::wstring peer = windows_path(PEER_EXE);
    std::vector<BenchCase> cases = {
        {"start-up to the language form", "an empty NSIS installer to its first window", 1.0,
         [&]() { return time_to_first_window(ours); }, [&]() { return time_to_first_window(peer); }},
    };
    return bench_run(cases, argc, argv);
}
