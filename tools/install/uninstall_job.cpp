#include "tools/install/uninstall_job.h"

#include <string.h>

#include "base/app_config.h"
#include "base/string_convert.h"
#include "base/string_utils.h"
#include "tools/install/folder_journal.h"
#include "tools/install/recorded_name.h"
#include "tools/install/uninstall_command.h"
#include "tools/install/uninstall_entry.h"
#include "tools/install/uninstall_record.h"
#include "tools/package/package.h"
#include "tools/shell/app_language.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

// Not an outcome: the language is settled and the work goes on.
const uint32_t go_on = ~uint32_t(0);

// The interface speaks the product's language: the one its record names
// when the program carries it, else one the user chooses.
uint32_t settle_language(cUninstallContext& context, cApplicationConfig* store, cUninstallQuestions& questions)
{
    cSOPKGLang& provider = application_language_provider();
    _guardchar<char> key;
    int64_t stored = 0;
    cApplicationConfig* holder = record_holder_of(store, context.code_name_utf8.Text(), key);
    bool read = holder && cRecordReader(*holder, key.Text()).ReadNumber(record_language, stored);
    if (read && provider.HasLanguage(uint32_t(stored)) && questions.SwitchLanguage(uint32_t(stored)))
        return go_on;
    uint32_t proposed = read ? uint32_t(stored) : provider.DefaultLanguage();
    uint32_t count = 0;
    for (uint32_t id = 0; id < language_none; ++id)
        if (provider.HasLanguage(id))
            if (int32_t* added = list_append(context.languages)) {
                *added = int32_t(id);
                ++count;
            }
    if (count == 0)
        return UNINSTALL_INTERNAL_ERROR;
    uint32_t chosen = uint32_t(context.languages.first->element);
    if (count > 1) {
        // The question is asked in the proposed language when it loads.
        if (provider.HasLanguage(proposed))
            questions.SwitchLanguage(proposed);
        chosen = questions.ChooseLanguage(proposed);
        if (chosen >= language_none)
            return UNINSTALL_CANCELLED;
    }
    questions.SwitchLanguage(chosen);
    return go_on;
}

// A product without a record: removed through its Windows entry, from the
// hive where it is found (all users first).
uint32_t uninstall_by_entry(const cUninstallContext& context, cUninstallQuestions& questions, const cJob* job)
{
    const wchar_t* name = uninstall_entry_name(context.code_name.Text());
    uint32_t version[4];
    _guardchar<wchar_t> command;
    bool per_user = false;
    if (!read_uninstall_entry(name, version, &command, nullptr, per_user)) {
        per_user = true;
        if (!read_uninstall_entry(name, version, &command, nullptr, per_user))
            return UNINSTALL_NOT_INSTALLED;
    }
    if (command.IsEmpty()) {
        if (version[0] == 0 && version[1] == 0)
            return UNINSTALL_NOT_INSTALLED;
        if (!questions.Confirm(2))
            return UNINSTALL_CANCELLED;
        return delete_bare_uninstall_entry(name, per_user) ? UNINSTALL_DONE : UNINSTALL_INCOMPLETE;
    }
    if (is_own_uninstall_command(command.Text(), name))
        return delete_uninstall_entry(name, per_user) ? UNINSTALL_DEREGISTERED : UNINSTALL_INCOMPLETE;
    int32_t exit_code = run_uninstall_command(command.Text(), job);
    if (exit_code == -1)
        return UNINSTALL_COMMAND_NOT_STARTED;
    return exit_code == 0 ? UNINSTALL_DONE : UNINSTALL_COMMAND_FAILED;
}

// A first installation cut off before its record: undone, once asked for.
uint32_t uninstall_interrupted_installation(cUninstallContext& context, cApplicationConfig* store,
                                            cUninstallQuestions& questions)
{
    if (!questions.Confirm(3))
        return UNINSTALL_CANCELLED;
    uint32_t result = UNINSTALL_DONE;
    if (!undo_cut_off_install(context, store, questions, result))
        return result;
    return context.outside ? UNINSTALL_DAMAGED_RECORD : UNINSTALL_INTERRUPTED_UNDONE;
}

// Why this run may not take the product's record or journal (UNINSTALL_*),
// the context telling of the store; else go_on, with the store that holds
// the record (null: none). A journal that others may change refuses the
// run whatever the record; else the record does where this run may not
// take it (one user's, or where a store that could not be read may hold
// it), and without a record the journal does so.
uint32_t refused_record(cUninstallContext& context, cApplicationConfig& store, const char* key, const char* journal,
                        cApplicationConfig*& holder)
{
    const char* refused = key;
    uint32_t journal_held = find_own_record_store(store, journal, holder);
    uint32_t held = journal_held;
    if (held != RECORD_STORE_UNGUARDED)
        held = find_own_record_store(store, key, holder);
    if (held == RECORD_STORE_NONE || journal_held == RECORD_STORE_UNGUARDED) {
        held = journal_held;
        refused = journal;
    }
    if (!record_store_refused(held))
        return go_on;
    refused_store_fault(store, refused, held, context.store_fault);
    context.error_path.Assign(context.store_fault.place.Text());
    switch (held) {
    case RECORD_STORE_PER_USER_ONLY:
        return UNINSTALL_PER_USER_RECORD;
    case RECORD_STORE_ALL_USERS_ONLY:
        return UNINSTALL_ALL_USERS_RECORD;
    case RECORD_STORE_UNREAD:
        return UNINSTALL_UNREAD_STORE;
    case RECORD_STORE_NO_PLACE:
        return UNINSTALL_NO_USER_STORE;
    default:
        return UNINSTALL_UNGUARDED_RECORD;
    }
}

}  // namespace

cUninstallContext::cUninstallContext(const wchar_t* code) : outside(0), changed(0)
{
    SetCodeName(code);
}

void cUninstallContext::SetCodeName(const wchar_t* code)
{
    code_name.Assign(code);
    str_from_wstr_utf8(code, -1, code_name_utf8);
}

uint32_t run_uninstall(cUninstallContext& context, cApplicationConfig* store, cUninstallQuestions& questions,
                       const cJob* job)
{
    // A separator in the code name would reach into another product's
    // record or entry, and Windows' entry drops a leading blank: such a
    // name is none that a package may carry.
    if (context.code_name_utf8.IsEmpty() || !package_code_name_valid(context.code_name.Text()))
        return UNINSTALL_NOT_INSTALLED;
    // A store that cannot serve would pass for one without the product's
    // record, and leave only its Windows entry to take.
    switch (run_store_refusal(store, &context.store_fault)) {
    case RECORD_STORE_UNGUARDED:
        return UNINSTALL_UNGUARDED_RECORD;
    case RECORD_STORE_NO_PLACE:
        return UNINSTALL_NO_USER_STORE;
    }
    // Windows finds the entry whatever the letter case of the name: the
    // record goes by the spelling it was installed under.
    _guardchar<wchar_t> recorded;
    if (store && find_recorded_code_name(*store, context.code_name.Text(), recorded))
        context.SetCodeName(recorded.Text());
    _guardchar<char> key, journal;
    bool keyed = store && record_key_of(context.code_name_utf8.Text(), key) &&
                 folder_journal_key_of(context.code_name_utf8.Text(), journal);
    cApplicationConfig* holder = nullptr;
    uint32_t result = keyed ? refused_record(context, *store, key.Text(), journal.Text(), holder) : go_on;
    if (result == go_on)
        result = settle_language(context, store, questions);
    if (result != go_on)
        return result;
    if (!keyed)
        return uninstall_by_entry(context, questions, job);
    if (holder)
        return uninstall_recorded_product(context, store, *holder, key.Text(), questions);
    // A journal alone is of a first installation cut off before its record.
    cApplicationConfig* journal_store = journal_store_of(store, context.code_name_utf8.Text());
    if (journal_store && journal_store->HasKey(journal.Text()))
        return uninstall_interrupted_installation(context, store, questions);
    return uninstall_by_entry(context, questions, job);
}
