#ifndef TOOLS_INSTALL_JOB_PANEL_H
#define TOOLS_INSTALL_JOB_PANEL_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/job.h"
#include "base/progress_notify_target.h"
#include "gui/controls/panel.h"
#include "gui/controls/progress_child.h"
#include "gui/controls/static_element.h"

// A wizard page that runs a job and shows its current step's caption above
// a progress bar (range 100). The derived page fills the captions and
// starts the job; the job reports through Notify and SelectStep on its own
// thread, which set the caption and the bar through their any-thread
// setters. The job's start reaches the page as a plain code-6 action, its
// end as a cJobEndAction (code 7), both posted, so that the page's owner
// hears of them on the UI thread.
class cJobPanel : public cPanelChild, public cProgressNotifyTarget, public cJob {
public:
    class cJobEndAction : public cChildAction {
    public:
        explicit cJobEndAction(uint32_t code) : cChildAction(7), exit_code(code) {}
        uint32_t exit_code;
    };

    cJobPanel();
    // Stops the job (4,000 ms, then cancelled).
    ~cJobPanel() override;

    void InitDefaults() override;
    void OnCreate() override;

    // Job thread.
    void OnStart() override;
    // Posts the end; while a question about stopping the job is still open
    // (the page is held), only once it has been answered.
    void OnFinish(uint32_t exit_code) override;
    // The percent done of the current step: the bar moves at most every
    // 100 ms. Waits while the page is held. False once a stop was asked for;
    // the page then shows the stopping caption (when it has one) with the
    // bar at 0, and keeps it to the job's end.
    bool Notify(double percent_done) override;
    // The job is past the point after which it cannot put back what it
    // did. Waits while the page is held; false when a stop was asked for
    // (the job then gives up, as after Notify), else true, and no hold is
    // granted any more.
    bool Commit();
    // Shows step i's caption (when there is such a step), then Notify(0).
    void SelectStep(int step) override;
    // The last caption, then Notify(0); nothing without captions.
    void SelectLastStep();

    // UI thread: while held, the job waits at its next progress report (a
    // question about stopping it is open); a stop request ends the wait.
    // False, and no hold, once the job has committed: there is nothing to
    // ask then.
    bool HoldProgress();
    void ReleaseProgress();

    int32_t GetCurrentStep() const { return current_step; }
    // UI thread: the caption as it shows now.
    const wchar_t* GetCaption() { return caption.GetTextPtr(); }

protected:
    // Filled by the derived page before it starts the job; the stopping
    // caption, shown while the job puts back what it did once a stop was
    // asked for, may stay empty (the step captions stay then).
    _classbuf<_guardchar<wchar_t>> captions;
    _guardchar<wchar_t> stopping_caption;

private:
    void ShowCaption(int32_t step);
    // Job thread: the stopping caption and the bar at 0, once.
    void ShowStopping();

    cStaticElement caption;
    cProgressChild bar;
    volatile int32_t current_step;
    uint64_t last_update;  // clock_now_us of the last move of the bar
    volatile long hold_state;  // hold_* of job_panel.cpp
    bool stopping;             // job thread: the stopping caption shows
};

// The bar's position for percent done of step `step` out of `steps`:
// percent / steps + step * 100 / steps, truncated; percent + 0.5 truncated
// without steps.
int32_t job_progress_position(double percent_done, int32_t step, int32_t steps);

#endif
