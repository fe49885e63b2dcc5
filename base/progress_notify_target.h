#ifndef BASE_PROGRESS_NOTIFY_TARGET_H
#define BASE_PROGRESS_NOTIFY_TARGET_H

// What long work reports its progress to, on the working thread; a false
// answer asks the work to stop.
class cProgressNotifyTarget {
public:
    cProgressNotifyTarget() = default;
    cProgressNotifyTarget(const cProgressNotifyTarget&) = delete;
    cProgressNotifyTarget& operator=(const cProgressNotifyTarget&) = delete;

    virtual bool Notify(double percent_done) = 0;
    // The work enters its next step or stage; the base ignores it.
    virtual void SelectStep(int step);
    virtual ~cProgressNotifyTarget();
};

#endif
