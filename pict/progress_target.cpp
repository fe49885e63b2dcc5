#include "pict/progress_target.h"

void cProgressNotifyTarget::SelectStep(int)
{
}

cProgressNotifyTarget::~cProgressNotifyTarget()
{
}

bool cStreamGuardProgressTarget::Notify(double)
{
    return stream && stream->IsOpen();
}
