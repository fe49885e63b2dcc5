// The form around the controls: its client panel inside the frame, Enter
// and Escape before the focused control, and the size grip of resizable
// forms only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/theme.h"
#include "tests/gui/controls/controls_form.h"

namespace {

using FormTest = ControlsFormTest;

TEST_F(FormTest, ClientPanelFillsTheFrameBetweenTheBands)
{
    // With the built-in theme's bands (top 30, sides 5, bottom 40).
    const uint32_t panel_colour = 0x30C050;
    const int32_t left = 5, top = 30, right = form_width - 5 - 1, bottom = form_height - 40 - 1;
    struct cEdgePixel {
        int32_t x, y;
        bool inside;
    };
    const cEdgePixel edges[] = {
        {left, top, true},          {right, top, true},          {left, bottom, true},
        {right, bottom, true},      {left - 1, top, false},      {left, top - 1, false},
        {right + 1, top, false},    {right, top - 1, false},     {left - 1, bottom, false},
        {left, bottom + 1, false},  {right + 1, bottom, false},  {right, bottom + 1, false},
    };
    std::vector<uint32_t> seen;
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [f, panel_colour]() {
                          f->GetClientPanel()->SetBackgroundColour(panel_colour);
                          f->Redraw(nullptr);
                      },
                      [&, f]() {
                          for (const cEdgePixel& edge : edges)
                              seen.push_back(cFormWindow::PixelAt(f, edge.x, edge.y));
                      },
                  };
              }),
              1);
    ASSERT_EQ(seen.size(), sizeof(edges) / sizeof(edges[0]));
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(std::to_string(edges[i].x) + "," + std::to_string(edges[i].y));
        EXPECT_EQ(seen[i] == panel_colour, edges[i].inside);
    }
}

TEST_F(FormTest, EnterReachesOnAcceptBeforeTheFocusedButton)
{
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [f]() { f->button.TakeFocus(); },
                      []() { cFormWindow::Press(VK_RETURN); },
                      [&]() { log.accept_answer = false; },
                      []() { cFormWindow::Press(VK_RETURN); },
                  };
              }),
              1);
    // Taken by the form first; declined, it goes on to the button.
    EXPECT_EQ(log.events, (std::vector<std::string>{"accept", "accept", "button 0"}));
}

TEST_F(FormTest, EscapeEndsTheRunButNotWithAModifier)
{
    // Shift rather than Ctrl: Ctrl+Escape is the system's own key.
    bool open_after_shift_escape = false, ran_past_escape = false;
    EXPECT_EQ(Run([&](cControlsForm*) {
                  return cSteps{
                      []() { cFormWindow::Press(VK_ESCAPE, VK_SHIFT); },
                      [&]() {
                          open_after_shift_escape = true;
                          cFormWindow::Press(VK_ESCAPE);
                      },
                      [&]() { ran_past_escape = true; },
                  };
              }),
              0);
    EXPECT_TRUE(open_after_shift_escape);
    EXPECT_FALSE(ran_past_escape);
}

TEST_F(FormTest, OnlyAResizableFormShowsTheSizeGrip)
{
    // The bottom-right corner is theme image 7 drawn opaque; the grip of a
    // resizable form shows over it.
    const cImageBuffer* corner = theme_image(7);
    ASSERT_NE(corner, nullptr);
    for (bool resizable : {false, true}) {
        SCOPED_TRACE(resizable);
        int32_t differing = -1;
        EXPECT_EQ(Run(
                      [&](cControlsForm* f) {
                          return cSteps{[&, f]() {
                              differing = cFormWindow::ImageMismatches(f, form_width - corner->GetWidth(),
                                                                       form_height - corner->GetHeight(), corner,
                                                                       false);
                          }};
                      },
                      resizable),
                  1);
        if (resizable)
            EXPECT_GT(differing, 0);
        else
            EXPECT_EQ(differing, 0);
    }
}

}  // namespace
