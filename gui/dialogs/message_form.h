#ifndef GUI_DIALOGS_MESSAGE_FORM_H
#define GUI_DIALOGS_MESSAGE_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/owned_list.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/static_element.h"
#include "gui/controls/toolbar.h"
#include "gui/image_cache.h"

class cFontObject;

// The framework's message box: an icon, a message of one or more lines
// (split at line feeds only, no wrapping: the form is as wide as its widest
// line) and one button ("Ok") or two ("Yes", "No"). Run modally by the free
// functions below; the result is 1 for the first button or Enter, 0 for the
// second, Escape or closing the window. Texts from "ciom::messages". UI
// thread only.
class cMessageForm : public cCustomForm {
public:
    enum { icon_information = 0, icon_question = 1, icon_warning = 2, icon_error = 3 };
    enum { buttons_ok = 0, buttons_yes_no = 1 };

    // One line of the message and the element that shows it.
    class cStrTokenItem : public cListItem {
    public:
        cStrTokenItem(const wchar_t* line, int32_t length) { text.AssignN(line, length); }

        _guardchar<wchar_t> text;
        cStaticElement element;
    };

    cMessageForm(uint32_t icon_kind, uint32_t button_set);
    ~cMessageForm() override;

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"ciom::messages"; }
    void InitDefaults() override;
    bool OnCancel() override;
    bool OnAccept() override;

    // Cuts the text into lines and measures them through the owner (the
    // first line in the bold font, beside the icon); answers the form's
    // size.
    cSize SetMessage(cChildElement* owner, const wchar_t* text, cFontObject* plain_font, cFontObject* bold_font);

private:
    cStaticElement icon;
    cToolBarChild buttons;
    uint32_t icon_kind;
    cOwnedList lines;  // cStrTokenItem, in text order
    uint32_t button_set;
    int32_t line_height;
    cFontObject* first_line_font;

    // Shared by every message form: button images and the four icons.
    static cImageCache shared_images;
};

// The message over the owner's window with a caption (null: string
// caption_id of "ciom::messages"), an icon kind and a button set: 1 when the
// first button ("Ok", "Yes") or Enter ended it, 0 otherwise, also when
// nothing could be shown (no owner, no text, or an owner without a host
// window).
int32_t show_message(cChildElement* owner, const wchar_t* text, const wchar_t* caption, int32_t caption_id,
                     uint32_t icon_kind, uint32_t button_set);
// "Ok" under "Information", "Warning" or "Error" with that icon.
int32_t show_message_kind0(cChildElement* owner, const wchar_t* text, const wchar_t* caption);
int32_t show_message_kind2(cChildElement* owner, const wchar_t* text, const wchar_t* caption);
int32_t show_message_kind3(cChildElement* owner, const wchar_t* text, const wchar_t* caption);
// "Yes" and "No" under "Confirm", with the question or the warning icon;
// true for "Yes".
bool ask_yes_no_kind1(cChildElement* owner, const wchar_t* text, const wchar_t* caption);
bool ask_yes_no_kind2(cChildElement* owner, const wchar_t* text, const wchar_t* caption);

#endif
