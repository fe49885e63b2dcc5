#include "gui/dialogs/message_form.h"

#include "gui/dialogs/dialog_parts.h"
#include "gui/theme.h"
#include "gui/ui_font.h"

#ifdef MESSAGE_LOG_TEST_HOOK
#include <windows.h>

#include "base/buffers/typebuf.h"
#include "base/utf8.h"
#endif

namespace {

// Image keys of the shared cache: the two button images, then the icons
// by kind from icon_key_base on.
const int32_t ok_image = 0;
const int32_t no_image = 1;
const int32_t icon_key_base = 10;
// The first line's room for the icon beside it.
const int32_t icon_room = 37;
const int32_t icon_band_height = 29;

// Where the line that starts at `line` ends (a line feed or the end), and
// whether another line follows: a line feed that ends the text adds none.
const wchar_t* line_end(const wchar_t* line, bool* more)
{
    const wchar_t* end = line;
    while (*end && *end != L'\n')
        ++end;
    *more = *end == L'\n' && end[1] != 0;
    return end;
}

#ifdef MESSAGE_LOG_TEST_HOOK
// A test build appends each message it shows to the file that
// PELMARO_TEST_MESSAGE_LOG names, for the tests to read its words: the
// caption and the text in UTF-8, each ended by a NUL, the record in one
// write.
void log_message_for_tests(const wchar_t* caption, const wchar_t* text)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"PELMARO_TEST_MESSAGE_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    if (!caption)
        caption = L"";
    int32_t title_length = utf8_length_of_wstr(caption, -1);
    int32_t text_length = utf8_length_of_wstr(text, -1);
    _typebuf<char> record(title_length + text_length + 2);
    if (!record.Data())
        return;
    utf8_encode(title_length + 1, record.Data(), -1, caption);
    utf8_encode(text_length + 1, record.Data() + title_length + 1, -1, text);
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(log, record.Data(), DWORD(record.Count()), &written, nullptr);
    CloseHandle(log);
}
#endif

}  // namespace

cImageCache cMessageForm::shared_images;

cMessageForm::cMessageForm(uint32_t kind, uint32_t set)
    : icon_kind(kind), button_set(set), line_height(0), first_line_font(nullptr)
{
}

cMessageForm::~cMessageForm()
{
    objlist_clear(lines);
}

void cMessageForm::InitDefaults()
{
    cCustomForm::InitDefaults();
    if (shared_images.Get(ok_image))
        return;
    const struct {
        int32_t key;
        uint32_t theme_index;
    } images[] = {{ok_image, 77},
                  {no_image, 78},
                  {icon_key_base + icon_information, 73},
                  {icon_key_base + icon_question, 74},
                  {icon_key_base + icon_warning, 75},
                  {icon_key_base + icon_error, 76}};
    for (const auto& image : images)
        shared_images.Put(image.key, theme_image(image.theme_index));
}

cSize cMessageForm::SetMessage(cChildElement* owner, const wchar_t* text, cFontObject* plain_font,
                               cFontObject* bold_font)
{
    objlist_clear(lines);
    first_line_font = bold_font;
    int32_t widest = 0;
    int32_t tallest = 0;
    int32_t count = 0;
    for (const wchar_t* line = text; line && *line;) {
        bool more;
        const wchar_t* end = line_end(line, &more);
        cStrTokenItem* item = new cStrTokenItem(line, int32_t(end - line));
        if (!item)
            break;
        objlist_append(lines, item);
        cSize measured{0, 0};
        owner->MeasureText(item->text.Text() ? item->text.Text() : L"", &measured, count == 0 ? bold_font : plain_font);
        if (count == 0)
            measured.width += icon_room;
        if (measured.width > widest)
            widest = measured.width;
        if (measured.height > tallest)
            tallest = measured.height;
        ++count;
        if (!more)
            break;
        line = end + 1;
    }
    line_height = tallest;
    if (count == 0)
        return cSize{widest + 30, 105};
    return cSize{widest + 30, 115 + int32_t(1.5 * (count - 1) * tallest)};
}

void cMessageForm::OnCreate()
{
    InitDefaults();
    cCustomForm::OnCreate();
    cPanelChild* panel = GetClientPanel();
    int32_t panel_width = panel->GetClientRect().width;
    uint32_t plain = theme_colour(0);
    int32_t line_y = 42;
    for (cListItem* entry = lines.first; entry; entry = entry->next) {
        cStrTokenItem* item = static_cast<cStrTokenItem*>(entry);
        cStaticElement* element = &item->element;
        if (entry == lines.first) {
            panel->AddChild(element, 42, (icon_band_height - line_height) / 2, panel_width - 47, line_height + 2);
        } else {
            panel->AddChild(element, 5, line_y, panel_width - 10, line_height + 2);
            line_y += int32_t(line_height * 1.5);
        }
        element->SetFillColour(plain);
        element->SetFrameColour(plain);
        element->SetTextEx(item->text.Text(), 0, true);
        if (entry == lines.first) {
            element->SetFont(first_line_font);
            element->SetTextColour(theme_colour(61));
        }
    }

    const cDialogButton ok[] = {{dialog_accept_button, 0, ok_image}};
    const cDialogButton yes_no[] = {{dialog_accept_button, 1, ok_image}, {dialog_cancel_button, 2, no_image}};
    if (button_set == buttons_yes_no)
        add_dialog_buttons(this, &buttons, &shared_images, yes_no, 2);
    else
        add_dialog_buttons(this, &buttons, &shared_images, ok, button_set == buttons_ok ? 1 : 0);

    panel->AddChild(&icon, 5, 0, 33, icon_band_height);
    icon.SetIcon(shared_images.Get(icon_key_base + int32_t(icon_kind)), true);
    icon.SetFillColour(plain);
    icon.SetFrameColour(plain);
}

bool cMessageForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    answer_dialog_button(this, &buttons, sender, action);
    return cCustomForm::HandleAction(sender, action);
}

bool cMessageForm::OnCancel()
{
    EndModal(0);
    return true;
}

bool cMessageForm::OnAccept()
{
    EndModal(1);
    return true;
}

int32_t show_message(cChildElement* owner, const wchar_t* text, const wchar_t* caption, int32_t caption_id,
                     uint32_t icon_kind, uint32_t button_set)
{
    // Without a host window nothing can be asked: that is no answer, never
    // a yes.
    if (!owner || !text || !owner->GetRequestTarget())
        return 0;
    cMessageForm* form = new cMessageForm(icon_kind, button_set);
    if (!form)
        return 0;
    if (!caption)
        caption = form->LookupStringFor(owner, caption_id);
    const wchar_t* face = get_ui_font_face_name();
    cFontObject* plain_font = owner->GetFont(5, 13, face, false, false, false);
    cFontObject* bold_font = owner->GetFont(6, 13, face, true, false, false);
    cSize size = form->SetMessage(owner, text, plain_font, bold_font);
#ifdef MESSAGE_LOG_TEST_HOOK
    log_message_for_tests(caption, text);
#endif
    // The run owns the form from here and destroys it with its window.
    return owner->ShowModal(caption, size.width, size.height, form, false) == 1 ? 1 : 0;
}

int32_t show_message_kind0(cChildElement* owner, const wchar_t* text, const wchar_t* caption)
{
    return show_message(owner, text, caption, 3, cMessageForm::icon_information, cMessageForm::buttons_ok);
}

int32_t show_message_kind2(cChildElement* owner, const wchar_t* text, const wchar_t* caption)
{
    return show_message(owner, text, caption, 4, cMessageForm::icon_warning, cMessageForm::buttons_ok);
}

int32_t show_message_kind3(cChildElement* owner, const wchar_t* text, const wchar_t* caption)
{
    return show_message(owner, text, caption, 5, cMessageForm::icon_error, cMessageForm::buttons_ok);
}

bool ask_yes_no_kind1(cChildElement* owner, const wchar_t* text, const wchar_t* caption)
{
    return show_message(owner, text, caption, 6, cMessageForm::icon_question, cMessageForm::buttons_yes_no) == 1;
}

bool ask_yes_no_kind2(cChildElement* owner, const wchar_t* text, const wchar_t* caption)
{
    return show_message(owner, text, caption, 6, cMessageForm::icon_warning, cMessageForm::buttons_yes_no) == 1;
}
