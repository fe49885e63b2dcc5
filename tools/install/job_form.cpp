#include "tools/install/job_form.h"

#include "base/buffers/typebuf.h"
#include "base/job.h"
#include "gui/application.h"
#include "gui/catalog.h"
#include "gui/dialogs/message_form.h"
#include "gui/window_maker.h"
#include "tools/shell/app_language.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/language_form.h"
#include "tools/shell/store_fault_text.h"

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

bool cJobForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == job_form_texts_changed) {
        line.SetText(LookupString(1), -1, true);
        return true;
    }
    return cCustomForm::HandleAction(sender, action);
}

void cJobForm::SetJob(cJob* new_job)
{
    if (job) {
        job->Stop(4000);
        delete job;
    }
    job = new_job;
}

intptr_t cJobForm::ShowOutcome(const cOutcome* outcomes, uint32_t count, uint32_t result, intptr_t otherwise,
                               const wchar_t* path, const cStoreFault* fault)
{
    if (result >= count)
        return otherwise;
    const cOutcome& outcome = outcomes[result];
    _guardchar<wchar_t> text;
    if (outcome.text && outcome.store && fault)
        format_store_refusal(text, LookupString(outcome.text), *fault);
    else if (!outcome.text || !format_catalog_path(text, LookupString(outcome.text), path))
        return outcome.result;
    if (outcome.error)
        show_message_kind3(this, text.Text(), nullptr);
    else
        show_message_kind0(this, text.Text(), nullptr);
    return outcome.result;
}

void cJobForm::Answer(cConfirmAction* action)
{
    *action->answer = ask_yes_no_kind1(this, LookupString(int32_t(action->question)), nullptr) ? 1 : 0;
}

void cJobForm::Answer(cAskReleaseAction* action, int32_t question)
{
    const wchar_t* format = LookupString(question);
    _guardchar<wchar_t> text;
    bool retry = format && !action->path.IsEmpty() && format_catalog_path(text, format, action->path.Text()) &&
                 ask_yes_no_kind2(this, text.Text(), nullptr);
    *action->answer = retry ? 0 : 1;
}

void cJobForm::Answer(cRespondLangAction* question, const cLinkedList<int32_t>& offered, const wchar_t* code_name)
{
    int32_t count = 0;
    for (auto* node = offered.first; node; node = node->next)
        ++count;
    _typebuf<uint32_t> ids(count);
    int32_t at = 0;
    for (auto* node = offered.first; node && ids.Data(); node = node->next)
        ids[at++] = uint32_t(node->element);
    *question->language = ids.Data() ? run_language_selection(ids, this, *question->language, code_name)
                                     : language_none;
}

intptr_t run_job_form(cJobForm* form, cJob* job, const cStringArray* section, cChildElement* parent)
{
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    bool host = parent ? parent->GetRequestTarget() != nullptr : maker != nullptr;
    if (!form || !job || !section || !host) {
        delete job;
        delete form;
        return -1;
    }
    form->SetJob(job);
    const wchar_t* title = get_catalog_string(section, 0);
    if (!title)
        title = L"";
    // The run owns the form from here and destroys it with its window.
    if (parent)
        return parent->ShowModal(title, 350, 110, form, false);
    return maker->RunDialog(title, 350, 110, form, nullptr, false);
}

void post_job_result(cJobForm* form, uint32_t result)
{
    if (cJobForm::cProgressAction* action = new cJobForm::cProgressAction(result))
        form->PostAction(action);
}

uint32_t choose_language_on_job_form(cJobForm* form, uint32_t proposed)
{
    uint32_t answer = proposed;
    cJobForm::cRespondLangAction* action = new cJobForm::cRespondLangAction(&answer);
    if (!action || !form->SendActionAndWait(action))
        return language_none;
    return answer;
}

bool switch_job_form_language(cJobForm* form, uint32_t id)
{
    if (!apply_language_from_worker(form, id))
        return false;
    if (cChildElement::cChildAction* action = new cChildElement::cChildAction(job_form_texts_changed))
        form->PostAction(action);
    return true;
}

bool confirm_on_job_form(cJobForm* form, uint32_t code, uint32_t question)
{
    uint8_t answer = 0;
    cJobForm::cConfirmAction* action = new cJobForm::cConfirmAction(code, &answer, question);
    return action && form->SendActionAndWait(action) && answer == 1;
}

bool ask_release_on_job_form(cJobForm* form, const wchar_t* path)
{
    uint8_t give_up = 1;
    cJobForm::cAskReleaseAction* action = new cJobForm::cAskReleaseAction(&give_up, path);
    return action && form->SendActionAndWait(action) && give_up == 0;
}
