#include "gui/dialogs/file_choose_dialog.h"

#include "base/file_ops.h"
#include "base/format.h"
#include "base/path.h"
#include "base/special_folders.h"
#include "base/string_utils.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/dialogs/message_form.h"
#include "gui/dialogs/new_folder_form.h"
#include "gui/theme.h"

// The file chooser's form, its answers to the user and its run; the list
// and the lister are in file_choose_list.cpp.

namespace {

const uint32_t row_action = 6;       // a toolbar button, a list row activated, a filter chosen
const uint32_t context_action = 2;
const uint32_t row_select_action = 7;
const uint32_t refresh_action = 8;
const uint32_t backspace_action = 9;
const uint32_t end_progress_action = 9;

enum { home_button = 1, places_button = 2, new_folder_button = 3 };

// Texts of "ciom::filechoose".
enum {
    cancel_text = 2,
    home_text = 4,
    places_text = 5,
    new_folder_text = 6,
    file_name_text = 11,
    all_files_text = 12,
    save_text = 13,
    open_text = 14,
    save_here_text = 15,
    file_exists_text = 19,
    folder_exists_text = 20,
    cannot_create_text = 21,
    special_exists_text = 22,
    filter_text = 23,
    custom_text = 24,
};

const int32_t label_width = 80;
const int32_t row_height = 22;

bool is_folder_kind(uint32_t kind)
{
    return kind == PATH_KIND_FOLDER || kind == PATH_KIND_DRIVE || kind == PATH_KIND_HOME ||
           kind == PATH_KIND_OFFLINE_DRIVE;
}

// The path's part before its last '/' names an existing folder.
bool parent_is_folder(const wchar_t* path)
{
    const wchar_t* last = wstr_find_last_char(path, L'/');
    if (!last)
        return false;
    _guardchar<wchar_t> parent;
    parent.AssignN(path, int32_t(last - path));
    return path_get_kind(parent.Text()) == PATH_KIND_FOLDER;
}

// The name ends in '.' and the extension, in any case.
bool has_extension(const wchar_t* name, const wchar_t* extension)
{
    int32_t length = wstr_length(name);
    int32_t extension_length = wstr_length(extension);
    return length > extension_length && name[length - extension_length - 1] == L'.' &&
           wstr_compare_nocase(name + length - extension_length, extension) == 0;
}

}  // namespace

cImageCache cFileChooseDialog::top_images;
cImageCache cFileChooseDialog::bottom_images;
cImageCache cFileChooseDialog::list_icons;

cFileChooseDialog::cFileChooseDialog(cFileChooseOptions* choose_options, cFileChooseListFolder* own_lister)
    : lister(own_lister ? own_lister : new cFileChooseListFolder), options(choose_options)
{
}

cFileChooseDialog::~cFileChooseDialog()
{
    // Stopped before the bar it reports to goes.
    delete lister;
}

void cFileChooseDialog::InitDefaults()
{
    cCustomForm::InitDefaults();
    // By image index.
    const uint32_t top[] = {82, 83, 84};
    const uint32_t bottom[] = {80, 78, 81};
    const uint32_t icons[] = {43, 48, 60, 63, 44};
    theme_fill_cache(&top_images, top, 3);
    theme_fill_cache(&bottom_images, bottom, 3);
    theme_fill_cache(&list_icons, icons, 5);
}

void cFileChooseDialog::OnCreate()
{
    InitDefaults();
    cCustomForm::OnCreate();
    int32_t extra_height = options->extra ? options->extra->GetPreferredHeight() : 0;
    SetMinSize(350, 300 + extra_height);

    add_dialog_tool_row(this, &top_buttons, &top_images);
    top_buttons.SetButtonsFocusable(false);
    top_buttons.SetButton(home_button, LookupString(home_text), 0);
    top_buttons.SetButton(places_button, LookupString(places_text), 1);
    top_buttons.SetButton(new_folder_button, LookupString(new_folder_text), 2);

    cPanelChild* panel = GetClientPanel();
    panel->AddChild(&bar, 0, 0, -1, row_height);
    bar.SetProvider(lister);
    bar.SetProgressColour(theme_colour(27), false);
    SetUpColumns(extra_height);

    int32_t field_y = -50 - extra_height;
    panel->AddChild(&name_label, 0, field_y, label_width, row_height);
    name_label.SetFillColour(theme_colour(0));
    name_label.SetFrameColour(theme_colour(0));
    name_label.SetTextEx(LookupString(file_name_text), 0, false);
    panel->AddChild(&name_field, label_width, field_y, -280, row_height);
    if (!options->file_name.IsEmpty())
        name_field.SetText(options->file_name.Text(), -1);
    panel->AddChild(&filter_list, -191, field_y, 190, row_height);
    filter_list.SetReadOnly(true);
    if (options->extra)
        panel->AddChild(options->extra, 0, -18 - extra_height, -1, extra_height);
    SetUpFilters();

    const cDialogButton answers[] = {{dialog_accept_button, save_text, 2}, {dialog_cancel_button, cancel_text, 1}};
    add_dialog_buttons(this, &bottom_buttons, &bottom_images, answers, 2);

    objlist_clear(options->chosen);
    FirstNavigation();
}

const cFileChooseFilter* cFileChooseDialog::FilterAt(int32_t index)
{
    if (index < 0 || index >= options->filter_count || index >= options->filters.Count())
        return nullptr;
    return &options->filters[index];
}

void cFileChooseDialog::SetUpFilters()
{
    int32_t first = -1;
    for (int32_t index = 0; index < options->filter_count; ++index) {
        const cFileChooseFilter* filter = FilterAt(index);
        if (!filter || filter->name.IsEmpty() || filter->pattern.IsEmpty())
            continue;
        filter_list.SetItem(index, filter->name.Text(), uint32_t(index), -1);
        if (first < 0) {
            first = index;
            pattern.Assign(filter->pattern.Text());
            filter_list.Select(index, false);
        }
    }
    if (first < 0) {
        first = 0;
        filter_list.SetItem(0, LookupString(all_files_text), 0, -1);
        pattern.Assign(L"*");
    }
    const cFileChooseFilter* chosen = FilterAt(options->filter_index);
    if (chosen && !chosen->name.IsEmpty() && !chosen->pattern.IsEmpty()) {
        filter_list.Select(options->filter_index, true);
    } else {
        options->filter_index = 0;
        filter_list.Select(first, true);
    }
}

void cFileChooseDialog::FirstNavigation()
{
    _guardchar<wchar_t> folder(options->initial_folder.Text());
    path_from_native(folder.Buffer());
    if (path_get_kind(folder.Text()) == PATH_KIND_FOLDER) {
        bar.Navigate(folder.Text());
        return;
    }
    _guardchar<wchar_t> name(options->file_name.Text());
    path_from_native(name.Buffer());
    if (const wchar_t* last = wstr_find_last_char(name.Text(), L'/')) {
        folder.AssignN(name.Text(), int32_t(last - name.Text()));
        if (path_get_kind(folder.Text()) == PATH_KIND_FOLDER) {
            name_field.SetText(last + 1, -1);
            bar.Navigate(folder.Text());
            return;
        }
    }
    NavigateHome();
}

void cFileChooseDialog::NavigateHome()
{
    _guardchar<wchar_t> home;
    if (get_home_folder(home))
        bar.Navigate(home.Text());
}

bool cFileChooseDialog::IsBusy()
{
    // Without a lister (no memory for it) nothing is ever listed.
    return !lister || lister->IsRunning() || bar.GetState() == cNavigationChild::state_navigating;
}

bool cFileChooseDialog::FolderListed()
{
    return shown.GetFolder() && shown.GetFolder()[0];
}

void cFileChooseDialog::OnNavigationEnd()
{
    if (!lister)
        return;
    lister->TakeListing(shown);
    Refill(true);
    bar.SendAction(new cChildAction(end_progress_action));
}

void cFileChooseDialog::OnFilterChosen()
{
    int32_t selection = filter_list.GetSelection();
    int32_t record = selection >= 0 ? int32_t(filter_list.GetItemData(selection)) : -1;
    const cFileChooseFilter* filter = FilterAt(record);
    if (filter && !filter->pattern.IsEmpty()) {
        pattern.Assign(filter->pattern.Text());
        options->filter_index = record;
    } else {
        pattern.Assign(L"*");
    }
    // While a navigation runs the listing is not the list's; its end
    // refills with the new pattern.
    if (FolderListed() && !IsBusy())
        Refill(true);
}

bool cFileChooseDialog::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &filter_list && action->code == row_action) {
        OnFilterChosen();
        return true;
    }
    if (sender == &list) {
        uint32_t code = action->code;
        if (code != context_action && code != row_action && code != row_select_action && code != refresh_action &&
            code != backspace_action)
            return cCustomForm::HandleAction(sender, action);
        // While a navigation runs the rows are no longer those of the
        // listing.
        if (code != backspace_action && !IsBusy())
            OnListAction(action);
        return true;
    }
    if (sender == &top_buttons) {
        if (action->code == row_action && !IsBusy())
            OnTopButton(static_cast<cToolBarChild::cTbButtonAction*>(action)->id);
        return true;
    }
    if (sender == &bar && action->code == row_action &&
        !static_cast<cNavigationChild::cNaviSetPathAction*>(action)->path.Text())
        OnNavigationEnd();
    answer_dialog_button(this, &bottom_buttons, sender, action);
    return cCustomForm::HandleAction(sender, action);
}

void cFileChooseDialog::OnListAction(cChildAction* action)
{
    switch (action->code) {
    case context_action:
        OpenRowMenu(static_cast<cCtxRequestAction*>(action));
        break;
    case row_action:
        ActivateRow(static_cast<cListViewChild::cListViewItemAction*>(action)->id);
        break;
    case row_select_action: {
        const cFolderEntry* entry =
            shown.GetEntry(uint32_t(static_cast<cListViewChild::cListViewItemChangeAction*>(action)->new_row));
        if (entry && entry->kind == PATH_KIND_FILE)
            name_field.SetText(entry->name.Text(), -1);
        break;
    }
    case refresh_action: {
        _guardchar<wchar_t> folder(FolderListed() ? shown.GetFolder() : bar.GetPath());
        if (!folder.IsEmpty()) {
            bar.Navigate(folder.Text());
        } else {
            shown.ReadLocations();
            Refill(false);
        }
        break;
    }
    default:
        break;
    }
}

void cFileChooseDialog::OnTopButton(int32_t id)
{
    if (id == home_button) {
        NavigateHome();
    } else if (id == places_button) {
        shown.ReadLocations();
        Refill(false);
        bar.ShowPath(L"");
    } else if (id == new_folder_button) {
        NewFolder();
    }
}

void cFileChooseDialog::OpenRowMenu(const cCtxRequestAction* request)
{
    int32_t row = list.GetCurrentRow();
    const cFolderEntry* entry = row >= 0 ? shown.GetEntry(uint32_t(row)) : nullptr;
    if (row >= 0 && !entry)
        return;
    int32_t text = new_folder_text;
    if (entry) {
        if (entry->kind == PATH_KIND_FILE)
            text = save_here_text;
        else if (is_folder_kind(entry->kind))
            text = open_text;
        else
            return;
    }
    if (!choose_menu_entry(&list, LookupString(text), request->x, request->y))
        return;
    if (!entry) {
        NewFolder();
        return;
    }
    _guardchar<wchar_t> path;
    if (!shown.GetEntryPath(uint32_t(row), path))
        return;
    if (text == save_here_text)
        Choose(path.Text());
    else
        bar.Navigate(path.Text());
}

void cFileChooseDialog::ActivateRow(int32_t row)
{
    const cFolderEntry* entry = shown.GetEntry(uint32_t(row));
    _guardchar<wchar_t> path;
    if (!entry || !shown.GetEntryPath(uint32_t(row), path))
        return;
    if (entry->kind == PATH_KIND_FILE)
        Choose(path.Text());
    else if (is_folder_kind(entry->kind))
        bar.Navigate(path.Text());
}

bool cFileChooseDialog::OnCancel()
{
    EndModal(0);
    return true;
}

void cFileChooseDialog::ApplyTypedPattern(const wchar_t* typed)
{
    const cFileChooseFilter* filter = FilterAt(options->filter_index);
    wchar_t shown_text[512];
    if (options->name_filters && filter)
        wstr_format(shown_text, 512, L"%s (%s: %s)", filter->name.Text(), LookupString(filter_text), typed);
    else
        wstr_format(shown_text, 512, L"%s (%s)", LookupString(custom_text), typed);
    filter_list.SetEditText(shown_text, -1);
    pattern.Assign(typed);
    if (FolderListed())
        Refill(true);
}

bool cFileChooseDialog::TryExisting(const wchar_t* path)
{
    uint32_t kind = path_get_kind(path);
    if (kind == PATH_KIND_FILE) {
        Choose(path);
        return true;
    }
    if (kind == PATH_KIND_FOLDER) {
        _guardchar<wchar_t> folder(path);
        name_field.ClearText();
        bar.Navigate(folder.Text());
        return true;
    }
    return false;
}

bool cFileChooseDialog::OnAccept()
{
    // The text is checked against the listing: not while it changes, nor
    // while Enter belongs to the bar's history list.
    if (IsBusy() || bar.GetState() != cNavigationChild::state_idle)
        return false;
    _guardchar<wchar_t> text(name_field.GetTextPtr());
    if (text.IsEmpty()) {
        name_field.TakeFocus();
        return true;
    }
    path_from_native(text.Buffer());
    if (wstr_find_char(text.Text(), L'*') || wstr_find_char(text.Text(), L'?')) {
        ApplyTypedPattern(text.Text());
        return true;
    }
    // A text that is not absolute is a name in the listed folder, never a
    // path from the process's current folder.
    bool absolute = path_is_absolute(text.Text());
    if (!FolderListed()) {
        if (absolute && !TryExisting(text.Text()) && parent_is_folder(text.Text()))
            Choose(text.Text());
        return true;
    }
    _guardchar<wchar_t> candidate;
    if (!path_format(candidate, L"%s/%s", shown.GetFolder(), text.Text()))
        return true;
    path_from_native(candidate.Buffer());
    if (path_get_kind(candidate.Text()) != PATH_KIND_MISSING) {
        TryExisting(candidate.Text());
        return true;
    }
    if (absolute && TryExisting(text.Text()))
        return true;
    if (parent_is_folder(candidate.Text()))
        Choose(candidate.Text());
    else if (absolute && parent_is_folder(text.Text()))
        Choose(text.Text());
    return true;
}

void cFileChooseDialog::Choose(const wchar_t* path)
{
    _guardchar<wchar_t> chosen(path);
    const cFileChooseFilter* filter = FilterAt(options->filter_index);
    if (filter && !filter->extension.IsEmpty() && !has_extension(chosen.Text(), filter->extension.Text()))
        path_format(options->file_name, L"%s.%s", chosen.Text(), filter->extension.Text());
    else
        options->file_name.Swap(chosen);
    if (options->extra && !options->extra->Check())
        return;
    EndModal(1);
}

void cFileChooseDialog::NewFolder()
{
    if (!FolderListed())
        return;
    _guardchar<wchar_t> name;
    if (!ask_new_folder_name(this, &name, nullptr))
        return;
    _guardchar<wchar_t> folder(shown.GetFolder());
    _guardchar<wchar_t> path;
    if (!path_format(path, L"%s/%s", folder.Text(), name.Text()))
        return;
    switch (path_get_kind(path.Text())) {
    case PATH_KIND_MISSING:
        if (path_create_folder(path.Text()))
            bar.Navigate(folder.Text());
        else
            show_message_kind3(this, LookupString(cannot_create_text), nullptr);
        break;
    case PATH_KIND_FILE:
        show_message_kind3(this, LookupString(file_exists_text), nullptr);
        break;
    case PATH_KIND_FOLDER:
        if (ask_yes_no_kind1(this, LookupString(folder_exists_text), nullptr))
            bar.Navigate(path.Text());
        break;
    default:
        show_message_kind3(this, LookupString(special_exists_text), nullptr);
        break;
    }
}

bool show_file_choose_dialog(cChildElement* owner, const wchar_t* caption, cFileChooseOptions* options)
{
    if (!owner || !options || !owner->GetRequestTarget())
        return false;
    int32_t width = 500;
    int32_t height = 350;
    if (options->extra) {
        int32_t extra_width = options->extra->GetPreferredWidth();
        width = extra_width > width ? extra_width : width;
        height += options->extra->GetPreferredHeight();
    }
    cFileChooseDialog* dialog = new cFileChooseDialog(options);
    if (!dialog)
        return false;
    // The run owns the dialog from here and destroys it with its window;
    // only an accepted run answers 1.
    return owner->ShowModal(caption, width, height, dialog, true) == 1;
}
