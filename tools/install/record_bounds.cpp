#include "tools/install/record_bounds.h"

#include "base/file_ops.h"
#include "base/path.h"
#include "base/path_resolution.h"
#include "base/string_utils.h"
#include "tools/install/file_replace.h"
#include "tools/shell/record_keys.h"

namespace {

bool within(const cFolderIdentity& inner, const cFolderIdentity& outer, bool or_same)
{
    return outer.length > 0 &&
           path_identity_within(inner.text.Data(), inner.length, outer.text.Data(), outer.length, or_same);
}

// A shortcut file's name: "<name>.lnk" in any case.
bool is_shortcut_name(const wchar_t* path)
{
    int32_t length = wstr_length(path);
    return length > 4 && wstr_compare_nocase(path + length - 4, L".lnk") == 0;
}

bool identity_of_parent(const wchar_t* path, cFolderIdentity& out)
{
    _guardchar<wchar_t> parent;
    return parent_folder_of(path, parent) && folder_identity_of(parent.Text(), out);
}

}  // namespace

cRecordBounds::cRecordBounds() : folder_sound(false), group_recorded(false), group_programs(nullptr), resolved(1024)
{
    folder_identity.length = 0;
    group_identity.length = 0;
}

void cRecordBounds::Read(cRecordReader& record, const wchar_t* group_fallback)
{
    _guardchar<wchar_t> recorded_folder, recorded_group;
    if (!record.ReadText(record_folder, recorded_folder))
        recorded_folder.Clear();
    cLinkedList<_guardchar<wchar_t>> recorded_bases;
    read_record_bases(record, recorded_bases);
    bool recorded = record.ReadText(record_group, recorded_group);
    Take(recorded_folder.Text(), recorded_bases, recorded ? recorded_group.Text() : group_fallback);
    // A record without a group may also have its shortcuts directly in a
    // Programs folder, where the fallback is only a guess.
    group_recorded = recorded;
}

void cRecordBounds::Take(const wchar_t* install_folder, const cLinkedList<_guardchar<wchar_t>>& base_folders,
                         const wchar_t* start_menu_group)
{
    folders.Find();
    ForgetLinks();
    list_clear(bases);
    folder.Assign(install_folder);
    // The bases are held against the install folder as recorded, also one
    // that bounds nothing (a short name or a link on its way): a base above
    // it would still hold what the record lists there, and all beside it.
    bool identified = folder_identity_of(folder.Text(), folder_identity);
    folder_lineage.Clear();
    if (identified)
        folder_lineage.Add(folder.Text());

    for (auto* node = base_folders.first; node; node = node->next) {
        const wchar_t* base = node->element.Text();
        cFolderIdentity identity;
        if (!folders.Sound(base) || !folder_identity_of(base, identity) || within(folder_identity, identity, true) ||
            folder_lineage.Holds(base))
            continue;
        if (cFolderIdentity* kept = list_append(bases)) {
            kept->text = static_cast<_typebuf<wchar_t>&&>(identity.text);
            kept->length = identity.length;
        }
    }
    folder_sound = identified && folders.Sound(folder.Text());
    if (!folder_sound)
        folder_identity.length = 0;

    group.Assign(start_menu_group);
    group_recorded = start_menu_group != nullptr;
    group_programs = folders.SoundGroup(group.Text()) && folder_identity_of(group.Text(), group_identity)
                         ? folders.ProgramsHolding(group.Text())
                         : nullptr;
    if (!group_programs) {
        group.Clear();
        group_identity.length = 0;
    }
}

const cFolderIdentity* cRecordBounds::BoundOf(const cFolderIdentity& path, bool or_same) const
{
    if (within(path, folder_identity, or_same))
        return &folder_identity;
    for (auto* node = bases.first; node; node = node->next)
        if (within(path, node->element, or_same))
            return &node->element;
    return within(path, group_identity, or_same) ? group_programs : nullptr;
}

bool cRecordBounds::Resolves(const wchar_t* folder)
{
    cPackedKey key;
    path_identity_key(folder, key);
    if (const uint8_t* known = tree_find_value(resolved, key))
        return *known != 0;
    bool resolves = path_resolves_as_written(folder);
    if (uint8_t* kept = tree_get_or_add(resolved, static_cast<cPackedKey&&>(key)))
        *kept = resolves ? 1 : 0;
    return resolves;
}

uint32_t cRecordBounds::PlaceOf(const wchar_t* path)
{
    cFolderIdentity identity;
    if (!recorded_path_sound(path) || !folder_identity_of(path, identity))
        return RECORDED_OUTSIDE;
    const cFolderIdentity* bound = BoundOf(identity, false);
    _guardchar<wchar_t> parent;
    if (!bound || bound == group_programs || !parent_folder_of(path, parent) || !Resolves(parent.Text()))
        return RECORDED_OUTSIDE;
    return bound == &folder_identity ? RECORDED_IN_FOLDER : RECORDED_IN_BASE;
}

bool cRecordBounds::HoldsShortcut(const wchar_t* path)
{
    cFolderIdentity identity, parent;
    if (!is_shortcut_name(path) || !recorded_path_sound(path) || !folder_identity_of(path, identity) ||
        !identity_of_parent(path, parent))
        return false;
    const cFolderIdentity* programs = nullptr;
    if (within(identity, group_identity, false)) {
        programs = group_programs;
    } else if (!group_recorded) {
        // A product without a group of its own puts its shortcuts directly
        // in the Programs folder.
        programs = folders.ProgramsHolding(path);
        if (programs && parent.length != programs->length)
            programs = nullptr;
    }
    _guardchar<wchar_t> folder;
    return programs && parent_folder_of(path, folder) && Resolves(folder.Text());
}

bool cRecordBounds::ReadMadeFolders(cRecordReader& record, cLinkedList<_guardchar<wchar_t>>& out) const
{
    uint64_t count = 0;
    if (!record.ListLength(record_made_folders, count))
        return false;
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> made;
        cFolderIdentity identity;
        if (!record.ReadText(record_made_folders.item, i, made) || !recorded_path_sound(made.Text()) ||
            !folder_identity_of(made.Text(), identity) || !BoundOf(identity, true) ||
            !folders.Sound(made.Text()))
            continue;
        if (_guardchar<wchar_t>* kept = list_append(out))
            kept->Swap(made);
    }
    return true;
}

bool cRecordBounds::InFolderOrBase(const wchar_t* path) const
{
    cFolderIdentity identity;
    if (!recorded_path_sound(path) || !folder_identity_of(path, identity))
        return false;
    if (within(identity, folder_identity, true))
        return true;
    for (auto* node = bases.first; node; node = node->next)
        if (within(identity, node->element, false))
            return true;
    return false;
}

bool cRecordBounds::InGroup(const wchar_t* path) const
{
    cFolderIdentity identity;
    return recorded_path_sound(path) && folder_identity_of(path, identity) && within(identity, group_identity, true);
}

bool cRecordBounds::LinkOnTheWay(const wchar_t* path)
{
    cFolderIdentity identity;
    if (!recorded_path_sound(path) || !folder_identity_of(path, identity))
        return true;
    return !BoundOf(identity, true) || !Resolves(path);
}

void cRecordBounds::ForgetLinks()
{
    tree_clear(resolved);
}

bool delete_shortcut_and_empty_group(const wchar_t* path, const cProductFolders& folders)
{
    if (!delete_plain_file(path))
        return false;
    _guardchar<wchar_t> group;
    // Removing a folder that still holds something fails and changes nothing.
    if (parent_folder_of(path, group) && folders.SoundGroup(group.Text()))
        path_remove_folder(group.Text());
    return true;
}

void read_record_bases(cRecordReader& record, cLinkedList<_guardchar<wchar_t>>& out)
{
    uint64_t count = 0;
    record.ListLength(record_bases, count);
    for (uint64_t i = 0; i < count; ++i) {
        _guardchar<wchar_t> base;
        if (record.ReadText(record_bases.item, i, base))
            if (_guardchar<wchar_t>* kept = list_append(out))
                kept->Swap(base);
    }
}
