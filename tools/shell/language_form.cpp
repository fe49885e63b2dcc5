#include "tools/shell/language_form.h"

#include "base/path.h"
#include "base/process_launch.h"
#include "gui/application.h"
#include "gui/canvas.h"
#include "gui/dialogs/message_form.h"
#include "gui/image_buffer.h"
#include "gui/language.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "tools/shell/app_language.h"

namespace {

const uint32_t text_colour = 0x655654;
const uint32_t form_colour = 0xE7E7E7;
const int32_t link_x = 15;
const int32_t link_y = 335;
// The maker's page of language options; %s is the product's code name.
const wchar_t language_options_page[] = L"https://www.vantrel.com/app_lang_opts.php?app=%s";

}  // namespace

void cLangsGrid::SetLanguages(const _typebuf<uint32_t>& ids)
{
    languages.Resize(ids.Count());
    for (int32_t i = 0; i < languages.Count(); ++i)
        languages[i] = ids[i];
}

uint32_t cLangsGrid::LanguageAt(int32_t index) const
{
    return index >= 0 && index < languages.Count() ? languages[index] : language_none;
}

int32_t cLangsGrid::RowOf(uint32_t id) const
{
    for (int32_t i = 0; i < languages.Count(); ++i)
        if (languages[i] == id)
            return i;
    return -1;
}

int32_t cLangsGrid::GetCellWidth()
{
    return GetClientRect().width;
}

void cLangsGrid::PaintCell(cCanvas* canvas, int32_t index, bool selected)
{
    if (index < 0 || index >= languages.Count())
        return;
    cRect row{0, 0, canvas->GetWidth(), canvas->GetHeight()};
    if (selected)
        canvas->FillRect(&row, 0xF4E8DD, 0xDFCAB7);
    else
        canvas->FillRect(&row, 0xFFFFFF, 0xFFFFFF);
    cImageBuffer* flag = get_language_image(languages[index]);
    if (flag) {
        cPoint at{10, 3};
        canvas->DrawImageScaled(&at, flag, nullptr);
    }
    const wchar_t* name = get_language_name(languages[index]);
    if (name) {
        canvas->SelectFontBy(5, 13, get_ui_font_face_name(), false, false, false);
        canvas->SetTextColours(text_colour, 0);
        canvas->DrawTextColoured(55, 7, true, name, -1);
    }
}

cLangSelectionForm::cLangSelectionForm(const _typebuf<uint32_t>& ids, uint32_t preselected_id,
                                       const wchar_t* product_code_name)
    : preselected(preselected_id), code_name(product_code_name)
{
    grid.SetLanguages(ids);
}

void cLangSelectionForm::OnCreate()
{
    cChildElement::OnCreate();
    AddChild(&panel, 15, 85, -31, 230);
    panel.SetBackgroundColour(0xFFFFFF);
    panel.SetFrameColour(0xDBCAC7);
    panel.AddChild(&grid, 8, 10, -17, -21);
    AddChild(&start_button, -116, 330, 100, 26);
    start_button.SetText(LookupString(2), -1, false);
    // A row is always selected, so that Enter goes on: the proposed
    // language, else the system's, else the first.
    int32_t row = grid.RowOf(preselected);
    if (row < 0)
        row = grid.RowOf(system_language());
    grid.SetSelection(row < 0 ? 0 : row, false);
    if (!code_name.IsEmpty()) {
        link.SetColours(0xA03030, form_colour, form_colour);
        link.SetText(LookupString(4), -1, false);
        AddChild(&link, link_x, link_y, 0, 0);
        PlaceLink();
    }
    grid.TakeFocus();
}

void cLangSelectionForm::PlaceLink()
{
    cSize size{0, 0};
    link.GetPreferredSize(&size);
    link.SetBounds(link_x, link_y, size.width, size.height);
}

void cLangSelectionForm::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, form_colour, form_colour);
    canvas->SetTextColours(text_colour, 0);
    const wchar_t* title = LookupString(0);
    if (title && canvas->SelectFontBy(10, 24, get_ui_font_face_name(), false, false, false))
        canvas->DrawTextColoured(15, 25, true, title, -1);
    const wchar_t* subtitle = LookupString(1);
    if (subtitle && canvas->SelectFontBy(5, 13, get_ui_font_face_name(), false, false, false))
        canvas->DrawTextColoured(15, 55, true, subtitle, -1);
}

void cLangSelectionForm::Choose()
{
    uint32_t id = grid.LanguageAt(grid.GetSelection());
    if (id < language_none)
        EndModal(intptr_t(id) + 1);
}

bool cLangSelectionForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &link && action->code == 0) {
        _guardchar<wchar_t> page;
        if (path_format(page, language_options_page, code_name.Text()))
            shell_open(page.Text());
        return true;
    }
    if ((sender == &start_button && action->code == 0) || (sender == &grid && action->code == 7)) {
        Choose();
        return true;
    }
    if (sender == &grid && action->code == 6) {
        uint32_t id = grid.LanguageAt(grid.GetSelection());
        if (id < language_none && id != get_current_language() && apply_language(id)) {
            start_button.SetText(LookupString(2), -1, false);
            if (link.GetParent()) {
                link.SetText(LookupString(4), -1, false);
                PlaceLink();
            }
            Redraw(nullptr);
        }
        return true;
    }
    return cChildElement::HandleAction(sender, action);
}

bool cLangSelectionForm::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (!shift && !ctrl && !alt) {
        // The keys that walk the list walk it from anywhere on the form:
        // the focus goes back to the list first.
        if (key >= VK_PRIOR && key <= VK_DOWN && !grid.HasFocus())
            SetFocusTo(&grid);
        if (key == VK_RETURN) {
            Choose();
            return true;
        }
        if (key == VK_ESCAPE) {
            if (CanClose())
                EndModal(0);
            return true;
        }
    }
    return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
}

bool cLangSelectionForm::CanClose()
{
    return ask_yes_no_kind1(this, LookupString(3), nullptr);
}

uint32_t run_language_selection(const _typebuf<uint32_t>& ids, cChildElement* parent, uint32_t preselected,
                                const wchar_t* code_name)
{
    if (ids.Count() == 0)
        return language_none;
    if (ids.Count() == 1)
        return ids[0];
    cLangSelectionForm* form = new cLangSelectionForm(ids, preselected, code_name);
    if (!form)
        return language_none;
    // The run owns the form once it has a window to run in.
    intptr_t result = 0;
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    if (parent && parent->GetRequestTarget())
        result = parent->ShowModal(L"", 380, 370, form, false);
    else if (!parent && maker)
        result = maker->RunDialog(L"", 400, 370, form, nullptr, false);
    else
        delete form;
    return result >= 1 && result <= intptr_t(language_none) ? uint32_t(result - 1) : language_none;
}
