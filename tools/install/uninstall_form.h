#ifndef TOOLS_INSTALL_UNINSTALL_FORM_H
#define TOOLS_INSTALL_UNINSTALL_FORM_H

#include <stdint.h>

#include "base/job.h"
#include "tools/install/job_form.h"
#include "tools/install/uninstall_job.h"

class cApplicationConfig;
class cUninstallInitUI;

// The uninstall on its worker thread: after a pause of 500 ms, run_uninstall
// over the store. Its questions go to the form as sent actions and wait for
// the answer; its result reaches the form as a posted action.
class cUninstallInitJob : public cJob, public cUninstallQuestions {
public:
    cUninstallInitJob(cUninstallInitUI* owner_form, cUninstallContext* uninstall_context, cApplicationConfig* config);
    ~cUninstallInitJob() override;

    uint32_t Run() override;
    void OnFinish(uint32_t exit_code) override;

    bool SwitchLanguage(uint32_t id) override;
    uint32_t ChooseLanguage(uint32_t proposed) override;
    bool Confirm(uint32_t question) override;
    bool AskRelease(const wchar_t* path) override;

private:
    cUninstallInitUI* form;
    cUninstallContext* context;
    cApplicationConfig* store;
};

// "Processing software uninstall..." while the job works, its questions,
// then the message of its outcome; the modal result is 0 when the product
// was uninstalled, else 1. Texts of "pkgm::unin".
class cUninstallInitUI : public cJobForm {
public:
    // Its cProgressAction carries the job's outcome (UNINSTALL_*).
    // Its cConfirmAction (Yes or No to a question of its texts) has code 9.
    static const uint32_t confirm_code = 9;
    // Its cAskReleaseAction is answered with text 4.

    explicit cUninstallInitUI(cUninstallContext* uninstall_context);

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::unin"; }

private:
    cUninstallContext* context;
};

// Runs the uninstall form over the context at 350 x 110, titled with text 0
// of "pkgm::unin": on the parent form when given, else through the
// application's window maker. 0 after a successful uninstall, 1 for every
// other outcome, also when there is no such section or nothing to show the
// form on.
int32_t run_uninstall_ui(cUninstallContext* context, cChildElement* parent);

#endif
