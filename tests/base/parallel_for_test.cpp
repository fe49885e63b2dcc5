// parallel_for and parallel_for_waits: every index once, on several
// threads, and never a thread left working on the caller's frame after it
// returned, also when the caller is a job that is cancelled in its work.
#include "base/parallel_for.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <vector>

#include "base/job.h"
#include "tests/support/busy_work.h"

namespace {

// Calls of the work in progress, on any thread, and calls ever started.
volatile LONG working_calls = 0;
volatile LONG started_calls = 0;

// Counts a call of the work from its start to its end, also when the
// call is left by a cancellation unwinding through it.
struct cCallInProgress {
    cCallInProgress()
    {
        InterlockedIncrement(&working_calls);
        InterlockedIncrement(&started_calls);
    }
    ~cCallInProgress() { InterlockedDecrement(&working_calls); }
};

// The calls of one run: which thread made each, in the caller's frame.
struct cCalls {
    volatile LONG made[256];
    DWORD thread[256];
};

void record_call(void* context, uint32_t index)
{
    cCalls& calls = *static_cast<cCalls*>(context);
    InterlockedIncrement(&calls.made[index]);
    calls.thread[index] = GetCurrentThreadId();
    spin_for_ms(2);
}

// The job's frame, which the other threads write into to their last call.
struct cCancelledFrame {
    const cJob* job;
    DWORD caller;
    volatile LONG finished[256];
};

// The caller's own call never ends: only the cancellation takes it away.
// The other threads work on until a stop is asked for, then for a while
// longer, and write their end into the caller's frame.
void work_until_cancelled(void* context, uint32_t index)
{
    cCancelledFrame& frame = *static_cast<cCancelledFrame*>(context);
    cCallInProgress call;
    if (GetCurrentThreadId() == frame.caller)
        spin_forever();
    while (!frame.job->IsStopRequested())
        spin_for_ms(1);
    spin_for_ms(300);
    frame.finished[index] = 1;
}

class cParallelJob : public cJob {
public:
    explicit cParallelJob(uint32_t call_count) : cJob(nullptr), count(call_count) {}
    ~cParallelJob() override { Stop(4000); }
    uint32_t Run() override
    {
        cCancelledFrame frame = {this, GetCurrentThreadId(), {}};
        parallel_for(count, work_until_cancelled, &frame);
        return 0;
    }

private:
    uint32_t count;
};

}  // namespace

TEST(ParallelFor, EveryIndexOnceOnSeveralThreads)
{
    struct Case {
        const char* what;
        void (*run)(uint32_t, void (*)(void*, uint32_t), void*);
        uint32_t count;
    } cases[] = {
        {"computing, none", parallel_for, 0},
        {"computing, one", parallel_for, 1},
        {"computing, many", parallel_for, 200},
        {"waiting, one", parallel_for_waits, 1},
        {"waiting, more than 64", parallel_for_waits, 200},
    };
    for (const Case& c : cases) {
        cCalls calls = {};
        c.run(c.count, record_call, &calls);
        std::set<DWORD> threads;
        for (uint32_t i = 0; i < 256; ++i) {
            EXPECT_EQ(calls.made[i], i < c.count ? 1 : 0) << c.what << ", index " << i;
            if (i < c.count)
                threads.insert(calls.thread[i]);
        }
        if (c.count > 1 && processor_count() > 1) {
            EXPECT_GT(threads.size(), 1u) << c.what;
        }
    }
}

// The job's thread works on an index of its own and never looks at its
// stop flag: Stop cancels it there. The other threads' calls are still
// under way then; the job ends only once they have ended too, and they
// take no index after their own, however many are left.
TEST(ParallelFor, ACancelledCallerReturnsOnlyAfterItsThreadsEnded)
{
    uint32_t threads = processor_count();
    if (threads < 2)
        GTEST_SKIP() << "one processor: no thread beside the caller";
    if (threads > 64)
        threads = 64;
    cParallelJob job(3 * threads);
    ASSERT_TRUE(job.Start());
    // Each thread takes one index and holds it until the stop.
    for (int waited = 0; working_calls < LONG(threads) && waited < 10000; ++waited)
        Sleep(1);
    ASSERT_EQ(working_calls, LONG(threads)) << "every thread at work";
    EXPECT_TRUE(job.Stop(50)) << "the cancelled thread ended";
    EXPECT_EQ(working_calls, 0) << "calls still under way after the job ended";
    EXPECT_EQ(started_calls, LONG(threads)) << "indices taken after the cancellation";
    for (int waited = 0; working_calls && waited < 5000; ++waited)
        Sleep(1);
}
