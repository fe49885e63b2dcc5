#include "tools/install/install_wizard.h"

#include "base/buf_wrapper_io.h"
#include "gui/application.h"
#include "gui/canvas.h"
#include "gui/catalog.h"
#include "gui/dialogs/message_form.h"
#include "gui/font.h"
#include "gui/image_cache.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "pict/codecs/png.h"
#include "tools/install/install_context.h"
#include "tools/install/install_init.h"
#include "tools/install/install_init_ui.h"
#include "tools/install/product_info.h"
#include "tools/install/wizard_art.h"
#include "tools/shell/catalog_text.h"

namespace {

const uint32_t title_colour = 0x383231;
const uint32_t title_background = 0xE7E7E7;
const uint32_t current_step_colour = 0x655654;
const uint32_t other_step_colour = 0xA19795;
const uint32_t box_text_colour = 0x655654;
const cRect page_bounds{200, 72, 410, 290};
const int32_t older_list_column = 1;

// Texts of "pkgm::instw".
enum {
    text_window_title = 0,
    text_next = 1,
    text_close = 14,
    text_confirm_close = 15,
    text_readme_accept = 16,
    text_licence_accept = 17,
    text_keep_all = 20,
    text_keep_some = 21,
    text_partial_removal = 22,
    text_no_older_products = 23,
    text_confirm_abort = 24,
    text_file_in_use = 25,
};

// Step caption and title of each page kind.
const int32_t page_captions[wizard_page_limit] = {2, 3, 4, 18, 5, 6, 7};
const int32_t page_titles[wizard_page_limit] = {8, 9, 10, 19, 11, 12, 13};

// The step markers by their cache ids, shared by every wizard.
cImageCache& step_markers()
{
    static cImageCache markers;
    if (!markers.Get(1))
        for (int32_t i = 0; i < wizard_marker_count; ++i)
            markers.PutPixels(wizard_marker_ids[i], wizard_marker_pixels[i], wizard_marker_width,
                              wizard_marker_height, false);
    return markers;
}

cOlderProduct* older_product_of_row(cListViewChild& list, int32_t row)
{
    return reinterpret_cast<cOlderProduct*>(uintptr_t(list.GetCell(row, older_list_column)));
}

}  // namespace

cImageBuffer* wizard_background()
{
    static cImageBuffer* background = nullptr;
    if (background)
        return background;
    cBufWrapperIO stream(const_cast<uint8_t*>(wizard_background_png), int32_t(wizard_background_png_size), false);
    cPictPNG picture;
    _typebuf<uint32_t> pixels;
    cImageBuffer* decoded = new cImageBuffer;
    if (!decoded || !picture.Load(&stream) || !picture.CopyPixels32(pixels) ||
        !decoded->Attach(pixels, picture.GetWidth(), picture.GetHeight())) {
        delete decoded;
        return nullptr;
    }
    background = decoded;
    return background;
}

cInstWizard::cInstWizard(cInstallContext* install_context)
    : context(install_context), pressed_step(-1), title_font(nullptr), current_font(nullptr), step_font(nullptr)
{
    for (int32_t i = 0; i < wizard_page_limit; ++i)
        titles[i] = captions[i] = nullptr;
}

cInstWizard::~cInstWizard()
{
    install_page.Stop(4000);
    uninstaller_page.Stop(4000);
}

void cInstWizard::AddPage(uint32_t kind, cChildElement* element, int32_t caption_id)
{
    if (!steps.Add(kind, 0))
        return;
    int32_t index = steps.Count() - 1;
    titles[index] = LookupString(page_titles[kind]);
    captions[index] = LookupString(caption_id);
    if (element)
        AddChild(element, page_bounds.x, page_bounds.y, page_bounds.width, page_bounds.height);
}

void cInstWizard::PlaceAcceptBox(cCheckBoxChild& box, int32_t text_id)
{
    AddChild(&box, 193, 369, 0, 0);
    box.SetTransparent(true);
    box.SetTextColour(box_text_colour);
    box.SetText(LookupString(text_id), -1, false);
    cSize size{0, 0};
    box.GetPreferredSize(&size);
    box.SetBounds(193, 369, size.width, size.height);
}

void cInstWizard::OnCreate()
{
    cChildElement::OnCreate();
    step_markers();
    AddChild(&next_button, -126, -52, 100, 26);
    cPackage& package = context->package;
    if (package.GetWelcomeDoc())
        AddPage(WIZARD_PAGE_WELCOME, &welcome_viewer, page_captions[WIZARD_PAGE_WELCOME]);
    if (package.GetReadmeDoc()) {
        AddPage(WIZARD_PAGE_README, &readme_viewer, page_captions[WIZARD_PAGE_README]);
        PlaceAcceptBox(readme_box, text_readme_accept);
    }
    if (package.GetEulaDoc()) {
        AddPage(WIZARD_PAGE_LICENCE, &licence_viewer, page_captions[WIZARD_PAGE_LICENCE]);
        PlaceAcceptBox(licence_box, text_licence_accept);
    }
    if (context->products_to_uninstall.first) {
        AddPage(WIZARD_PAGE_OLDER_PRODUCTS, &uninstaller_page, page_captions[WIZARD_PAGE_OLDER_PRODUCTS]);
        AddChild(&older_list, 210, 82, 390, 270);
        older_list.ShowHeader(false);
        older_list.SetColumn(older_list_column, nullptr, 390 - 25, 0);
        older_list.ShowCheckBoxes(true);
        older_list.SetFrameColour(0xFFFFFF, false);
        older_list.SetColumnFont(older_list_column, font_get_cached(5, 14, get_ui_font_face_name(), false, false, false));
        older_list.SetColumnTextColour(older_list_column, box_text_colour, false);
        older_list.SetText(LookupString(text_no_older_products), -1, false);
    }
    const wchar_t* folder = package.GetString(package_pgm_key);
    if (!folder)
        AddPage(WIZARD_PAGE_FOLDER, &folder_page, page_captions[WIZARD_PAGE_FOLDER]);
    AddPage(WIZARD_PAGE_INSTALL, &install_page, page_captions[WIZARD_PAGE_INSTALL]);
    AddPage(WIZARD_PAGE_FINISH, &finish_page, page_captions[WIZARD_PAGE_FINISH]);

    const wchar_t* face = get_ui_font_face_name();
    title_font = font_get_cached(8, 20, face, false, false, false);
    current_font = font_get_cached(6, 14, face, true, false, false);
    step_font = font_get_cached(5, 14, face, false, false, false);
    // The caption's right edge ends its clickable row.
    for (int32_t i = 0; i < steps.Count(); ++i) {
        cSize size{0, 0};
        if (captions[i])
            MeasureText(captions[i], &size, step_font);
        steps.SetCaptionRight(i, wizard_steps_left + size.width + 25);
    }
    pressed_step = -1;
    StopPainting();
    SwitchTo(0);
}

bool cInstWizard::JobRunning()
{
    return uninstaller_page.IsRunning() || install_page.IsRunning();
}

void cInstWizard::StopPainting()
{
    cChildElement* pages[] = {&welcome_viewer, &readme_viewer, &readme_box, &licence_viewer, &licence_box,
                              &older_list, &folder_page, &uninstaller_page, &install_page, &finish_page};
    for (cChildElement* page : pages)
        page->DisablePainting(false);
}

void cInstWizard::FillOlderProducts()
{
    older_list.BeginUpdate();
    older_list.Clear();
    int32_t row = 0;
    for (cOlderProduct* entry = context->products_to_uninstall.first; entry; entry = entry->next, ++row) {
        older_list.SetCell(row, older_list_column, entry->name.Text(), -1, uint32_t(uintptr_t(entry)));
        older_list.SetChecked(row, !entry->unticked, false);
    }
    older_list.EndUpdate(true);
}

void cInstWizard::ShowAcceptBox(cCheckBoxChild& box)
{
    // The user's tick stays for the wizard's life: Back and Next again keep it.
    box.EnablePainting(false);
    if (!box.IsChecked())
        next_button.Hide(true);
}

void cInstWizard::KeepOlderTicks()
{
    for (int32_t row = 0; cOlderProduct* entry = older_product_of_row(older_list, row); ++row)
        entry->unticked = !older_list.IsChecked(row);
}

bool cInstWizard::SwitchTo(int32_t index)
{
    for (;;) {
        if (!steps.CanSwitchTo(index, JobRunning()))
            return false;
        // Left for another page and shown again, the list keeps the ticks.
        if (steps.CurrentKind() == WIZARD_PAGE_OLDER_PRODUCTS)
            KeepOlderTicks();
        uint32_t kind = steps.KindAt(index);
        next_button.SetText(LookupString(kind == WIZARD_PAGE_FINISH ? text_close : text_next), -1, false);
        StopPainting();
        next_button.Show();
        cPackage& package = context->package;
        switch (kind) {
        case WIZARD_PAGE_WELCOME:
            welcome_viewer.SetDocument(package.GetWelcomeDoc());
            welcome_viewer.EnablePainting(false);
            break;
        case WIZARD_PAGE_README:
            readme_viewer.SetDocument(package.GetReadmeDoc());
            readme_viewer.EnablePainting(false);
            if (package.readme_accept)
                ShowAcceptBox(readme_box);
            break;
        case WIZARD_PAGE_LICENCE:
            licence_viewer.SetDocument(package.GetEulaDoc());
            licence_viewer.EnablePainting(false);
            ShowAcceptBox(licence_box);
            break;
        case WIZARD_PAGE_OLDER_PRODUCTS:
            FillOlderProducts();
            older_list.EnablePainting(false);
            break;
        case WIZARD_PAGE_FOLDER:
            folder_page.Prepare(context);
            folder_page.EnablePainting(false);
            break;
        case WIZARD_PAGE_INSTALL:
            if (!install_page.Start(context, this)) {
                // Nothing was installed: the finish page tells so.
                ++index;
                continue;
            }
            next_button.Hide(true);
            install_page.EnablePainting(false);
            break;
        case WIZARD_PAGE_FINISH:
            finish_page.Prepare(*context, steps.IndexOf(WIZARD_PAGE_FOLDER) >= 0);
            finish_page.EnablePainting(true);
            break;
        }
        steps.SetCurrent(index);
        Redraw(nullptr);
        return true;
    }
}

void cInstWizard::Next()
{
    if (JobRunning())
        return;
    int32_t next = steps.Current() + 1;
    switch (steps.CurrentKind()) {
    case WIZARD_PAGE_WELCOME:
        SwitchTo(next);
        break;
    case WIZARD_PAGE_README:
        if (!context->package.readme_accept || readme_box.IsChecked())
            SwitchTo(next);
        break;
    case WIZARD_PAGE_LICENCE:
        if (licence_box.IsChecked())
            SwitchTo(next);
        break;
    case WIZARD_PAGE_OLDER_PRODUCTS:
        NextFromOlderProducts();
        break;
    case WIZARD_PAGE_FOLDER:
        if (folder_page.Check())
            SwitchTo(next);
        break;
    case WIZARD_PAGE_FINISH:
        finish_page.StartTickedPrograms();
        EndModal(0);
        break;
    }
}

void cInstWizard::NextFromOlderProducts()
{
    bool some_checked = false, some_unchecked = false;
    int32_t rows = 0;
    for (; older_product_of_row(older_list, rows); ++rows) {
        if (older_list.IsChecked(rows))
            some_checked = true;
        else
            some_unchecked = true;
    }
    if (rows == 0) {
        SwitchTo(steps.Current() + 1);
        return;
    }
    bool mixed = some_checked && some_unchecked;
    if (!some_checked && ask_yes_no_kind2(this, LookupString(text_keep_all), nullptr)) {
        SwitchTo(steps.Current() + 1);
        return;
    }
    if (mixed && !ask_yes_no_kind2(this, LookupString(text_keep_some), nullptr))
        return;
    for (int32_t row = 0; row < rows; ++row)
        older_product_of_row(older_list, row)->run = !mixed || older_list.IsChecked(row) ? 1 : 0;
    StartRemoval();
}

void cInstWizard::StartRemoval()
{
    // The rows point at entries the removal deletes: none may be read again.
    // What is left afterwards is offered ticked again.
    older_list.Clear();
    for (cOlderProduct* entry = context->products_to_uninstall.first; entry; entry = entry->next)
        entry->unticked = false;
    older_list.DisablePainting(false);
    if (uninstaller_page.Start(&context->products_to_uninstall)) {
        uninstaller_page.EnablePainting(true);
        next_button.Hide(true);
        return;
    }
    if (context->products_to_uninstall.first)
        RemovalEnded();
    else
        SwitchTo(steps.Current() + 1);
}

void cInstWizard::RemovalEnded()
{
    // The job posted its end before its thread ended; the switch must not
    // find it still running.
    uninstaller_page.Stop(4000);
    bool failed = false;
    for (cOlderProduct* entry = context->products_to_uninstall.first; entry; entry = entry->next)
        failed |= entry->run && entry->result != 0;
    int32_t current = steps.Current();
    if (failed && !ask_yes_no_kind2(this, LookupString(text_partial_removal), nullptr))
        steps.SetCurrent(current - 1);
    // What the older products' uninstallers left decides what is written.
    uint32_t planned = replan_installation(*context, get_current_config());
    if (planned != INSTALL_INIT_READY) {
        show_install_init_message(this, *context, planned);
        EndModal(1);
        return;
    }
    if (!SwitchTo(steps.Current() + 1))
        steps.SetCurrent(current);
}

void cInstWizard::InstallEnded()
{
    install_page.Stop(4000);
    SwitchTo(steps.IndexOf(WIZARD_PAGE_FINISH));
}

void cInstWizard::AskRelease(cInstallerJobPanel::cAskReleaseAction* question)
{
    if (!question->answer)
        return;
    *question->answer = 1;
    if (question->path.IsEmpty())
        return;
    _guardchar<wchar_t> text;
    if (format_catalog_path(text, LookupString(text_file_in_use), question->path.Text()) &&
        ask_yes_no_kind1(this, text.Text(), nullptr))
        *question->answer = 0;
}

void cInstWizard::AskAbort()
{
    // The installation waits while the user decides; once it has committed
    // its files nothing can be put back, and nothing is asked. Nor is it
    // asked again once the user accepted: the job is putting back what it
    // did.
    if (install_page.IsStopRequested() || !install_page.HoldProgress())
        return;
    if (ask_yes_no_kind1(this, LookupString(text_confirm_abort), nullptr))
        install_page.RequestStop();
    install_page.ReleaseProgress();
}

bool cInstWizard::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == 8) {
        AskRelease(static_cast<cInstallerJobPanel::cAskReleaseAction*>(action));
        return true;
    }
    if ((sender == &licence_box || sender == &readme_box) && action->code == 0) {
        if (static_cast<cCheckBoxChild*>(sender)->IsChecked())
            next_button.Show();
        else
            next_button.Hide(true);
        return cChildElement::HandleAction(sender, action);
    }
    if (sender == &next_button && action->code == 0) {
        Next();
        return true;
    }
    if (sender == &uninstaller_page && action->code == 7) {
        RemovalEnded();
        return true;
    }
    if (sender == &install_page && action->code == 7) {
        InstallEnded();
        return true;
    }
    return cChildElement::HandleAction(sender, action);
}

bool cInstWizard::DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt)
{
    if (!shift && !ctrl && !alt) {
        if (key == VK_RETURN) {
            Next();
            return true;
        }
        if (key == VK_ESCAPE) {
            if (install_page.IsRunning())
                AskAbort();
            return true;
        }
    }
    return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
}

bool cInstWizard::CanClose()
{
    if (JobRunning())
        return false;
    if (steps.CurrentKind() == WIZARD_PAGE_FINISH)
        return true;
    return ask_yes_no_kind1(this, LookupString(text_confirm_close), nullptr);
}

void cInstWizard::Paint(cCanvas* canvas)
{
    if (cImageBuffer* background = wizard_background())
        canvas->DrawImage(0, 0, background, -1, -1);
    int32_t current = steps.Current();
    const wchar_t* title = current >= 0 ? titles[current] : nullptr;
    if (title && canvas->SelectFont(title_font)) {
        canvas->SetTextColours(title_colour, title_background);
        canvas->DrawTextLine(195, 25, width - 220, 25, 0, true, 0, 0, title, -1, nullptr, false);
    }
    cImageCache& markers = step_markers();
    for (int32_t i = 0; i < steps.Count(); ++i) {
        int32_t y = wizard_steps_top + wizard_step_height * i;
        int32_t marker = i < current ? wizard_marker_done : i == current ? wizard_marker_current : i + 1;
        if (cImageBuffer* image = markers.Get(marker)) {
            cPoint at{wizard_steps_left, y};
            canvas->DrawImageScaled(&at, image, nullptr);
        }
        if (!captions[i] || !canvas->SelectFont(i == current ? current_font : step_font))
            continue;
        canvas->SetTextColours(i == current ? current_step_colour : other_step_colour, 0);
        canvas->DrawTextLine(wizard_caption_x, y, 140, 14, 0, true, 0, 0, captions[i], -1, nullptr, false);
    }
}

bool cInstWizard::PaintBackground(cCanvas* canvas, const cRect* rect)
{
    cImageBuffer* background = wizard_background();
    if (!canvas || !rect || !background)
        return false;
    return canvas->DrawImage(-rect->x, -rect->y, background, -1, -1);
}

void cInstWizard::OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed)
{
    if (button != 1)
        return;
    int32_t step = steps.StepAt(x, y, JobRunning());
    if (pressed) {
        pressed_step = step;
        if (step >= 0)
            StartMouseCapture(false);
        return;
    }
    if (pressed_step < 0)
        return;
    StopMouseCapture();
    if (step == pressed_step) {
        pressed_step = -1;
        SwitchTo(step);
    }
}

void cInstWizard::OnMouseMove(int32_t x, int32_t y)
{
    SetCursorShape(steps.StepAt(x, y, JobRunning()) >= 0 ? 3 : 0);
}

int32_t run_install_wizard(cInstallContext* context)
{
    if (!context || !wizard_background())
        return 1;
    const cStringArray* section = catalog_find_section(get_global_catalog(), L"pkgm::instw");
    const wchar_t* name = context->package.GetString(product_name_key);
    _guardchar<wchar_t> title;
    const wchar_t* format = section ? get_catalog_string(section, text_window_title) : nullptr;
    if (name && format)
        format_catalog_text(title, format, name);
    else
        title.Assign(name);
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    cInstWizard* wizard = new cInstWizard(context);
    if (!maker || !wizard) {
        delete wizard;
        return -1;
    }
    return int32_t(maker->RunDialog(title.Text() ? title.Text() : L"", wizard_background_width,
                                    wizard_background_height, wizard, nullptr, false));
}
