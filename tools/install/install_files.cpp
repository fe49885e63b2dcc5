#include "tools/install/install_files.h"

#include <wchar.h>

#include "base/access_rights.h"
#include "base/buffers/typebuf.h"
#include "base/file_io.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "tools/install/file_replace.h"
#include "tools/install/flush_batch.h"
#include "tools/install/install_context.h"
#include "tools/install/install_job.h"
#include "tools/install/kill_point.h"

namespace {

// Members go through one buffer of this size.
const uint32_t transfer_size = 65536;

bool skipped(const cInstallItem& item)
{
    return item.access[2] == install_item_skipped;
}

bool fail(cInstallContext& context, uint32_t status, const wchar_t* path)
{
    context.status = status;
    context.error_path.Assign(path);
    return false;
}

// The user's stop; the error path stays as it is.
bool aborted(cInstallContext& context)
{
    context.status = INSTALL_STATUS_ABORTED;
    return false;
}

int32_t items_to_write(const cInstallContext& context)
{
    int32_t count = 0;
    for (auto* node = context.file_list.first; node; node = node->next)
        if (!skipped(node->element))
            ++count;
    return count;
}

// Progress within the backup or apply pass, after `done` of `count` items;
// false once the user asked to stop.
bool report_items(cInstallJobHost& host, int32_t done, int32_t count)
{
    return host.Notify(double(done) * 100.0 / double(count));
}

typedef cLinkedListNode<cInstallItem> cItemNode;

// None of the folders is there any more.
bool none_left(const cLinkedList<_guardchar<wchar_t>>& folders)
{
    for (auto* node = folders.first; node; node = node->next)
        if (path_get_kind(node->element.Text()) != PATH_KIND_MISSING)
            return false;
    return true;
}

// How much the leftovers beside a target matter to the run: beside a file
// it writes, each that stays stops it; beside one it leaves alone, only
// what stands in the way; beside a file it drops, none.
enum : uint8_t { repair_written, repair_skipped, repair_dropped };

// The leftovers beside one target, once a cut-off run is undone (so that
// no journal tells of one): a temporary file goes; a backup beside its
// target is of the version before the last one recorded (a run cut off
// after saving its record) and goes too, and one without its target (moved
// aside by a cut-off uninstall) goes back. False with the status set where
// a leftover that stays matters (use).
bool repair_target(cInstallContext& context, const wchar_t* target, uint8_t use)
{
    auto stays = [&context, use](uint32_t status, const wchar_t* path, bool deleting) {
        return use == repair_dropped || (use == repair_skipped && deleting) || fail(context, status, path);
    };
    _guardchar<wchar_t> temporary, backup;
    if (!temporary_path_of(target, temporary) || !backup_path_of(target, backup))
        return stays(INSTALL_STATUS_BAD_PATH, target, false);
    cKnownNames& known = context.known_names;
    uint32_t kind = known.Kind(temporary.Text());
    if (kind == PATH_KIND_FILE && !file_delete(temporary.Text()) &&
        !stays(INSTALL_STATUS_REPAIR_FAILED, temporary.Text(), true))
        return false;
    if (kind != PATH_KIND_FILE && kind != PATH_KIND_MISSING &&
        !stays(INSTALL_STATUS_OBJECT_IN_THE_WAY, temporary.Text(), false))
        return false;
    kind = known.Kind(backup.Text());
    uint32_t target_kind = known.Kind(target);
    if (kind == PATH_KIND_MISSING || (kind != PATH_KIND_FILE && target_kind == PATH_KIND_MISSING))
        return true;
    if (kind != PATH_KIND_FILE || (target_kind != PATH_KIND_FILE && target_kind != PATH_KIND_MISSING))
        return stays(INSTALL_STATUS_OBJECT_IN_THE_WAY, target, false);
    if (target_kind == PATH_KIND_FILE)
        return delete_plain_file(backup.Text()) || stays(INSTALL_STATUS_REPAIR_FAILED, backup.Text(), true);
    if (!file_rename(backup.Text(), target))
        return stays(INSTALL_STATUS_REPAIR_FAILED, target, false);
    known.Add(target);
    return true;
}

void delete_temporary_files(const cInstallContext& context)
{
    for (cItemNode* node = context.file_list.first; node; node = node->next) {
        _guardchar<wchar_t> temporary;
        if (temporary_path_of(node->element.target_path.Text(), temporary))
            file_delete(temporary.Text());
    }
}

// The member's bytes into the temporary file, left open for its flush;
// false with the status set. made_folder is the folder made (or found) for
// the item before, which the next item in it need not look for again.
bool unpack_item(cInstallContext& context, const cInstallItem& item, int32_t index, cInstallJobHost& host,
                 _typebuf<uint8_t>& buffer, cFileIO& file, _guardchar<wchar_t>& made_folder)
{
    _guardchar<wchar_t> temporary, folder;
    if (!temporary_path_of(item.target_path.Text(), temporary))
        return fail(context, INSTALL_STATUS_BAD_PATH, item.target_path.Text());
    cFileIOTarget* member = open_package_member(context.package, item.member_index);
    bool placed = parent_folder_of(temporary.Text(), folder) &&
                  ((made_folder.Text() && wcscmp(made_folder.Text(), folder.Text()) == 0) ||
                   make_folder_path(folder.Text(), &context.made_folders));
    if (placed)
        made_folder.Assign(folder.Text());
    if (!placed || !member) {
        if (member)
            delete member;
        // A folder that cannot be made is named itself.
        return fail(context, placed ? INSTALL_STATUS_NO_MEMBER : INSTALL_STATUS_BAD_PATH,
                    placed ? temporary.Text() : folder.Text());
    }
    uint64_t size = package_member_size(context.package, item.member_index);
    uint32_t status = INSTALL_STATUS_OK;
    if (!file.Create(temporary.Text(), FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE))
        status = INSTALL_STATUS_CREATE_FAILED;
    for (uint64_t remaining = size; status == INSTALL_STATUS_OK && remaining;) {
        uint32_t n = remaining < transfer_size ? uint32_t(remaining) : transfer_size;
        if (!member->ReadExact(buffer.Data(), n)) {
            status = INSTALL_STATUS_READ_FAILED;
        } else if (file.Write(buffer.Data(), n) != int32_t(n)) {
            status = INSTALL_STATUS_WRITE_FAILED;
        } else {
            if (remaining == size)
                INSTALL_KILL_POINT("unpack", index);  // after the first piece, before the flush
            remaining -= n;
            if (!host.Notify(double(size - remaining) * 100.0 / double(size)))
                status = INSTALL_STATUS_ABORTED;
        }
    }
    delete member;
    if (status != INSTALL_STATUS_OK)
        return fail(context, status, temporary.Text());
    return true;
}

// Sends the batch's files to the disk before the apply pass gives them
// their final names: a power cut afterwards must not leave an empty file
// under such a name.
bool flush_written(cInstallContext& context, cFlushBatch& batch)
{
    _guardchar<wchar_t> failed;
    return batch.FlushAll(failed) || fail(context, INSTALL_STATUS_WRITE_FAILED, failed.Text());
}

// Moves each target that exists to its backup path, asking the host while
// a program holds it; false with the status set.
bool back_up_item(cInstallContext& context, const wchar_t* target, cInstallJobHost& host)
{
    // From the listing: under Wine a query for a missing name reads the
    // whole folder. Something that takes a missing target's place later
    // makes the apply pass fail and put everything back.
    uint32_t kind = context.known_names.Kind(target);
    if (kind == PATH_KIND_MISSING)
        return true;
    _guardchar<wchar_t> backup;
    if (kind != PATH_KIND_FILE || !backup_path_of(target, backup))
        return fail(context, INSTALL_STATUS_OBJECT_IN_THE_WAY, target);
    while (path_get_kind(target) == PATH_KIND_FILE && !rename_if_unused(target, backup.Text()))
        if (!host.AskRelease(target))
            return fail(context, INSTALL_STATUS_FILE_IN_USE, target);
    // Also when the target vanished meanwhile: a backup only ever costs a query.
    context.known_names.Add(backup.Text());
    return true;
}

// Moves each backup of the items before `end` back over its target.
void restore_backups(const cInstallContext& context, const cItemNode* end)
{
    for (const cItemNode* node = context.file_list.first; node && node != end; node = node->next) {
        _guardchar<wchar_t> backup;
        if (!skipped(node->element) && backup_path_of(node->element.target_path.Text(), backup))
            file_rename(backup.Text(), node->element.target_path.Text());
    }
}

// After a failed apply pass: every target from the list's head up to (not
// including) `failed` holds its new file, put back to what stood there (its
// backup, or nothing); from `failed` on, each backup goes back.
void undo_apply(const cInstallContext& context, const cItemNode* failed)
{
    bool applied = true;
    for (const cItemNode* node = context.file_list.first; node; node = node->next) {
        if (node == failed)
            applied = false;
        if (skipped(node->element))
            continue;
        const wchar_t* target = node->element.target_path.Text();
        _guardchar<wchar_t> backup;
        if (!backup_path_of(target, backup))
            continue;
        bool had_old = path_get_kind(backup.Text()) == PATH_KIND_FILE;
        if (applied)
            file_delete(target);
        if (had_old)
            file_rename(backup.Text(), target);
    }
}

}  // namespace

bool temporary_path_of(const wchar_t* target, _guardchar<wchar_t>& out)
{
    return path_format(out, L"%s.tmp", target);
}

bool backup_path_of(const wchar_t* target, _guardchar<wchar_t>& out)
{
    return path_format(out, L"%s.bkp", target);
}

bool install_repair_pass(cInstallContext& context)
{
    // What the folders held when the start-up looked may have changed since.
    context.known_names.Clear();
    int32_t index = 0;
    for (cItemNode* node = context.file_list.first; node; node = node->next, ++index) {
        if (!repair_target(context, node->element.target_path.Text(),
                           skipped(node->element) ? repair_skipped : repair_written))
            return false;
        INSTALL_KILL_POINT("repair", index);
    }
    // The previous installation's files that this run drops keep no stale
    // backup either: one would outlive them, or pass for this run's.
    for (auto* node = tree_first_node(context.previous_files); node; node = tree_next_node(node))
        if (!node->value.kept)
            repair_target(context, node->value.path.Text(), repair_dropped);
    return true;
}

bool install_unpack_pass(cInstallContext& context, cInstallJobHost& host, int32_t* step)
{
    _typebuf<uint8_t> buffer{int32_t(transfer_size)};
    if (!buffer.Data())
        return fail(context, INSTALL_STATUS_READ_FAILED, nullptr);
    cFlushBatch batch;
    _guardchar<wchar_t> made_folder;
    int32_t index = 0;
    bool unpacked = true;
    for (cItemNode* node = context.file_list.first; node && unpacked; node = node->next, ++index) {
        if (skipped(node->element))
            continue;
        host.SelectStep((*step)++);
        if (!batch.Next())  // full: its files go to the disk first
            unpacked = flush_written(context, batch);
        cFileIO* file = unpacked ? batch.Next() : nullptr;
        if (unpacked && !file)
            unpacked = fail(context, INSTALL_STATUS_CREATE_FAILED, node->element.target_path.Text());
        unpacked = unpacked && unpack_item(context, node->element, index, host, buffer, *file, made_folder);
        if (unpacked)
            batch.Keep();
    }
    if (unpacked && flush_written(context, batch))
        return true;
    batch.CloseAll();
    return false;
}

bool install_backup_pass(cInstallContext& context, cInstallJobHost& host)
{
    int32_t index = 0, done = 0, count = items_to_write(context);
    for (cItemNode* node = context.file_list.first; node; node = node->next, ++index) {
        if (skipped(node->element))
            continue;
        if (!back_up_item(context, node->element.target_path.Text(), host)) {
            restore_backups(context, node);
            return false;
        }
        INSTALL_KILL_POINT("backup", index);
        if (!report_items(host, ++done, count)) {
            restore_backups(context, node->next);
            return aborted(context);
        }
    }
    return true;
}

bool install_apply_pass(cInstallContext& context, cInstallJobHost& host)
{
    int32_t index = 0, done = 0, count = items_to_write(context);
    for (cItemNode* node = context.file_list.first; node; node = node->next, ++index) {
        const cInstallItem& item = node->element;
        if (skipped(item))
            continue;
        const wchar_t* target = item.target_path.Text();
        _guardchar<wchar_t> temporary;
        if (!temporary_path_of(target, temporary) || !file_rename(temporary.Text(), target)) {
            // A folder or the like that came in a missing target's place.
            uint32_t kind = path_get_kind(target);
            undo_apply(context, node);
            return fail(context,
                        kind == PATH_KIND_MISSING || kind == PATH_KIND_FILE ? INSTALL_STATUS_APPLY_FAILED
                                                                            : INSTALL_STATUS_OBJECT_IN_THE_WAY,
                        target);
        }
        if (item.access[0] != package_access_none || item.access[1] != package_access_none ||
            item.access[2] != package_access_none)
            path_set_access(target, item.access[0], item.access[1], item.access[2]);
        INSTALL_KILL_POINT("apply", index);
        if (!report_items(host, ++done, count)) {
            undo_apply(context, node->next);
            return aborted(context);
        }
    }
    return true;
}

bool install_commit(cInstallContext& context, cInstallJobHost& host, bool ready)
{
    INSTALL_KILL_POINT("commit", 0);
    if (ready && host.Commit())
        return true;
    undo_apply(context, nullptr);
    return ready ? aborted(context) : false;
}

bool discard_new_files(cInstallContext& context)
{
    delete_temporary_files(context);
    remove_empty_folders(context.made_folders);
    bool all_gone = none_left(context.made_folders) && none_left(context.cut_off_folders);
    list_clear(context.made_folders);
    return all_gone;
}
