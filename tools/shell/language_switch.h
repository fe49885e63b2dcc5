#ifndef TOOLS_SHELL_LANGUAGE_SWITCH_H
#define TOOLS_SHELL_LANGUAGE_SWITCH_H

#include <stdint.h>

#include "gui/controls/gen_button.h"
#include "gui/controls/popup_list.h"

// The main window's language switch: the small flag of the language that
// "lang/current" names (English when the application does not carry it),
// with its name as the tooltip. A click opens a menu of the application's
// languages; choosing another one switches the interface, stores the
// choice in the configuration and posts a plain code-6 action to the
// switch, on which the main window rebuilds itself. UI thread only.
class cLangSwitchCtl : public cGenButtonChild {
public:
    cLangSwitchCtl() : shown(11) {}

    void Paint(cCanvas* canvas) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    void InitDefaults() override;

    // Shows the stored language when it is not the one shown.
    void Refresh();
    // 11 before the first refresh.
    uint32_t GetShownLanguage() const { return shown; }

private:
    void Show(uint32_t id);

    uint32_t shown;
};

// The switch's menu: each language 0 to 9 that the application carries, in
// id order, with its own name and its small picture (the item and image id
// are the language id).
void build_language_menu(cPopupItems& items);

#endif
