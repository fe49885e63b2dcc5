#include "tools/install/folder_strings.h"

#include "base/path.h"
#include "base/string_utils.h"
#include "tools/install/product_folders.h"
#include "tools/package/package.h"

uint32_t check_folder_strings(const cPackage& package, const cProductFolders& folders,
                              const cPackageFileEntry** entry, const wchar_t** folder)
{
    for (auto* node = package.files.first; node; node = node->next) {
        const wchar_t* key = node->element.folder_key.Text();
        if (!key || !key[0] || wstr_compare(key, package_pgm_key) == 0)
            continue;
        const wchar_t* text = package.GetString(key);
        if (folders.Sound(text))
            continue;
        if (entry)
            *entry = &node->element;
        if (folder)
            *folder = text;
        // The text alone tells a malformed folder; a well-formed one that
        // is not sound is one of the machine's.
        return recorded_path_sound(text) && path_is_folder_below_root(text) ? FOLDER_STRING_OF_SYSTEM
                                                                            : FOLDER_STRING_MALFORMED;
    }
    return FOLDER_STRINGS_SOUND;
}
