#include "tools/install/known_names.h"

#include "base/case_map.h"
#include "base/file_ops.h"
#include "base/folder_listing.h"
#include "base/string_utils.h"

namespace {

const uint64_t hash_start = 14695981039346656037ull;

// FNV-1a over the units as Windows compares file names: one hash for every
// spelling of a name that Windows takes as the same.
uint64_t hash_units(uint64_t hash, const wchar_t* text, const wchar_t* end)
{
    for (; text != end && *text; ++text) {
        hash ^= uint16_t(wchar_to_name_upper(*text));
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

cKnownNames::cKnownNames() : folders(512), names(1024) {}

bool cKnownNames::MayHold(const wchar_t* path)
{
    const wchar_t* cut = wstr_find_last_char(path, L'/');
    if (!cut)
        return true;
    uint64_t folder = hash_units(hash_start, path, cut);
    if (auto* known = tree_find_node(folders, folder))
        return !known->value || tree_find_node(names, hash_units(hash_start, path, nullptr));
    _guardchar<wchar_t> folder_path;
    folder_path.AssignN(path, int32_t(cut - path));
    cFolderListing listing;
    // Nothing is under a missing folder or under a file.
    bool listed = listing.Read(folder_path.Text(), false);
    uint8_t* telling = tree_get_or_add(folders, folder);
    if (!telling)
        return true;
    *telling = !listed || listing.Count() != 0;
    const wchar_t separator[] = L"/";
    for (uint32_t index = 0; index < listing.Count(); ++index) {
        const cFolderEntry* entry = listing.GetEntry(index);
        uint8_t* name = entry ? tree_get_or_add(names, hash_units(hash_units(folder, separator, nullptr),
                                                                  entry->name.Text(), nullptr))
                              : nullptr;
        if (!name) {
            // Without the whole listing the folder's names tell nothing.
            *telling = 0;
            return true;
        }
        *name = 1;
    }
    return !*telling || tree_find_node(names, hash_units(hash_start, path, nullptr));
}

uint32_t cKnownNames::Kind(const wchar_t* path)
{
    return MayHold(path) ? path_get_kind(path) : PATH_KIND_MISSING;
}

void cKnownNames::Add(const wchar_t* path)
{
    if (uint8_t* name = tree_get_or_add(names, hash_units(hash_start, path, nullptr)))
        *name = 1;
    else if (const wchar_t* cut = wstr_find_last_char(path, L'/'))
        // Without the name its folder's listing no longer tells anything.
        if (uint8_t* folder = tree_get_or_add(folders, hash_units(hash_start, path, cut)))
            *folder = 0;
}

void cKnownNames::Clear()
{
    tree_clear(folders);
    tree_clear(names);
}
