// The bare splitter dragged by the real mouse, in both modes: in the
// proportional mode the width moves between a pane and its right neighbour,
// clamped to the pair and to each pane's minimum width; in pixel mode the
// dragged pane alone changes, never below its minimum, and the splitter
// takes the panes' width. The panes' widths and the bar lines read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "gui/controls/splitter.h"
#include "gui/controls/static_element.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

// Three panes in a splitter 300 wide. The first pane may not go below 40,
// the second below 30; the third has no minimum.
const int32_t splitter_width = 300;
const int32_t splitter_height = 40;
const int32_t bar = cSplitterChild::bar_width;
const int32_t minimums[3] = {40, 30, 0};

class cSplitterForm : public cScriptForm {
public:
    cSplitterForm(cFormWindow& runner, std::vector<uint32_t>& action_log, bool pixels, const int32_t* widths)
        : cScriptForm(runner, action_log), pixel_mode(pixels), pane_widths(widths)
    {
    }

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&splitter, 10, 10, splitter_width, splitter_height);
        if (pixel_mode)
            splitter.SetProportional(false);
        // A pane takes its minimum once it is in place (the insertion sets
        // its defaults); the parent's next layout then finds it.
        for (int32_t id = 0; id < 3; ++id) {
            splitter.AddPane(id, &panes[id], pane_widths[id]);
            panes[id].SetMinSize(minimums[id], 0);
        }
        splitter.Layout();
    }

    cSplitterChild splitter;
    cStaticElement panes[3];

protected:
    bool Logs(cChildElement* sender) override { return sender == &splitter; }

private:
    bool pixel_mode;
    const int32_t* pane_widths;
};

struct cDragCase {
    const char* name;
    int32_t bar_after;  // the pane whose bar is dragged
    int32_t to_x;       // where the pointer is released, in the splitter
};

// What a drag did: the panes' widths before and after, the line colour at
// the dragged bar afterwards, the splitter's width and the codes it posted.
struct cDragOutcome {
    std::vector<int32_t> before;
    std::vector<int32_t> after;
    int32_t splitter_after = 0;
    uint32_t line_at_bar = 0;
    std::vector<uint32_t> log;
};

int32_t left_of_pane(const std::vector<int32_t>& widths, int32_t pane)
{
    return std::accumulate(widths.begin(), widths.begin() + pane, 0) + bar * pane;
}

// A press on the bar after the case's pane, one pixel into it, a move to
// the case's x and the release there.
cDragOutcome drag(bool pixels, const int32_t* pane_widths, const cDragCase& c)
{
    cFormWindow window;
    window.step_gap_ms = cFormWindow::quick_step_gap_ms;
    cDragOutcome outcome;
    cSplitterForm* form = new cSplitterForm(window, outcome.log, pixels, pane_widths);
    auto widths = [form]() {
        std::vector<int32_t> shown;
        for (const cStaticElement& pane : form->panes)
            shown.push_back(pane.GetWidth());
        return shown;
    };
    EXPECT_EQ(window.Run(form, 400, 150,
                         {[&]() {
                              outcome.log.clear();
                              outcome.before = widths();
                              int32_t bar_x = left_of_pane(outcome.before, c.bar_after) + outcome.before[c.bar_after];
                              POINT at = cFormWindow::ScreenPoint(&form->splitter, bar_x + 1, 20);
                              send_mouse_move_to(at.x, at.y);
                              send_mouse_button(true, false);
                          },
                          [&]() {
                              POINT to = cFormWindow::ScreenPoint(&form->splitter, c.to_x, 20);
                              send_mouse_move_to(to.x, to.y);
                              send_mouse_button(true, true);
                          },
                          [&]() {
                              outcome.after = widths();
                              outcome.splitter_after = form->splitter.GetWidth();
                              int32_t bar_x = left_of_pane(outcome.after, c.bar_after) + outcome.after[c.bar_after];
                              outcome.line_at_bar = cFormWindow::PixelAt(&form->splitter, bar_x + 1, 20);
                          }}),
              1);
    return outcome;
}

// Each case's drag on a fresh form whose panes were added with those
// widths and are laid out with the initial ones; check judges the outcome.
void for_each_drag(bool pixels, const int32_t (&added)[3], const int32_t (&initial)[3],
                   const std::vector<cDragCase>& cases,
                   const std::function<void(const cDragCase&, const cDragOutcome&)>& check)
{
    for (const cDragCase& c : cases) {
        SCOPED_TRACE(c.name);
        cDragOutcome outcome = drag(pixels, added, c);
        ASSERT_EQ(outcome.before, std::vector<int32_t>(initial, initial + 3));
        EXPECT_EQ(outcome.line_at_bar, theme_colour(43)) << "the dragged bar's line";
        check(c, outcome);
    }
}

TEST(SplitterTest, AProportionalDragMovesWidthWithinThePairAndTheMinimums)
{
    // Three panes of 100: the 294 pixels between the two bars shared equally.
    const int32_t added[3] = {100, 100, 100};
    const int32_t initial[3] = {98, 98, 98};
    const std::vector<cDragCase> cases = {
        {"the first bar 50 to the right", 0, 149},
        {"the first bar past the second pane's minimum", 0, 290},
        {"the first bar left of the splitter", 0, -60},
        {"the second bar past the splitter's end", 1, 400},
        {"the second bar onto the first pane", 1, 20},
    };
    for_each_drag(false, added, initial, cases, [&](const cDragCase& c, const cDragOutcome& outcome) {
        // The dragged pane takes the pointer's distance from its left edge,
        // within its minimum and the pair less its neighbour's minimum.
        int32_t pair = initial[c.bar_after] + initial[c.bar_after + 1];
        int32_t wanted = c.to_x - left_of_pane(outcome.before, c.bar_after);
        int32_t least = minimums[c.bar_after], most = pair - minimums[c.bar_after + 1];
        int32_t dragged = wanted < least ? least : wanted > most ? most : wanted;
        std::vector<int32_t> expected(initial, initial + 3);
        expected[size_t(c.bar_after)] = dragged;
        expected[size_t(c.bar_after) + 1] = pair - dragged;
        EXPECT_EQ(outcome.after, expected);
        EXPECT_EQ(outcome.splitter_after, splitter_width);
        // Each move of the drag that changed the panes posts code 7.
        EXPECT_FALSE(outcome.log.empty());
        EXPECT_EQ(std::count(outcome.log.begin(), outcome.log.end(), 7u), std::ptrdiff_t(outcome.log.size()));
    });
}

TEST(SplitterTest, APixelDragSizesOnePaneNeverBelowItsMinimum)
{
    // The second pane is added narrower than its minimum: it is widened.
    const int32_t added[3] = {100, 20, 100};
    const int32_t initial[3] = {100, 30, 100};
    const std::vector<cDragCase> cases = {
        {"the first bar 30 to the left", 0, 71},
        {"the first bar past its minimum", 0, 20},
        {"the first bar left of the splitter", 0, -60},
        {"the first bar far past its neighbour", 0, 250},
        {"the second bar onto the first pane", 1, 60},
        {"the last bar 40 to the right", 2, 276},
    };
    for_each_drag(true, added, initial, cases, [&](const cDragCase& c, const cDragOutcome& outcome) {
        int32_t wanted = c.to_x - left_of_pane(outcome.before, c.bar_after);
        std::vector<int32_t> expected(initial, initial + 3);
        expected[size_t(c.bar_after)] = std::max(wanted, minimums[c.bar_after]);
        EXPECT_EQ(outcome.after, expected);
        // Without a content width the splitter is as wide as its panes and bars.
        EXPECT_EQ(outcome.splitter_after, left_of_pane(expected, 3));
        EXPECT_NE(std::find(outcome.log.begin(), outcome.log.end(), 7u), outcome.log.end()) << "a pane changed";
    });
}

}  // namespace
