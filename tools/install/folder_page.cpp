#include "tools/install/folder_page.h"

#include "base/buffers/typebuf.h"
#include "base/file_ops.h"
#include "base/path.h"
#include "base/system_info.h"
#include "gui/canvas.h"
#include "gui/dialogs/folder_choose_dialog.h"
#include "gui/dialogs/message_form.h"
#include "gui/font.h"
#include "gui/image_buffer.h"
#include "gui/ui_font.h"
#include "tools/install/install_context.h"
#include "tools/install/install_init.h"
#include "tools/install/product_info.h"
#include "tools/install/wizard_art.h"
#include "tools/package/package_queries.h"
#include "tools/shell/catalog_text.h"

namespace {

const uint32_t text_colour = 0x655654;
const uint32_t heading_colour = 0x8E5535;
const uint32_t field_frame_colour = 0x9B6D18;
const int32_t field_capacity = 32768;
const uint64_t mebibyte = 1048576;

// Texts of "pkgm::fsel".
enum {
    text_browse = 0,
    text_chooser_title = 1,
    text_location = 2,
    text_space = 3,
    text_below_one = 4,
    text_megabytes = 5,
    text_instructions = 6,
    text_invalid_path = 7,
    text_foreign_file = 8,
    text_object_in_the_way = 9,
    text_no_write_access = 10,
    text_unreadable = 11,
    text_no_free_space_information = 12,
    text_not_enough_space = 13,
    text_targets_meet = 14,
    text_not_a_folder_of_its_own = 15,
    text_file_in_use = 16,
};

// The folder picture, shared by every page, made on first use.
cImageBuffer* folder_picture()
{
    static cImageBuffer* picture = nullptr;
    if (!picture) {
        cImageBuffer* made = new cImageBuffer;
        if (!made || !made->SetPixels(wizard_folder_pixels, wizard_folder_width, wizard_folder_height, false)) {
            delete made;
            return nullptr;
        }
        picture = made;
    }
    return picture;
}

// Whether the package's files, placed in the folder the package now names,
// refuse it because two of them meet there (one file, or a file and the
// folder of another) rather than for a path that cannot be.
bool targets_meet(const cPackage& package)
{
    cInstallTargetFault fault;
    cLinkedList<cInstallItem> items;
    uint32_t kind = build_install_targets(package, os_is_wow64(), nullptr, items, &fault);
    return kind == INSTALL_TARGETS_COLLIDE || kind == INSTALL_TARGET_IN_FOLDER;
}

}  // namespace

bool default_install_folder(const wchar_t* folder_name, _guardchar<wchar_t>& out)
{
    _guardchar<wchar_t> base;
    get_program_files_folder(base);
    return path_format(out, L"%s/%s", base.Text(), folder_name ? folder_name : L"");
}

bool format_space_line(const wchar_t* space_text, const wchar_t* below_text, const wchar_t* megabytes_text,
                       uint64_t bytes, _guardchar<wchar_t>& out)
{
    if (bytes < mebibyte)
        return format_catalog_text(out, space_text, below_text);
    _guardchar<wchar_t> amount;
    return path_format(amount, megabytes_text ? megabytes_text : L"", (long long)((bytes + mebibyte - 1) / mebibyte)) &&
           format_catalog_text(out, space_text, amount.Text());
}

int32_t folder_refusal_text(uint32_t planned)
{
    switch (planned) {
    case INSTALL_INIT_READY:
        return 0;
    case INSTALL_INIT_FOREIGN_FILE:
        return text_foreign_file;
    case INSTALL_INIT_OBJECT_IN_THE_WAY:
        return text_object_in_the_way;
    case INSTALL_INIT_NO_WRITE_ACCESS:
        return text_no_write_access;
    case INSTALL_INIT_UNREADABLE_FILE:
        return text_unreadable;
    case INSTALL_INIT_FILE_IN_USE:
        return text_file_in_use;
    case INSTALL_INIT_BAD_TARGET_PATH:
        return text_invalid_path;
    case INSTALL_INIT_UNSOUND_FOLDER:
        return text_not_a_folder_of_its_own;
    default:
        return -1;
    }
}

int32_t check_install_location(cInstallContext& context, const wchar_t* folder)
{
    context.error_path.Clear();
    if (!set_pgm_folder(context.package.strings, folder))
        return -1;
    uint32_t planned = plan_install_files(context);
    // The package was checked as a whole at start-up: files that meet only
    // in the chosen folder are told as such, the path where they meet kept.
    if (planned == INSTALL_INIT_BAD_TARGET_PATH && targets_meet(context.package))
        return text_targets_meet;
    return folder_refusal_text(planned);
}

bool folder_free_space(const wchar_t* folder, uint64_t& available)
{
    _typebuf<wchar_t> native;
    uint64_t total = 0;
    return path_to_native(folder, native) && path_get_free_space(native.Data(), &available, &total);
}

uint64_t folder_space_needed(const cInstallContext& context, const wchar_t* folder)
{
    _typebuf<wchar_t> native;
    uint32_t cluster = 0;
    if (!path_to_native(folder, native) || !path_get_cluster_size(native.Data(), &cluster))
        return package_space_needed(context.package);
    return package_space_needed(context.package, cluster);
}

cFileSelectPanel::cFileSelectPanel() : context(nullptr), shown_for(nullptr), space_needed(0) {}

void cFileSelectPanel::InitDefaults()
{
    cChildElement::InitDefaults();
    folder_picture();
    SetBackgroundColour(0xFFFFFF);
}

void cFileSelectPanel::OnCreate()
{
    cChildElement::OnCreate();
    AddChild(&field, 20, 70, -131, 26);
    field.SetReadOnly(true);
    field.SetMaxLength(field_capacity);
    field.SetColours(0xFFFFFF, text_colour, field_frame_colour);
    field.SetFont(font_get_cached(5, 14, get_ui_font_face_name(), false, false, false));
    AddChild(&browse_button, -101, 70, 80, 26);
    browse_button.SetText(LookupString(text_browse), -1, false);
}

void cFileSelectPanel::Prepare(cInstallContext* install_context)
{
    context = install_context;
    if (!context) {
        field.SetText(L"", 0);
        field.DisablePainting(true);
        shown_for = nullptr;
        return;
    }
    field.EnablePainting(false);
    // Shown again (Back, then Next), the page keeps the folder the user chose.
    if (context == shown_for) {
        Redraw(nullptr);
        return;
    }
    shown_for = context;
    const wchar_t* folder = context->package.GetString(package_pgm_key);
    _guardchar<wchar_t> shown;
    if (folder && folder[0])
        shown.Assign(folder);
    else
        default_install_folder(context->package.GetString(product_folder_key), shown);
    ShowFolder(shown.Text() ? shown.Text() : L"");
    Redraw(nullptr);
}

void cFileSelectPanel::ShowFolder(const wchar_t* folder)
{
    field.SetText(folder, -1);
    space_needed = context ? folder_space_needed(*context, folder) : 0;
}

void cFileSelectPanel::Paint(cCanvas* canvas)
{
    cRect all{0, 0, width, height};
    canvas->FillRect(&all, 0xFFFFFF, 0xFFFFFF);
    if (cImageBuffer* picture = folder_picture()) {
        cPoint at{20, 20};
        canvas->DrawImageScaled(&at, picture, nullptr);
    }
    if (!context)
        return;
    const wchar_t* face = get_ui_font_face_name();
    _guardchar<wchar_t> text;
    canvas->SelectFontBy(5, 14, face, false, false, false);
    canvas->SetTextColours(heading_colour, 0xFFFFFF);
    if (format_catalog_text(text, LookupString(text_location), context->package.GetString(product_name_key)) &&
        text.Text())
        canvas->DrawTextWrapped(60, 25, width - 80, 44, 0, text.Text(), nullptr, true, 0.0);
    canvas->SelectFontBy(5, 13, face, false, false, false);
    canvas->SetTextColours(text_colour, 0xFFFFFF);
    if (format_space_line(LookupString(text_space), LookupString(text_below_one), LookupString(text_megabytes),
                          space_needed, text) &&
        text.Text())
        canvas->DrawTextLine(20, 110, width - 40, 18, 0, true, 0, 0, text.Text(), -1, nullptr, false);
    if (const wchar_t* instructions = LookupString(text_instructions))
        canvas->DrawTextWrapped(20, 140, width - 40, height - 100, 0, instructions, nullptr, true, 0.0);
}

void cFileSelectPanel::Browse()
{
    _guardchar<wchar_t> chosen;
    chosen.Assign(field.GetTextPtr());
    if (!show_folder_choose_dialog(this, LookupString(text_chooser_title), &chosen))
        return;
    uint64_t available = 0;
    if (!folder_free_space(chosen.Text(), available)) {
        show_message_kind3(this, LookupString(text_no_free_space_information), nullptr);
        return;
    }
    if (context && available < folder_space_needed(*context, chosen.Text())) {
        show_message_kind3(this, LookupString(text_not_enough_space), nullptr);
        return;
    }
    ShowFolder(chosen.Text());
    Redraw(nullptr);
}

bool cFileSelectPanel::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == &browse_button && action->code == 0) {
        Browse();
        return true;
    }
    return cChildElement::HandleAction(sender, action);
}

bool cFileSelectPanel::Check()
{
    if (!context)
        return false;
    _guardchar<wchar_t> folder;
    folder.Assign(field.GetTextPtr());
    if (folder.IsEmpty()) {
        field.TakeFocus();
        return false;
    }
    int32_t refusal = check_install_location(*context, folder.Text());
    if (refusal <= 0)
        return refusal == 0;
    _guardchar<wchar_t> message;
    format_catalog_path(message, LookupString(refusal), context->error_path.Text());
    show_message_kind3(this, message.Text(), nullptr);
    return false;
}
