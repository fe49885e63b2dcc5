#include "tools/install/cut_off_run.h"

#include <string.h>

#include "base/access_rights.h"
#include "base/app_config.h"
#include "base/file_identity.h"
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

// The file system stamps what it makes with a clock that may lag the one
// the journal's stamp comes from by a tick.
const uint64_t stamp_slack = 50 * 10000;  // 50 ms in FILETIME ticks

// One undo's way through the journal: the first failure is kept, and the
// rest still goes back as far as it can; what does not prove to be the
// cut-off run's is noted as damage and left.
class cUndo {
public:
    cUndo(_guardchar<wchar_t>& failed_path, uint64_t journal_since)
        : outcome(UNDO_DONE), damaged(false), error_path(failed_path), since(journal_since), moved(0)
    {
    }

    bool Failed() const { return outcome != UNDO_DONE; }
    uint32_t Outcome() const { return Failed() ? outcome : damaged ? UNDO_DAMAGED : UNDO_DONE; }
    void Damage() { damaged = true; }

    // Made since the cut-off run began to journal; a journal without that
    // stamp proves nothing made.
    bool MadeSince(const wchar_t* path) const
    {
        uint64_t created = 0;
        return since && path_creation_time(path, created) && created + stamp_slack >= since;
    }

    // A file the run writes, digest what it writes there; prior: a file
    // stood there before the run.
    void File(const wchar_t* target, const uint8_t digest[32], bool prior)
    {
        _guardchar<wchar_t> temporary, backup;
        if (!temporary_path_of(target, temporary) || !backup_path_of(target, backup)) {
            Damage();
            return;
        }
        if (names.Kind(temporary.Text()) == PATH_KIND_FILE && !delete_plain_file(temporary.Text()))
            Fail(temporary.Text());
        uint32_t kind = names.Kind(target);
        uint32_t backup_kind = names.Kind(backup.Text());
        if (backup_kind == PATH_KIND_FILE) {
            // The backup holds what stood there before the run, which put
            // its own file at the target, or none yet.
            if (kind == PATH_KIND_MISSING || (kind == PATH_KIND_FILE && Holds(target, digest)))
                GiveBack(backup.Text(), target);
            else if (kind != PATH_KIND_FILE)
                Note(UNDO_OBJECT_IN_THE_WAY, target);
            else if (!Failed())
                Damage();
            return;
        }
        if (backup_kind != PATH_KIND_MISSING) {
            Damage();
            return;
        }
        // Without a backup, a file that stood there was not replaced yet;
        // one the run added goes while it holds what the run wrote (other
        // content is someone's since).
        if (!prior && kind == PATH_KIND_FILE && Holds(target, digest) && !delete_plain_file(target))
            Fail(target);
    }

    void Shortcut(const wchar_t* path, const cProductFolders& folders)
    {
        if (names.Kind(path) != PATH_KIND_FILE)
            return;
        if (!MadeSince(path))
            Damage();
        else if (!delete_shortcut_and_empty_group(path, folders))
            Fail(path);
    }

private:
    // The file holds what the run wrote; a file that cannot be read fails
    // the undo (another program holds it, most likely).
    bool Holds(const wchar_t* path, const uint8_t digest[32])
    {
        uint8_t found[32];
        cFileIO file;
        if (!file.Open(path, FILE_MODE_READ) || !sha256_of_stream(&file, found)) {
            Fail(path);
            return false;
        }
        return memcmp(found, digest, 32) == 0;
    }

    // The backup goes back over the target in one step. The run may have
    // made its file read-only, which the replace refuses; a path listed
    // twice finds its backup gone back already.
    void GiveBack(const wchar_t* backup, const wchar_t* target)
    {
        if (!file_replace(backup, target) && !(file_clear_read_only(target) && file_replace(backup, target)) &&
            path_get_kind(backup) != PATH_KIND_MISSING) {
            Fail(target);
            return;
        }
        INSTALL_KILL_POINT("undo", moved++);
    }

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
    bool damaged;
    _guardchar<wchar_t>& error_path;
    uint64_t since;
    int32_t moved;
    cKnownNames names;
};

// The files and shortcuts the journal lists: those within its bounds that
// it gives the digest of, the rest damage.
void undo_journal_files(cUndo& undo, cRecordReader& journal, cRecordBounds& bounds)
{
    uint64_t count = 0;
    journal.ListLength(record_files, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        uint8_t digest[32];
        if (!journal.ReadText(record_files.item, i, path) || bounds.PlaceOf(path.Text()) == RECORDED_OUTSIDE ||
            !journal.ReadDigest(i, digest))
            undo.Damage();
        else
            undo.File(path.Text(), digest, journal.HasItem(record_prior, i));
    }
    count = 0;
    journal.ListLength(record_shortcuts, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (!journal.ReadText(record_shortcuts.item, i, path) || !bounds.HoldsShortcut(path.Text()))
            undo.Damage();
        else
            undo.Shortcut(path.Text(), bounds.Folders());
    }
}

// The journal's made folders that its bounds hold and that were made since
// the run began go where empty, deepest first; its install folder as the
// scope says. True when the install folder is the cut-off run's and stays
// for the run at hand.
bool prune_journal_folders(cUndo& undo, cRecordReader& journal, cRecordBounds& bounds, const cUndoScope& scope,
                           uint64_t since)
{
    cLinkedList<_guardchar<wchar_t>> listed, made;
    uint64_t count = 0, within = 0;
    journal.ListLength(record_made_folders, count);
    bounds.ReadMadeFolders(journal, listed);
    for (auto* node = listed.first; node; node = node->next, ++within) {
        uint32_t kind = path_get_kind(node->element.Text());
        if (kind != PATH_KIND_MISSING && (kind != PATH_KIND_FOLDER || !undo.MadeSince(node->element.Text())))
            undo.Damage();
        else if (kind == PATH_KIND_FOLDER)
            if (_guardchar<wchar_t>* folder = list_append(made))
                folder->Swap(node->element);
    }
    if (within < count)
        undo.Damage();
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
                if (scope.taken_over)
                    list_append_text(*scope.taken_over, folder);
                if (scope.taken_since && (!*scope.taken_since || *scope.taken_since > since))
                    *scope.taken_since = since;
                continue;
            }
        }
        prune.Folder(folder);
    }
    prune.Run();
    return kept;
}

// What is left of the journal once the rest is undone: its made install
// folder alone, with the run's stamp, while it stays for a run yet to
// choose its folder, else nothing. Saved at once.
void settle_journal(cApplicationConfig& store, const char* key, const wchar_t* kept_folder, uint64_t since)
{
    store.DeleteKey(key);
    if (kept_folder) {
        cRecordKeys keys(key);
        if (const char* folder_key = keys.Name(record_folder))
            store.WriteString(folder_key, kept_folder, -1);
        if (const char* since_key = keys.Name(record_since))
            store.WriteInt64(since_key, int64_t(since));
        cFolderListWriter made(store, keys, record_made_folders);
        made.Add(kept_folder);
        made.WriteCount();
    }
    // Unsaved, the journal stays as it was: the next run undoes the same
    // again and finds nothing left.
    store.Save();
}

// The bounds of the undo. One rule for an install folder, whoever names
// it: the record's where there is one (an update installs into it), else
// the journal's. The uninstall has no package: the record's bounds, or
// without one those the journal names as a record would.
void take_bounds(cRecordBounds& bounds, cRecordReader& journal, cRecordReader& record, bool recorded,
                 const cUndoScope& scope)
{
    cRecordReader& named = recorded ? record : journal;
    if (scope.from_record) {
        bounds.Read(named, nullptr);
        return;
    }
    _guardchar<wchar_t> folder;
    if (!named.ReadText(record_folder, folder))
        folder.Clear();
    cLinkedList<_guardchar<wchar_t>> no_bases;
    bounds.Take(folder.Text(), scope.bases ? *scope.bases : no_bases, scope.group);
}

}  // namespace

uint32_t undo_cut_off_run(cApplicationConfig* config, const char* code_name, const cUndoScope& scope,
                          _guardchar<wchar_t>& error_path)
{
    cApplicationConfig* store = journal_store_of(config, code_name);
    _guardchar<char> journal_key, record_key;
    if (!store || !folder_journal_key_of(code_name, journal_key) || !record_key_of(code_name, record_key) ||
        !store->HasKey(journal_key.Text()))
        return UNDO_DONE;
    cRecordReader journal(*store, journal_key.Text());
    cRecordReader record(*store, record_key.Text());
    bool recorded = record.Exists();
    int64_t since = 0, recorded_since = 0;
    journal.ReadNumber(record_since, since);
    // The run that wrote the record was cut off between its save and the
    // journal's drop: nothing of it to undo.
    if (recorded && since && record.ReadNumber(record_since, recorded_since) && recorded_since == since) {
        settle_journal(*store, journal_key.Text(), nullptr, 0);
        return UNDO_DONE;
    }
    cRecordBounds bounds;
    take_bounds(bounds, journal, record, recorded, scope);
    cUndo undo(error_path, uint64_t(since));
    undo_journal_files(undo, journal, bounds);
    if (undo.Failed())
        return undo.Outcome();
    bool kept = prune_journal_folders(undo, journal, bounds, scope, uint64_t(since));
    INSTALL_KILL_POINT("undo pruned", 0);
    if (scope.install_folder != CUT_OFF_FOLDER_TAKEN_OVER)
        settle_journal(*store, journal_key.Text(), kept ? bounds.Folder().Text() : nullptr, uint64_t(since));
    return undo.Outcome();
}

uint32_t undo_before_install(cInstallContext& context, cApplicationConfig* store, bool folder_chosen)
{
    _guardchar<char> key;
    cApplicationConfig* journal_store = journal_store_of(store, context.code_name_utf8.Text());
    // Most runs find no journal: they spend nothing on the bounds.
    if (!journal_store || !folder_journal_key_of(context.code_name_utf8.Text(), key) ||
        !journal_store->HasKey(key.Text()))
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
                        &context.cut_off_folders,
                        &context.journal_since};
    return undo_cut_off_run(store, context.code_name_utf8.Text(), scope, context.error_path);
}
