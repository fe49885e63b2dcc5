#include "tools/install/cut_off_run.h"

#include <string.h>

#include "base/access_rights.h"
#include "base/app_config.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "tools/install/file_replace.h"
#include "tools/install/folder_journal.h"
#include "tools/install/install_context.h"
#include "tools/install/install_files.h"
#include "tools/install/install_record.h"
#include "tools/install/kill_point.h"
#include "tools/install/known_names.h"
#include "tools/install/made_folders.h"
#include "tools/install/product_info.h"
#include "tools/install/record_bounds.h"
#include "tools/package/package_queries.h"
#include "tools/shell/record_keys.h"

namespace {

// One undo's way through the files: the first failure is kept, and the
// rest still goes back as far as it can.
class cUndo {
public:
    explicit cUndo(_guardchar<wchar_t>& failed_path) : outcome(UNDO_DONE), error_path(failed_path), moved(0) {}

    uint32_t Outcome() const { return outcome; }

    // The cut-off run's temporary file beside target goes.
    void DeleteTemporary(const wchar_t* target)
    {
        _guardchar<wchar_t> temporary;
        if (temporary_path_of(target, temporary) && names.Kind(temporary.Text()) == PATH_KIND_FILE &&
            !delete_plain_file(temporary.Text()))
            Fail(temporary.Text());
    }

    // The backup beside target held what stood there before the cut-off run,
    // which put its own file at target, or none yet: the backup goes back
    // over it in one step.
    void GiveBackupBack(const wchar_t* target)
    {
        _guardchar<wchar_t> backup;
        if (!backup_path_of(target, backup) || names.Kind(backup.Text()) != PATH_KIND_FILE)
            return;
        uint32_t kind = names.Kind(target);
        if (kind != PATH_KIND_FILE && kind != PATH_KIND_MISSING) {
            Note(UNDO_OBJECT_IN_THE_WAY, target);
            return;
        }
        // The run may have made its file read-only, which the replace
        // refuses; a path listed twice finds its backup gone back already.
        if (!file_replace(backup.Text(), target) &&
            !(file_clear_read_only(target) && file_replace(backup.Text(), target)) &&
            path_get_kind(backup.Text()) != PATH_KIND_MISSING) {
            Fail(target);
            return;
        }
        INSTALL_KILL_POINT("undo", moved++);
    }

    // A file the cut-off run added goes while it holds what the run wrote:
    // other content is someone's since.
    void DeleteAdded(const wchar_t* path, const uint8_t digest[32])
    {
        if (names.Kind(path) != PATH_KIND_FILE)
            return;
        uint8_t found[32];
        cFileIO file;
        if (!file.Open(path, FILE_MODE_READ) || !sha256_of_stream(&file, found)) {
            Fail(path);
            return;
        }
        file.Close();
        if (memcmp(found, digest, 32) == 0 && !delete_plain_file(path))
            Fail(path);
    }

    void DeleteShortcut(const wchar_t* path, const cProductFolders& folders)
    {
        if (names.Kind(path) == PATH_KIND_FILE && !delete_shortcut_and_empty_group(path, folders))
            Fail(path);
    }

private:
    // A file that stays: another program holds it, most likely, unless the
    // user may not change it at all.
    void Fail(const wchar_t* path)
    {
        Note(file_is_held(path) || path_can_write(path) ? UNDO_FILE_IN_USE : UNDO_FAILED, path);
    }

    void Note(uint32_t what, const wchar_t* path)
    {
        if (outcome != UNDO_DONE)
            return;
        outcome = what;
        error_path.Assign(path);
    }

    uint32_t outcome;
    _guardchar<wchar_t>& error_path;
    int32_t moved;
    cKnownNames names;
};

// Calls act(index, path) for each file of the list of files that reader
// holds (a record, or a journal laid out as one) that the bounds give the
// product.
template <class Act>
void for_each_file_within(cRecordReader& reader, cRecordBounds& bounds, Act act)
{
    uint64_t count = 0;
    reader.ListLength(record_files, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (reader.ReadText(record_files.item, i, path) && bounds.PlaceOf(path.Text()) != RECORDED_OUTSIDE)
            act(i, path.Text());
    }
}

// The recorded files: their backups and temporary files are the cut-off
// run's (a run deletes the stale ones before it journals).
void undo_recorded_files(cUndo& undo, cRecordReader& record, cRecordBounds& bounds)
{
    for_each_file_within(record, bounds, [&undo](uint64_t, const wchar_t* path) {
        undo.DeleteTemporary(path);
        undo.GiveBackupBack(path);
    });
}

// The files and shortcuts the journal lists, within its bounds.
void undo_journal_files(cUndo& undo, cRecordReader& journal, cRecordBounds& bounds)
{
    for_each_file_within(journal, bounds, [&undo, &journal](uint64_t index, const wchar_t* path) {
        undo.DeleteTemporary(path);
        uint8_t digest[32];
        if (journal.ReadDigest(index, digest))
            undo.DeleteAdded(path, digest);
        else
            undo.GiveBackupBack(path);
    });
    uint64_t count = 0;
    journal.ListLength(record_shortcuts, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (journal.ReadText(record_shortcuts.item, i, path) && bounds.HoldsShortcut(path.Text()))
            undo.DeleteShortcut(path.Text(), bounds.Folders());
    }
}

// The journal's made folders that its bounds hold go where empty, deepest
// first; its install folder as the scope says. True when the install folder
// is the cut-off run's and stays for the run at hand.
bool prune_journal_folders(cRecordReader& journal, cRecordBounds& bounds, const cUndoScope& scope)
{
    cLinkedList<_guardchar<wchar_t>> made;
    bounds.ReadMadeFolders(journal, made);
    cFolderPrune prune(bounds, true);
    prune.Made(made);
    const wchar_t* install_folder = bounds.Folder().Text();
    bool kept = false;
    for (auto* node = made.first; node; node = node->next) {
        const wchar_t* folder = node->element.Text();
        if (install_folder && path_same_identity(folder, install_folder)) {
            if (scope.install_folder == CUT_OFF_FOLDER_LEFT) {
                kept = true;
                continue;
            }
            if (scope.install_folder == CUT_OFF_FOLDER_TAKEN_OVER && scope.run_folder &&
                path_same_identity(folder, scope.run_folder)) {
                if (_guardchar<wchar_t>* taken = scope.taken_over ? list_append(*scope.taken_over) : nullptr)
                    taken->Assign(folder);
                continue;
            }
        }
        prune.Folder(folder);
    }
    prune.Run();
    return kept && path_get_kind(install_folder) == PATH_KIND_FOLDER;
}

// What is left of the journal once the rest is undone: its made install
// folder alone while it stays for a run yet to choose its folder, else
// nothing. Saved at once.
void settle_journal(cApplicationConfig& store, const char* key, const wchar_t* kept_folder)
{
    store.DeleteKey(key);
    if (kept_folder) {
        cRecordKeys keys(key);
        if (const char* folder_key = keys.Name(record_folder))
            store.WriteString(folder_key, kept_folder, -1);
        cFolderListWriter made(store, keys, record_made_folders);
        made.Add(kept_folder);
        made.WriteCount();
    }
    // Unsaved, the journal stays as it was: the next run undoes the same
    // again and finds nothing left.
    store.Save();
}

}  // namespace

uint32_t undo_cut_off_run(cApplicationConfig* config, const char* code_name, const cUndoScope& scope,
                          _guardchar<wchar_t>& error_path)
{
    cApplicationConfig* store = journal_store_of(config, code_name);
    _guardchar<char> journal_key, record_key;
    if (!store || !folder_journal_key_of(code_name, journal_key) || !record_key_of(code_name, record_key))
        return UNDO_DONE;
    cRecordReader journal(*store, journal_key.Text());
    cRecordReader record(*store, record_key.Text());
    bool recorded = record.Exists();
    cRecordBounds record_bounds;
    if (recorded)
        record_bounds.Read(record, scope.from_record ? nullptr : scope.group);
    // Never the journal's own folders besides its install folder, nor its
    // group: only those of the run at hand, or of the record.
    cLinkedList<_guardchar<wchar_t>> recorded_bases;
    _guardchar<wchar_t> install_folder, recorded_group;
    const cLinkedList<_guardchar<wchar_t>>* bases = scope.bases;
    const wchar_t* group = scope.group;
    if (scope.from_record) {
        read_record_bases(record, recorded_bases);
        bases = &recorded_bases;
        group = record.ReadText(record_group, recorded_group) ? recorded_group.Text() : nullptr;
    }
    journal.ReadText(record_folder, install_folder);
    cLinkedList<_guardchar<wchar_t>> no_bases;
    cRecordBounds bounds;
    bounds.Take(install_folder.Text(), bases ? *bases : no_bases, group);

    cUndo undo(error_path);
    if (recorded)
        undo_recorded_files(undo, record, record_bounds);
    undo_journal_files(undo, journal, bounds);
    if (undo.Outcome() != UNDO_DONE)
        return undo.Outcome();
    bool kept = prune_journal_folders(journal, bounds, scope);
    INSTALL_KILL_POINT("undo pruned", 0);
    if (scope.install_folder != CUT_OFF_FOLDER_TAKEN_OVER)
        settle_journal(*store, journal_key.Text(), kept ? bounds.Folder().Text() : nullptr);
    return UNDO_DONE;
}

uint32_t undo_before_install(cInstallContext& context, cApplicationConfig* store, bool folder_chosen)
{
    // Most runs find no journal: they spend nothing on the bounds.
    if (!journal_store_of(store, context.code_name_utf8.Text()))
        return UNDO_DONE;
    const cPackage& package = context.package;
    cLinkedList<_guardchar<wchar_t>> bases;
    package_base_folders(package, bases);
    _guardchar<wchar_t> group;
    get_start_menu_group_path(package.GetString(product_group_key), group);
    cUndoScope scope = {&bases,
                        group.IsEmpty() ? nullptr : group.Text(),
                        false,
                        folder_chosen ? CUT_OFF_FOLDER_TAKEN_OVER : CUT_OFF_FOLDER_LEFT,
                        folder_chosen ? package.GetString(package_pgm_key) : nullptr,
                        &context.cut_off_folders};
    return undo_cut_off_run(store, context.code_name_utf8.Text(), scope, context.error_path);
}
