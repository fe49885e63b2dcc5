#ifndef TOOLS_SHELL_MANAGER_WINDOW_H
#define TOOLS_SHELL_MANAGER_WINDOW_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/config_file.h"
#include "base/job.h"
#include "base/owned_list.h"
#include "gui/child_element.h"
#include "gui/controls/list_view.h"
#include "gui/controls/panel.h"
#include "gui/controls/picture_element.h"
#include "gui/controls/static_element.h"
#include "gui/image_cache.h"
#include "tools/shell/app_buttons.h"
#include "tools/shell/language_switch.h"
#include "tools/shell/product_record.h"

// What the main window asks of the parts that uninstall products and
// remove the manager; the program's main hands them over. A null command
// does nothing.
struct cManagerCommands {
    // Uninstalls the product of that code name with its form over parent.
    uint32_t (*uninstall)(const wchar_t* code_name, cChildElement* parent);
    // Removes the installed manager at that path; true when it was removed
    // (or its deletion was handed on).
    bool (*remove_manager)(const wchar_t* manager_path, cChildElement* parent);
    // The installed manager's path.
    bool (*get_manager_path)(_guardchar<wchar_t>& out);
};

// The manager's main window ("pkgm::softm"): the products this program
// installed, with icons, dates, versions and offered updates; details of
// the selected one with its links and programs; Update, Uninstall,
// Refresh, the language switch, and "Remove Pelmaro" while no product is
// left; the products recorded for one user only that a run with
// administrator rights leaves to that user are named, not listed. A reader
// job judges the stores afresh and fills the list; while it runs, the list,
// the details and every command are out of reach. Where the records cannot
// be read whole, a note names what is in the way instead of the list. The
// modal run ends with 10 after a language switch (the window is built
// again), 0 after an update was started or the manager removed. UI thread,
// but for the reader.
class cPelmaroForm : public cChildElement {
public:
    // Reads the products into the form's list and list view on its own
    // thread; posts a plain code-6 action to the form when it ends.
    class cConfigReaderJob : public cJob {
    public:
        explicit cConfigReaderJob(cPelmaroForm* owner) : cJob(nullptr), form(owner) {}
        uint32_t Run() override;
        void OnFinish(uint32_t exit_code) override;

    private:
        cPelmaroForm* form;
    };

    explicit cPelmaroForm(const cManagerCommands* manager_commands);
    // Stops the reader before anything it writes into goes.
    ~cPelmaroForm() override;

    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    const wchar_t* GetStringSection() override { return L"pkgm::softm"; }

    // Reads the products again, out of reach of commands until it ends.
    void Refresh();

private:
    // A launch link of the shown product.
    struct cLaunchLink : public cListItem {
        cLinkElement link;
        _guardchar<wchar_t> command;
    };

    void LayOutLists();
    void LayOutDetails();
    void OnReaderFinished();
    void ShowProduct(cInstalledProduct* product);
    void PlaceLaunchLinks(cInstalledProduct* product);
    // Places the link at y when the URL is not empty; answers the next y.
    int32_t PlaceUrlLink(cLinkElement& link, const wchar_t* url, int32_t y);
    void Uninstall();
    void Update();
    void RemoveManager();
    bool HandleLinkClick(cChildElement* sender);
    cInstalledProduct* ProductAt(int32_t row);

    cConfigReaderJob reader;
    const cManagerCommands* commands;  // not owned; may be null
    cInstalledProduct* shown;
    cProductList products;  // the reader's while it runs
    cImageCache icons;      // 16 x 16 icons by row
    int32_t product_count;
    bool reading;
    const wchar_t* offer_text;  // "Update available", looked up for the reader
    const wchar_t* more_text;   // "and %s more", ending a long list of names; the same
    // The code names of the products recorded for one user only that the
    // run leaves to that user (list_per_user_products); the reader's while
    // it runs, as are the two faults below.
    _guardchar<wchar_t> per_user_products;
    // What kept the records from being read whole (run_store_refusal): the
    // list is not shown then.
    cStoreFault refusal;
    // What kept the update server's address from being read
    // (get_update_server_address): no update is checked then.
    cStoreFault server_fault;

    cWZISelButton tab;
    cPanelChild list_frame;
    cListViewChild list;
    cStaticElement status;
    cStaticElement note;  // names per_user_products
    cPanelChild details;
    cWZIButton update_button;
    cWZIButton uninstall_button;
    cPictureElement product_icon;
    cStaticElement name_line;
    cStaticElement version_line;
    cStaticElement date_line;
    cOwnedList launch_links;  // cLaunchLink
    cLinkElement publisher_link;
    cLinkElement support_link;
    cLinkElement updates_link;
    cLinkElement remove_link;
    cWZIButton refresh_button;
    cLangSwitchCtl language_switch;
};

// The manager's main window, built again after every language switch;
// answers its last modal result as the exit code. Where the run's store
// cannot serve, or the other store could not read its records
// (run_store_refusal), a message tells of the fault instead, and the
// answer is 1.
uint32_t run_manager(const cManagerCommands* commands);

#endif
