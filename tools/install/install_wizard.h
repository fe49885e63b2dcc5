#ifndef TOOLS_INSTALL_INSTALL_WIZARD_H
#define TOOLS_INSTALL_INSTALL_WIZARD_H

#include <stdint.h>

#include "gui/child_element.h"
#include "gui/controls/check_box.h"
#include "gui/controls/list_view.h"
#include "sidoc/doc_viewer.h"
#include "tools/install/finish_page.h"
#include "tools/install/folder_page.h"
#include "tools/install/installer_job_panel.h"
#include "tools/install/uninstaller_page.h"
#include "tools/install/wizard_steps.h"
#include "tools/shell/app_buttons.h"

class cFontObject;
class cInstallContext;
struct cImageBuffer;

// The install wizard: one window over the background picture with the step
// list on the left, the current page's title above and the page itself in
// the middle. Pages, as the package and the installation need them:
// welcome, read-me and licence (each a document; the licence, and the
// read-me when the package asks, with a box to tick before Next), the
// removal of older products, the folder, the installation and the finish.
// Next goes forward; a click on an earlier step goes back, never to or
// across the install step and never while a job page works. Texts from
// "pkgm::instw". UI thread only.
class cInstWizard : public cChildElement {
public:
    explicit cInstWizard(cInstallContext* install_context);
    // Stops the job pages before anything else goes.
    ~cInstWizard() override;

    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    // The background picture behind transparent children.
    bool PaintBackground(cCanvas* canvas, const cRect* rect) override;
    void OnMouseButton(int32_t x, int32_t y, int32_t button, bool pressed) override;
    void OnMouseMove(int32_t x, int32_t y) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // Refused while a job page works; asked unless on the finish page.
    bool CanClose() override;
    const wchar_t* GetStringSection() override { return L"pkgm::instw"; }

    // Shows the page of that index; false when the wizard stays where it is.
    bool SwitchTo(int32_t index);
    // The Next button and Enter.
    void Next();

    const cWizardSteps& Steps() const { return steps; }

private:
    void AddPage(uint32_t kind, cChildElement* element, int32_t caption_id);
    void PlaceAcceptBox(cCheckBoxChild& box, int32_t text_id);
    // Shows the box of a document page; Next waits until it is ticked.
    void ShowAcceptBox(cCheckBoxChild& box);
    bool JobRunning();
    void StopPainting();
    void FillOlderProducts();
    // The ticks of the older products' rows, into their entries.
    void KeepOlderTicks();
    void NextFromOlderProducts();
    // Starts the removal of the products whose run flag is set; when it
    // cannot start, the products count as failed.
    void StartRemoval();
    void RemovalEnded();
    void InstallEnded();
    void AskRelease(cInstallerJobPanel::cAskReleaseAction* question);
    void AskAbort();

    cSiDocViewer welcome_viewer;
    cSiDocViewer readme_viewer;
    cCheckBoxChild readme_box;
    cSiDocViewer licence_viewer;
    cCheckBoxChild licence_box;
    cListViewChild older_list;
    cSoftUninstallerPanel uninstaller_page;
    cFileSelectPanel folder_page;
    cInstallerJobPanel install_page;
    cFinishPanel finish_page;
    cWZIButton next_button;
    cInstallContext* context;  // not owned
    cWizardSteps steps;
    int32_t pressed_step;      // -1: none
    const wchar_t* titles[wizard_page_limit];
    const wchar_t* captions[wizard_page_limit];
    cFontObject* title_font;
    cFontObject* current_font;
    cFontObject* step_font;
};

// The background picture, decoded from the program's PNG on first use;
// null when it cannot be decoded.
cImageBuffer* wizard_background();

// Runs the wizard over the context through the application's window maker,
// titled "<name> software installer" (string 0 of "pkgm::instw" with the
// package's name). 0 when it ends through its finish page or its window is
// closed (the context's status tells the outcome), 1 when the background
// picture cannot be decoded or the plan made again after the older
// products' removal was refused, the window maker's result when no window
// could be made.
int32_t run_install_wizard(cInstallContext* context);

#endif
