#ifndef PICT_PROGRESS_TARGET_H
#define PICT_PROGRESS_TARGET_H

#include "base/file_io_target.h"

// What a long decode reports its progress to; a false answer asks it to
// stop.
class cProgressNotifyTarget {
public:
    cProgressNotifyTarget() = default;
    cProgressNotifyTarget(const cProgressNotifyTarget&) = delete;
    cProgressNotifyTarget& operator=(const cProgressNotifyTarget&) = delete;

    virtual bool Notify(double percent_done) = 0;
    // Step-based receivers change their current step; the base ignores it.
    virtual void SelectStep(int step);
    virtual ~cProgressNotifyTarget();
};

// Answers "go on" while the guarded stream (not owned) is open, so that
// closing the stream from another thread cancels the decode at its next
// report; false when no stream is set.
class cStreamGuardProgressTarget : public cProgressNotifyTarget {
public:
    explicit cStreamGuardProgressTarget(cFileIOTarget* guarded = nullptr) : stream(guarded) {}
    bool Notify(double percent_done) override;

    cFileIOTarget* stream;
};

#endif
