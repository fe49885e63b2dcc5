#include "base/parallel_for.h"

#include <process.h>
#include <windows.h>

namespace {

struct cParallelRun {
    volatile LONG next;     // the last index taken
    volatile LONG stopped;  // no index is taken any more
    uint32_t count;
    void (*work)(void* context, uint32_t index);
    void* context;
};

unsigned __stdcall take_indices(void* argument)
{
    cParallelRun* run = static_cast<cParallelRun*>(argument);
    while (!run->stopped) {
        uint32_t index = uint32_t(InterlockedIncrement(&run->next));
        if (index >= run->count)
            return 0;
        run->work(run->context, index);
    }
    return 0;
}

// The threads of one run. They work on the run, which lives in the
// caller's frame: however the caller leaves (also when its job is
// cancelled while it works on an index, and the cancellation unwinds
// through here), the threads take no further index and have all ended
// before the frame goes.
class cRunThreads {
public:
    explicit cRunThreads(cParallelRun& parallel_run) : run(parallel_run), started(0) {}
    // Reached without Wait only when the caller unwinds.
    ~cRunThreads()
    {
        run.stopped = 1;
        Wait();
    }
    cRunThreads(const cRunThreads&) = delete;
    cRunThreads& operator=(const cRunThreads&) = delete;

    // Up to wanted threads (at most MAXIMUM_WAIT_OBJECTS); the count started.
    uint32_t Start(uint32_t wanted)
    {
        while (started < wanted && started < MAXIMUM_WAIT_OBJECTS) {
            uintptr_t thread = _beginthreadex(nullptr, 0, take_indices, &run, 0, nullptr);
            if (!thread)
                break;
            threads[started++] = reinterpret_cast<HANDLE>(thread);
        }
        return started;
    }
    // Until every thread has ended.
    void Wait()
    {
        if (started)
            WaitForMultipleObjects(started, threads, TRUE, INFINITE);
        for (; started; --started)
            CloseHandle(threads[started - 1]);
    }

private:
    cParallelRun& run;
    HANDLE threads[MAXIMUM_WAIT_OBJECTS];
    uint32_t started;
};

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
    cParallelRun run = {-1, 0, count, work, context};
    cRunThreads threads(run);
    wanted = (wanted < count ? wanted : count);
    uint32_t started = threads.Start(caller_works && wanted ? wanted - 1 : wanted);
    if (caller_works || started == 0)
        take_indices(&run);
    threads.Wait();
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
