#ifndef TESTS_SUPPORT_IDLE_JOB_H
#define TESTS_SUPPORT_IDLE_JOB_H

#include "base/job.h"

// A job that is never started: tests hand it to code that watches a job's
// stop flag, and ask it to stop from a thread of their own.
class cIdleJob : public cJob {
public:
    cIdleJob() : cJob(nullptr) {}
    uint32_t Run() override { return 0; }
};

#endif
