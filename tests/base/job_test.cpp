#include "base/job.h"
#include "base/buffers/typebuf.h"
#include "base/critical_section.h"
#include "base/exception.h"
#include "tests/support/busy_work.h"
#include "tests/support/heap_probe.h"

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

// What the hooks saw, in order, from any thread.
class cHookLog {
public:
    // Room for every entry up front, so that logging takes no heap block
    // while a test counts them.
    cHookLog() { entries.reserve(16); }
    void Add(const std::string& entry)
    {
        cSafeCriticalSectionAccess guard(&lock);
        entries.push_back(entry);
    }
    std::vector<std::string> Entries()
    {
        cSafeCriticalSectionAccess guard(&lock);
        return entries;
    }
    bool Has(const std::string& entry)
    {
        for (const std::string& e : Entries())
            if (e == entry)
                return true;
        return false;
    }

private:
    cCriticalSection lock;
    std::vector<std::string> entries;
};

// Counts its destruction, to show that a stack unwound.
struct cUnwindWitness {
    explicit cUnwindWitness(volatile LONG& count) : count(count) {}
    ~cUnwindWitness() { InterlockedIncrement(&count); }
    volatile LONG& count;
};

class cTestJob : public cJob {
public:
    explicit cTestJob(std::function<uint32_t(cTestJob&)> work_to_do)
        : cJob(nullptr), work(std::move(work_to_do)), started(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~cTestJob() override
    {
        Stop(4000);
        CloseHandle(started);
    }

    uint32_t Run() override
    {
        SetEvent(started);
        return work(*this);
    }
    void OnStart() override { log.Add("start"); }
    void OnStopRequest() override { log.Add("stop request"); }
    void OnFinish(uint32_t exit_code) override { log.Add("finish " + std::to_string(exit_code)); }
    void OnAbort() override
    {
        log.Add("abort");
        if (on_abort)
            on_abort();
    }
    int32_t FilterException(EXCEPTION_POINTERS* pointers, uint32_t code) override
    {
        log.Add(code == job_cxx_exception_code && !pointers ? "filter" : "filter with other arguments");
        return filter_answer;
    }

    void WaitUntilRunning() { WaitForSingleObject(started, INFINITE); }
    // For jobs that end by themselves: afterwards Stop has nothing to stop.
    void WaitUntilEnded()
    {
        while (IsRunning())
            sleep_ms(1);
    }

    std::function<uint32_t(cTestJob&)> work;
    std::function<void()> on_abort;
    int32_t filter_answer = EXCEPTION_EXECUTE_HANDLER;
    cHookLog log;
    HANDLE started;
};

using Entries = std::vector<std::string>;

// A polling job may see the stop flag and finish before OnStopRequest,
// which runs after the flag is set, has logged: compare the job's own
// sequence, and count the requests apart.
Entries without_stop_requests(const Entries& entries)
{
    Entries kept;
    for (const std::string& e : entries)
        if (e != "stop request")
            kept.push_back(e);
    return kept;
}

void spin_forever_noexcept(volatile int& go) noexcept
{
    while (go) {
    }
}

// A bare thread in program code that the cancellation must not throw into.
class cSpinningThread {
public:
    cSpinningThread() : handle(CreateThread(nullptr, 0, Body, this, 0, nullptr)) {}
    ~cSpinningThread()
    {
        go = 0;
        EXPECT_EQ(WaitForSingleObject(handle, 5000), WAIT_OBJECT_0);
        CloseHandle(handle);
    }

    volatile int go = 1;
    HANDLE handle;

private:
    static DWORD WINAPI Body(void* self)
    {
        (void)std::uncaught_exceptions();  // the gate must not be the first to allocate them
        spin_forever_noexcept(static_cast<cSpinningThread*>(self)->go);
        return 0;
    }
};

}  // namespace

TEST(Job, PollingJobEndsOnRequestWithoutAbort)
{
    cTestJob job([](cTestJob& self) {
        while (!self.IsStopRequested())
            sleep_ms(1);
        return 7u;
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    EXPECT_TRUE(job.IsRunning());
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_FALSE(job.IsRunning());
    EXPECT_EQ(without_stop_requests(job.log.Entries()), (Entries{"start", "finish 7"}));
    EXPECT_EQ(job.log.Entries().size(), 3u);
}

// Asked first, or (a short time-out) straight away, the spinning job is
// cancelled: its stack unwinds and gives its memory back.
TEST(Job, SpinningJobIsCancelledAndItsStackUnwinds)
{
    for (uint32_t timeout_ms : {50u, 5u}) {
        SCOPED_TRACE(timeout_ms);
        volatile LONG unwound = 0;
        cTestJob job([&](cTestJob&) -> uint32_t {
            cUnwindWitness witness(unwound);
            _typebuf<uint8_t> scratch(4096);  // must go back to the heap
            spin_forever();
        });
        int busy_before = heap_busy_blocks();
        ASSERT_TRUE(job.Start());
        job.WaitUntilRunning();
        EXPECT_TRUE(job.Stop(timeout_ms));
        EXPECT_FALSE(job.IsRunning());
        EXPECT_EQ(unwound, 1);
        EXPECT_EQ(heap_busy_blocks(), busy_before);
        EXPECT_EQ(job.log.Entries(), (Entries{"start", "stop request", "filter", "abort", "finish 0"}));
    }
}

TEST(Job, CancellationReleasesScopedLocks)
{
    cCriticalSection shared;
    cTestJob job([&](cTestJob&) -> uint32_t {
        cSafeCriticalSectionAccess guard(&shared);
        spin_forever();
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    EXPECT_TRUE(job.Stop(20));
    // Blocks forever if the cancelled thread kept the section.
    cSafeCriticalSectionAccess mine(&shared);
    EXPECT_TRUE(job.log.Has("abort"));
}

TEST(Job, JobBlockedInSystemWaitIsGivenUpAndNeverRunsAgain)
{
    HANDLE never_set = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::function<void()> waits[] = {
        [=] { WaitForSingleObject(never_set, INFINITE); },
        [] { Sleep(INFINITE); },
    };
    for (const auto& wait : waits) {
        volatile LONG unwound = 0;
        volatile LONG woke = 0;
        cTestJob* job = new cTestJob([&](cTestJob&) -> uint32_t {
            cUnwindWitness witness(unwound);
            wait();
            InterlockedIncrement(&woke);
            return 0;
        });
        ASSERT_TRUE(job->Start());
        job->WaitUntilRunning();
        EXPECT_FALSE(job->Stop(5));
        EXPECT_FALSE(job->IsRunning());
        EXPECT_FALSE(job->log.Has("abort"));
        EXPECT_EQ(unwound, 0);
        // The thread holds nothing of the job any more: deleting is safe,
        // and waking its wait does not bring it back.
        delete job;
        SetEvent(never_set);
        Sleep(50);
        EXPECT_EQ(woke, 0);
        EXPECT_EQ(unwound, 0);
    }
    CloseHandle(never_set);
}

TEST(Job, NoexceptCodeIsNeverThrownInto)
{
    // An exception there would terminate the process; the job is given up.
    volatile int go = 1;
    cTestJob job([&](cTestJob&) -> uint32_t {
        spin_forever_noexcept(go);
        return 3;
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    DWORD start = GetTickCount();
    EXPECT_FALSE(job.Stop(5));
    // The attempts are bounded in time (a second), however long one pause
    // between them lasts.
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_FALSE(job.log.Has("abort"));
    go = 0;  // the frozen thread does not see it
}

// A thread that has left its cancellable code may be ending, and its job
// may be deleted as soon as it has: it must not be sent into the gate.
TEST(Job, ThreadOutsideItsCancellableCodeIsNotRedirected)
{
    cSpinningThread spinning;
    cJobAbortState disarmed = {};
    for (int attempt = 0; attempt < 20; ++attempt) {
        EXPECT_FALSE(job_abort_redirect(spinning.handle, disarmed));
        Sleep(1);
    }
}

// The gate's stack walk holds the unwinder's lock: a thread frozen there
// would stop every later exception of the process.
TEST(Job, GivenUpThreadIsNeverFrozenInsideTheGate)
{
    cSpinningThread spinning;
    cJobAbortState armed = {};
    armed.armed = 1;
    armed.catching_frame = reinterpret_cast<void*>(UINTPTR_MAX);  // every frame must let it pass
    int redirected = 0;
    for (int attempt = 0; attempt < 500 && redirected < 20; ++attempt, Sleep(1)) {
        if (!job_abort_redirect(spinning.handle, armed))
            continue;
        ++redirected;
        job_abort_abandon(spinning.handle, armed);
        EXPECT_EQ(armed.redirect_pending, 0);
        ResumeThread(spinning.handle);
    }
    EXPECT_EQ(redirected, 20);
}

TEST(Job, BoundsExceptionReachesTheAbortHook)
{
    volatile LONG unwound = 0;
    cTestJob job([&](cTestJob&) -> uint32_t {
        cUnwindWitness witness(unwound);
        _typebuf<int> numbers(3);
        numbers[3] = 1;
        return 5;
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilEnded();
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_EQ(unwound, 1);
    EXPECT_EQ(job.log.Entries(), (Entries{"start", "filter", "abort", "finish 0"}));
}

TEST(Job, DeclinedExceptionSkipsTheAbortHooks)
{
    cTestJob job([](cTestJob&) -> uint32_t { throw cException(L"job_test.cpp", 1, 2, L"declined"); });
    job.filter_answer = 0;  // EXCEPTION_CONTINUE_SEARCH: to the outer scope
    ASSERT_TRUE(job.Start());
    job.WaitUntilEnded();
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_EQ(job.log.Entries(), (Entries{"start", "filter"}));
}

TEST(Job, AbortHooksOfACancelledJobRunToCompletion)
{
    for (uint32_t work_ms : {2u, 20u, 60u}) {
        SCOPED_TRACE(work_ms);
        cTestJob job([](cTestJob&) -> uint32_t { spin_forever(); });
        job.on_abort = [&] {
            spin_for_ms(work_ms);
            job.log.Add("abort done");
        };
        ASSERT_TRUE(job.Start());
        job.WaitUntilRunning();
        EXPECT_TRUE(job.Stop(5));
        EXPECT_EQ(job.log.Entries(), (Entries{"start", "stop request", "filter", "abort", "abort done", "finish 0"}));
    }
}

TEST(Job, AbortHookThatNeverEndsIsGivenUp)
{
    cTestJob job([](cTestJob&) -> uint32_t { spin_forever(); });
    job.on_abort = spin_forever;
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    EXPECT_FALSE(job.Stop(5));
    EXPECT_FALSE(job.IsRunning());
    EXPECT_EQ(job.log.Entries(), (Entries{"start", "stop request", "filter", "abort"}));
}

TEST(Job, RunAnswering259ExitsWithOne)
{
    HANDLE thread = 0;
    cTestJob job([&](cTestJob&) -> uint32_t {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return STILL_ACTIVE;
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilEnded();
    EXPECT_TRUE(job.Stop(4000));
    ASSERT_NE(thread, HANDLE(0));
    WaitForSingleObject(thread, INFINITE);
    DWORD exit_code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &exit_code));
    EXPECT_EQ(exit_code, 1u);
    CloseHandle(thread);
    EXPECT_EQ(job.log.Entries(), (Entries{"start", "finish 1"}));
}

TEST(Job, StartOnARunningJobStopsTheEarlierRunFirst)
{
    cTestJob job([](cTestJob& self) {
        while (!self.IsStopRequested())
            sleep_ms(1);
        return 0u;
    });
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    ResetEvent(job.started);
    ASSERT_TRUE(job.Start());
    job.WaitUntilRunning();
    EXPECT_FALSE(job.IsStopRequested());  // the new run starts with a clear flag
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_EQ(without_stop_requests(job.log.Entries()), (Entries{"start", "finish 0", "start", "finish 0"}));
    EXPECT_EQ(job.log.Entries().size(), 6u);
}

TEST(Job, StopOnAJobAtRestIsImmediate)
{
    cTestJob job([](cTestJob&) { return 0u; });
    EXPECT_FALSE(job.IsRunning());
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_TRUE(job.log.Entries().empty());
    ASSERT_TRUE(job.Start());
    job.WaitUntilEnded();
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_TRUE(job.Stop(4000));
    EXPECT_EQ(job.log.Entries(), (Entries{"start", "finish 0"}));
}

TEST(Job, DeletingARunningJobStopsIt)
{
    volatile LONG unwound = 0;
    cTestJob* job = new cTestJob([&](cTestJob& self) {
        cUnwindWitness witness(unwound);
        while (!self.IsStopRequested())
            sleep_ms(1);
        return 0u;
    });
    ASSERT_TRUE(job->Start());
    job->WaitUntilRunning();
    delete job;
    EXPECT_EQ(unwound, 1);
}
