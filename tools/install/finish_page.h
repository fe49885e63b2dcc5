#ifndef TOOLS_INSTALL_FINISH_PAGE_H
#define TOOLS_INSTALL_FINISH_PAGE_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/owned_list.h"
#include "gui/controls/check_box.h"
#include "gui/controls/panel.h"
#include "gui/controls/static_element.h"

class cInstallContext;

// The finish page's message area: its text wrapped on white, in the colour
// kept as the element's background colour.
class cErrorDispl : public cChildElement {
public:
    void Paint(cCanvas* canvas) override;
};

// The wizard's last page: the outcome of the installation (the context's
// status), and after a success one box per program the package offers to
// start, ticked as the package says. Texts from "pkgm::fin". UI thread.
class cFinishPanel : public cPanelChild {
public:
    // A run box and the command line it starts.
    class cRunBox : public cListItem {
    public:
        cCheckBoxChild box;
        _guardchar<wchar_t> command;
    };

    cFinishPanel() {}

    void InitDefaults() override;
    void OnCreate() override;
    const wchar_t* GetStringSection() override { return L"pkgm::fin"; }

    // Shows the context's status; after a success, the run boxes anew.
    // folder_choosable: the installer let the user choose the folder (its
    // messages may then suggest another one, where the path at fault lies
    // in it).
    void Prepare(const cInstallContext& context, bool folder_choosable);
    // Opens or starts the command of every ticked box, in order
    // (shell_open); failures are passed over.
    void StartTickedPrograms();

    // The boxes, in order (for the wizard and its tests).
    const cOwnedList& RunBoxes() const { return run_boxes; }
    // The header and the message under it as they show (for tests).
    const wchar_t* HeaderText() { return header.GetTextPtr(); }
    const wchar_t* MessageText() { return message.GetTextPtr(); }

private:
    void ClearRunBoxes();
    void AddRunBoxes(const cInstallContext& context);

    cStaticElement header;
    cErrorDispl message;
    cOwnedList run_boxes;  // cRunBox
};

// The text of "pkgm::fin" for a status: the message under the header, -1
// for none (an unknown status). An object in the way and a folder that
// cannot be made are told with a way out that suits whether another
// folder of the user's choice would help.
int32_t finish_message_text(uint32_t status, bool folder_choosable);

#endif
