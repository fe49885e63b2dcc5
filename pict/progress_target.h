#ifndef PICT_PROGRESS_TARGET_H
#define PICT_PROGRESS_TARGET_H

#include "base/file_io_target.h"
#include "base/progress_notify_target.h"

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
