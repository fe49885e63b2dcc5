#ifndef TOOLS_INSTALL_REMOVE_MODE_H
#define TOOLS_INSTALL_REMOVE_MODE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/job.h"
#include "tools/install/job_form.h"
#include "tools/install/manager_entries.h"

class cApplicationConfig;
class cRemoverUI;

// The outcome of the manager's removal, which the form turns into its
// message.
enum : uint32_t {
    REMOVE_DONE = 0,           // the manager file is deleted
    REMOVE_PRODUCTS_LEFT = 1,  // products are still recorded, which the message names: nothing deleted
    REMOVE_NOT_A_FILE = 2,     // not a file where the manager belongs, or not reached as written
    REMOVE_SCHEDULED = 3,      // the manager runs: a script deletes it once it has exited
    REMOVE_CANCELLED = 4,      // the user said no
    REMOVE_NOT_SCHEDULED = 5,  // it runs, and the script could not be written or started
    // Products are recorded for one user only, which a run with
    // administrator rights leaves to that user (list_per_user_products):
    // the message names them. Nothing deleted.
    REMOVE_PER_USER_PRODUCTS_LEFT = 6,
    // The run's store cannot serve, or the store it only reads could not
    // be read whole (run_store_refusal): whether products are left cannot
    // be told. The message tells of the fault. Nothing deleted.
    REMOVE_STORE_REFUSED = 7,
    // As REMOVE_PER_USER_PRODUCTS_LEFT, and products recorded for all users
    // are left too, which the message says. Nothing deleted.
    REMOVE_PER_USER_AND_OTHERS_LEFT = 8,
    // Entries of Windows' list of installed programs start the manager, and
    // this run may not take them off (find_manager_entries): the message
    // names them. The manager stays for them.
    REMOVE_ENTRIES_LEFT = 9,
};

// Opens the program's configuration afresh from disk; the caller deletes
// it (null: none could be had). open_program_config, or a test's own.
typedef cApplicationConfig* (*tOpenConfig)();

// The removal on its worker thread, after a pause of 500 ms: the interface
// language of "lang/current"; a refusal where the run's store cannot serve
// or the other store could not read its records, and while either records
// any product, naming them (those recorded for one user only, where the
// run leaves them to that user, alone, saying whether others are left; a
// long list cut short), or while Windows' list holds entries that start
// the manager and that this run may not take off, naming them; question 2;
// the same judgement once more, for what changed while the question was
// up; a refusal when the manager's path does not resolve as written
// (path_resolves_as_written: a link, short name or mapped drive on its
// way); those entries taken off (take_off_manager_entries); the manager's
// Start-menu shortcut (delete_manager_shortcuts); then the installed
// manager, deleted now or by the script of schedule_self_delete. Each
// judgement reads the stores from disk as they are then, through a
// configuration opened for it: what the run opened at its start may have
// been read long before, or have missed a later read. Nothing is made on
// the way, and the stores are left as they are.
class cRemoverJob : public cJob {
public:
    // fallback_path: what to delete when no manager is installed at its
    // place.
    cRemoverJob(cRemoverUI* owner_form, const wchar_t* fallback_path, tOpenConfig open_config);
    ~cRemoverJob() override;

    uint32_t Run() override;
    void OnFinish(uint32_t exit_code) override;

private:
    void SwitchLanguage(cApplicationConfig& store);
    // The outcome that stops the removal by what the stores and Windows'
    // list hold now, the stores read through a configuration opened for it
    // (first taking the interface language from it where asked), with what
    // its message names; go_on when none does, entries then holding what
    // to take off.
    uint32_t Judge(bool take_language);
    // Deletes the manager at path (empty: none known) or hands it to the
    // script; REMOVE_*.
    uint32_t RemoveManager(_guardchar<wchar_t>& path);

    static const uint32_t go_on = ~uint32_t(0);

    cRemoverUI* form;
    _guardchar<wchar_t> fallback;
    tOpenConfig open;
    cManagerEntries entries;
};

// "Removing Pelmaro..." while the job works, its question, then the message
// of its outcome; the modal result is 1 when the manager was removed or its
// deletion scheduled, else 2. Texts of "pkgm::rem".
class cRemoverUI : public cJobForm {
public:
    // Its cProgressAction carries the job's outcome (REMOVE_*).
    // Its cConfirmAction (Yes or No to a question of its texts) has code 8.
    static const uint32_t confirm_code = 8;

    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::rem"; }

    // What the outcome's message names: the code names of the products
    // or the entries that keep the manager, one a line; or the store's
    // fault. The job's, read once its outcome came.
    _guardchar<wchar_t> named;
    cStoreFault fault;
};

// Removes the installed manager "pelmarodesk.exe" with the remover form, on
// the parent form (the main window, which passes the installed manager's
// path) or, without one, as the program's own window (the remove mode,
// which passes the program's own path). True when the manager was removed
// or its deletion scheduled; false for every other outcome, also when there
// is no "pkgm::rem" section or nothing to show the form on.
bool run_remove_mode(const wchar_t* fallback_path, cChildElement* parent);

#endif
