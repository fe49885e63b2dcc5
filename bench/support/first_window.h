#ifndef BENCH_SUPPORT_FIRST_WINDOW_H
#define BENCH_SUPPORT_FIRST_WINDOW_H

#include <windows.h>

#include <string>

#include "bench/support/bench.h"
#include "tests/support/process_windows.h"

// Microseconds from starting the program (without arguments) to its first
// visible window (with exactly that title, when one is given), after which
// it is ended; the program must show one within longest_us.
inline double time_to_first_window(const std::wstring& program, uint64_t longest_us, const wchar_t* title = nullptr)
{
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    uint64_t start = clock_now_us();
    bench_require(CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process) != 0,
                  "the program starts");
    while (!find_process_window(process.dwProcessId, title)) {
        bench_require(WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT, "the program waits with a window");
        bench_require(clock_now_us() - start < longest_us, "a window within the time");
    }
    uint64_t elapsed = clock_now_us() - start;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return double(elapsed);
}

#endif
