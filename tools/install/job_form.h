#ifndef TOOLS_INSTALL_JOB_FORM_H
#define TOOLS_INSTALL_JOB_FORM_H

#include "gui/controls/custom_form.h"
#include "gui/controls/static_element.h"

class cJob;

// The base of the small forms that show one line (text 1 of their section)
// while their job works: the install start-up's, the uninstall's and the
// manager remover's. The form starts its job when it is created, cannot be
// closed while the job runs, and destroys the job with itself. UI thread.
class cJobForm : public cCustomForm {
public:
    cJobForm();
    // Stops the job (4,000 ms, then cancelled) before destroying it.
    ~cJobForm() override;

    // Adds the line and starts the job: Start stops an earlier run first;
    // a thread that cannot start leaves the job finished. Without a job the
    // modal run ends at once with 0.
    void OnCreate() override;
    // False while the job's thread runs.
    bool CanClose() override;

    // Takes the job; a job held before is destroyed.
    void SetJob(cJob* new_job);

protected:
    cStaticElement line;
    cJob* job;
};

#endif
