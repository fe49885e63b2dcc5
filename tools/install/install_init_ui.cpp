#include "tools/install/install_init_ui.h"

#include "gui/application.h"
#include "gui/catalog.h"
#include "gui/dialogs/message_form.h"
#include "tools/install/install_context.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/store_fault_text.h"

namespace {

// How the form shows each result of the start-up: the number of its text
// in "pkgm::iini" (0: none), whether it is an error, and whether its "%s"
// tells of a store fault (format_store_refusal).
struct cInitMessage {
    int32_t text;
    bool error;
    bool store;
};

const cInitMessage init_messages[] = {
    {0, false, false},   // INSTALL_INIT_READY
    {2, true, false},    // INSTALL_INIT_BAD_PACKAGE_PATH
    {3, true, false},    // INSTALL_INIT_BAD_PACKAGE
    {0, false, false},   // INSTALL_INIT_NO_LANGUAGE
    {4, false, false},   // INSTALL_INIT_NEWER_INSTALLED
    {5, true, false},    // INSTALL_INIT_FOLDER_GONE
    {6, true, false},    // INSTALL_INIT_DAMAGED_RECORD
    {7, true, false},    // INSTALL_INIT_UNREADABLE_FILE
    {8, true, false},    // INSTALL_INIT_NO_WRITE_ACCESS
    {9, true, false},    // INSTALL_INIT_OBJECT_IN_THE_WAY
    {10, true, false},   // INSTALL_INIT_FOREIGN_FILE
    {11, true, false},   // INSTALL_INIT_BAD_TARGET_PATH
    {12, false, false},  // INSTALL_INIT_NOTHING_TO_DO
    {13, true, false},   // INSTALL_INIT_NAME_TAKEN
    {11, true, false},   // INSTALL_INIT_UNSOUND_FOLDER
    {15, true, false},   // INSTALL_INIT_FILE_IN_USE
    {16, true, false},   // INSTALL_INIT_SYSTEM_FOLDER
    {17, true, true},    // INSTALL_INIT_UNGUARDED_RECORD
    {18, true, false},   // INSTALL_INIT_PER_USER_RECORD
    {19, true, false},   // INSTALL_INIT_DAMAGED_JOURNAL
    {20, true, true},    // INSTALL_INIT_NO_USER_STORE
    {21, true, true},    // INSTALL_INIT_UNREAD_STORE
    {22, true, false},   // INSTALL_INIT_ALL_USERS_RECORD
    {23, true, false},   // INSTALL_INIT_NO_MANAGER_PLACE
};

}  // namespace

cInstallInitJob::cInstallInitJob(cInstallInitUI* owner_form, cInstallContext* install_context,
                                 cApplicationConfig* config)
    : cJob(nullptr), form(owner_form), context(install_context), store(config)
{
}

cInstallInitJob::~cInstallInitJob()
{
    Stop(4000);
}

uint32_t cInstallInitJob::Run()
{
    sleep_ms(500);
    return run_install_init(*context, store, *this);
}

void cInstallInitJob::OnFinish(uint32_t exit_code)
{
    post_job_result(form, exit_code);
}

uint32_t cInstallInitJob::ChooseLanguage(uint32_t proposed)
{
    return choose_language_on_job_form(form, proposed);
}

bool cInstallInitJob::SwitchLanguage(uint32_t id)
{
    return apply_language_from_worker(form, id);
}

bool cInstallInitJob::AskRelease(const wchar_t* path)
{
    return ask_release_on_job_form(form, path);
}

cInstallInitUI::cInstallInitUI(cInstallContext* install_context) : context(install_context) {}

bool show_install_init_message(cChildElement* owner, const cInstallContext& context, uint32_t result)
{
    if (result >= sizeof(init_messages) / sizeof(init_messages[0]) || init_messages[result].text == 0)
        return false;
    const cInitMessage& message = init_messages[result];
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::iini");
    _guardchar<wchar_t> shown;
    // The error path names a file, or for a taken name the other program.
    if (message.store)
        format_store_refusal(shown, get_catalog_string(section, message.text), context.store_fault);
    else if (result == INSTALL_INIT_NAME_TAKEN)
        format_catalog_text(shown, get_catalog_string(section, message.text), context.error_path.Text());
    else
        format_catalog_path(shown, get_catalog_string(section, message.text), context.error_path.Text());
    if (message.error)
        show_message_kind3(owner, shown.Text(), nullptr);
    else
        show_message_kind0(owner, shown.Text(), nullptr);
    return true;
}

bool cInstallInitUI::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == 7) {
        uint32_t result = static_cast<cProgressAction*>(action)->value;
        // A result the table does not know leaves the form open.
        if (result < sizeof(init_messages) / sizeof(init_messages[0])) {
            show_install_init_message(this, *context, result);
            EndModal(result == INSTALL_INIT_READY ? 1 : 0);
        }
        return true;
    }
    if (sender == this && action->code == 8) {
        Answer(static_cast<cRespondLangAction*>(action), context->languages, context->code_name.Text());
        return true;
    }
    if (sender == this && action->code == job_form_ask_release) {
        Answer(static_cast<cAskReleaseAction*>(action), 14);
        return true;
    }
    return cJobForm::HandleAction(sender, action);
}

bool run_install_init_ui(cInstallContext* context)
{
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::iini");
    if (!section || !context)
        return false;
    cInstallInitUI* form = new cInstallInitUI(context);
    cInstallInitJob* job = form ? new cInstallInitJob(form, context, get_current_config()) : nullptr;
    return run_job_form(form, job, section, nullptr) == 1;
}
