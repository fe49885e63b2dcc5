#include "tools/install/uninstall_form.h"

#include "gui/application.h"
#include "gui/catalog.h"

namespace {

// The message of each outcome (UNINSTALL_*): its text in "pkgm::unin".
const cJobForm::cOutcome uninstall_outcomes[] = {
    {5, false, 0, false},   // UNINSTALL_DONE
    {6, true, 1, false},    // UNINSTALL_INTERNAL_ERROR
    {7, true, 1, false},    // UNINSTALL_NOT_INSTALLED
    {8, true, 1, false},    // UNINSTALL_COMMAND_NOT_STARTED
    {9, true, 1, false},    // UNINSTALL_COMMAND_FAILED
    {10, false, 1, false},  // UNINSTALL_DEREGISTERED
    {11, false, 1, false},  // UNINSTALL_CANCELLED
    {12, true, 1, false},   // UNINSTALL_INCOMPLETE
    {13, true, 1, false},   // UNINSTALL_DAMAGED_RECORD
    {14, true, 1, false},   // UNINSTALL_CHANGED_FILES
    {15, true, 1, true},    // UNINSTALL_UNGUARDED_RECORD
    {16, true, 1, false},   // UNINSTALL_PER_USER_RECORD
    {17, false, 0, false},  // UNINSTALL_INTERRUPTED_UNDONE
    {18, true, 1, false},   // UNINSTALL_OBJECT_IN_WAY
    {15, true, 1, true},    // UNINSTALL_NO_USER_STORE
    {15, true, 1, true},    // UNINSTALL_UNREAD_STORE
    {19, true, 1, true},    // UNINSTALL_RECORD_NOT_SAVED
    {20, true, 1, false},   // UNINSTALL_ALL_USERS_RECORD
};

}  // namespace

cUninstallInitJob::cUninstallInitJob(cUninstallInitUI* owner_form, cUninstallContext* uninstall_context,
                                     cApplicationConfig* config)
    : cJob(nullptr), form(owner_form), context(uninstall_context), store(config)
{
}

cUninstallInitJob::~cUninstallInitJob()
{
    Stop(4000);
}

uint32_t cUninstallInitJob::Run()
{
    sleep_ms(500);
    return run_uninstall(*context, store, *this, this);
}

void cUninstallInitJob::OnFinish(uint32_t exit_code)
{
    post_job_result(form, exit_code);
}

bool cUninstallInitJob::SwitchLanguage(uint32_t id)
{
    return switch_job_form_language(form, id);
}

uint32_t cUninstallInitJob::ChooseLanguage(uint32_t proposed)
{
    return choose_language_on_job_form(form, proposed);
}

bool cUninstallInitJob::Confirm(uint32_t question)
{
    return confirm_on_job_form(form, cUninstallInitUI::confirm_code, question);
}

bool cUninstallInitJob::AskRelease(const wchar_t* path)
{
    return ask_release_on_job_form(form, path);
}

cUninstallInitUI::cUninstallInitUI(cUninstallContext* uninstall_context) : context(uninstall_context) {}

bool cUninstallInitUI::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender != this)
        return cJobForm::HandleAction(sender, action);
    switch (action->code) {
    case 7:
        EndModal(ShowOutcome(uninstall_outcomes, sizeof(uninstall_outcomes) / sizeof(uninstall_outcomes[0]),
                             static_cast<cProgressAction*>(action)->value, 1, context->error_path.Text(),
                             &context->store_fault));
        return true;
    case 8:
        Answer(static_cast<cRespondLangAction*>(action), context->languages, context->code_name.Text());
        return true;
    case confirm_code:
        Answer(static_cast<cConfirmAction*>(action));
        return true;
    case job_form_ask_release:
        Answer(static_cast<cAskReleaseAction*>(action), 4);
        return true;
    }
    return cJobForm::HandleAction(sender, action);
}

int32_t run_uninstall_ui(cUninstallContext* context, cChildElement* parent)
{
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::unin");
    if (!section || !context)
        return 1;
    cUninstallInitUI* form = new cUninstallInitUI(context);
    cUninstallInitJob* job = form ? new cUninstallInitJob(form, context, get_current_config()) : nullptr;
    return run_job_form(form, job, section, parent) == 0 ? 0 : 1;
}
