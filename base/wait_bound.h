#ifndef BASE_WAIT_BOUND_H
#define BASE_WAIT_BOUND_H

#include <stdint.h>

class cJob;

// The outer limits of a network operation made of many waits (connect,
// every receive): a deadline for the whole operation and the stop flag of
// the job it runs for. Waits under a bound are cut into short slices, so
// that either limit ends them within a slice instead of after the wait's
// own time-out.
class cWaitBound {
public:
    // The longest slice a bounded wait sleeps before looking again.
    static const uint32_t slice_ms = 100;

    // total_ms 0: no deadline; job null: nothing can stop it.
    cWaitBound(uint32_t total_ms, const cJob* job);

    // The deadline passed, or the job was asked to stop.
    bool Ended() const;
    // How long the next slice of a wait with wanted_ms still to go may
    // sleep: at most slice_ms, and never past the deadline (0 once it has
    // passed).
    uint32_t NextSlice(uint32_t wanted_ms) const;

private:
    uint64_t deadline_us;  // clock_now_us() time; 0 for none
    const cJob* job;
};

#endif
