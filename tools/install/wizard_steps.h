#ifndef TOOLS_INSTALL_WIZARD_STEPS_H
#define TOOLS_INSTALL_WIZARD_STEPS_H

#include <stdint.h>

// The install wizard's pages, in the order they can appear.
enum : uint32_t {
    WIZARD_PAGE_WELCOME = 0,
    WIZARD_PAGE_README = 1,
    WIZARD_PAGE_LICENCE = 2,
    WIZARD_PAGE_OLDER_PRODUCTS = 3,
    WIZARD_PAGE_FOLDER = 4,
    WIZARD_PAGE_INSTALL = 5,
    WIZARD_PAGE_FINISH = 6,
};
const int32_t wizard_page_limit = 7;

// Where the step list lies in the wizard: one row per page from the top,
// its marker at the left edge and its caption from caption_x.
const int32_t wizard_steps_left = 25;
const int32_t wizard_steps_top = 85;
const int32_t wizard_step_height = 22;
const int32_t wizard_caption_x = 50;

// The wizard's page table and where the user stands in it, apart from the
// windows: which step a click would go to, and where the pages lead.
class cWizardSteps {
public:
    cWizardSteps() : count(0), current(-1) {}

    // Appends a page whose caption ends at caption_right; false past the
    // limit.
    bool Add(uint32_t kind, int32_t caption_right);
    void SetCaptionRight(int32_t index, int32_t caption_right);
    int32_t Count() const { return count; }
    uint32_t KindAt(int32_t index) const { return index >= 0 && index < count ? kinds[index] : wizard_page_limit; }
    // The index of the page of that kind; -1 when the wizard has none.
    int32_t IndexOf(uint32_t kind) const;

    int32_t Current() const { return current; }
    uint32_t CurrentKind() const { return KindAt(current); }
    void SetCurrent(int32_t index) { current = index; }

    // Whether the wizard may move to index now: not while a job page works
    // (busy), and only to another page of the table.
    bool CanSwitchTo(int32_t index, bool busy) const;
    // The step that a click at (x, y) goes back to, or -1: only an earlier
    // step than the current one, not the install step, on its caption or
    // marker; none from the finish page or while a job page works.
    int32_t StepAt(int32_t x, int32_t y, bool busy) const;

private:
    uint32_t kinds[wizard_page_limit];
    int32_t caption_rights[wizard_page_limit];
    int32_t count;
    int32_t current;  // -1 before the first page
};

#endif
