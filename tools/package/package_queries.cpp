#include "tools/package/package_queries.h"

#include <string.h>

#include "base/buf_wrapper_io.h"
#include "base/environment.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/sha256.h"
#include "base/string_utils.h"
#include "base/system_info.h"
#include "base/z_stream.h"
#include "tools/shell/version_query.h"

namespace {

bool assign(_guardchar<wchar_t>& out, const wchar_t* text)
{
    out.Assign(text);
    return !text || !text[0] || out.Text();
}

bool platform_matches(const cPackageFileEntry& entry, bool windows64)
{
    return windows64 ? entry.for_64bit : entry.for_32bit;
}

bool language_matches(const cPackageFileEntry& entry, int32_t language)
{
    if (!entry.languages.first)
        return true;
    for (auto* node = entry.languages.first; node; node = node->next)
        if (node->element == language)
            return true;
    return false;
}

// The program-files folder named by the variable, when it is one.
bool program_files_from(const wchar_t* variable, _guardchar<wchar_t>& out)
{
    if (!env_get(variable, out))
        return false;
    path_from_native(out.Buffer());
    return path_get_kind(out.Text()) == PATH_KIND_FOLDER;
}

}  // namespace

void list_package_languages(const cPackage& package, cLinkedList<int32_t>& out)
{
    list_clear(out);
    for (auto* node = tree_first_node(package.language_strings); node; node = tree_next_node(node))
        if (int32_t* id = list_append(out))
            *id = node->key;
}

bool copy_replaced_products(const cPackage& package, cLinkedList<cPackageReplacedProduct>& out)
{
    list_clear(out);
    for (auto* node = package.replaced.first; node; node = node->next)
        if (cPackageReplacedProduct* copy = list_append(out)) {
            copy->code_name.Assign(node->element.code_name.Text());
            copy->major = node->element.major;
        }
    return true;
}

bool set_pgm_folder(cPackageStrings& table, const wchar_t* folder)
{
    cPackedKey key;
    packedkey_from_wstr(key, package_pgm_key, -1);
    _guardchar<wchar_t>* value = tree_get_or_add(table, static_cast<cPackedKey&&>(key));
    return value && assign(*value, folder);
}

namespace {

// folder + '/' + path as resolve_item_path joins them.
bool join_item_path(const wchar_t* folder, const wchar_t* path, _guardchar<wchar_t>& out)
{
    if (!folder[0])
        return assign(out, path);
    if (!path || !path[0])
        return assign(out, folder);
    bool separated = folder[wstr_length(folder) - 1] == L'/';
    return path_format(out, separated ? L"%s%s" : L"%s/%s", folder, path);
}

// Stands for the install folder the user will choose: a folder of its own
// below a drive's root, so that the faults found are those of every choice.
const wchar_t stand_in_install_folder[] = L"C:/Program Files/Product";

uint32_t fail_target(cInstallTargetFault* fault, uint32_t kind, const cPackageFileEntry* entry,
                     const cPackageFileEntry* other, const wchar_t* target)
{
    if (fault) {
        fault->kind = kind;
        fault->entry = entry;
        fault->other = other;
        fault->target.Assign(target);
    }
    return kind;
}

// The entry's target, inside its folder and short enough to be written. A
// folder the package names must lie below a root: the install folder is
// the user's choice, checked where it is made.
uint32_t resolve_target(const cPackage& package, const cPackageFileEntry& entry, const wchar_t* install_folder,
                        _guardchar<wchar_t>& target)
{
    const wchar_t* key = entry.folder_key.Text();
    bool install = key && wstr_compare(key, package_pgm_key) == 0;
    const wchar_t* folder = install && install_folder ? install_folder : key && key[0] ? package.GetString(key) : L"";
    if (!folder || !join_item_path(folder, entry.path.Text(), target))
        return INSTALL_TARGET_UNRESOLVED;
    if (!path_is_inside(target.Text(), folder) || target.Length() > package_target_limit)
        return INSTALL_TARGET_OUTSIDE;
    if (!install && !path_is_folder_below_root(folder))
        return INSTALL_TARGET_IN_ROOT;
    return INSTALL_TARGETS_SOUND;
}

// A target listed with the entry and the item made of it.
struct cPlacedTarget {
    const cPackageFileEntry* entry;
    const cInstallItem* item;
};

typedef cTreeMap<cPackedKey, cPlacedTarget> cTargetsByIdentity;

// A target whose folder, or a folder above it, is another target.
uint32_t find_target_in_folder(const cTargetsByIdentity& targets, cInstallTargetFault* fault)
{
    for (auto* node = tree_first_node(targets); node; node = tree_next_node(node)) {
        _typebuf<wchar_t> identity;
        int32_t length = 0;
        const cPlacedTarget& placed = node->value;
        if (!path_identity_text(placed.item->target_path.Text(), identity, length))
            return fail_target(fault, INSTALL_TARGET_UNRESOLVED, placed.entry, nullptr, nullptr);
        for (int32_t cut = length - 1; cut > 0; --cut) {
            if (identity[cut] != L'/')
                continue;
            cPackedKey folder;
            packedkey_from_wstr(folder, identity.Data(), cut);
            if (const cPlacedTarget* holder = tree_find_value(targets, folder))
                return fail_target(fault, INSTALL_TARGET_IN_FOLDER, placed.entry, holder->entry,
                                   holder->item->target_path.Text());
        }
    }
    return INSTALL_TARGETS_SOUND;
}

// The names the installer gives a target while it replaces it; a later run
// takes whatever it finds there for what an interrupted run left.
const wchar_t* const replacement_suffixes[] = {L".tmp", L".bkp"};

// A target that is another target's name with a replacement suffix, as
// Windows compares names.
uint32_t find_replacement_target(const cTargetsByIdentity& targets, cInstallTargetFault* fault)
{
    for (auto* node = tree_first_node(targets); node; node = tree_next_node(node)) {
        const cPlacedTarget& placed = node->value;
        const wchar_t* target = placed.item->target_path.Text();
        int32_t length = wstr_length(target);
        for (const wchar_t* suffix : replacement_suffixes) {
            _guardchar<wchar_t> name;
            name.Allocate(length + 5);
            if (!name.Buffer())
                return fail_target(fault, INSTALL_TARGET_UNRESOLVED, placed.entry, nullptr, target);
            memcpy(name.Buffer(), target, size_t(length) * sizeof(wchar_t));
            memcpy(name.Buffer() + length, suffix, 4 * sizeof(wchar_t));
            cPackedKey identity;
            path_identity_key(name.Text(), identity);
            if (const cPlacedTarget* taken = tree_find_value(targets, identity))
                return fail_target(fault, INSTALL_TARGET_REPLACEMENT, taken->entry, placed.entry,
                                   taken->item->target_path.Text());
        }
    }
    return INSTALL_TARGETS_SOUND;
}

}  // namespace

bool resolve_item_path(const cPackage& package, const wchar_t* folder_key, const wchar_t* path,
                       _guardchar<wchar_t>& out)
{
    if (!folder_key || !folder_key[0])
        return assign(out, path);
    const wchar_t* folder = package.GetString(folder_key);
    return folder && join_item_path(folder, path, out);
}

uint32_t build_install_targets(const cPackage& package, bool windows64, const wchar_t* install_folder,
                               cLinkedList<cInstallItem>& out, cInstallTargetFault* fault)
{
    list_clear(out);
    cTargetsByIdentity targets(1024);
    for (auto* node = package.files.first; node; node = node->next) {
        const cPackageFileEntry& entry = node->element;
        if (!platform_matches(entry, windows64) || !language_matches(entry, package.current_language))
            continue;
        const cPackageMember* member = package_member(package, entry.member_index);
        cInstallItem* item = list_append(out);
        if (!member || !item)
            return fail_target(fault, INSTALL_TARGET_UNRESOLVED, &entry, nullptr, nullptr);
        uint32_t kind = resolve_target(package, entry, install_folder, item->target_path);
        if (kind != INSTALL_TARGETS_SOUND)
            return fail_target(fault, kind, &entry, nullptr, item->target_path.Text());
        cPackedKey identity;
        path_identity_key(item->target_path.Text(), identity);
        if (const cPlacedTarget* same = identity.Data() ? tree_find_value(targets, identity) : nullptr)
            return fail_target(fault, INSTALL_TARGETS_COLLIDE, &entry, same->entry, item->target_path.Text());
        cPlacedTarget* placed = identity.Data() ? tree_get_or_add(targets, static_cast<cPackedKey&&>(identity)) : nullptr;
        if (!placed)
            return fail_target(fault, INSTALL_TARGET_UNRESOLVED, &entry, nullptr, item->target_path.Text());
        placed->entry = &entry;
        placed->item = item;
        item->member_index = entry.member_index;
        memcpy(item->access, entry.access, 3);
        memcpy(item->digest, member->digest, 32);
    }
    uint32_t kind = find_target_in_folder(targets, fault);
    return kind == INSTALL_TARGETS_SOUND ? find_replacement_target(targets, fault) : kind;
}

bool build_install_file_list(const cPackage& package, cLinkedList<cInstallItem>& out)
{
    return build_install_file_list_for(package, os_is_wow64(), out);
}

bool build_install_file_list_for(const cPackage& package, bool windows64, cLinkedList<cInstallItem>& out)
{
    return build_install_targets(package, windows64, nullptr, out, nullptr) == INSTALL_TARGETS_SOUND;
}

uint32_t check_install_targets(const cPackage& package, bool windows64, cInstallTargetFault* fault)
{
    cLinkedList<cInstallItem> items;
    return build_install_targets(package, windows64, stand_in_install_folder, items, fault);
}
bool build_shortcut_items(const cPackage& package, cLinkedList<cShortcutItem>& out)
{
    list_clear(out);
    for (auto* node = package.menu.first; node; node = node->next) {
        const cPackageMenuEntry& entry = node->element;
        cShortcutItem* item = list_append(out);
        const wchar_t* name = package.GetString(entry.name_key.Text());
        if (!item || !name || !assign(item->name, name))
            return false;
        if (!resolve_item_path(package, entry.icon_folder_key.Text(), entry.icon_path.Text(), item->icon_path) ||
            !resolve_item_path(package, entry.target_folder_key.Text(), entry.target_path.Text(), item->target_path))
            return false;
        if (!assign(item->arguments, package.GetString(entry.arguments_key.Text())) ||
            !assign(item->description, package.GetString(entry.description_key.Text())))
            return false;
        item->run_as_administrator = (entry.flag & 1) != 0;
    }
    return true;
}

bool build_run_list(const cPackage& package, cLinkedList<cFinishItem>& out)
{
    list_clear(out);
    for (auto* node = package.runs.first; node; node = node->next) {
        const cPackageRunEntry& entry = node->element;
        cFinishItem* item = list_append(out);
        const wchar_t* name = package.GetString(entry.name_key.Text());
        if (!item || !name || !assign(item->name, name))
            return false;
        item->ticked = entry.ticked;
        if (!resolve_item_path(package, entry.folder_key.Text(), entry.path.Text(), item->command_path) ||
            !assign(item->arguments, package.GetString(entry.arguments_key.Text())))
            return false;
    }
    return true;
}

uint64_t package_space_needed(const cPackage& package, uint32_t cluster_size)
{
    return package_space_needed_for(package, os_is_wow64(), cluster_size);
}

uint64_t package_space_needed_for(const cPackage& package, bool windows64, uint32_t cluster_size)
{
    uint64_t cluster = cluster_size ? cluster_size : 1;
    uint64_t total = 0;
    for (auto* node = package.files.first; node; node = node->next)
        if (platform_matches(node->element, windows64)) {
            uint64_t size = package_member_size(package, node->element.member_index);
            total += (size / cluster + (size % cluster != 0)) * cluster;
        }
    return total;
}

bool format_display_version(const cPackage& package, _guardchar<wchar_t>& out)
{
    return format_version_text(package.version, out);
}

cFileIOTarget* open_package_member(const cPackage& package, uint32_t index)
{
    const cPackageMember* member = package_member(package, index);
    if (!member || !member->Bytes() || member->Size() > INT32_MAX)
        return nullptr;
    cBufWrapperIO* reader = new cBufWrapperIO(const_cast<uint8_t*>(member->Bytes()), int32_t(member->Size()), false);
    if (!reader)
        return nullptr;
    if (member->unpacked_size == 0)
        return reader;
    cZStream* stream = new cZStream;
    if (!stream) {
        delete reader;
        return nullptr;
    }
    // The stream owns the reader from here on, also when it fails.
    if (!stream->Attach(reader, member->unpacked_size, 4096, true)) {
        delete stream;
        return nullptr;
    }
    return stream;
}

uint64_t package_member_size(const cPackage& package, uint32_t index)
{
    const cPackageMember* member = package_member(package, index);
    if (!member)
        return 0;
    return member->unpacked_size ? member->unpacked_size : uint64_t(member->Size());
}

bool sha256_of_stream(cFileIOTarget* stream, uint8_t digest[32])
{
    if (!stream)
        return false;
    cSha256Context hash;
    sha256_init(hash);
    uint8_t piece[4096];
    for (;;) {
        int32_t count = stream->Read(piece, sizeof piece);
        if (count <= 0)
            break;
        sha256_update(hash, piece, size_t(count));
    }
    sha256_final(hash, digest);
    return true;
}

bool get_program_files_folder(_guardchar<wchar_t>& out)
{
    if (program_files_from(L"ProgramW6432", out) || program_files_from(L"ProgramFiles", out))
        return true;
    out.Assign(L"C:/Program Files");
    return path_get_kind(out.Text()) == PATH_KIND_FOLDER;
}

bool get_manager_place(_guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> program_files, common, maker;
    return get_program_files_folder(program_files) && path_join(program_files.Text(), L"Common Files", common) &&
           path_join(common.Text(), L"Vantrel", maker) && path_join(maker.Text(), L"pelmarodesk.exe", out);
}

bool get_manager_exe_path(_guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> manager, maker, common;
    if (!get_manager_place(manager) || !parent_folder_of(manager.Text(), maker) ||
        !parent_folder_of(maker.Text(), common))
        return false;
    uint32_t kinds[] = {path_get_kind(common.Text()), path_get_kind(maker.Text()), path_get_kind(manager.Text())};
    // Nothing, or a folder, where the folders go; nothing, or a file, at
    // the manager's name.
    for (uint32_t i = 0; i < 3; ++i)
        if (kinds[i] != PATH_KIND_MISSING && kinds[i] != (i < 2 ? PATH_KIND_FOLDER : PATH_KIND_FILE))
            return false;
    out.Swap(manager);
    return true;
}
