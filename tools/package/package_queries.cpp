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

// folder/name, made when missing; false when it is not a folder then.
bool folder_below(const wchar_t* folder, const wchar_t* name, _guardchar<wchar_t>& out)
{
    return path_join(folder, name, out) && path_create_folder(out.Text());
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

bool resolve_item_path(const cPackage& package, const wchar_t* folder_key, const wchar_t* path,
                       _guardchar<wchar_t>& out)
{
    if (!folder_key || !folder_key[0])
        return assign(out, path);
    const wchar_t* folder = package.GetString(folder_key);
    if (!folder)
        return false;
    if (!folder[0])
        return assign(out, path);
    if (!path || !path[0])
        return assign(out, folder);
    bool separated = folder[wstr_length(folder) - 1] == L'/';
    return path_format(out, separated ? L"%s%s" : L"%s/%s", folder, path);
}

bool build_install_file_list(const cPackage& package, cLinkedList<cInstallItem>& out)
{
    return build_install_file_list_for(package, os_is_wow64(), out);
}

bool build_install_file_list_for(const cPackage& package, bool windows64, cLinkedList<cInstallItem>& out)
{
    list_clear(out);
    cTreeMap<cPackedKey, uint8_t> targets(1024);
    for (auto* node = package.files.first; node; node = node->next) {
        const cPackageFileEntry& entry = node->element;
        if (!platform_matches(entry, windows64) || !language_matches(entry, package.current_language))
            continue;
        const cPackageMember* member = package_member(package, entry.member_index);
        cInstallItem* item = list_append(out);
        if (!member || !item || !resolve_item_path(package, entry.folder_key.Text(), entry.path.Text(), item->target_path))
            return false;
        cPackedKey identity;
        path_identity_key(item->target_path.Text(), identity);
        if (!identity.Data() || tree_find_node(targets, identity))
            return false;
        if (!tree_get_or_add(targets, static_cast<cPackedKey&&>(identity)))
            return false;
        item->member_index = entry.member_index;
        memcpy(item->access, entry.access, 3);
        memcpy(item->digest, member->digest, 32);
    }
    return true;
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

uint64_t package_space_needed(const cPackage& package)
{
    return package_space_needed_for(package, os_is_wow64());
}

uint64_t package_space_needed_for(const cPackage& package, bool windows64)
{
    uint64_t total = 0;
    for (auto* node = package.files.first; node; node = node->next)
        if (platform_matches(node->element, windows64)) {
            uint64_t size = package_member_size(package, node->element.member_index);
            total += (size + 65535) & ~uint64_t(65535);
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

bool get_manager_exe_path(_guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> program_files;
    if (!get_program_files_folder(program_files))
        return false;
    _guardchar<wchar_t> common, maker;
    if (!folder_below(program_files.Text(), L"Common Files", common) || !folder_below(common.Text(), L"Vantrel", maker))
        return false;
    _guardchar<wchar_t> manager;
    if (!path_join(maker.Text(), L"pelmarodesk.exe", manager))
        return false;
    uint32_t kind = path_get_kind(manager.Text());
    if (kind != PATH_KIND_MISSING && kind != PATH_KIND_FILE)
        return false;
    out.Assign(manager.Text());
    return out.Text() != nullptr;
}
