#ifndef GUI_DIALOGS_PROGRESS_FORM_H
#define GUI_DIALOGS_PROGRESS_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/job.h"
#include "base/progress_notify_target.h"
#include "base/tree_map.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/progress_child.h"
#include "gui/controls/static_element.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

// The framework's modal progress dialog for one long operation: the form is
// also the job that runs it and the receiver of its reports. A subclass
// supplies Run, which reports through Notify (and SelectStep at the start
// of each stage) and ends when Notify answers false. The form shows a bar
// (range 0 to 1000) with a "Stop" button inside and a status line with the
// operation's name, the percentage, the elapsed time and an estimate of
// the time left. "Stop", Escape and closing the window only ask the job to
// stop; the form ends when the job has finished, with its result. Texts from
// "ciom::progress". A subclass whose Run uses its own members stops the job
// in its destructor (as every job must).
class cStdBasicProgressForm : public cCustomForm, public cJob, public cProgressNotifyTarget {
public:
    // Code 7, posted by the job's thread to the form when the run ends.
    class cProgressAction : public cChildAction {
    public:
        explicit cProgressAction(uint32_t run_result) : cChildAction(7), result(run_result) {}
        uint32_t result;
    };

    cStdBasicProgressForm();
    ~cStdBasicProgressForm() override;

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // Refused while the job runs; the job is asked to stop instead.
    bool CanClose() override;
    const wchar_t* GetStringSection() override { return L"ciom::progress"; }
    void InitDefaults() override;
    bool OnCancel() override;
    void OnFinish(uint32_t exit_code) override;
    // Job thread: the percent done (0 to 100); at most every 500 ms it moves
    // the bar and shows the status. False once a stop was asked for.
    bool Notify(double percent_done) override;
    // Job thread: a new stage starts, named by stage_names (else
    // "Operation"); the bar fills, holds and fades out, and the elapsed time
    // starts again.
    void SelectStep(int stage) override;

protected:
    cStaticElement status;
    cToolBarChild buttons;
    cProgressChild bar;
    // Stage names by id, filled by the subclass before the job starts.
    cTreeMap<int32_t, _guardchar<wchar_t>> stage_names;
    // False: the status shows only the elapsed time.
    bool show_estimate;

private:
    // Tick counts of the job's thread: the start of the run or stage, and
    // the last report that was shown (0 before the first).
    uint32_t start_time;
    uint32_t last_update;
    const wchar_t* operation_name;  // a catalog text

    // Shared by every progress form: the "Stop" button's image.
    static cImageCache shared_images;
};

// Runs the form modally over the owner's window (600 x 106) and answers the
// job's result; -1 when the owner has no host window, 0 without an owner or
// a form. The form is destroyed in every case (a run destroys it with its
// window).
int32_t run_progress_form(cChildElement* owner, cStdBasicProgressForm* form, const wchar_t* caption);

#endif
