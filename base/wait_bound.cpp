#include "base/wait_bound.h"

#include "base/clock.h"
#include "base/job.h"

cWaitBound::cWaitBound(uint32_t total_ms, const cJob* stopping_job)
    : deadline_us(total_ms ? clock_now_us() + uint64_t(total_ms) * 1000 : 0), job(stopping_job)
{
}

bool cWaitBound::Ended() const
{
    return (job && job->IsStopRequested()) || (deadline_us && clock_now_us() >= deadline_us);
}

uint32_t cWaitBound::NextSlice(uint32_t wanted_ms) const
{
    uint32_t slice = wanted_ms < slice_ms ? wanted_ms : slice_ms;
    if (!deadline_us)
        return slice;
    uint64_t now = clock_now_us();
    if (now >= deadline_us)
        return 0;
    uint64_t left_ms = (deadline_us - now + 999) / 1000;
    return left_ms < slice ? uint32_t(left_ms) : slice;
}
