#include "tools/install/job_form.h"

#include "base/job.h"

cJobForm::cJobForm() : job(nullptr) {}

cJobForm::~cJobForm()
{
    SetJob(nullptr);
}

void cJobForm::OnCreate()
{
    cCustomForm::OnCreate();
    GetClientPanel()->AddChild(&line, 0, 0, 340, 16);
    line.SetText(LookupString(1), -1, false);
    line.SetColours(0x655654, 0xFFFFFF, 0xFFFFFF);
    if (!job) {
        EndModal(0);
        return;
    }
    job->Start();
}

bool cJobForm::CanClose()
{
    return !job || !job->IsRunning();
}

void cJobForm::SetJob(cJob* new_job)
{
    if (job) {
        job->Stop(4000);
        delete job;
    }
    job = new_job;
}
