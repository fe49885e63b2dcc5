#include "tools/shell/response_form.h"

#include "gui/application.h"
#include "gui/catalog.h"
#include "gui/dialogs/message_form.h"
#include "gui/window_maker.h"

cWLMsgForm::cWLMsgForm(uint32_t message_kind, const wchar_t* message) : kind(message_kind)
{
    SetText(message, -1, false);
}

void cWLMsgForm::OnCreate()
{
    cCustomForm::OnCreate();
    GetClientPanel()->AddChild(&waiting, 0, 0, 340, 16);
    waiting.SetText(LookupString(1), -1, false);
    waiting.SetColours(0x655654, 0xFFFFFF, 0xFFFFFF);
    // The message opens once the window runs, from this action.
    PostAction(nullptr);
}

intptr_t cWLMsgForm::ShowMessage()
{
    const wchar_t* message = GetTextPtr();
    switch (kind) {
    case RESPONSE_INFORMATION:
        show_message_kind0(this, message, nullptr);
        return 0;
    case RESPONSE_ERROR:
        show_message_kind3(this, message, nullptr);
        return 0;
    case RESPONSE_WARNING:
        show_message_kind2(this, message, nullptr);
        return 0;
    case RESPONSE_CONFIRM:
        return ask_yes_no_kind2(this, message, nullptr) ? 1 : 0;
    default:
        return 0;
    }
}

bool cWLMsgForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == 0) {
        EndModal(ShowMessage());
        return true;
    }
    return cCustomForm::HandleAction(sender, action);
}

int32_t run_message_form(uint32_t kind, const wchar_t* text)
{
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::resp");
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    if (!section || !maker)
        return 0;
    cWLMsgForm* form = new cWLMsgForm(kind, text);
    if (!form)
        return 0;
    return maker->RunDialog(get_catalog_string(section, 0), 350, 110, form, nullptr, false) == 1 ? 1 : 0;
}
