#include "tests/support/test_run.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Threads of this process that have finished starting: the loader calls the
// executable's TLS callbacks on every new thread before the thread's own
// code runs.
volatile LONG started_threads = 0;

void NTAPI count_started_thread(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_ATTACH)
        InterlockedIncrement(&started_threads);
}

// GoogleTest keeps state per thread, and on Windows it starts a thread that
// frees that state when its thread ends, on the state's first use: for the
// main thread its first SCOPED_TRACE or failure, which may come in the last
// test, just before the process exits. Wine faults when a process exits
// while one of its threads is still starting (a crash after "[ PASSED ]").
// So the main thread's state is made now, and the run waits until that
// thread is running.
void start_trace_state()
{
    const LONG before = started_threads;
    { testing::ScopedTrace trace(__FILE__, __LINE__, "start"); }
    const DWORD start = GetTickCount();
    while (started_threads == before && GetTickCount() - start < 5000)
        Sleep(1);
}

}  // namespace

extern "C" __attribute__((section(".CRT$XLF"), used))
const PIMAGE_TLS_CALLBACK test_run_thread_callback = count_started_thread;

int run_tests(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    start_trace_state();
    return RUN_ALL_TESTS();
}
