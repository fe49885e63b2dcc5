#include "tools/install/install_job.h"

#include "base/app_config.h"
#include "gui/catalog.h"
#include "tools/install/cut_off_run.h"
#include "tools/install/folder_journal.h"
#include "tools/install/install_context.h"
#include "tools/install/install_files.h"
#include "tools/install/install_finish.h"
#include "tools/install/kill_point.h"
#include "tools/install/manager_place.h"
#include "tools/shell/catalog_text.h"

namespace {

// Captions of the steps in the page's section.
enum { caption_preparing = 0, caption_unpacking = 1, caption_backup = 2, caption_apply = 3, caption_cleanup = 4 };

bool assign_text(_guardchar<wchar_t>& out, const cStringArray* texts, int32_t id)
{
    const wchar_t* text = get_catalog_string(texts, id);
    out.Assign(text ? text : L"");
    return out.IsEmpty() || out.Text();
}

// The unpack, backup and apply passes, then the manager with its shortcut,
// up to the commit; false when one of them gave up (the targets put back).
bool install_new_files(cInstallContext& context, cInstallJobHost& host, int32_t step, const cInstallJobTexts& texts,
                       cPlacedManager& manager)
{
    if (!install_unpack_pass(context, host, &step))
        return false;
    host.SelectStep(step++);
    if (!install_backup_pass(context, host))
        return false;
    INSTALL_KILL_POINT("after backup", 0);
    host.SelectStep(step);
    if (!install_apply_pass(context, host))
        return false;
    // Before the commit: nothing installed is left without the manager that
    // lists, updates and uninstalls it, nor that manager without its
    // shortcut.
    bool placed = manager.Place(context.own_path.Text(), texts, context.previous_bounds.Folders(), host);
    if (!placed) {
        context.status = INSTALL_STATUS_NO_MANAGER;
        context.error_path.Assign(manager.Path().Text());
    }
    return install_commit(context, host, placed);
}

}  // namespace

bool build_install_step_captions(const cInstallContext& context, const cStringArray* texts,
                                 _classbuf<_guardchar<wchar_t>>& captions)
{
    int32_t files = 0;
    for (auto* node = context.file_list.first; node; node = node->next)
        if (node->element.access[2] != install_item_skipped)
            ++files;
    if (captions.Count() != files + 4)
        captions.Resize(files + 4);
    if (captions.Count() != files + 4)
        return false;
    int32_t at = 0;
    if (!assign_text(captions[at++], texts, caption_preparing))
        return false;
    const wchar_t* unpacking = get_catalog_string(texts, caption_unpacking);
    for (auto* node = context.file_list.first; node; node = node->next) {
        if (node->element.access[2] == install_item_skipped)
            continue;
        if (!format_catalog_path(captions[at++], unpacking, node->element.target_path.Text()))
            return false;
    }
    return assign_text(captions[at++], texts, caption_backup) && assign_text(captions[at++], texts, caption_apply) &&
           assign_text(captions[at], texts, caption_cleanup);
}

uint32_t run_install_job(cInstallContext& context, cApplicationConfig* store, const cInstallJobTexts& texts,
                         cInstallJobHost& host)
{
    int32_t step = 0;
    host.SelectStep(step++);
    // The start-up undid a cut-off run already; what is left of it is the
    // folder of a first installation, which a run into it takes over.
    // What the journal named beyond that run's stays where it is, as the
    // start-up said. Another run of the product may have been cut off
    // while this one's wizard waited: its undo can fail as the start-up's
    // can, and the job then stops, its journal left to the next run.
    INSTALL_KILL_POINT("job", 0);
    uint32_t undone = undo_before_install(context, store, true);
    if (undone != UNDO_DONE && undone != UNDO_DAMAGED) {
        context.status = INSTALL_STATUS_REPAIR_FAILED;
        return 1;
    }
    if (!install_repair_pass(context))
        return 1;
    if (!save_folder_journal(context, store)) {
        context.status = INSTALL_STATUS_JOURNAL_NOT_SAVED;
        return 1;
    }
    cPlacedManager manager;
    if (!install_new_files(context, host, step, texts, manager)) {
        host.SelectLastStep();
        manager.TakeBack(context.previous_bounds.Folders());
        // A folder that stays (something else came into it, or it is the
        // one a cut-off run made) stays in the journal for the next run.
        cApplicationConfig* journal = journal_store_of(store, context.code_name_utf8.Text());
        if (discard_new_files(context) && journal) {
            drop_folder_journal(context, *journal);
            journal->Save();
        }
        return 1;
    }
    INSTALL_KILL_POINT("after apply", 0);
    context.status = INSTALL_STATUS_OK;
    install_shortcuts(context);
    // Before the record that no longer lists them is saved, so that a run
    // cut off in between leaves them to the old record, not orphaned.
    remove_dropped_files(context);
    install_record_and_entry(context, store, manager.Path().Text(), manager.Shortcut().Text());
    if (context.status == INSTALL_STATUS_OK && !manager.Blocked().IsEmpty()) {
        context.status = INSTALL_STATUS_NO_MANAGER_SHORTCUT;
        context.error_path.Assign(manager.Blocked().Text());
    }
    host.SelectLastStep();
    delete_backups(context);
    return 0;
}
