#include "tools/install/finish_page.h"

#include "base/path.h"
#include "base/process_launch.h"
#include "gui/canvas.h"
#include "gui/font.h"
#include "gui/ui_font.h"
#include "tools/install/install_context.h"
#include "tools/install/product_folders.h"
#include "tools/package/package_queries.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/store_fault_text.h"

namespace {

const uint32_t text_colour = 0x655654;
const uint32_t error_colour = 0x4040A0;
const int32_t first_box_y = 110;
const int32_t box_step = 25;
// Above the run boxes; a failure's message, which has none below it, may
// take the page down to its margin.
const int32_t message_height = 60;
const int32_t page_margin = 10;
const wchar_t no_break_space = 0x00A0;

// Texts of "pkgm::fin".
enum {
    text_success = 0,
    text_failure = 1,
    text_start_programs = 13,
    text_object_in_the_way_here = 14,
    text_folder_not_made_here = 15,
    text_journal_not_saved = 16,
    text_no_manager_shortcut = 17,
    text_not_installed = 18,
    text_no_manager = 19,
};

// The path a failure concerns lies in the install folder (or is it):
// another install folder takes it elsewhere, where a folder the package
// names itself stays what it is.
bool in_install_folder(const cInstallContext& context)
{
    cFolderIdentity path, folder;
    return folder_identity_of(context.error_path.Text(), path) &&
           folder_identity_of(context.package.GetString(package_pgm_key), folder) && folder.length > 0 &&
           path_identity_within(path.text.Data(), path.length, folder.text.Data(), folder.length, true);
}

}  // namespace

void cErrorDispl::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, 0xFFFFFF, 0xFFFFFF);
    const wchar_t* shown = GetTextPtr();
    if (!shown || !shown[0])
        return;
    canvas->SelectFontBy(5, 14, get_ui_font_face_name(), false, false, false);
    canvas->SetTextColours(GetBackgroundColour(), 0xFFFFFF);
    canvas->DrawTextWrapped(0, 0, width, height, 0, shown, nullptr, true, 0.0);
}

int32_t finish_message_text(uint32_t status, bool folder_choosable)
{
    if (status == INSTALL_STATUS_OK)
        return text_start_programs;
    // Another folder is no way out where the user cannot choose one.
    if (status == INSTALL_STATUS_OBJECT_IN_THE_WAY && !folder_choosable)
        return text_object_in_the_way_here;
    if (status == INSTALL_STATUS_BAD_PATH && !folder_choosable)
        return text_folder_not_made_here;
    if (status == INSTALL_STATUS_JOURNAL_NOT_SAVED)
        return text_journal_not_saved;
    if (status == INSTALL_STATUS_NO_MANAGER_SHORTCUT)
        return text_no_manager_shortcut;
    if (status == INSTALL_STATUS_NO_MANAGER)
        return text_no_manager;
    return status <= INSTALL_STATUS_NOT_RECORDED ? int32_t(status) + 1 : -1;
}

void cFinishPanel::InitDefaults()
{
    cPanelChild::InitDefaults();
    SetBackgroundColour(0xFFFFFF);
    SetFrameColour(0xFFFFFF);
}

void cFinishPanel::OnCreate()
{
    cPanelChild::OnCreate();
    AddChild(&header, 10, 10, -21, 20);
    header.SetColours(text_colour, 0xFFFFFF, 0xFFFFFF);
    header.SetFont(font_get_cached(6, 14, get_ui_font_face_name(), true, false, false));
    AddChild(&message, 10, 40, -21, message_height);
}

void cFinishPanel::ClearRunBoxes()
{
    objlist_clear(run_boxes);
}

void cFinishPanel::Prepare(const cInstallContext& context, bool folder_choosable)
{
    ClearRunBoxes();
    bool success = context.status == INSTALL_STATUS_OK;
    // A journal not saved, or a manager not placed, stopped the run before
    // it placed anything of the product.
    bool journal = context.status == INSTALL_STATUS_JOURNAL_NOT_SAVED;
    bool nothing_installed = journal || context.status == INSTALL_STATUS_NO_MANAGER;
    header.SetText(LookupString(success ? text_success : nothing_installed ? text_not_installed : text_failure), -1,
                   false);
    int32_t text = finish_message_text(context.status, folder_choosable && in_install_folder(context));
    cRect area = message.GetBounds();
    message.SetBounds(area.x, area.y, area.width, success ? message_height : height - area.y - page_margin);
    message.SetBackgroundColour(success ? text_colour : error_colour);
    // A message about a file or folder names it, or tells of the store
    // that kept the journal from its place.
    const wchar_t* format = text >= 0 ? LookupString(text) : nullptr;
    // The path as the page shows it: with Windows' separators, and its
    // blanks as no-break spaces, so that the page's lines break it only
    // after a separator and it reads as written.
    _guardchar<wchar_t> shown, path(context.error_path.Text());
    for (wchar_t* at = path.Buffer(); at && *at; ++at)
        *at = *at == L' ' ? no_break_space : *at == L'/' ? L'\\' : *at;
    if (journal)
        format_store_refusal(shown, format, context.store_fault, path.Text());
    else
        format_catalog_text(shown, format, path.Text());
    message.SetText(shown.Text(), -1, false);
    if (success)
        AddRunBoxes(context);
    Redraw(nullptr);
}

void cFinishPanel::AddRunBoxes(const cInstallContext& context)
{
    cLinkedList<cFinishItem> items;
    build_run_list(context.package, items);
    int32_t y = first_box_y;
    for (auto* node = items.first; node && y <= height - 20; node = node->next) {
        const cFinishItem& item = node->element;
        cRunBox* run = new cRunBox;
        if (!run)
            return;
        bool made = item.arguments.IsEmpty()
                        ? (run->command.Assign(item.command_path.Text()), true)
                        : path_format(run->command, L"\"%s\" %s", item.command_path.Text(), item.arguments.Text());
        if (!made) {
            delete run;
            continue;
        }
        objlist_append(run_boxes, run);
        AddChild(&run->box, 15, y, -31, 18);
        run->box.SetColours(text_colour, 0xFFFFFF, 0xFFFFFF);
        run->box.SetText(item.name.Text(), -1, false);
        run->box.SetChecked(item.ticked, false);
        y += box_step;
    }
}

void cFinishPanel::StartTickedPrograms()
{
    for (cListItem* entry = run_boxes.first; entry; entry = entry->next) {
        cRunBox* run = static_cast<cRunBox*>(entry);
        if (run->box.IsChecked() && !run->command.IsEmpty())
            shell_open(run->command.Text());
    }
}
