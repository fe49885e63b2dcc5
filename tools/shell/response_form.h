#ifndef TOOLS_SHELL_RESPONSE_FORM_H
#define TOOLS_SHELL_RESPONSE_FORM_H

#include <stdint.h>

#include "gui/controls/custom_form.h"
#include "gui/controls/static_element.h"

// Kinds of the response form's message.
enum : uint32_t {
    RESPONSE_INFORMATION = 1,  // "Ok" under "Information"
    RESPONSE_ERROR = 2,        // "Ok" under "Error"
    RESPONSE_WARNING = 3,      // "Ok" under "Warning"
    RESPONSE_CONFIRM = 4,      // "Yes" and "No" under "Confirm"
};

// The window of a mode that has none of its own: "Waiting for response..."
// while it opens the message of its kind (the form's text) over itself;
// the answer ends its run. UI thread only.
class cWLMsgForm : public cCustomForm {
public:
    cWLMsgForm(uint32_t message_kind, const wchar_t* message);

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::resp"; }

private:
    // 1 for "Yes"; 0 for every other answer and kind.
    intptr_t ShowMessage();

    cStaticElement waiting;
    uint32_t kind;
};

// Shows the message through the application's window maker: 1 when a
// confirmation was answered "Yes", else 0 (also when the catalog has no
// "pkgm::resp" section, which shows nothing).
int32_t run_message_form(uint32_t kind, const wchar_t* text);

#endif
