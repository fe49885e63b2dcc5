#include "tools/install/uninstall_record.h"

#include <string.h>

#include "base/app_config.h"
#include "base/buffers/typebuf.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/parallel_for.h"
#include "base/path.h"
#include "tools/install/cut_off_run.h"
#include "tools/install/file_replace.h"
#include "tools/install/install_files.h"
#include "tools/install/kill_point.h"
#include "tools/install/made_folders.h"
#include "tools/install/record_bounds.h"
#include "tools/install/uninstall_entry.h"
#include "tools/install/uninstall_job.h"
#include "tools/package/package_queries.h"
#include "tools/shell/record_keys.h"
#include "tools/shell/record_store.h"

namespace {

typedef cLinkedListNode<cUninstallFile> cFileNode;

uint8_t state_of(const wchar_t* path)
{
    if (path_get_kind(path) == PATH_KIND_FILE)
        return UNINSTALL_FILE_PRESENT;
    _guardchar<wchar_t> backup;
    if (path_get_kind(path) == PATH_KIND_MISSING && backup_path_of(path, backup) &&
        path_get_kind(backup.Text()) == PATH_KIND_FILE)
        return UNINSTALL_FILE_MOVED;
    return UNINSTALL_FILE_GONE;
}

// The recorded files and shortcuts that are the product's, into the
// context's lists; the others are left out and counted. False when memory
// runs out: a file left out of the lists would stay for ever once the
// record is gone.
bool find_recorded_files(cUninstallContext& context, cRecordReader& record, cRecordBounds& bounds)
{
    uint64_t count = 0;
    // Without its list the record cannot tell what it installed: that stays.
    if (!record.ListLength(record_files, count))
        ++context.outside;
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (!record.ReadText(record_files.item, i, path))
            continue;
        uint32_t place = bounds.PlaceOf(path.Text());
        uint8_t digest[32];
        // Outside the install folder, only the digest tells the product's
        // file from what took its place.
        if (place == RECORDED_OUTSIDE || (place == RECORDED_IN_BASE && !record.ReadDigest(i, digest))) {
            ++context.outside;
            continue;
        }
        cUninstallFile* file = list_append(context.files);
        if (!file)
            return false;
        // Looking now would cost every file a look more: the move tells.
        file->state = UNINSTALL_FILE_UNSEEN;
        file->checked = place == RECORDED_IN_BASE;
        if (file->checked)
            memcpy(file->digest, digest, 32);
        file->path.Swap(path);
    }
    count = 0;
    record.ListLength(record_shortcuts, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> path;
        if (!record.ReadText(record_shortcuts.item, i, path))
            continue;
        if (!bounds.HoldsShortcut(path.Text())) {
            ++context.outside;
            continue;
        }
        if (path_get_kind(path.Text()) != PATH_KIND_FILE)
            continue;
        _guardchar<wchar_t>* shortcut = list_append(context.shortcuts);
        if (!shortcut)
            return false;
        shortcut->Swap(path);
    }
    return true;
}

// A file outside the install folder that stands at path (the file or its
// backup) with another content than the record's digest: not the
// product's. A file that cannot be read is left to the move, which tells.
bool foreign_content(const cUninstallFile& file, const wchar_t* path)
{
    if (!file.checked)
        return false;
    cFileIO content;
    uint8_t digest[32];
    return content.Open(path, FILE_MODE_READ) && sha256_of_stream(&content, digest) &&
           memcmp(digest, file.digest, 32) != 0;
}

// After a give-up: every file moved aside, by this run or a run before it,
// goes back under its name.
void put_files_back(cUninstallContext& context)
{
    for (cFileNode* node = context.files.first; node; node = node->next) {
        cUninstallFile& file = node->element;
        if (file.state == UNINSTALL_FILE_UNSEEN)
            file.state = state_of(file.path.Text());
        _guardchar<wchar_t> backup;
        if (file.state == UNINSTALL_FILE_MOVED && backup_path_of(file.path.Text(), backup) &&
            file_rename(backup.Text(), file.path.Text()))
            file.state = UNINSTALL_FILE_PRESENT;
    }
}

// Moves one file to its backup path: UNINSTALL_DONE once it is out of the
// way (or was not there), UNINSTALL_CANCELLED when the user gave up, and
// UNINSTALL_OBJECT_IN_WAY, the context's error path naming it, when an
// object other than a file stands at the backup path: no retry can help
// while it is there, and it is not the uninstall's to remove.
uint32_t move_aside(cUninstallContext& context, cUninstallFile& file, cUninstallQuestions& questions)
{
    const wchar_t* path = file.path.Text();
    _guardchar<wchar_t> backup;
    if (!backup_path_of(path, backup))
        return UNINSTALL_CANCELLED;
    // The move is tried first: looking for a stale backup before each file
    // would cost every file a look, where the move's failure tells.
    for (;;) {
        if (foreign_content(file, path)) {
            file.state = UNINSTALL_FILE_FOREIGN;
            return UNINSTALL_DONE;
        }
        if (rename_if_unused(path, backup.Text())) {
            file.state = UNINSTALL_FILE_MOVED;
            return UNINSTALL_DONE;
        }
        if (path_get_kind(path) != PATH_KIND_FILE) {
            // Not there (moved aside or deleted by a run before, or gone
            // meanwhile): nothing to ask about.
            file.state = state_of(path);
            return UNINSTALL_DONE;
        }
        const wchar_t* held = path;
        uint32_t backup_kind = path_get_kind(backup.Text());
        // A backup that a failed update left makes every move fail.
        if (backup_kind == PATH_KIND_FILE) {
            if (delete_plain_file(backup.Text()))
                continue;
            held = backup.Text();
        } else if (backup_kind != PATH_KIND_MISSING) {
            context.error_path.Swap(backup);
            return UNINSTALL_OBJECT_IN_WAY;
        }
        if (!questions.AskRelease(held))
            return UNINSTALL_CANCELLED;
    }
}

// The files of the list by index, for the passes shared among threads;
// false when memory runs out.
bool index_files(cUninstallContext& context, _typebuf<cUninstallFile*>& out)
{
    int32_t count = 0;
    for (cFileNode* node = context.files.first; node; node = node->next)
        ++count;
    out.Resize(count);
    if (count && !out.Data())
        return false;
    int32_t index = 0;
    for (cFileNode* node = context.files.first; node; node = node->next)
        out[index++] = &node->element;
    return true;
}

// Whether the file still stands under its name, as far as is known.
bool waits_for_move(const cUninstallFile& file)
{
    return file.state == UNINSTALL_FILE_PRESENT || file.state == UNINSTALL_FILE_UNSEEN;
}

// One try to move a file aside, on one of the threads: a file that stays
// is left to the question loop.
void try_move_aside(void* files, uint32_t index)
{
    cUninstallFile& file = *static_cast<cUninstallFile**>(files)[index];
    if (!waits_for_move(file))
        return;
    if (foreign_content(file, file.path.Text())) {
        file.state = UNINSTALL_FILE_FOREIGN;
        return;
    }
    _guardchar<wchar_t> backup;
    if (backup_path_of(file.path.Text(), backup) && rename_if_unused(file.path.Text(), backup.Text())) {
        file.state = UNINSTALL_FILE_MOVED;
        INSTALL_KILL_POINT("uninstall backup", int32_t(index));
    }
}

// Each file's backup is deleted, on one of the threads; the file's state
// then tells whether one stays (UNINSTALL_FILE_MOVED) or not (GONE), or
// was not the product's (FOREIGN, left).
void delete_backup(void* files, uint32_t index)
{
    cUninstallFile& file = *static_cast<cUninstallFile**>(files)[index];
    _guardchar<wchar_t> backup;
    if (file.state == UNINSTALL_FILE_FOREIGN || !backup_path_of(file.path.Text(), backup))
        return;
    if (foreign_content(file, backup.Text())) {
        file.state = UNINSTALL_FILE_FOREIGN;
        return;
    }
    file.state = delete_plain_file(backup.Text()) ? UNINSTALL_FILE_GONE : UNINSTALL_FILE_MOVED;
    INSTALL_KILL_POINT("uninstall delete", int32_t(index));
}

// Every file is first tried at once on several threads: the renames, each
// of which looks through its folder, run side by side. The few that stay
// (held, moved or gone before, in the way of an old backup) then go
// through the loop that asks, in list order; a file that cannot go puts
// every moved file back (move_aside's outcome).
uint32_t move_files_aside(cUninstallContext& context, _typebuf<cUninstallFile*>& files,
                          cUninstallQuestions& questions)
{
    parallel_for(uint32_t(files.Count()), try_move_aside, files.Data());
    for (int32_t index = 0; index < files.Count(); ++index) {
        cUninstallFile& file = *files[index];
        if (!waits_for_move(file))
            continue;
        uint32_t moved = move_aside(context, file, questions);
        if (moved != UNINSTALL_DONE) {
            put_files_back(context);
            return moved;
        }
        INSTALL_KILL_POINT("uninstall backup", index);
    }
    return UNINSTALL_DONE;
}

// Deletes every backup, also those of files a run before this one deleted
// already, on several threads, and takes in their folders; false when a
// backup stays. A file whose content changed stays, counted in the context.
bool delete_backups(cUninstallContext& context, _typebuf<cUninstallFile*>& files, cFolderPrune& prune)
{
    parallel_for(uint32_t(files.Count()), delete_backup, files.Data());
    bool complete = true;
    for (int32_t i = 0; i < files.Count(); ++i) {
        uint8_t state = files[i]->state;
        if (state == UNINSTALL_FILE_FOREIGN)
            ++context.changed;
        else
            complete = complete && state == UNINSTALL_FILE_GONE;
        prune.Above(files[i]->path.Text());
    }
    return complete;
}

bool delete_shortcuts(const cUninstallContext& context, cFolderPrune& prune)
{
    bool complete = true;
    for (auto* node = context.shortcuts.first; node; node = node->next) {
        if (!delete_plain_file(node->element.Text()))
            complete = false;
        prune.Above(node->element.Text());
    }
    return complete;
}

}  // namespace

bool undo_cut_off_install(cUninstallContext& context, cApplicationConfig* config, cUninstallQuestions& questions,
                          uint32_t& result)
{
    const cUndoScope scope = {nullptr, nullptr, true, CUT_OFF_FOLDER_REMOVED, nullptr, nullptr, nullptr};
    for (;;) {
        _guardchar<wchar_t> path;
        uint32_t undone = undo_cut_off_run(config, context.code_name_utf8.Text(), scope, path);
        if (undone == UNDO_DONE || undone == UNDO_DAMAGED) {
            if (undone == UNDO_DAMAGED)
                ++context.outside;
            return true;
        }
        result = UNINSTALL_INCOMPLETE;
        if (undone != UNDO_FILE_IN_USE)
            return false;
        result = UNINSTALL_CANCELLED;
        if (!questions.AskRelease(path.Text()))
            return false;
    }
}

uint32_t uninstall_recorded_product(cUninstallContext& context, cApplicationConfig* config,
                                    cApplicationConfig& store, const char* key, cUninstallQuestions& questions)
{
    if (!questions.Confirm(3))
        return UNINSTALL_CANCELLED;
    INSTALL_KILL_POINT("uninstall confirmed", 0);
    uint32_t result = UNINSTALL_DONE;
    if (!undo_cut_off_install(context, config, questions, result))
        return result;
    // Found once the user said Yes, so that the bounds and links are those
    // of the moment the files move; a record that cannot be read then
    // moves nothing.
    if (store_file_fault(config, store, key, context.store_fault))
        return UNINSTALL_UNREAD_STORE;
    cRecordReader record(store, key);
    cRecordBounds bounds;
    bounds.Read(record, nullptr);
    _typebuf<cUninstallFile*> files;
    if (!find_recorded_files(context, record, bounds) || !index_files(context, files))
        return UNINSTALL_INTERNAL_ERROR;
    uint32_t moved = move_files_aside(context, files, questions);
    if (moved != UNINSTALL_DONE)
        return moved;
    INSTALL_KILL_POINT("uninstall after backup", 0);
    // Each folder is tried once, after all the files are gone: a folder of
    // many files is not listed again after each of them.
    cLinkedList<_guardchar<wchar_t>> made;
    cFolderPrune prune(bounds, bounds.ReadMadeFolders(record, made));
    prune.Made(made);
    bool complete = delete_backups(context, files, prune);
    complete = delete_shortcuts(context, prune) && complete;
    // Also when its shortcuts went before this run.
    prune.Folder(bounds.Group().Text());
    prune.Run();
    INSTALL_KILL_POINT("uninstall shortcuts", 0);
    // What stays keeps the record and the entry, for the next try.
    if (!complete)
        return UNINSTALL_INCOMPLETE;
    bool deleted = store.DeleteKey(key);
    INSTALL_KILL_POINT("uninstall record save", 0);
    // A deletion the store did not take is a save that failed: its file is
    // not known any more, or it may not be changed. A record that another
    // run took off meanwhile is gone all the same.
    bool unknown = !deleted && store_file_fault(config, store, key, context.store_fault);
    if (unknown || (!deleted && store.HasKey(key)) || !store.Save()) {
        // The store keeps what its files hold: the record, for the next try,
        // and with it the entry, so that Windows lists what the manager does.
        if (!unknown)
            store_save_fault(config, store, context.store_fault);
        store.Revert();
        return UNINSTALL_RECORD_NOT_SAVED;
    }
    INSTALL_KILL_POINT("uninstall record saved", 0);
    // An entry for all users and one for this user both go.
    bool entries = delete_uninstall_entry(context.code_name.Text(), false);
    entries = delete_uninstall_entry(context.code_name.Text(), true) && entries;
    INSTALL_KILL_POINT("uninstall entry", 0);
    if (!entries)
        return UNINSTALL_INCOMPLETE;
    if (context.outside)
        return UNINSTALL_DAMAGED_RECORD;
    return context.changed ? UNINSTALL_CHANGED_FILES : UNINSTALL_DONE;
}
