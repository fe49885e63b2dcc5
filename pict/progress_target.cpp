#include "pict/progress_target.h"

bool cStreamGuardProgressTarget::Notify(double)
{
    return stream && stream->IsOpen();
}
