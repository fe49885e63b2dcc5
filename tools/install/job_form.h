#ifndef TOOLS_INSTALL_JOB_FORM_H
#define TOOLS_INSTALL_JOB_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/config_file.h"
#include "base/linked_list.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/static_element.h"

class cJob;
struct cStringArray;

// The action a job posts to its form after switching the interface
// language: the form shows its line in the new language.
const uint32_t job_form_texts_changed = 11;
// The action a job sends to its form about a file that another program
// holds (ask_release_on_job_form).
const uint32_t job_form_ask_release = 10;

// The base of the small forms that show one line (text 1 of their section)
// while their job works: the install start-up's, the uninstall's and the
// manager remover's. The form starts its job when it is created, cannot be
// closed while the job runs, and destroys the job with itself. UI thread.
class cJobForm : public cCustomForm {
public:
    // The job's result, posted when it ends.
    class cProgressAction : public cChildAction {
    public:
        explicit cProgressAction(uint32_t result) : cChildAction(7), value(result) {}
        uint32_t value;
    };
    // The language question: in, the proposed language; out, the chosen
    // one, above 9 for none.
    class cRespondLangAction : public cSentChildAction {
    public:
        explicit cRespondLangAction(uint32_t* answer) : cSentChildAction(8), language(answer) {}
        uint32_t* language;
    };
    // A question of the form's texts, answered 1 for Yes and 0 for No; its
    // code is the form's own.
    class cConfirmAction : public cSentChildAction {
    public:
        cConfirmAction(uint32_t code, uint8_t* yes, uint32_t number)
            : cSentChildAction(code), answer(yes), question(number)
        {
        }
        uint8_t* answer;
        uint32_t question;
    };
    // A file held by another program: 0 to try again, 1 to give up.
    class cAskReleaseAction : public cSentChildAction {
    public:
        cAskReleaseAction(uint8_t* give_up, const wchar_t* held)
            : cSentChildAction(job_form_ask_release), answer(give_up)
        {
            path.Assign(held);
        }
        uint8_t* answer;
        _guardchar<wchar_t> path;
    };

    cJobForm();
    // Stops the job (4,000 ms, then cancelled) before destroying it.
    ~cJobForm() override;

    // Adds the line and starts the job: Start stops an earlier run first;
    // a thread that cannot start leaves the job finished. Without a job the
    // modal run ends at once with 0.
    void OnCreate() override;
    // False while the job's thread runs.
    bool CanClose() override;
    // Takes job_form_texts_changed from itself; the rest goes to the base.
    bool HandleAction(cChildElement* sender, cChildAction* action) override;

    // Takes the job; a job held before is destroyed.
    void SetJob(cJob* new_job);

    // The message that ends the form for one outcome of its job: its text
    // number (0: none), whether it is an error, the modal result, and
    // whether its "%s" tells of a store fault (format_store_refusal).
    struct cOutcome {
        int32_t text;
        bool error;
        intptr_t result;
        bool store;
    };

protected:
    // Shows the message of outcomes[result], its "%s" (where it has one)
    // the path, or for an outcome of a store fault that fault, and answers
    // its modal result; beyond the table no message and the result
    // `otherwise`.
    intptr_t ShowOutcome(const cOutcome* outcomes, uint32_t count, uint32_t result, intptr_t otherwise,
                         const wchar_t* path = nullptr, const cStoreFault* fault = nullptr);
    // Asks the action's question with Yes and No and writes the answer.
    void Answer(cConfirmAction* action);
    // Asks whether to try again with the form's text `question`, its "%s"
    // the held file, with Yes and No, and writes the answer; a question
    // without a path or text gives up.
    void Answer(cAskReleaseAction* action, int32_t question);
    // Answers the language question with the language form on this form,
    // over the offered languages (none chosen when there are none).
    void Answer(cRespondLangAction* question, const cLinkedList<int32_t>& offered, const wchar_t* code_name);

    cStaticElement line;
    cJob* job;
};

// Runs the form with its job at 350 x 110, titled with text 0 of its
// section: on the parent when it has a window, else as a window of its own
// through the application's window maker. Both are owned from here, and
// destroyed also when nothing can run. The modal result; -1 when the form
// could not run (no form, job, section or window to run on).
intptr_t run_job_form(cJobForm* form, cJob* job, const cStringArray* section, cChildElement* parent);

// For the job's thread. Posts the job's result to the form.
void post_job_result(cJobForm* form, uint32_t result);
// Asks the form for a language, proposing one, and waits for the answer;
// above 9 for none.
uint32_t choose_language_on_job_form(cJobForm* form, uint32_t proposed);
// Switches the interface language on the UI thread,
// then has the form show its line anew; false when the language did not
// load.
bool switch_job_form_language(cJobForm* form, uint32_t id);
// Sends the question with the form's confirmation code and waits for the
// answer; true for Yes.
bool confirm_on_job_form(cJobForm* form, uint32_t code, uint32_t question);
// Sends the question about the file another program holds and waits for
// the answer; true to try again.
bool ask_release_on_job_form(cJobForm* form, const wchar_t* path);

#endif
