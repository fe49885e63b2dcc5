#include "gui/dialogs/new_folder_form.h"

#include "gui/dialogs/dialog_parts.h"
#include "gui/theme.h"

namespace {

const int32_t accept_image = 0;
const int32_t cancel_image = 1;
// Texts of "ciom::filechoose".
const int32_t cue_text = 0;
const int32_t accept_text = 1;
const int32_t cancel_text = 2;
const int32_t caption_text = 3;

}  // namespace

cImageCache cNewFolderNameReqForm::shared_images;

void cNewFolderNameReqForm::InitDefaults()
{
    cCustomForm::InitDefaults();
    const uint32_t images[] = {77, 78};  // accept_image, cancel_image
    theme_fill_cache(&shared_images, images, 2);
}

void cNewFolderNameReqForm::OnCreate()
{
    InitDefaults();
    cCustomForm::OnCreate();
    GetClientPanel()->AddChild(&name_field, 5, 0, -11, 20);
    name_field.SetCueText(LookupString(cue_text));
    if (result && !result->IsEmpty())
        name_field.SetText(result->Text(), -1);
    name_field.TakeFocus();
    const cDialogButton row[] = {{dialog_accept_button, accept_text, accept_image},
                                 {dialog_cancel_button, cancel_text, cancel_image}};
    add_dialog_buttons(this, &buttons, &shared_images, row, 2);
}

bool cNewFolderNameReqForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    answer_dialog_button(this, &buttons, sender, action);
    return cCustomForm::HandleAction(sender, action);
}

bool cNewFolderNameReqForm::OnCancel()
{
    EndModal(0);
    return true;
}

bool cNewFolderNameReqForm::OnAccept()
{
    const wchar_t* typed = name_field.GetTextPtr();
    if (!typed || !typed[0]) {
        name_field.TakeFocus();
        return false;
    }
    if (result)
        result->Assign(typed);
    EndModal(1);
    return true;
}

bool ask_new_folder_name(cChildElement* owner, _guardchar<wchar_t>* result, cNewFolderNameReqForm* form)
{
    // The form is ours in every case: without a window nothing runs it.
    if (!owner || !owner->GetRequestTarget()) {
        delete form;
        return false;
    }
    if (!form)
        form = new cNewFolderNameReqForm;
    if (!form)
        return false;
    form->SetResult(result);
    // The run owns the form from here and destroys it with its window.
    return owner->ShowModal(form->LookupStringFor(owner, caption_text), 250, 100, form, false) == 1;
}
