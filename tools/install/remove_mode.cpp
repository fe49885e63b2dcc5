#include "tools/install/remove_mode.h"

#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/path_resolution.h"
#include "gui/catalog.h"
#include "tools/install/file_replace.h"
#include "tools/install/manager_shortcut.h"
#include "tools/install/product_folders.h"
#include "tools/install/self_delete.h"
#include "tools/package/package_queries.h"
#include "tools/shell/app_language.h"
#include "tools/shell/program_config.h"
#include "tools/shell/record_store.h"
#include "tools/shell/shown_names.h"

namespace {

// The message of each outcome (REMOVE_*): its text in "pkgm::rem".
const cJobForm::cOutcome remove_outcomes[] = {
    {3, false, 1, false},  // REMOVE_DONE
    {4, true, 2, false},   // REMOVE_PRODUCTS_LEFT
    {5, true, 2, false},   // REMOVE_NOT_A_FILE
    {6, false, 1, false},  // REMOVE_SCHEDULED
    {0, false, 2, false},  // REMOVE_CANCELLED
    {7, true, 2, false},   // REMOVE_NOT_SCHEDULED
    {8, true, 2, false},   // REMOVE_PER_USER_PRODUCTS_LEFT
    {9, true, 2, true},    // REMOVE_STORE_REFUSED
    {11, true, 2, false},  // REMOVE_PER_USER_AND_OTHERS_LEFT
    {12, true, 2, false},  // REMOVE_ENTRIES_LEFT
};

// The text that ends a long list of names: "and %s more".
const int32_t text_more_products = 10;

// A configuration the job opened, deleted with the object.
struct cOpenedConfig {
    explicit cOpenedConfig(tOpenConfig open) : config(open ? open() : nullptr) {}
    ~cOpenedConfig() { delete config; }
    cOpenedConfig(const cOpenedConfig&) = delete;
    cOpenedConfig& operator=(const cOpenedConfig&) = delete;

    cApplicationConfig* config;
};

}  // namespace

cRemoverJob::cRemoverJob(cRemoverUI* owner_form, const wchar_t* fallback_path, tOpenConfig open_config)
    : cJob(nullptr), form(owner_form), open(open_config)
{
    fallback.Assign(fallback_path);
}

cRemoverJob::~cRemoverJob()
{
    Stop(4000);
}

void cRemoverJob::SwitchLanguage(cApplicationConfig& store)
{
    int64_t stored = 0;
    if (!store.ReadInt64("lang/current", stored))
        return;
    cSOPKGLang& provider = application_language_provider();
    if (!provider.HasLanguage(uint32_t(stored)) || !switch_job_form_language(form, uint32_t(stored)))
        switch_job_form_language(form, provider.DefaultLanguage());
}

uint32_t cRemoverJob::RemoveManager(_guardchar<wchar_t>& path)
{
    if (!path.IsEmpty()) {
        uint32_t kind = path_get_kind(path.Text());
        if (kind == PATH_KIND_MISSING)
            path.Assign(fallback.Text());
        else if (kind != PATH_KIND_FILE)
            return REMOVE_NOT_A_FILE;
        // Its own folder goes when left empty, nothing above it.
        else if (delete_file_and_its_folder(path.Text()))
            return REMOVE_DONE;
        // Still there: in use, typically by this very process.
    }
    return schedule_self_delete(path.Text()) ? REMOVE_SCHEDULED : REMOVE_NOT_SCHEDULED;
}

uint32_t cRemoverJob::Judge(bool take_language)
{
    cOpenedConfig opened(open);
    cApplicationConfig* config = opened.config;
    // Without a configuration nothing can be told.
    if (!config)
        return REMOVE_CANCELLED;
    if (take_language)
        SwitchLanguage(*config);
    // Only stores read whole tell that no product is left.
    if (run_store_refusal(config, &form->fault, true) != RECORD_STORE_NONE)
        return REMOVE_STORE_REFUSED;
    const wchar_t* more = form->LookupString(text_more_products);
    // Those left to their user are named first: this run cannot remove
    // them.
    cRecordNames left;
    bool others = list_per_user_products(*config, left);
    uint32_t refusal = !left.first ? REMOVE_PRODUCTS_LEFT
                       : others    ? REMOVE_PER_USER_AND_OTHERS_LEFT
                                   : REMOVE_PER_USER_PRODUCTS_LEFT;
    if (!left.first)
        list_record_names(*config, left);
    if (left.first) {
        join_shown_names(left, L"\n", more, form->named);
        return refusal;
    }
    return find_manager_entries(entries, more, form->named) ? go_on : REMOVE_ENTRIES_LEFT;
}

uint32_t cRemoverJob::Run()
{
    sleep_ms(500);
    uint32_t judged = Judge(true);
    if (judged != go_on)
        return judged;
    if (!confirm_on_job_form(form, cRemoverUI::confirm_code, 2))
        return REMOVE_CANCELLED;
    // Anything recorded, or unreadable, since the question came up stops
    // the removal as well.
    judged = Judge(false);
    if (judged != go_on)
        return judged;
    _guardchar<wchar_t> manager;
    if (!get_manager_exe_path(manager))
        manager.Clear();
    // Through a link, a short name or a mapped drive on its way the
    // deletion would reach a file elsewhere.
    else if (!path_resolves_as_written(manager.Text()))
        return REMOVE_NOT_A_FILE;
    if (!take_off_manager_entries(entries, form->LookupString(text_more_products), form->named))
        return REMOVE_ENTRIES_LEFT;
    delete_manager_shortcuts(manager.Text(), cProductFolders(), nullptr);
    return RemoveManager(manager);
}

void cRemoverJob::OnFinish(uint32_t exit_code)
{
    post_job_result(form, exit_code);
}

bool cRemoverUI::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == 7) {
        EndModal(ShowOutcome(remove_outcomes, sizeof(remove_outcomes) / sizeof(remove_outcomes[0]),
                             static_cast<cProgressAction*>(action)->value, 2, named.Text(), &fault));
        return true;
    }
    if (sender == this && action->code == confirm_code) {
        Answer(static_cast<cConfirmAction*>(action));
        return true;
    }
    return cJobForm::HandleAction(sender, action);
}

bool run_remove_mode(const wchar_t* fallback_path, cChildElement* parent)
{
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::rem");
    if (!section)
        return false;
    cRemoverUI* form = new cRemoverUI;
    cRemoverJob* job = form ? new cRemoverJob(form, fallback_path, open_program_config) : nullptr;
    return run_job_form(form, job, section, parent) == 1;
}
