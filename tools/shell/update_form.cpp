#include "tools/shell/update_form.h"

#include "base/access_rights.h"
#include "base/app_config.h"
#include "base/file_ops.h"
#include "base/process_launch.h"
#include "base/string_utils.h"
#include "gui/application.h"
#include "gui/dialogs/file_choose_dialog.h"
#include "gui/dialogs/message_form.h"
#include "gui/ui_font.h"
#include "gui/window_maker.h"
#include "tools/shell/catalog_text.h"
#include "tools/shell/record_store.h"
#include "tools/shell/update_address.h"
#include "tools/shell/update_download.h"

namespace {

// Texts of "pkgm::updi".
enum {
    text_title = 0,
    text_new_version = 1,
    text_whats_new = 2,
    text_install = 3,
    text_not_now = 4,
    text_save_as = 5,
    text_all_files = 6,
    text_cannot_create = 7,
    text_retry = 8,
    text_cannot_start = 9,
    text_web_site = 10,
    text_browser_download = 11,
    text_overwrite = 12,
    text_downloading = 13,
    text_server_error = 14,
    text_write_error = 15,
    text_cannot_download = 16,
};

const uint32_t text_colour = 0x734D32;
const uint32_t link_colour = 0xC98C2F;
const uint32_t white = 0xFFFFFF;
const char temp_folder_key[] = "installer/temp";

}  // namespace

void init_wstr_quintet(cUpdateInfo& info, const wchar_t* product_name, const wchar_t* version,
                       const wchar_t* installer_address, const wchar_t* web_page, const wchar_t* notes)
{
    info.product_name.Assign(product_name);
    info.version.Assign(version);
    info.installer_address.Assign(installer_address);
    info.web_page.Assign(web_page);
    info.notes.Assign(notes);
}

cSoftUpdateInfoForm::cSoftUpdateInfoForm(const cUpdateInfo* shown_info) : info(shown_info)
{
}

void cSoftUpdateInfoForm::OnCreate()
{
    cCustomForm::OnCreate();
    cPanelChild* panel = GetClientPanel();
    panel->SetBackgroundColour(white);
    const wchar_t* face = get_ui_font_face_name();

    _guardchar<wchar_t> text;
    panel->AddChild(&title, 10, 0, -21, 45);
    title.SetColours(text_colour, white, white);
    title.SetFont(GetFont(8, 20, face, false, false, false));
    title.SetTextMode(2);
    format_catalog_text(text, LookupString(text_new_version), info->product_name.Text());
    title.SetText(text.Text(), -1, false);

    panel->AddChild(&notes, 10, 50, -21, -151);
    notes.SetColours(0xE4E0DC, white, text_colour);
    notes.SetTextSpacing(10);
    format_catalog_text(text, LookupString(text_whats_new), info->version.Text());
    notes.SetTexts(text.Text(), info->notes.Text());

    cFontObject* link_font = GetFont(6, 14, face, true, true, false);
    cLinkElement* links[] = {&site_link, &download_link};
    const int32_t link_y[] = {-91, -71};
    const int32_t link_text[] = {text_web_site, text_browser_download};
    for (int i = 0; i < 2; ++i) {
        panel->AddChild(links[i], 10, link_y[i], -21, 20);
        links[i]->SetColours(link_colour, white, white);
        links[i]->SetFont(link_font);
        links[i]->SetText(LookupString(link_text[i]), -1, false);
    }

    panel->AddChild(&install_button, -256, -33, 115, 25);
    install_button.SetText(LookupString(text_install), -1, false);
    panel->AddChild(&later_button, -126, -33, 115, 25);
    later_button.SetText(LookupString(text_not_now), -1, false);
}

bool cSoftUpdateInfoForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (action->code != 0)
        return cCustomForm::HandleAction(sender, action);
    if (sender == &install_button) {
        OnAccept();
        return true;
    }
    if (sender == &later_button)
        return OnCancel();
    if (sender == &site_link) {
        OpenLink(info->web_page.Text());
        return true;
    }
    if (sender == &download_link) {
        OpenLink(info->installer_address.Text());
        return true;
    }
    return cCustomForm::HandleAction(sender, action);
}

bool cSoftUpdateInfoForm::OnCancel()
{
    EndModal(0);
    return true;
}

void cSoftUpdateInfoForm::OpenLink(const wchar_t* address)
{
    // The reply comes from a plain HTTP server: only web pages reach the
    // shell, never a program or a command line.
    if (is_web_address(address))
        shell_open(address);
}

bool cSoftUpdateInfoForm::OnAccept()
{
    const wchar_t* address = info->installer_address.Text();
    if (!is_downloadable_address(address)) {
        // Nothing was asked of any server: the user is sent to the link
        // that still leads to the installer.
        _guardchar<wchar_t> message;
        format_catalog_text(message, LookupString(text_cannot_download), LookupString(text_web_site));
        show_message_kind3(this, message.Text(), nullptr);
        return false;
    }
    _guardchar<wchar_t> name, path;
    suggested_update_file_name(address, name);
    if (!ChooseTarget(name.Text(), path))
        return false;
    if (path_get_kind(path.Text()) != PATH_KIND_MISSING && !ask_yes_no_kind2(this, LookupString(text_overwrite), nullptr))
        return false;
    return Download(path.Text());
}

bool cSoftUpdateInfoForm::ChooseTarget(const wchar_t* proposed_name, _guardchar<wchar_t>& path)
{
    cApplicationConfig* config = get_current_config();
    cFileChooseOptions options;
    options.file_name.Assign(proposed_name);
    if (cApplicationConfig* holder = record_holder(config, temp_folder_key))
        holder->ReadString(temp_folder_key, options.initial_folder);
    options.filters.Resize(1);
    if (options.filters.Count() != 1)
        return false;
    options.filter_count = 1;
    options.filters[0].name.Assign(LookupString(text_all_files));
    options.filters[0].pattern.Assign(L"*");
    if (!show_file_choose_dialog(this, LookupString(text_save_as), &options) || options.file_name.IsEmpty())
        return false;
    path.Assign(options.file_name.Text());
    const wchar_t* slash = wstr_find_last_char(path.Text(), L'/');
    if (cApplicationConfig* target = config && slash ? record_target(*config, temp_folder_key) : nullptr) {
        target->WriteString(temp_folder_key, path.Text(), int32_t(slash - path.Text()));
        target->Save();
    }
    return true;
}

bool cSoftUpdateInfoForm::Download(const wchar_t* path)
{
    for (;;) {
        cUpdateDownloader* downloader = new cUpdateDownloader(path, info->installer_address.Text());
        int32_t result = downloader ? run_progress_form(this, downloader, LookupString(text_downloading)) : 0;
        switch (result) {
        case DOWNLOAD_COMPLETE:
            path_set_access(path, RIGHTS_ALL, RIGHTS_ALL, RIGHTS_READ | RIGHTS_EXECUTE);
            if (shell_open(path))
                EndModal(1);
            else
                show_message_kind3(this, LookupString(text_cannot_start), nullptr);
            return true;
        case DOWNLOAD_INCOMPLETE:
            if (ask_yes_no_kind2(this, LookupString(text_retry), nullptr))
                continue;
            return false;
        case DOWNLOAD_SERVER_ERROR:
            show_message_kind3(this, LookupString(text_server_error), nullptr);
            return false;
        case DOWNLOAD_CANNOT_CREATE:
            show_message_kind3(this, LookupString(text_cannot_create), nullptr);
            return false;
        case DOWNLOAD_WRITE_ERROR:
            show_message_kind3(this, LookupString(text_write_error), nullptr);
            return false;
        default:
            // Stopped by the user, or refused: nothing to ask.
            return false;
        }
    }
}

bool show_update_info_form(const cUpdateInfo* info, cChildElement* parent)
{
    if (!info)
        return false;
    cSoftUpdateInfoForm* form = new cSoftUpdateInfoForm(info);
    if (!form)
        return false;
    const wchar_t* caption = section_text(L"pkgm::updi", text_title);
    cCIApplication* application = get_current_application();
    cWindowMaker* maker = application ? application->GetWindowMaker() : nullptr;
    intptr_t result = 0;
    // The run owns the form once it has a window to run in.
    if (parent && parent->GetRequestTarget())
        result = parent->ShowModal(caption, 500, 450, form, false);
    else if (!parent && maker)
        result = maker->RunDialog(caption, 500, 450, form, nullptr, false);
    else
        delete form;
    return result == 1;
}
