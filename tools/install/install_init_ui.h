#ifndef TOOLS_INSTALL_INSTALL_INIT_UI_H
#define TOOLS_INSTALL_INSTALL_INIT_UI_H

#include <stdint.h>

#include "base/job.h"
#include "tools/install/install_init.h"
#include "tools/install/job_form.h"

class cApplicationConfig;
class cInstallContext;
class cInstallInitUI;

// The install start-up on its worker thread: after a pause of 500 ms, the
// start-up's work (run_install_init); its result reaches the form as a
// posted action. The language question and the one about a file held
// open go to the form and wait.
class cInstallInitJob : public cJob, public cInstallInitQuestions {
public:
    cInstallInitJob(cInstallInitUI* owner_form, cInstallContext* install_context, cApplicationConfig* config);
    ~cInstallInitJob() override;

    uint32_t Run() override;
    void OnFinish(uint32_t exit_code) override;
    uint32_t ChooseLanguage(uint32_t proposed) override;
    // On the UI thread, through the form, while the job waits.
    bool SwitchLanguage(uint32_t id) override;
    // The form's question, while the job waits.
    bool AskRelease(const wchar_t* path) override;

private:
    cInstallInitUI* form;
    cInstallContext* context;
    cApplicationConfig* store;
};

// "Loading package configuration..." while the start-up works, then its
// outcome: a message for each failure, and the modal result 1 when the
// wizard may start, else 0.
class cInstallInitUI : public cJobForm {
public:
    // Its cProgressAction carries the job's outcome (INSTALL_INIT_*).
    // Its cAskReleaseAction is answered with text 14.
    explicit cInstallInitUI(cInstallContext* install_context);

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::iini"; }

private:
    cInstallContext* context;
};

// Shows the message of a start-up result (text of "pkgm::iini", its "%s"
// the context's error path) over the owner: an error, a note, or nothing
// for INSTALL_INIT_READY and INSTALL_INIT_NO_LANGUAGE. False when the
// result has no message.
bool show_install_init_message(cChildElement* owner, const cInstallContext& context, uint32_t result);

// Runs the start-up form over the context (350 x 110, titled with text 0 of
// "pkgm::iini") through the application's window maker. True when the
// wizard may start; false also when the catalog has no such section.
bool run_install_init_ui(cInstallContext* context);

#endif
