#include "gui/controls/progress_child.h"

// The progress bar's animation thread.

namespace {

const uint32_t pause_slices = 6;
const uint32_t slice_ms = 5;
const uint32_t wait_poll_ms = 10;
const int32_t full_level = 10;
const int32_t move_steps = 10;
// The full bar's hold before it fades out, in slices.
const uint32_t hold_slices = 40;

}  // namespace

cProgressViewUpdateJob::cProgressViewUpdateJob()
    : cJob(nullptr), bar(nullptr), displayed(0), maximum(0), command(command_none), requested(0), active(false),
      loop_running(false)
{
}

// The loop uses the lock and the bar: it ends before they go.
cProgressViewUpdateJob::~cProgressViewUpdateJob()
{
    Stop(4000);
}

void cProgressViewUpdateJob::OnStart()
{
    loop_running = true;
}

void cProgressViewUpdateJob::OnFinish(uint32_t)
{
    loop_running = false;
}

bool cProgressViewUpdateJob::Pause()
{
    for (uint32_t slice = 0; slice < pause_slices; ++slice) {
        sleep_ms(slice_ms);
        if (IsStopRequested())
            return false;
    }
    return true;
}

bool cProgressViewUpdateJob::CommandPending()
{
    cSafeCriticalSectionAccess access(&lock);
    return command != command_none;
}

// A request that cannot be allocated is left out: the next one carries
// the state on.
void cProgressViewUpdateJob::PostFade(double fade)
{
    if (cChildElement::cChildAction* request = new cProgressChild::cSetOpacityRequestAction(fade))
        bar->PostAction(request);
}

void cProgressViewUpdateJob::PostValue(int32_t value)
{
    if (cChildElement::cChildAction* request = new cProgressChild::cSetProgressRequestAction(value))
        bar->PostAction(request);
}

void cProgressViewUpdateJob::StoreDisplayed(int32_t value)
{
    cSafeCriticalSectionAccess access(&lock);
    displayed = value;
}

uint32_t cProgressViewUpdateJob::Run()
{
    int32_t level = full_level;
    while (Pause()) {
        uint32_t taken;
        {
            cSafeCriticalSectionAccess access(&lock);
            taken = command;
            if (taken != command_move)
                command = command_none;
        }
        bool go_on = true;
        if (taken == command_appear && level != 0)
            go_on = Fade(&level, -1, 0);
        else if (taken == command_disappear && level < full_level)
            go_on = Fade(&level, 1, full_level);
        else if (taken == command_move) {
            if (level != 0) {
                level = 0;
                PostFade(0.0);
            }
            go_on = Move();
        }
        if (!go_on)
            break;
    }
    return 0;
}

bool cProgressViewUpdateJob::Fade(int32_t* level, int32_t step, int32_t end)
{
    for (;;) {
        PostFade(*level * 0.1);
        if (!Pause())
            return false;
        if (CommandPending()) {
            *level = end;
            break;
        }
        *level += step;
        if (*level == end)
            break;
    }
    PostFade(end * 0.1);
    return true;
}

bool cProgressViewUpdateJob::Move()
{
    int32_t target;
    int32_t start;
    {
        cSafeCriticalSectionAccess access(&lock);
        command = command_none;
        target = requested;
        start = displayed;
    }
    // A move downwards climbs again from 0; one down to 0 ends there.
    if (start > target) {
        start = 0;
        if (target == 0) {
            PostValue(0);
            StoreDisplayed(0);
            return true;
        }
    }
    if (start == target)
        return true;
    double step = (target - start) / double(move_steps);
    double shown = start;
    for (int32_t i = 0; i < move_steps; ++i) {
        PostValue(int32_t(shown));
        if (!Pause())
            return false;
        // A newer command: jump to this move's end and take it.
        if (CommandPending())
            break;
        shown += step;
    }
    PostValue(target);
    StoreDisplayed(target);
    return true;
}

void cProgressViewUpdateJob::Activate()
{
    {
        cSafeCriticalSectionAccess access(&lock);
        if (active)
            return;
        displayed = 0;
        command = command_appear;
        active = true;
    }
    PostValue(0);
}

void cProgressViewUpdateJob::MoveTo(int32_t value, bool no_wait)
{
    Activate();
    // Only a running loop takes the command.
    while (!no_wait && loop_running) {
        {
            cSafeCriticalSectionAccess access(&lock);
            if (command == command_none || command == command_move)
                break;
        }
        sleep_ms(wait_poll_ms);
    }
    cSafeCriticalSectionAccess access(&lock);
    command = command_move;
    requested = value;
}

void cProgressViewUpdateJob::Deactivate(bool immediately)
{
    if (!immediately) {
        int32_t full;
        {
            cSafeCriticalSectionAccess access(&lock);
            if (!active)
                return;
            full = maximum;
        }
        MoveTo(full, false);
        for (uint32_t slice = 0; slice < hold_slices; ++slice) {
            sleep_ms(slice_ms);
            if (IsStopRequested())
                return;
        }
    }
    cSafeCriticalSectionAccess access(&lock);
    if (!active)
        return;
    command = command_disappear;
    active = false;
}

void cProgressViewUpdateJob::SetRange(int32_t new_maximum)
{
    cSafeCriticalSectionAccess access(&lock);
    maximum = new_maximum;
    if (displayed > maximum)
        displayed = maximum;
}

int32_t cProgressViewUpdateJob::GetMaximum()
{
    cSafeCriticalSectionAccess access(&lock);
    return maximum;
}
