#ifndef BASE_JOB_H
#define BASE_JOB_H

#include <stdint.h>
#include <windows.h>

#include "base/buffers/guardchar.h"
#include "base/critical_section.h"
#include "base/job_abort.h"

class cProgressNotifyTarget;

// Windows' code for a C++ exception. A job's exception filter sees it for
// every exception, since all exceptions of this program are C++ ones.
const uint32_t job_cxx_exception_code = 0xE06D7363;

// The base of every worker thread. A subclass supplies Run and may hook the
// moments around it; the owner starts the job, may ask it to stop, and can
// always get rid of it within a bounded wait.
//
// Stopping: Stop sets the stop flag, which Run polls, and waits up to its
// time-out. A job still running then is cancelled: its thread is made to
// throw the integer 0 where it is, its stack unwinds through its
// destructors, OnAbort and then OnFinish run on it. The cancellation is
// thrown once, into OnStart, Run or the OnFinish after Run; the hooks after
// it are not cancelled. Only code of this program can be cancelled, and
// only at points where the exception can unwind. A thread that stays in
// system code (a wait, a blocking read) or in code that cannot unwind for a
// second, or whose hooks after the cancellation do not end within a second,
// is given up: it stays suspended for the rest of the process and never
// runs again, its stack and what its frames own are leaked, and Stop
// answers false.
// Code that must stay cancellable does not spin inside noexcept functions
// or destructors.
//
// Threads: Start, Stop, IsRunning and ForceAbort belong to the owner and are
// called from one thread at a time; RequestStop and IsStopRequested may be
// called from any thread.
//
// Destroying: once Stop has answered (true or false) no thread of the job
// runs any more, so the object may be deleted. The destructor calls Stop
// too, but it runs after the subclass's own destructor has destroyed the
// members that Run may be using: a subclass with members its Run uses
// calls Stop in its own destructor.
class cJob {
public:
    explicit cJob(cProgressNotifyTarget* owner);
    cJob(const cJob&) = delete;
    cJob& operator=(const cJob&) = delete;

    // The work, on the job's thread; its result is the thread's exit code.
    virtual uint32_t Run() = 0;
    // On the job's thread before Run.
    virtual void OnStart();
    // Inside RequestStop, on the requesting thread, with the lock held.
    virtual void OnStopRequest();
    // On the job's thread after Run; after OnAbort too.
    virtual void OnFinish(uint32_t exit_code);
    // On the job's thread when an exception left Run or a hook, the
    // cancellation included.
    virtual void OnAbort();
    // Whether the thread body handles an exception (EXCEPTION_EXECUTE_HANDLER,
    // 1) or lets it go on to the outer handler. pointers is null: the
    // exception is a C++ one, code job_cxx_exception_code. Base: 1.
    virtual int32_t FilterException(EXCEPTION_POINTERS* pointers, uint32_t code);
    virtual ~cJob();

    // Ends an earlier run (Stop(4000)) and starts the thread. False when no
    // thread could be started.
    bool Start();
    bool IsStopRequested() const { return stop_requested != 0; }
    void RequestStop();
    bool IsRunning();
    // Requests a stop, waits up to timeout_ms, then cancels. True when the
    // thread ended; false when it had to be given up (see above).
    bool Stop(uint32_t timeout_ms);
    // Cancels the running thread, within the bounds above. True when the
    // thread ended.
    bool ForceAbort(HANDLE thread_handle);

    // The thread's whole life: hooks, exception scopes, finished flag.
    uint32_t ThreadBody();

private:
    cProgressNotifyTarget* owner;
    volatile uint8_t stop_requested;
    // 1 at rest and once the thread has ended; 0 while a started thread may
    // run. The thread touches nothing of the job after setting it.
    volatile uint8_t finished;

protected:
    // Empty unless a subclass names itself.
    _guardchar<wchar_t> name;

private:
    cCriticalSection lock;
    // Owned by the starting side; the thread never touches it.
    HANDLE thread;
    cJobAbortState abort_state;
};

// The thread start routine: runs the job's ThreadBody.
unsigned __stdcall job_thread_entry(void* job);

// Pauses of jobs and animations.
void sleep_ms(uint32_t ms);

#endif
