#include "tools/install/product_info.h"

#include "base/string_utils.h"
#include "tools/package/package.h"
#include "tools/package/package_queries.h"

const wchar_t product_code_name_key[] = L"codename";
const wchar_t product_name_key[] = L"name";
const wchar_t product_publisher_key[] = L"publisher";
const wchar_t product_group_key[] = L"group";
const wchar_t product_folder_key[] = L"folder";

uint64_t pack_version(const uint32_t version[4])
{
    return uint64_t(version[0] & 0xFFFF) << 48 | uint64_t(version[1] & 0xFFFF) << 32 |
           uint64_t(version[2] & 0xFFFF) << 16 | uint64_t(version[3] & 0xFFFF);
}

void package_base_folders(const cPackage& package, cLinkedList<_guardchar<wchar_t>>& out)
{
    for (auto* node = package.files.first; node; node = node->next) {
        const wchar_t* key = node->element.folder_key.Text();
        const wchar_t* folder = key && wstr_compare(key, package_pgm_key) != 0 ? package.GetString(key) : nullptr;
        if (folder && folder[0])
            if (_guardchar<wchar_t>* base = list_append(out))
                base->Assign(folder);
    }
}

bool product_icon_path(const cPackage& package, _guardchar<wchar_t>& out)
{
    if (package.icon_folder_key.IsEmpty() ||
        !resolve_item_path(package, package.icon_folder_key.Text(), package.icon_path.Text(), out))
        return false;
    return !out.IsEmpty();
}
