#ifndef TOOLS_SHELL_UPDATE_FORM_H
#define TOOLS_SHELL_UPDATE_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/prop_disp_area.h"
#include "gui/controls/static_element.h"
#include "tools/shell/app_buttons.h"

// What the update form shows of one offered update: five texts, in this
// order, filled by the update mode or the main window.
struct cUpdateInfo {
    cUpdateInfo() = default;
    cUpdateInfo(const cUpdateInfo&) = delete;
    cUpdateInfo& operator=(const cUpdateInfo&) = delete;

    _guardchar<wchar_t> product_name;
    _guardchar<wchar_t> version;  // the offered version as display text
    _guardchar<wchar_t> installer_address;
    _guardchar<wchar_t> web_page;
    _guardchar<wchar_t> notes;
};

// Fills the five texts (a null one is empty).
void init_wstr_quintet(cUpdateInfo& info, const wchar_t* product_name, const wchar_t* version,
                       const wchar_t* installer_address, const wchar_t* web_page, const wchar_t* notes);

// The offer of a newer version: its notes, links to the product's web page
// and to the installer in the web browser, and "Install", which downloads
// the installer into a file the user chooses and starts it ("pkgm::updi").
// The form ends with 1 once the new installer was started, 0 otherwise.
// UI thread only.
class cSoftUpdateInfoForm : public cCustomForm {
public:
    explicit cSoftUpdateInfoForm(const cUpdateInfo* shown_info);

    void OnCreate() override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::updi"; }
    // "Install": the download. True when it ran to its end (the installer
    // started, or it could not be started and the user was told).
    bool OnAccept() override;
    // Escape: as "Not now".
    bool OnCancel() override;

private:
    // The file's folder becomes "installer/temp"; the chosen path in path.
    bool ChooseTarget(const wchar_t* proposed_name, _guardchar<wchar_t>& path);
    // Runs downloads onto the path until one completes or the user gives
    // up; the path keeps what it held unless one completes.
    bool Download(const wchar_t* path);
    void OpenLink(const wchar_t* address);

    const cUpdateInfo* info;  // not owned
    cStaticElement title;
    cPropDispAreaChild notes;
    cLinkElement site_link;
    cLinkElement download_link;
    cWZIButton install_button;
    cWZIButton later_button;
};

// Runs the form for the information modally (500 x 450, titled with text 0)
// over the parent, or through the application's window maker without one.
// True when it ended with 1: the new installer was downloaded and started.
bool show_update_info_form(const cUpdateInfo* info, cChildElement* parent);

#endif
