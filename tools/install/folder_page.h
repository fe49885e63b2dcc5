#ifndef TOOLS_INSTALL_FOLDER_PAGE_H
#define TOOLS_INSTALL_FOLDER_PAGE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "gui/child_element.h"
#include "gui/controls/edit_child.h"
#include "tools/shell/app_buttons.h"

class cInstallContext;

// The wizard's folder page: the folder the product goes to, in a read-only
// field that Browse fills through the folder chooser (a folder without
// room for the package is refused there), with the space the package needs.
// Texts from "pkgm::fsel". UI thread only.
class cFileSelectPanel : public cChildElement {
public:
    cFileSelectPanel();

    void InitDefaults() override;
    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::fsel"; }

    // Shows the context's folder: the package's install folder when it has
    // one, else the default (null: the field is emptied and hidden); for
    // the context it showed last, the folder the field holds.
    void Prepare(cInstallContext* install_context);
    // The wizard's Next: sets the install folder to the field's and plans
    // the installation there; a folder the files cannot go to is refused
    // with its message. True when the installation may start.
    bool Check();

    const wchar_t* GetFolder() { return field.GetTextPtr(); }

private:
    void Browse();
    // The field shows the folder, the space line what it takes there.
    void ShowFolder(const wchar_t* folder);

    cInstallContext* context;
    cInstallContext* shown_for;  // whose folder the field holds; null: none yet
    cEditChild field;
    cWZIButton browse_button;
    uint64_t space_needed;  // in the field's folder
};

// The default install folder, "<base>/<folder name>": the base is the
// folder that "ProgramW6432" names when it is one, else "ProgramFiles"'s,
// else "C:/Program Files", in '/' form.
bool default_install_folder(const wchar_t* folder_name, _guardchar<wchar_t>& out);

// The space line: space_text ("This will take %s of disk space") with
// below_text for less than 1 MiB, else with megabytes_text ("approximately
// %lldMB") of the bytes in whole MiB rounded up.
bool format_space_line(const wchar_t* space_text, const wchar_t* below_text, const wchar_t* megabytes_text,
                       uint64_t bytes, _guardchar<wchar_t>& out);

// Sets the package's install folder and plans the files there
// (plan_install_files). The number of the "pkgm::fsel" text that refuses the
// folder (its "%s" the context's error path; two of the package's files
// that would meet there have a text of their own), 0 when the files may go
// there, -1 for a refusal without a message (no file list).
int32_t check_install_location(cInstallContext& context, const wchar_t* folder);
// That text for a planning result (INSTALL_INIT_*).
int32_t folder_refusal_text(uint32_t planned);

// Bytes the caller may use at the folder; false when they cannot be had.
bool folder_free_space(const wchar_t* folder, uint64_t& available);

// Bytes the package's files take in the folder: each rounded up to whole
// clusters of the folder's volume (64 KiB when that cannot be learnt).
uint64_t folder_space_needed(const cInstallContext& context, const wchar_t* folder);

#endif
