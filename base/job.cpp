#include "base/job.h"

#include <process.h>

#include <exception>

namespace {

// How long a cancellation may take: first to catch the thread at a point
// where the exception can be thrown, then, once it is thrown, for the
// unwinding, OnAbort and OnFinish. Measured in time rather than in
// attempts, since one Sleep(1) may last a whole timer tick.
const DWORD cancel_bound_ms = 1000;

}  // namespace

cJob::cJob(cProgressNotifyTarget* owner_target)
    : owner(owner_target), stop_requested(0), finished(1), thread(0), abort_state()
{
}

cJob::~cJob() { Stop(4000); }

void cJob::OnStart() {}

void cJob::OnStopRequest() {}

void cJob::OnFinish(uint32_t) {}

void cJob::OnAbort() {}

int32_t cJob::FilterException(EXCEPTION_POINTERS*, uint32_t) { return EXCEPTION_EXECUTE_HANDLER; }

bool cJob::Start()
{
    Stop(4000);
    stop_requested = 0;
    finished = 0;
    abort_state = cJobAbortState();
    uintptr_t handle = _beginthreadex(nullptr, 0, job_thread_entry, this, 0, nullptr);
    if (!handle) {
        finished = 1;
        return false;
    }
    cSafeCriticalSectionAccess guard(&lock);
    thread = reinterpret_cast<HANDLE>(handle);
    return true;
}

void cJob::RequestStop()
{
    cSafeCriticalSectionAccess guard(&lock);
    stop_requested = 1;
    OnStopRequest();
}

bool cJob::IsRunning()
{
    if (thread && !finished) {
        DWORD code = 0;
        if (GetExitCodeThread(thread, &code) && code == STILL_ACTIVE)
            return true;
    }
    cSafeCriticalSectionAccess guard(&lock);
    if (thread)
        CloseHandle(thread);
    thread = 0;
    finished = 1;
    return false;
}

bool cJob::Stop(uint32_t timeout_ms)
{
    if (!IsRunning())
        return true;
    RequestStop();
    for (uint32_t n = timeout_ms / 10; n; --n) {
        Sleep(10);
        if (!IsRunning())
            return true;
    }
    if (ForceAbort(thread))
        return true;
    job_abort_abandon(thread, abort_state);
    cSafeCriticalSectionAccess guard(&lock);
    CloseHandle(thread);
    thread = 0;
    finished = 1;
    return false;
}

bool cJob::ForceAbort(HANDLE thread_handle)
{
    DWORD start = GetTickCount();
    bool delivered = false;
    // IsRunning closes the handle once the thread has ended.
    while (IsRunning()) {
        if (!delivered && abort_state.delivered) {
            delivered = true;
            start = GetTickCount();
        }
        if (GetTickCount() - start >= cancel_bound_ms)
            return false;
        // The cancellation is thrown once: the hooks after it run in peace.
        if (!delivered)
            job_abort_redirect(thread_handle, abort_state);
        Sleep(1);
    }
    return true;
}

// Two scopes as the job's contract asks: the inner one hands an exception
// to the filter and the abort hooks, the outer one takes whatever leaves
// the inner handler. Both are C++ catch-alls: every exception this program
// throws is a C++ one (the bounds cException, the cancellation's integer
// 0). Hardware faults are not turned into exceptions here: state after a
// fault in the job's code cannot be trusted, so they go to the process's
// unhandled-exception handling as anywhere else.
uint32_t cJob::ThreadBody()
{
    uint32_t exit_code = 0;
    abort_state.catching_frame = __builtin_frame_address(0);
    // The thread's exception globals come into being on first use; make
    // them now, so that the cancellation gate never allocates.
    (void)std::uncaught_exceptions();
    try {
        try {
            cJobAbortArm cancellable(abort_state);
            OnStart();
            exit_code = Run();
            // 259 is STILL_ACTIVE: the thread would look alive forever.
            if (exit_code == STILL_ACTIVE)
                exit_code = 1;
            OnFinish(exit_code);
        } catch (...) {
            if (FilterException(nullptr, job_cxx_exception_code) != EXCEPTION_EXECUTE_HANDLER)
                throw;
            OnAbort();
            OnFinish(exit_code);
        }
    } catch (...) {
    }
    finished = 1;
    return exit_code;
}

unsigned __stdcall job_thread_entry(void* job) { return static_cast<cJob*>(job)->ThreadBody(); }

void sleep_ms(uint32_t ms) { Sleep(ms); }
