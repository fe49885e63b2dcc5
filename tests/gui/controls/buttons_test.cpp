// Buttons, the check box and the link of the controls form under real
// mouse and keys, their looks read back from the screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gui/theme.h"
#include "tests/gui/controls/controls_form.h"

namespace {

class ButtonsTest : public ControlsFormTest {
protected:
    static cFormWindow::cStep PressAt(cChildElement* element, int32_t x, int32_t y)
    {
        return [=]() {
            cFormWindow::MoveTo(element, x, y);
            send_mouse_button(true, false);
        };
    }

    static void Release() { send_mouse_button(true, true); }
};

struct cClickCase {
    const char* name;
    cFormScript script;
    std::vector<std::string> events;
};

TEST_F(ButtonsTest, ClicksReachTheOwnerOnceOrNotAtAll)
{
    const cClickCase cases[] = {
        {"press inside and release outside",
         [](cControlsForm* f) {
             return cSteps{PressAt(&f->button, 45, 13), [f]() {
                               cFormWindow::MoveTo(&f->button, 45, 60);
                               Release();
                           }};
         },
         {}},
        {"a click", [](cControlsForm* f) { return cSteps{PressAt(&f->button, 45, 13), Release}; }, {"button 0"}},
        {"a click on the disabled button",
         [](cControlsForm* f) { return cSteps{PressAt(&f->disabled_button, 45, 13), Release}; }, {}},
        {"Space on the focused button",
         [](cControlsForm* f) {
             return cSteps{[f]() { f->button.TakeFocus(); }, []() { cFormWindow::Press(VK_SPACE); }};
         },
         {"button 0"}},
        {"a click on the link", [](cControlsForm* f) { return cSteps{PressAt(&f->link, 20, 10), Release}; },
         {"link 0"}},
    };
    for (const cClickCase& test : cases) {
        SCOPED_TRACE(test.name);
        log = cFormLog{};
        EXPECT_EQ(Run(test.script), 1);
        EXPECT_EQ(log.events, test.events);
    }
}

TEST_F(ButtonsTest, EachVisualStateDrawsItsOwnFrameColours)
{
    // The built-in states share colours: give each its own first.
    auto top_left = [](int32_t state) { return uint32_t(0x20C010 + state * 8); };
    auto bottom_right = [](int32_t state) { return uint32_t(0x6010D0 + state * 8); };
    std::map<int32_t, std::pair<uint32_t, uint32_t>> seen;
    // The focus cue's dots in the text colour along the line inside the
    // frames, every other pixel.
    std::map<int32_t, int32_t> cue_dots;
    auto read = [&](cButtonChild* button, int32_t state) {
        return [&seen, &cue_dots, button, state]() {
            seen[state] = {cFormWindow::PixelAt(button, 0, 0), cFormWindow::PixelAt(button, 89, 25)};
            std::vector<uint32_t> line = cFormWindow::Pixels(button, 2, 2, 86, 1);
            cue_dots[state] = int32_t(std::count(line.begin(), line.end(), theme_colour(4)));
        };
    };
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [&, f]() {
                          for (int32_t state = 0; state < 5; ++state) {
                              f->button.SetStateFrameColours(state, top_left(state), bottom_right(state));
                              f->disabled_button.SetStateFrameColours(state, top_left(state), bottom_right(state));
                          }
                          f->Redraw(nullptr);
                          cFormWindow::MoveTo(f, 240, 10);
                      },
                      read(&f->button, 0),
                      [f]() { f->button.TakeFocus(); },
                      read(&f->button, 1),
                      [f]() { cFormWindow::MoveTo(&f->button, 45, 13); },
                      read(&f->button, 2),
                      []() { send_mouse_button(true, false); },
                      read(&f->button, 3),
                      Release,
                      read(&f->disabled_button, 4),
                  };
              }),
              1);
    for (int32_t state = 0; state < 5; ++state) {
        SCOPED_TRACE(state);
        EXPECT_EQ(seen[state], std::make_pair(top_left(state), bottom_right(state)));
        // Focused, also under the pointer and pressed.
        EXPECT_EQ(cue_dots[state], state >= 1 && state <= 3 ? 43 : 0);
    }
}

TEST_F(ButtonsTest, CheckBoxTogglesOnTheReleaseAndShowsItsState)
{
    // The icon sits at (3, 3) of the 20-high box: its opaque pixels show.
    bool checked_after_press = true, checked_after_release = false;
    int32_t press_mismatches = -1, release_mismatches = -1, release_against_unchecked = 0;
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      PressAt(&f->check, 10, 10),
                      [&, f]() {
                          checked_after_press = f->check.IsChecked();
                          press_mismatches = cFormWindow::ImageMismatches(&f->check, 3, 3, theme_image(32), true);
                          Release();
                      },
                      [&, f]() {
                          checked_after_release = f->check.IsChecked();
                          release_mismatches = cFormWindow::ImageMismatches(&f->check, 3, 3, theme_image(33), true);
                          release_against_unchecked =
                              cFormWindow::ImageMismatches(&f->check, 3, 3, theme_image(32), true);
                      },
                  };
              }),
              1);
    EXPECT_FALSE(checked_after_press) << "a press changes nothing";
    EXPECT_EQ(press_mismatches, 0) << "focused, unchecked";
    EXPECT_TRUE(checked_after_release);
    EXPECT_EQ(release_mismatches, 0) << "focused, checked";
    EXPECT_GT(release_against_unchecked, 0);
    EXPECT_EQ(log.events, std::vector<std::string>{"check 0"});
}

}  // namespace
