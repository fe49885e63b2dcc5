#include "tools/install/installer_job_panel.h"

#include "gui/application.h"
#include "tools/install/install_context.h"

cInstallerJobPanel::cInstallerJobPanel() : host(*this), context(nullptr), asking_element(nullptr) {}

cInstallerJobPanel::~cInstallerJobPanel()
{
    // Run uses the members: the job ends before they go.
    Stop(4000);
}

bool cInstallerJobPanel::Start(cInstallContext* install_context, cChildElement* asker)
{
    if (!install_context)
        return false;
    context = install_context;
    asking_element = asker;
    manager_shortcut_name.Assign(LookupString(5));
    manager_shortcut_group.Assign(LookupString(6));
    stopping_caption.Assign(LookupString(7));
    if (build_install_step_captions(*context, string_entry, captions) && cJob::Start())
        return true;
    context->status = INSTALL_STATUS_ABORTED;
    return false;
}

uint32_t cInstallerJobPanel::Run()
{
    cInstallJobTexts texts = {manager_shortcut_name.Text(), manager_shortcut_group.Text()};
    return run_install_job(*context, get_current_config(), texts, host);
}

bool cInstallerJobPanel::cHost::AskRelease(const wchar_t* path)
{
    uint8_t answer = 0;
    cAskReleaseAction* question = new cAskReleaseAction(&answer, path);
    cChildElement* asker = page.asking_element ? page.asking_element : &page;
    // Unanswered (the wizard is gone): give up.
    if (!question || !asker->SendActionAndWait(question))
        return false;
    return answer == 0;
}
