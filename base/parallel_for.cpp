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

void parallel_for(uint32_t count, void (*work)(void* context, uint32_t index), void* context)
{
    cParallelRun run = {-1, count, work, context};
    HANDLE threads[MAXIMUM_WAIT_OBJECTS];
    uint32_t wanted = processor_count();
    wanted = (wanted < count ? wanted : count);
    uint32_t started = 0;
    while (started + 1 < wanted && started < MAXIMUM_WAIT_OBJECTS) {
        uintptr_t thread = _beginthreadex(nullptr, 0, take_indices, &run, 0, nullptr);
        if (!thread)
            break;
        threads[started++] = reinterpret_cast<HANDLE>(thread);
    }
    take_indices(&run);
    if (started)
        WaitForMultipleObjects(started, threads, TRUE, INFINITE);
    for (uint32_t i = 0; i < started; ++i)
        CloseHandle(threads[i]);
}
