#ifndef GUI_DIALOGS_NEW_FOLDER_FORM_H
#define GUI_DIALOGS_NEW_FOLDER_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/edit_child.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

// The small form that asks the file and folder choosers for a new folder's
// name: a name field (preset with the result text) and "Accept" and
// "Cancel". Accepting needs a name, which goes to the result text; the form
// then ends with 1. Texts from "ciom::filechoose". UI thread only.
class cNewFolderNameReqForm : public cCustomForm {
public:
    cNewFolderNameReqForm() : result(nullptr) {}

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"ciom::filechoose"; }
    void InitDefaults() override;
    bool OnCancel() override;
    // False, with the focus back in the field, while the field is empty.
    bool OnAccept() override;

    // Not owned; set before the form runs.
    void SetResult(_guardchar<wchar_t>* result_text) { result = result_text; }

private:
    cEditChild name_field;
    cToolBarChild buttons;
    _guardchar<wchar_t>* result;

    // Shared by every such form: the two button images.
    static cImageCache shared_images;
};

// Asks over the owner's window for a name (250 x 100, the result text as
// the proposal); the form is made when none is given and is destroyed by
// the run (or here, when the owner has no window). True when a name was
// accepted, which is then the result text; false without an owner.
bool ask_new_folder_name(cChildElement* owner, _guardchar<wchar_t>* result, cNewFolderNameReqForm* form);

#endif
