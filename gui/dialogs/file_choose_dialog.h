#ifndef GUI_DIALOGS_FILE_CHOOSE_DIALOG_H
#define GUI_DIALOGS_FILE_CHOOSE_DIALOG_H

#include <stdint.h>

#include "base/buffers/classbuf.h"
#include "base/buffers/guardchar.h"
#include "base/folder_listing.h"
#include "base/owned_list.h"
#include "gui/controls/combo_box.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/edit_child.h"
#include "gui/controls/list_view.h"
#include "gui/controls/navigation_bar.h"
#include "gui/controls/static_element.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

// An entry of the filter list: a ";"-separated list of wildcard patterns
// (empty: every name) and the extension a chosen name gets (without the
// dot; empty: none).
struct cFileChooseFilter {
    _guardchar<wchar_t> name;
    _guardchar<wchar_t> pattern;
    _guardchar<wchar_t> extension;
};

// An element a caller may place below the file-name row.
class cFileChooseExtraElement : public cChildElement {
public:
    // False keeps the dialog open when a name was chosen.
    virtual bool Check() = 0;
    virtual int32_t GetPreferredWidth() = 0;
    virtual int32_t GetPreferredHeight() = 0;
};

// What the caller hands the file chooser, and what it gets back. Paths in
// the program's '/' form.
struct cFileChooseOptions {
    cFileChooseOptions() : filter_index(0), name_filters(0), multi_select(0), filter_count(0), show_hidden(0), extra(nullptr)
    {
    }

    _guardchar<wchar_t> file_name;       // in: proposed name, maybe with a folder; out: the chosen path
    _guardchar<wchar_t> initial_folder;  // in: shown first when it is a folder
    int32_t filter_index;                // in/out
    uint8_t name_filters;  // a typed pattern is shown with the chosen filter's name
    uint8_t multi_select;  // kept for choosing several files, which a save dialog never does
    _classbuf<cFileChooseFilter> filters;
    int32_t filter_count;
    uint8_t show_hidden;
    cOwnedList chosen;  // emptied when the dialog opens; for several chosen files
    cFileChooseExtraElement* extra;  // not owned; null for none
};

// The folder lister behind the chooser's navigation bar: lists a folder, or
// for the empty path the locations, into its listing on its own thread.
class cFileChooseListFolder : public cNavigationProvider {
public:
    cFileChooseListFolder();
    ~cFileChooseListFolder() override;

    // The empty path (the locations), an existing folder, or a drive "X:".
    bool CanNavigate(const wchar_t* path) override;
    // 0 when the listing was read, 1 when not.
    uint32_t Navigate(const wchar_t* path) override;

    // UI thread, once the bar reported the end of the navigation: hands the
    // listing over. False, with into emptied (no folder), when it could not
    // be read.
    bool TakeListing(cFolderListing& into);

private:
    // Written by Navigate on the job's thread.
    cFolderListing listing;
    bool listed;
};

// The framework's modal dialog for choosing a file name to save to: Home,
// Places and New folder buttons, a navigation bar, the list of the current
// folder (listed on the lister's thread), the file-name field, the filter
// list, and Save and Cancel. The dialog ends with 1 when a name was chosen
// (then in the options' file name), 0 when cancelled. It asks no question
// about an existing file: its caller does. Texts from "ciom::filechoose".
// UI thread only.
class cFileChooseDialog : public cCustomForm {
public:
    // The lister is owned; null makes the standard one.
    explicit cFileChooseDialog(cFileChooseOptions* options, cFileChooseListFolder* lister = nullptr);
    ~cFileChooseDialog() override;

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"ciom::filechoose"; }
    void InitDefaults() override;
    bool OnCancel() override;
    // False, handing Enter on to the focused control, while the dialog is
    // busy or the bar's history list is open.
    bool OnAccept() override;

protected:
    // The lister runs, or the bar has not ended its navigation yet: the
    // shown listing and the list may not match.
    bool IsBusy();
    // The list below the bar, the given height above the bottom.
    void SetUpColumns(int32_t extra_height);
    void SetUpFilters();
    // The filter record, null for an index out of range.
    const cFileChooseFilter* FilterAt(int32_t index);
    void FirstNavigation();
    void NavigateHome();
    // The list from the shown listing, sorted folders first when asked.
    void Refill(bool resort);
    void OnNavigationEnd();
    void OnFilterChosen();
    void OnListAction(cChildAction* action);
    void OnTopButton(int32_t id);
    void OpenRowMenu(const cCtxRequestAction* request);
    void ActivateRow(int32_t row);
    void ApplyTypedPattern(const wchar_t* pattern);
    // Whether the text names something to choose or to open: true when it
    // was handled (chosen or navigated to).
    bool TryExisting(const wchar_t* path);
    void Choose(const wchar_t* path);
    void NewFolder();
    bool FolderListed();

    cToolBarChild top_buttons;
    cNavigationChild bar;
    cListViewChild list;
    cEditChild name_field;
    cComboBoxChild filter_list;
    cToolBarChild bottom_buttons;
    cStaticElement name_label;
    cFileChooseListFolder* lister;  // owned
    _guardchar<wchar_t> pattern;    // "*" when no filter applies
    cFileChooseOptions* options;
    // The listing the list shows, handed over by the lister at the end of
    // each navigation; only the UI thread touches it.
    cFolderListing shown;

    // Shared by every file dialog.
    static cImageCache top_images;
    static cImageCache bottom_images;
    static cImageCache list_icons;
};

// Runs the chooser over the owner's window (500 x 350, resizable; wider and
// taller for an extra element). True only when a name was chosen, which is
// then in the options' file name; false without an owner or a window, and
// when cancelled.
bool show_file_choose_dialog(cChildElement* owner, const wchar_t* caption, cFileChooseOptions* options);

#endif
