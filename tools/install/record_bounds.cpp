#include "tools/install/record_bounds.h"

#include <string.h>

#include "base/app_config.h"
#include "base/format.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "tools/install/file_replace.h"

namespace {

bool record_value_key(const char* key, const char* name, _guardchar<char>& out)
{
    int32_t size = int32_t(strlen(key) + strlen(name)) + 2;
    out.Allocate(size);
    return out.Buffer() && str_format(out.Buffer(), size, "%s/%s", key, name) > 0;
}

bool read_text(cApplicationConfig& store, const char* key, const char* name, _guardchar<wchar_t>& out)
{
    _guardchar<char> full;
    return record_value_key(key, name, full) && store.ReadString(full.Text(), out);
}

}  // namespace

bool read_recorded_folders(cApplicationConfig& store, const char* key, const char* count_name, const char* name,
                           int32_t limit, cLinkedList<_guardchar<wchar_t>>& out)
{
    _guardchar<char> full;
    int64_t count = 0;
    if (!record_value_key(key, count_name, full) || !store.ReadInt64(full.Text(), count) || count < 0)
        return false;
    if (count > limit)
        count = limit;
    for (int32_t index = 0; index < int32_t(count); ++index) {
        char indexed[64];
        _guardchar<wchar_t> folder;
        str_format(indexed, sizeof(indexed), "%s%d", name, index);
        if (!read_text(store, key, indexed, folder) || !path_is_folder_below_root(folder.Text()))
            continue;
        if (_guardchar<wchar_t>* kept = list_append(out))
            kept->Swap(folder);
    }
    return true;
}

cRecordBounds::cRecordBounds(cApplicationConfig& store, const char* key)
{
    if (!read_text(store, key, "path", folder))
        folder.Clear();
    group_recorded = read_text(store, key, "group", group);
    if (!group_recorded && !get_start_menu_folder(nullptr, group))
        group.Clear();
    read_recorded_folders(store, key, "bases", "base", 1024, bases);
}

bool cRecordBounds::FolderSound() const
{
    return path_is_folder_below_root(folder.Text());
}

bool cRecordBounds::GroupSound() const
{
    return path_is_folder_below_root(group.Text());
}

bool cRecordBounds::HoldsFile(const wchar_t* path) const
{
    if (!FolderSound())
        return false;
    if (path_is_inside(path, folder.Text()))
        return true;
    for (auto* node = bases.first; node; node = node->next)
        if (path_is_inside(path, node->element.Text()))
            return true;
    return false;
}

bool cRecordBounds::HoldsShortcut(const wchar_t* path) const
{
    return GroupSound() && path_is_inside(path, group.Text());
}

void delete_recorded_manager_shortcut(cApplicationConfig& store)
{
    _guardchar<wchar_t> shortcut, programs;
    if (store.ReadString("installer/shortcut", shortcut) && get_start_menu_folder(nullptr, programs) &&
        path_is_folder_below_root(programs.Text()) && path_is_inside(shortcut.Text(), programs.Text()))
        delete_file_and_prune(shortcut.Text());
}
