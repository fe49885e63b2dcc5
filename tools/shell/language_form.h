#ifndef TOOLS_SHELL_LANGUAGE_FORM_H
#define TOOLS_SHELL_LANGUAGE_FORM_H

#include <stdint.h>

#include "base/buffers/guardchar.h"
#include "base/buffers/typebuf.h"
#include "gui/controls/panel.h"
#include "gui/controls/simple_grid.h"
#include "gui/controls/static_element.h"
#include "tools/shell/app_buttons.h"

// The offered languages, one row each (30 high, as wide as the grid): the
// language's flag and its own name, the selected row filled.
class cLangsGrid : public cSimpleGridChild {
public:
    // Not kept: the ids are copied.
    void SetLanguages(const _typebuf<uint32_t>& ids);
    // The id of row index, or language_none outside the rows.
    uint32_t LanguageAt(int32_t index) const;
    // The row of the id, or -1.
    int32_t RowOf(uint32_t id) const;

    void PaintCell(cCanvas* canvas, int32_t index, bool selected) override;
    int32_t GetCellWidth() override;
    int32_t GetCellHeight() override { return 30; }
    int32_t GetCellCount() override { return languages.Count(); }

private:
    _typebuf<uint32_t> languages;
};

// The form in which an installer or uninstaller asks for its language. A
// selected row switches the interface (and the form's own texts) at once;
// Start, Enter or a double click ends the run with the row's id + 1, and
// Escape or closing the window, confirmed, with 0. The arrows, Home, End and the page keys walk
// the list wherever the focus is. "Other languages" opens the maker's page
// of language options for the product. UI thread only.
class cLangSelectionForm : public cChildElement {
public:
    // The ids are copied; the preselected id's row is selected, or when
    // there is none, the system language's, else the first.
    cLangSelectionForm(const _typebuf<uint32_t>& ids, uint32_t preselected, const wchar_t* code_name);

    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override;
    void OnCreate() override;
    void Paint(cCanvas* canvas) override;
    bool HandleAction(cChildElement* sender, cChildAction* action) override;
    // The close box and Alt+F4 ask as Escape does.
    bool CanClose() override;
    const wchar_t* GetStringSection() override { return L"pkgm::langs"; }

private:
    // Ends the run with the selected language, when one is selected.
    void Choose();
    void PlaceLink();

    cPanelChild panel;
    cLangsGrid grid;
    cLinkElement link;
    cWZIButton start_button;
    uint32_t preselected;
    _guardchar<wchar_t> code_name;
};

// Asks for one of the offered languages, on the parent (380 x 370) or
// through the application's window maker (400 x 370): the chosen id, or
// language_none when nothing was chosen. One offered id is taken without a
// form; none gives language_none.
uint32_t run_language_selection(const _typebuf<uint32_t>& ids, cChildElement* parent, uint32_t preselected,
                                const wchar_t* code_name);

#endif
