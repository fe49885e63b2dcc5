#include "tools/package/package.h"

#include <string.h>

#include "base/case_map.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "gui/language.h"

const wchar_t package_pgm_key[] = L"pgm";

namespace {

cSiDocContainer* current_document(cPackageDocument& document, int32_t language)
{
    return tree_find_value(document.loader.languages, language);
}

const wchar_t* text_of(const _guardchar<wchar_t>& text)
{
    return text.Text() ? text.Text() : L"";
}

}  // namespace

cPackage::cPackage()
    : strings(1024), language_strings(512), current_language(0), readme_accept(false), members(1024),
      literals(1024), literal_counter(0), scenario_section(0), scenario_line(0)
{
    version[0] = version[1] = version[2] = version[3] = 0;
}

void cPackage::Clear()
{
    list_clear(menu);
    list_clear(files);
    list_clear(runs);
    list_clear(replaced);
    tree_clear(strings);
    tree_clear(language_strings);
    version[0] = version[1] = version[2] = version[3] = 0;
    support_url.Clear();
    publisher_url.Clear();
    updates_url.Clear();
    icon_folder_key.Clear();
    icon_path.Clear();
    cPackageDocument* documents[] = {&welcome, &readme, &licence};
    for (cPackageDocument* document : documents) {
        document->loader.Clear();
        document->bytes.Clear();
    }
    readme_accept = false;
    tree_clear(members);
    block.Clear();
    list_clear(settings);
    tree_clear(literals);
    literal_counter = 0;
    scenario_section = 0;
    scenario_line = 0;
    list_clear(pending_members);
    scenario_fault.Clear();
    list_clear(scenario_inputs);
}

bool cPackage::SetLanguage(int32_t language)
{
    if (!tree_find_node(language_strings, language))
        return false;
    current_language = language;
    return true;
}

const wchar_t* cPackage::GetString(const wchar_t* key) const
{
    return GetStringIn(current_language, key);
}

const wchar_t* cPackage::GetStringIn(int32_t language, const wchar_t* key) const
{
    if (!key)
        return nullptr;
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    if (const cPackageStrings* table = tree_find_value(language_strings, language))
        if (const _guardchar<wchar_t>* value = tree_find_value(*table, packed))
            return value->IsEmpty() ? nullptr : value->Text();
    if (const _guardchar<wchar_t>* value = tree_find_value(strings, packed))
        return value->IsEmpty() ? L"" : value->Text();
    return nullptr;
}

cSiDocContainer* cPackage::GetWelcomeDoc()
{
    return current_document(welcome, current_language);
}

cSiDocContainer* cPackage::GetReadmeDoc()
{
    return current_document(readme, current_language);
}

cSiDocContainer* cPackage::GetEulaDoc()
{
    return current_document(licence, current_language);
}

namespace {

// Moves the nodes of one list to another, which is emptied first; nodes
// keep their addresses, so the runs' bytes stay where they are.
void take_runs(cLinkedList<_typebuf<uint8_t>>& to, cLinkedList<_typebuf<uint8_t>>& from)
{
    list_clear(to);
    to.first = from.first;
    to.last = from.last;
    from.first = from.last = nullptr;
}

}  // namespace

cPackageMember& cPackageMember::operator=(cPackageMember&& other)
{
    if (this != &other) {
        unpacked_size = other.unpacked_size;
        memcpy(digest, other.digest, 32);
        take_runs(own, other.own);
        stored = other.stored;
        stored_size = other.stored_size;
        other.Clear();
    }
    return *this;
}

void cPackageMember::Own(cLinkedList<_typebuf<uint8_t>>& runs)
{
    take_runs(own, runs);
    uint64_t size = 0;
    for (auto* node = own.first; node; node = node->next)
        size += uint32_t(node->element.Count());
    stored = own.first && own.first == own.last ? own.first->element.Data() : nullptr;
    stored_size = size > UINT32_MAX ? 0 : uint32_t(size);
}

void cPackageMember::Refer(const uint8_t* bytes, uint32_t size)
{
    list_clear(own);
    stored = bytes;
    stored_size = bytes ? size : 0;
}

void cPackageMember::Clear()
{
    list_clear(own);
    stored = nullptr;
    stored_size = 0;
}

uint32_t package_member_count(const cPackage& package)
{
    return uint32_t(tree_next_free_int(package.members));
}

const cPackageMember* package_member(const cPackage& package, uint32_t index)
{
    if (index > INT32_MAX)
        return nullptr;
    return tree_find_value(package.members, int32_t(index));
}

bool is_package_key_defined(const cPackage& package, const wchar_t* key, int32_t* missing_language)
{
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    if (tree_find_node(package.strings, packed) || !wstr_compare(key, package_pgm_key))
        return true;
    for (auto* table = tree_first_node(package.language_strings); table; table = tree_next_node(table))
        if (!tree_find_node(table->value, packed)) {
            if (missing_language)
                *missing_language = table->key;
            return false;
        }
    return true;
}

const wchar_t* package_first_undefined_key(const cPackage& package)
{
    const _guardchar<wchar_t>* undefined = nullptr;
    auto test = [&package, &undefined](const _guardchar<wchar_t>& key) {
        if (!undefined && !is_package_key_defined(package, text_of(key), nullptr))
            undefined = &key;
    };
    if (!package.icon_folder_key.IsEmpty())
        test(package.icon_folder_key);
    for (auto* node = package.menu.first; node; node = node->next) {
        test(node->element.name_key);
        test(node->element.target_folder_key);
        test(node->element.icon_folder_key);
    }
    for (auto* node = package.files.first; node; node = node->next)
        test(node->element.folder_key);
    for (auto* node = package.runs.first; node; node = node->next) {
        test(node->element.name_key);
        test(node->element.folder_key);
    }
    return undefined ? text_of(*undefined) : nullptr;
}

bool package_relative_path_valid(const wchar_t* path)
{
    // "C:/" at least goes before it.
    if (!path || !path[0] || wstr_length(path) > package_target_limit - 3)
        return false;
    const wchar_t* segment = path;
    for (const wchar_t* at = path;; ++at) {
        if (*at != L'/' && *at != 0)
            continue;
        int32_t length = int32_t(at - segment);
        if (!path_is_plain_file_name(segment, length) || package_name_is_short_alias(segment, length))
            return false;
        if (*at == 0)
            return length <= package_leaf_limit;
        segment = at + 1;
    }
}

bool package_name_is_short_alias(const wchar_t* name, int32_t length)
{
    int32_t base = 0;
    bool tilde = false;
    while (base < length && name[base] != L'.')
        tilde |= name[base++] == L'~';
    if (!tilde || base > 8)
        return false;
    for (int32_t at = base + 1; at < length; ++at)
        if (name[at] == L'.')
            return false;
    return length - base <= 4;
}

bool package_code_name_valid(const wchar_t* name)
{
    if (!name || !name[0] || wchar_is_space(name[0]) || wchar_is_space(name[wstr_length(name) - 1]))
        return false;
    for (; *name; ++name)
        if (*name == L'/' || *name == L'\\')
            return false;
    return true;
}

int32_t package_language_from_code(const wchar_t* text)
{
    if (!text)
        return -1;
    for (uint32_t id = 0; id < package_language_limit; ++id) {
        const wchar_t* code = get_language_code(id);
        if (text[0] == code[0] && text[0] && text[1] == code[1] && text[1] && text[2] == code[2])
            return int32_t(id);
    }
    return -1;
}
