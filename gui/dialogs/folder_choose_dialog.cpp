#include "gui/dialogs/folder_choose_dialog.h"

#include "base/file_ops.h"
#include "base/path.h"
#include "base/string_utils.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/dialogs/message_form.h"
#include "gui/dialogs/new_folder_form.h"
#include "gui/theme.h"

namespace {

const uint32_t button_action = 6;
const uint32_t row_selected_action = 7;
const uint32_t row_context_action = 8;
const int32_t new_folder_button = 1;

// Texts of "ciom::folderchoose".
enum {
    computer_text = 0,
    file_exists_text = 1,
    folder_exists_text = 2,
    cannot_create_text = 3,
    special_exists_text = 4,
    new_folder_text = 5,
    select_text = 6,
    cancel_text = 7,
};

// The item kind a listed entry becomes; false for entries the tree leaves
// out (files and devices).
bool item_kind_of(uint32_t entry_kind, uint32_t* kind)
{
    if (entry_kind == PATH_KIND_FOLDER || entry_kind == PATH_KIND_HOME)
        *kind = cFolderChooseDialog::kind_folder;
    else if (entry_kind == PATH_KIND_DRIVE || entry_kind == PATH_KIND_OFFLINE_DRIVE)
        *kind = cFolderChooseDialog::kind_root;
    else
        return false;
    return true;
}

const wchar_t* shown_name(const cFolderEntry* entry)
{
    return entry->display.IsEmpty() ? entry->name.Text() : entry->display.Text();
}

}  // namespace

int32_t folder_path_segment(const wchar_t* rest, const wchar_t** next)
{
    int32_t length;
    if (rest[0] == L'/') {
        length = rest[1] == L'/' ? 2 : 1;
    } else {
        const wchar_t* separator = wstr_find_char(rest, L'/');
        if (!separator) {
            *next = nullptr;
            return wstr_length(rest);
        }
        length = int32_t(separator - rest);
    }
    const wchar_t* after = rest + length;
    while (*after == L'/')
        ++after;
    *next = *after ? after : nullptr;
    return length;
}

cImageCache cFolderChooseDialog::top_images;
cImageCache cFolderChooseDialog::bottom_images;
cImageCache cFolderChooseDialog::row_images;

cFolderChooseDialog::cFolderChooseDialog(_guardchar<wchar_t>* result_text) : result(result_text), current(nullptr) {}

cFolderChooseDialog::~cFolderChooseDialog()
{
    treeitem_clear(contents);
}

void cFolderChooseDialog::InitDefaults()
{
    cCustomForm::InitDefaults();
    // By image index; a row's image is its item's kind.
    const uint32_t top[] = {84};
    const uint32_t bottom[] = {80, 78, 81};
    const uint32_t rows[] = {43, 48, 42};
    theme_fill_cache(&top_images, top, 1);
    theme_fill_cache(&bottom_images, bottom, 3);
    theme_fill_cache(&row_images, rows, 3);
}

void cFolderChooseDialog::OnCreate()
{
    InitDefaults();
    cCustomForm::OnCreate();
    SetMinSize(300, 350);
    add_dialog_tool_row(this, &top_buttons, &top_images);
    top_buttons.SetButton(new_folder_button, LookupString(new_folder_text), 0);

    cPanelChild* panel = GetClientPanel();
    panel->AddChild(&tree, 0, 0, -1, -29);
    panel->AddChild(&path_field, 0, -26, -1, 18);
    tree.SetImageCaches(&row_images, nullptr, nullptr);
    path_field.SetMaxLength(32768);
    FillRoot();

    const cDialogButton answers[] = {{dialog_accept_button, select_text, 0}, {dialog_cancel_button, cancel_text, 1}};
    add_dialog_buttons(this, &bottom_buttons, &bottom_images, answers, 2);

    // A proposed file opens its folder.
    _guardchar<wchar_t> initial;
    uint32_t kind = path_get_kind(result->Text());
    if (kind == PATH_KIND_FILE) {
        if (const wchar_t* last = wstr_find_last_char(result->Text(), L'/')) {
            initial.AssignN(result->Text(), int32_t(last - result->Text()));
            if (path_get_kind(initial.Text()) != PATH_KIND_FOLDER)
                initial.Assign(nullptr);
        }
    } else if (kind == PATH_KIND_FOLDER) {
        initial.Assign(result->Text());
    }
    result->Assign(nullptr);
    if (!initial.IsEmpty()) {
        path_from_native(initial.Buffer());
        OpenPath(initial.Text());
    } else {
        top_buttons.SetButtonEnabled(new_folder_button, false);
    }
    path_field.TakeFocus();
}

cFolderChooseDialog::cTreeFoldersContentItem* cFolderChooseDialog::AddItem(cTreeFoldersContentItem* parent,
                                                                          uint32_t kind, const wchar_t* path,
                                                                          const wchar_t* text)
{
    cTreeFoldersContentItem* item = new cTreeFoldersContentItem(kind, path);
    cTreeViewChild::cTreeViewItem* row = new cTreeViewChild::cTreeViewItem;
    if (!item || !row) {
        delete row;
        delete item;
        return nullptr;
    }
    row->text.Assign(text);
    row->image = int32_t(kind);
    row->data = item;
    if (!tree.AddItem(parent ? parent->row : nullptr, row)) {
        delete row;
        delete item;
        return nullptr;
    }
    item->row = row;
    treeitem_add_child(contents, parent, item);
    return item;
}

void cFolderChooseDialog::FillRoot()
{
    cTreeFoldersContentItem* root = AddItem(nullptr, kind_computer, L"", LookupString(computer_text));
    if (!root)
        return;
    root->listed = 1;
    root->listing.ReadLocations();
    for (uint32_t index = 0; index < root->listing.Count(); ++index) {
        const cFolderEntry* entry = root->listing.GetEntry(index);
        uint32_t kind;
        if (item_kind_of(entry->kind, &kind))
            AddItem(root, kind, entry->name.Text(), shown_name(entry));
    }
}

void cFolderChooseDialog::Fill(cTreeFoldersContentItem* item)
{
    tree.RemoveChildren(item->row);
    treeitem_delete_children(item);
    item->listed = item->listing.Read(item->path.Text(), true) ? 1 : 0;
    for (uint32_t index = 0; item->listed && index < item->listing.Count(); ++index) {
        const cFolderEntry* entry = item->listing.GetEntry(index);
        uint32_t kind;
        _guardchar<wchar_t> path;
        if (!entry->hidden && item_kind_of(entry->kind, &kind) && item->listing.GetEntryPath(index, path))
            AddItem(item, kind, path.Text(), shown_name(entry));
    }
    // Also after a failed listing: the item's children, the old current
    // one perhaps among them, are gone.
    current = item;
    tree.SelectItem(item->row, true);
    // The subfolders just listed show below it.
    tree.ScrollItemIntoView(item->row);
}

cFolderChooseDialog::cTreeFoldersContentItem* cFolderChooseDialog::FindChild(cTreeFoldersContentItem* item,
                                                                            const wchar_t* path)
{
    cTreeFoldersContentItem* child = static_cast<cTreeFoldersContentItem*>(item->first_child);
    while (child && wstr_compare_nocase(child->path.Text(), path) != 0)
        child = static_cast<cTreeFoldersContentItem*>(child->next);
    return child;
}

void cFolderChooseDialog::OpenPath(const wchar_t* path)
{
    if (path_get_kind(path) != PATH_KIND_FOLDER)
        return;
    cTreeFoldersContentItem* item = static_cast<cTreeFoldersContentItem*>(contents.first_root);
    _guardchar<wchar_t> prefix(L"");
    for (const wchar_t* rest = path; rest && item;) {
        const wchar_t* next;
        _guardchar<wchar_t> segment;
        segment.AssignN(rest, folder_path_segment(rest, &next));
        int32_t length = prefix.Length();
        const wchar_t* separator = length > 0 && prefix.Text()[length - 1] != L'/' ? L"/" : L"";
        _guardchar<wchar_t> grown;
        if (!path_format(grown, L"%s%s%s", prefix.Text(), separator, segment.Text()))
            return;
        prefix.Swap(grown);
        cTreeFoldersContentItem* child = FindChild(item, prefix.Text());
        if (!child)
            child = AddItem(item, kind_folder, prefix.Text(), prefix.Text());
        if (child)
            Fill(child);
        item = child;
        rest = next;
    }
    if (!item)
        return;
    result->Assign(prefix.Text());
    path_field.SetText(prefix.Text(), -1);
    top_buttons.SetButtonEnabled(new_folder_button, true);
    tree.SelectItem(item->row, true);
}

void cFolderChooseDialog::ShowChosen(cTreeFoldersContentItem* item)
{
    result->Assign(item->path.Text());
    path_field.SetText(item->path.Text(), -1);
    current = item;
}

void cFolderChooseDialog::OnRowSelected(cTreeViewChild::cTreeViewItem* row)
{
    cTreeFoldersContentItem* item = static_cast<cTreeFoldersContentItem*>(row->data);
    if (!item->listed)
        Fill(item);
    ShowChosen(item);
    top_buttons.SetButtonEnabled(new_folder_button, !item->path.IsEmpty());
}

void cFolderChooseDialog::OpenRowMenu(const cTreeViewChild::cTreeItemCtxAction* request)
{
    cTreeFoldersContentItem* item = static_cast<cTreeFoldersContentItem*>(request->item->data);
    if (item->path.IsEmpty())
        return;
    if (!choose_menu_entry(&tree, LookupString(new_folder_text), request->x, request->y))
        return;
    ShowChosen(item);
    NewFolder();
}

bool cFolderChooseDialog::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &top_buttons) {
        if (action->code == button_action &&
            static_cast<cToolBarChild::cTbButtonAction*>(action)->id == new_folder_button)
            NewFolder();
        return true;
    }
    if (sender == &tree && action->code == row_selected_action) {
        OnRowSelected(static_cast<cTreeViewChild::cTreeItemAction*>(action)->item);
        return true;
    }
    if (sender == &tree && action->code == row_context_action)
        OpenRowMenu(static_cast<cTreeViewChild::cTreeItemCtxAction*>(action));
    answer_dialog_button(this, &bottom_buttons, sender, action);
    return cCustomForm::HandleAction(sender, action);
}

bool cFolderChooseDialog::OnCancel()
{
    EndModal(0);
    return true;
}

bool cFolderChooseDialog::OnAccept()
{
    _guardchar<wchar_t> typed(path_field.GetTextPtr());
    if (!result->IsEmpty() && typed.Text() && wstr_compare(result->Text(), typed.Text()) == 0) {
        EndModal(1);
        return true;
    }
    if (!typed.IsEmpty()) {
        path_from_native(typed.Buffer());
        OpenPath(typed.Text());
    }
    return true;
}

void cFolderChooseDialog::NewFolder()
{
    if (result->IsEmpty() || !current)
        return;
    _guardchar<wchar_t> name;
    if (!ask_new_folder_name(this, &name, nullptr))
        return;
    _guardchar<wchar_t> path;
    if (!path_join(result->Text(), name.Text(), path))
        return;
    switch (path_get_kind(path.Text())) {
    case PATH_KIND_MISSING:
        if (!path_create_folder(path.Text())) {
            show_message_kind3(this, LookupString(cannot_create_text), nullptr);
            break;
        }
        Fill(current);
        // The new folder becomes the chosen one, so that Select takes it.
        if (cTreeFoldersContentItem* made = FindChild(current, path.Text()))
            OnRowSelected(made->row);
        break;
    case PATH_KIND_FILE:
        show_message_kind3(this, LookupString(file_exists_text), nullptr);
        break;
    case PATH_KIND_FOLDER:
        show_message_kind2(this, LookupString(folder_exists_text), nullptr);
        break;
    default:
        show_message_kind3(this, LookupString(special_exists_text), nullptr);
        break;
    }
}

bool show_folder_choose_dialog(cChildElement* owner, const wchar_t* caption, _guardchar<wchar_t>* result)
{
    if (!owner || !result || !owner->GetRequestTarget())
        return false;
    cFolderChooseDialog* dialog = new cFolderChooseDialog(result);
    if (!dialog)
        return false;
    // The run owns the dialog from here and destroys it with its window;
    // only an accepted run answers 1.
    return owner->ShowModal(caption, 350, 450, dialog, true) == 1;
}
