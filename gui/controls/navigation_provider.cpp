#include "gui/controls/navigation_provider.h"

#include <math.h>

#include "gui/controls/navigation_bar.h"

namespace {

// The simulator's cycle: 40 pauses of 5 ms, each followed by a look at the
// stop request.
const int32_t pauses_per_step = 40;
const uint32_t pause_ms = 5;
const double position_step = 0.05;
const double first_shown_position = 0.25;
const double two_over_pi = 0.6366197723675814;

}  // namespace

cNavigationProvider::cNavigationProvider() : cJob(nullptr), target(nullptr) {}

cNavigationProvider::~cNavigationProvider()
{
    // Navigate may still read the path.
    Stop(4000);
}

uint32_t cNavigationProvider::Run()
{
    return Navigate(path.Text());
}

void cNavigationProvider::OnFinish(uint32_t result)
{
    if (target)
        target->SendAction(new cNavigationChild::cNaviDoneAction(result));
    OnNavigated(result);
}

bool cNavigationProvider::Start(cChildElement* bar, const wchar_t* new_path)
{
    if (IsRunning() || !new_path)
        return false;
    target = bar;
    path.Assign(new_path);
    return cJob::Start();
}

void cNavigationProvider::OnNavigated(uint32_t) {}

cFakeNavigationProgressJob::cFakeNavigationProgressJob() : cJob(nullptr), target(nullptr), position(-1.0) {}

cFakeNavigationProgressJob::~cFakeNavigationProgressJob()
{
    Stop(4000);
}

void cFakeNavigationProgressJob::SetPosition(double value)
{
    cSafeCriticalSectionAccess access(&lock);
    position = value;
}

double cFakeNavigationProgressJob::GetPosition()
{
    cSafeCriticalSectionAccess access(&lock);
    return position;
}

uint32_t cFakeNavigationProgressJob::Run()
{
    while (!IsStopRequested()) {
        for (int32_t pause = 0; pause < pauses_per_step; ++pause) {
            sleep_ms(pause_ms);
            if (IsStopRequested())
                return 0;
        }
        // Read and advanced in one step, so that a reset to -1 by the UI
        // thread is never overwritten by an advance of the older position.
        double shown;
        {
            cSafeCriticalSectionAccess access(&lock);
            shown = position;
            if (position >= 0.0)
                position += position_step;
        }
        if (shown >= first_shown_position && target)
            target->SendAction(
                new cNavigationChild::cNaviFakeProgressRecvAction(two_over_pi * atan(shown - first_shown_position)));
    }
    return 0;
}
