#include "base/file_ops.h"
#include "base/format.h"
#include "base/path.h"
#include "base/wildcard.h"
#include "gui/controls/list_view_sort.h"
#include "gui/dialogs/file_choose_dialog.h"

// The chooser's folder lister, and the list it fills from what was listed:
// its columns, rows and sort keys.

namespace {

enum { name_column = 1, date_column = 2, type_column = 3, size_column = 4 };
const int32_t new_folder_button = 3;

// Texts of "ciom::filechoose".
const int32_t folder_type_text = 16;
const int32_t file_type_text = 17;
const int32_t root_type_text = 18;

// How an entry shows: its icon in the list-icon cache, its type text
// (negative: none) and its rank, by which folders sort before files.
struct cEntryLook {
    int16_t icon;
    int32_t type_text;
    int32_t rank;
};

cEntryLook look_of(uint32_t kind)
{
    switch (kind) {
    case PATH_KIND_FILE:
        return {2, file_type_text, 2};
    case PATH_KIND_FOLDER:
    case PATH_KIND_HOME:
        return {1, folder_type_text, 1};
    case PATH_KIND_DRIVE:
        return {0, root_type_text, 0};
    case PATH_KIND_OFFLINE_DRIVE:
        return {4, root_type_text, 4};
    default:
        return {3, -1, 3};
    }
}

// Sort keys wider than a cell's data word, from the row's entry of the
// shown listing (the context).
const cFolderEntry* entry_of(const cListViewChild::cCell* cell, void* listing)
{
    return static_cast<cFolderListing*>(listing)->GetEntry(uint32_t(cell->row));
}

uint64_t date_key(const cListViewChild::cCell* cell, void* listing)
{
    const cFolderEntry* entry = entry_of(cell, listing);
    if (!entry)
        return 0;
    const cDateTime& time = entry->last_write;
    return uint64_t(time.year) << 48 | uint64_t(time.month) << 40 | uint64_t(time.day) << 32 |
           uint64_t(time.hour) << 24 | uint64_t(time.minute) << 16 | uint64_t(time.second) << 8;
}

uint64_t type_key(const cListViewChild::cCell* cell, void*)
{
    return uint64_t(int64_t(int32_t(cell->data)));
}

uint64_t size_key(const cListViewChild::cCell* cell, void* listing)
{
    const cFolderEntry* entry = entry_of(cell, listing);
    return entry ? entry->size : 0;
}

}  // namespace

cFileChooseListFolder::cFileChooseListFolder() : listed(false) {}

cFileChooseListFolder::~cFileChooseListFolder()
{
    // Navigate writes the listing.
    Stop(4000);
}

bool cFileChooseListFolder::CanNavigate(const wchar_t* path)
{
    return !path || !path[0] || path_get_kind(path) == PATH_KIND_FOLDER || path_is_drive(path);
}

uint32_t cFileChooseListFolder::Navigate(const wchar_t* path)
{
    listed = path && path[0] ? listing.Read(path, true) : listing.ReadLocations();
    return listed ? 0 : 1;
}

bool cFileChooseListFolder::TakeListing(cFolderListing& into)
{
    if (listed) {
        into.Swap(listing);
        return true;
    }
    cFolderListing none;
    into.Swap(none);
    return false;
}

void cFileChooseDialog::SetUpColumns(int32_t extra_height)
{
    cPanelChild* panel = GetClientPanel();
    panel->AddChild(&list, 0, 24, -1, -80 - extra_height);
    const struct {
        int32_t id;
        int32_t title;
        int32_t width;
        int32_t alignment;
    } columns[] = {{name_column, 7, 190, 0}, {date_column, 8, 120, 0}, {type_column, 9, 70, 0}, {size_column, 10, 80, 2}};
    for (const auto& column : columns)
        list.SetColumn(column.id, LookupString(column.title), column.width, column.alignment);
    list.SetIconCaches(&list_icons, nullptr, nullptr);
    list.SetSortProvider(name_column, new cListViewChild::cListViewNameSortProvider(true));
    const struct {
        int32_t id;
        cListViewChild::cListViewU64PramSortProvider::cKeyFunction key;
    } keyed[] = {{date_column, date_key}, {type_column, type_key}, {size_column, size_key}};
    for (const auto& column : keyed) {
        cListViewChild::cListViewU64PramSortProvider* provider = new cListViewChild::cListViewU64PramSortProvider;
        if (provider)
            provider->SetKeyFunction(column.key, &shown);
        list.SetSortProvider(column.id, provider);
    }
}

void cFileChooseDialog::Refill(bool resort)
{
    list.Clear();
    list.BeginUpdate();
    bool filter_files = !pattern.IsEmpty();
    for (uint32_t index = 0; index < shown.Count(); ++index) {
        const cFolderEntry* entry = shown.GetEntry(index);
        if (entry->hidden && !options->show_hidden)
            continue;
        if (entry->kind == PATH_KIND_FILE && filter_files && !wildcard_match_list(entry->name.Text(), pattern.Text()))
            continue;
        cEntryLook look = look_of(entry->kind);
        int32_t row = int32_t(index);
        const wchar_t* name = entry->display.IsEmpty() ? entry->name.Text() : entry->display.Text();
        list.SetCell(row, name_column, name ? name : L"", look.icon, 0);
        const wchar_t* type = look.type_text >= 0 ? LookupString(look.type_text) : nullptr;
        list.SetCell(row, type_column, type ? type : L"", -1, uint32_t(look.rank));
        wchar_t size[32] = L"";
        if (entry->kind == PATH_KIND_FILE)
            wstr_format(size, 32, L"%lld KB", (long long)(entry->size / 1024));
        list.SetCell(row, size_column, size, -1, 0);
        const cDateTime& time = entry->last_write;
        wchar_t date[32] = L"";
        if (time.year != 0)
            wstr_format(date, 32, L"%02d.%02d.%04d %02d:%02d:%02d", time.day, time.month, time.year, time.hour,
                        time.minute, time.second);
        list.SetCell(row, date_column, date, -1, 0);
    }
    if (resort) {
        // Folders first, A to Z within each rank (the type sort keeps the
        // name order of equal ranks), whatever the header was turned to.
        list.SortByColumn(name_column, true);
        list.SortByColumn(type_column, true);
    }
    list.EndUpdate(false);
    top_buttons.SetButtonEnabled(new_folder_button, FolderListed());
    list.TakeFocus();
}
