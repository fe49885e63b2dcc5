#ifndef GUI_DIALOGS_FOLDER_CHOOSE_DIALOG_H
#define GUI_DIALOGS_FOLDER_CHOOSE_DIALOG_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/folder_listing.h"
#include "base/tree_item.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/edit_child.h"
#include "gui/controls/toolbar.h"
#include "gui/controls/tree_view.h"
#include "gui/image_cache.h"

// The framework's modal dialog for choosing a folder: a New folder button, a
// tree of folders under "Computer" with the machine's locations (home
// folder, drives, network drives) as its children, a path field, and
// Select and Cancel. A folder's subfolders are listed, on the UI thread,
// when it is first selected; a new folder made in the chosen one becomes
// the chosen one. A typed path is opened by walking the tree from the
// root, adding the rows that are missing. Enter on a path field that holds
// the selected folder ends the dialog with 1, the folder then in the
// result text. Texts from "ciom::folderchoose". UI thread only.
class cFolderChooseDialog : public cCustomForm {
public:
    enum { kind_root = 0, kind_folder = 1, kind_computer = 2 };

    // The dialog's mirror of a tree row: what the row stands for.
    class cTreeFoldersContentItem : public cTreeItem {
    public:
        cTreeFoldersContentItem(uint32_t item_kind, const wchar_t* item_path)
            : row(nullptr), kind(item_kind), path(item_path), listed(0)
        {
        }

        cFolderListing listing;
        cTreeViewChild::cTreeViewItem* row;  // owned by the tree view
        uint32_t kind;                       // also the image of its row
        _guardchar<wchar_t> path;            // empty for the root
        uint8_t listed;
    };

    // The result text is not owned: in, a proposed file or folder; out, the
    // chosen folder.
    explicit cFolderChooseDialog(_guardchar<wchar_t>* result_text);
    ~cFolderChooseDialog() override;

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"ciom::folderchoose"; }
    void InitDefaults() override;
    bool OnCancel() override;
    bool OnAccept() override;

protected:
    // A content item with its row, as the last child of parent (whose row
    // the new row goes under; null: a root item). Null on failure.
    cTreeFoldersContentItem* AddItem(cTreeFoldersContentItem* parent, uint32_t kind, const wchar_t* path,
                                     const wchar_t* text);
    void FillRoot();
    // Lists the item's subfolders as its children afresh; the item becomes
    // the current one and its row is selected, also when the listing fails.
    void Fill(cTreeFoldersContentItem* item);
    // The child of item whose path is path, in any letter case; null when
    // there is none.
    cTreeFoldersContentItem* FindChild(cTreeFoldersContentItem* item, const wchar_t* path);
    void OpenPath(const wchar_t* path);
    void ShowChosen(cTreeFoldersContentItem* item);
    void OnRowSelected(cTreeViewChild::cTreeViewItem* row);
    void OpenRowMenu(const cTreeViewChild::cTreeItemCtxAction* request);
    void NewFolder();

    cToolBarChild top_buttons;
    cTreeViewChild tree;
    cItemTree contents;  // owned
    cToolBarChild bottom_buttons;
    cEditChild path_field;
    _guardchar<wchar_t>* result;
    cTreeFoldersContentItem* current;

    // Shared by every folder dialog.
    static cImageCache top_images;
    static cImageCache bottom_images;
    static cImageCache row_images;
};

// The first segment of the rest of a path: its length, and in *next where
// the rest after it starts, past the separators that follow it; null when
// the walk ends with this segment. A rest that starts with "//" (a network
// name) has the segment "//", one that starts with a single '/' the
// segment "/".
int32_t folder_path_segment(const wchar_t* rest, const wchar_t** next);

// Runs the folder chooser over the owner's window (350 x 450, resizable),
// starting at the result text. True only when a folder was chosen, which
// is then the result text in the program's '/' form; false without an
// owner or a window, and when cancelled.
bool show_folder_choose_dialog(cChildElement* owner, const wchar_t* caption, _guardchar<wchar_t>* result);

#endif
