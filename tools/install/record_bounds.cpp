#include "tools/install/record_bounds.h"

#include <string.h>

#include "base/app_config.h"
#include "base/format.h"
#include "base/path.h"
#include "base/special_folders.h"

namespace {

bool read_text(cApplicationConfig& store, const char* key, const char* name, _guardchar<wchar_t>& out)
{
    _guardchar<char> full;
    int32_t size = int32_t(strlen(key) + strlen(name)) + 2;
    full.Allocate(size);
    return full.Buffer() && str_format(full.Buffer(), size, "%s/%s", key, name) > 0 &&
           store.ReadString(full.Text(), out);
}

}  // namespace

cRecordBounds::cRecordBounds(cApplicationConfig& store, const char* key)
{
    if (!read_text(store, key, "path", folder))
        folder.Clear();
    if (!read_text(store, key, "group", group) && !get_start_menu_folder(nullptr, group))
        group.Clear();
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
    return FolderSound() && path_is_inside(path, folder.Text());
}

bool cRecordBounds::HoldsShortcut(const wchar_t* path) const
{
    return GroupSound() && path_is_inside(path, group.Text());
}
