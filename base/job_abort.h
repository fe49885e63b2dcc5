#ifndef BASE_JOB_ABORT_H
#define BASE_JOB_ABORT_H

#include <windows.h>

// Forced cancellation of a job's thread: another thread suspends it and
// redirects it, as if it had called a routine at the point where it was
// stopped, into a gate that decides on the cancelled thread itself whether
// the cancellation may be thrown there. When it may, the thread throws the
// integer 0 and unwinds through its destructors; when it may not (the
// thread is unwinding already, outside its cancellable hooks, or at an
// instruction whose frames an exception cannot pass), the gate resumes the
// thread exactly where it was and the canceller tries again later.
//
// This relies on the unwind tables of the whole program being exact at
// every instruction (-fasynchronous-unwind-tables) and on its exception
// tables covering instructions other than calls (-fnon-call-exceptions).
// A thread is only redirected while it runs code of this program's image:
// system libraries carry no unwind data, and a thread inside ntdll may be
// in a system call or hold a loader or heap lock.

// Shared between a job's thread and the thread that cancels it.
struct cJobAbortState {
    // Set by the canceller when it redirects, cleared by the gate when the
    // thread has passed it; no second redirect while it is set. Must stay
    // the first field: the gate clears it by address.
    volatile LONG redirect_pending;
    // Set by the job's thread while it runs code that may be cancelled.
    volatile LONG armed;
    // Set by the gate when it throws the cancellation; the canceller then
    // redirects no more.
    volatile LONG delivered;
    // The frame of the routine that catches the cancellation: the frames
    // below it must all let the exception through.
    void* catching_frame;
};

// Arms the state for the lifetime of the object (on the job's thread).
// Disarms when destroyed, also when an exception unwinds past it, so that
// no cancellation is thrown into a handler that would let it escape.
class cJobAbortArm {
public:
    explicit cJobAbortArm(cJobAbortState& state) : state(state) { state.armed = 1; }
    ~cJobAbortArm() { state.armed = 0; }
    cJobAbortArm(const cJobAbortArm&) = delete;
    cJobAbortArm& operator=(const cJobAbortArm&) = delete;

private:
    cJobAbortState& state;
};

// Throws the integer 0. Where a cancelled thread ends up; never returns.
[[noreturn]] void job_abort_throw();

// One attempt: suspends the thread; when it is armed, runs code of this
// image and no earlier redirect is pending, redirects it to the gate;
// resumes it. The armed flag is read while the thread is held: a thread that
// has left its cancellable code may be finishing, and its job may be gone
// as soon as the owner sees it finished. False when the thread could not be
// suspended or was not redirected.
bool job_abort_redirect(HANDLE thread, cJobAbortState& state);

// Gives a thread up that cannot be cancelled: it stays suspended for the
// rest of the process, so it touches no memory again, and leaks its stack
// and whatever its frames own. It is not frozen inside the gate: the gate's
// stack walk holds the unwinder's lock, which would then stop every later
// exception of the process.
void job_abort_abandon(HANDLE thread, const cJobAbortState& state);

#endif
