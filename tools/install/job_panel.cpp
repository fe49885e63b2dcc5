#include "tools/install/job_panel.h"

#include <windows.h>

#include "base/clock.h"

namespace {

const uint32_t caption_colour = 0x655654;
const uint64_t progress_interval_us = 100000;
// A held job looks at its stop flag this often.
const uint32_t hold_poll_ms = 10;

// Who may hold the job: the UI only while it runs freely, the job commits
// only when not held; each change is one interlocked exchange, so that a
// question is never asked about a job that has gone past its commit.
enum : long { hold_free = 0, hold_held = 1, hold_committed = 2 };

}  // namespace

int32_t job_progress_position(double percent_done, int32_t step, int32_t steps)
{
    if (steps == 0)
        return int32_t(percent_done + 0.5);
    return int32_t(percent_done / steps + double(step) * 100.0 / steps);
}

cJobPanel::cJobPanel() : cJob(nullptr), current_step(0), last_update(0), hold_state(hold_free), stopping(false) {}

cJobPanel::~cJobPanel()
{
    Stop(4000);
}

void cJobPanel::InitDefaults()
{
    cPanelChild::InitDefaults();
    SetBackgroundColour(0xFFFFFF);
    SetFrameColour(0xFFFFFF);
    current_step = 0;
}

void cJobPanel::OnCreate()
{
    cPanelChild::OnCreate();
    AddChild(&caption, 20, 50, -41, 18);
    caption.SetColours(caption_colour, 0xFFFFFF, 0xFFFFFF);
    AddChild(&bar, 20, 80, -41, 22);
    bar.SetRange(100);
}

void cJobPanel::ShowCaption(int32_t step)
{
    if (stopping)
        return;
    const wchar_t* text = step >= 0 && step < captions.Count() ? captions[step].Text() : nullptr;
    caption.SetText(text ? text : L"", -1, true);
}

void cJobPanel::ShowStopping()
{
    if (stopping || stopping_caption.IsEmpty())
        return;
    caption.SetText(stopping_caption.Text(), -1, true);
    bar.SetPosition(0, false);
    stopping = true;
}

void cJobPanel::OnStart()
{
    InterlockedCompareExchange(&hold_state, hold_free, hold_committed);
    stopping = false;
    current_step = 0;
    ShowCaption(0);
    last_update = clock_now_us();
    if (cChildAction* started = new cChildAction(6))
        PostAction(started);
}

void cJobPanel::OnFinish(uint32_t exit_code)
{
    // A job that ends before its next report leaves a question about
    // stopping it open: its end waits for the answer, so that nothing the
    // end brings on (the finish page) comes while the question is open.
    while (hold_state == hold_held && !IsStopRequested())
        sleep_ms(hold_poll_ms);
    if (cJobEndAction* ended = new cJobEndAction(exit_code))
        PostAction(ended);
}

bool cJobPanel::Notify(double percent_done)
{
    while (hold_state == hold_held && !IsStopRequested())
        sleep_ms(hold_poll_ms);
    if (IsStopRequested()) {
        ShowStopping();
        return false;
    }
    uint64_t now = clock_now_us();
    if (!stopping && now - last_update > progress_interval_us) {
        bar.SetPosition(job_progress_position(percent_done, current_step, captions.Count()), false);
        last_update = now;
    }
    return true;
}

void cJobPanel::SelectStep(int step)
{
    if (step >= 0 && step < captions.Count()) {
        current_step = step;
        ShowCaption(step);
    }
    Notify(0.0);
}

void cJobPanel::SelectLastStep()
{
    if (captions.Count() == 0)
        return;
    current_step = captions.Count() - 1;
    ShowCaption(current_step);
    Notify(0.0);
}

bool cJobPanel::Commit()
{
    while (InterlockedCompareExchange(&hold_state, hold_committed, hold_free) == hold_held)
        sleep_ms(hold_poll_ms);
    // A stop asked for under the last hold was set before it was released.
    if (!IsStopRequested())
        return true;
    ShowStopping();
    return false;
}

bool cJobPanel::HoldProgress()
{
    return InterlockedCompareExchange(&hold_state, hold_held, hold_free) == hold_free;
}

void cJobPanel::ReleaseProgress()
{
    InterlockedCompareExchange(&hold_state, hold_free, hold_held);
}
