#include "base/progress_notify_target.h"

void cProgressNotifyTarget::SelectStep(int) {}

cProgressNotifyTarget::~cProgressNotifyTarget() {}
