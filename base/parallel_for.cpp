#include "base/parallel_for.h"

#include <process.h>
#include <windows.h>

namespace {

struct cParallelRun {
    volatile LONG next;  // the last index taken
    uint32_t count;
    void (*work)(void* context, uint32_t index);
    void* context;
};

unsigned __stdcall take_indices(void* argument)
{
    cParallelRun* run = static_cast<cParallelRun*>(argument);
    for (;;) {
        uint32_t index = uint32_t(InterlockedIncrement(&run->next));
        if (index >= run->count)
            return 0;
        run->work(run->context, index);
    }
}

}  // namespace

uint32_t processor_count()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}

namespace {

// Runs the indices on up to wanted threads. The calling thread takes
// indices too when asked, else it only waits; it does all the work when
// no thread starts.
void run_on_threads(uint32_t count, void (*work)(void* context, uint32_t index), void* context, uint32_t wanted,
                    bool caller_works)
{
    cParallelRun run = {-1, count, work, context};
    HANDLE threads[MAXIMUM_WAIT_OBJECTS];
    wanted = (wanted < count ? wanted : count);
    uint32_t to_start = caller_works && wanted ? wanted - 1 : wanted;
    uint32_t started = 0;
    while (started < to_start && started < MAXIMUM_WAIT_OBJECTS) {
        uintptr_t thread = _beginthreadex(nullptr, 0, take_indices, &run, 0, nullptr);
        if (!thread)
            break;
        threads[started++] = reinterpret_cast<HANDLE>(thread);
    }
    if (caller_works || started == 0)
        take_indices(&run);
    if (started)
        WaitForMultipleObjects(started, threads, TRUE, INFINITE);
    for (uint32_t i = 0; i < started; ++i)
        CloseHandle(threads[i]);
}

}  // namespace

void parallel_for(uint32_t count, void (*work)(void* context, uint32_t index), void* context)
{
    run_on_threads(count, work, context, processor_count(), true);
}

void parallel_for_waits(uint32_t count, void (*work)(void* context, uint32_t index), void* context)
{
    // The caller only waits: a job that is cancelled there (a wait cannot
    // unwind) never leaves the other threads with its frame gone.
    run_on_threads(count, work, context, MAXIMUM_WAIT_OBJECTS, false);
}
