// The bare splitter in its proportional mode, dragged by the real mouse: the
// width moves between a pane and its right neighbour, clamped to the pair
// and to each pane's minimum width; the panes' widths and the bar lines
// read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/controls/splitter.h"
#include "gui/controls/static_element.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

// Three panes of 100 in a splitter 300 wide: the 294 pixels between the two
// bars shared equally. The first pane may not go below 40, the second below
// 30; the third has no minimum.
const int32_t splitter_width = 300;
const int32_t splitter_height = 40;
const int32_t bar = cSplitterChild::bar_width;
const int32_t minimums[3] = {40, 30, 0};

class cSplitterForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&splitter, 10, 10, splitter_width, splitter_height);
        for (int32_t id = 0; id < 3; ++id) {
            splitter.AddPane(id, &panes[id], 100);
            panes[id].SetMinSize(minimums[id], 0);
        }
    }

    cSplitterChild splitter;
    cStaticElement panes[3];

protected:
    bool Logs(cChildElement* sender) override { return sender == &splitter; }
};

struct cDragCase {
    const char* name;
    int32_t bar_after;  // the pane whose bar is dragged
    int32_t to_x;       // where the pointer is released, in the splitter
};

TEST(SplitterTest, AProportionalDragMovesWidthWithinThePairAndTheMinimums)
{
    const cDragCase cases[] = {
        {"the first bar 50 to the right", 0, 149},
        {"the first bar past the second pane's minimum", 0, 290},
        {"the first bar left of the splitter", 0, -60},
        {"the second bar past the splitter's end", 1, 400},
        {"the second bar onto the first pane", 1, 20},
    };
    const int32_t initial[3] = {98, 98, 98};
    for (const cDragCase& c : cases) {
        SCOPED_TRACE(c.name);
        cFormWindow window;
        window.step_gap_ms = cFormWindow::quick_step_gap_ms;
        std::vector<uint32_t> log;
        cSplitterForm* form = new cSplitterForm(window, log);
        std::vector<int32_t> before, after;
        uint32_t line_at_bar = 0;
        int32_t pane_left = 0;
        for (int32_t id = 0; id < c.bar_after; ++id)
            pane_left += initial[id] + bar;
        EXPECT_EQ(window.Run(form, 400, 150,
                             {[&]() {
                                  log.clear();
                                  for (const cStaticElement& pane : form->panes)
                                      before.push_back(pane.GetWidth());
                                  POINT at = cFormWindow::ScreenPoint(&form->splitter,
                                                                      pane_left + initial[c.bar_after] + 1, 20);
                                  send_mouse_move_to(at.x, at.y);
                                  send_mouse_button(true, false);
                              },
                              [&]() {
                                  POINT to = cFormWindow::ScreenPoint(&form->splitter, c.to_x, 20);
                                  send_mouse_move_to(to.x, to.y);
                                  send_mouse_button(true, true);
                              },
                              [&]() {
                                  for (const cStaticElement& pane : form->panes)
                                      after.push_back(pane.GetWidth());
                                  int32_t line_x = after[0] + 1 + (c.bar_after == 1 ? after[1] + bar : 0);
                                  line_at_bar = cFormWindow::PixelAt(&form->splitter, line_x, 20);
                              }}),
                  1);
        ASSERT_EQ(before, std::vector<int32_t>(initial, initial + 3));
        // The dragged pane takes the pointer's distance from its left edge,
        // within its minimum and the pair less its neighbour's minimum.
        int32_t pair = initial[c.bar_after] + initial[c.bar_after + 1];
        int32_t wanted = c.to_x - pane_left;
        int32_t least = minimums[c.bar_after], most = pair - minimums[c.bar_after + 1];
        int32_t dragged = wanted < least ? least : wanted > most ? most : wanted;
        std::vector<int32_t> expected(initial, initial + 3);
        expected[size_t(c.bar_after)] = dragged;
        expected[size_t(c.bar_after) + 1] = pair - dragged;
        EXPECT_EQ(after, expected);
        EXPECT_EQ(line_at_bar, theme_colour(43)) << "the dragged bar's line";
        // Each move of the drag that changed the panes posts code 7.
        EXPECT_FALSE(log.empty());
        EXPECT_EQ(std::count(log.begin(), log.end(), 7u), std::ptrdiff_t(log.size()));
    }
}

}  // namespace
