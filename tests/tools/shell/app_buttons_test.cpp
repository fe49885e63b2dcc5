// The application's buttons on a real form under real mouse input: the flat
// button's face in each state, its greyed look while hidden, its click; the
// tab button's colours, and nothing drawn by one that is too small.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/controls/custom_form.h"
#include "tests/gui/controls/form_window.h"
#include "tools/shell/app_buttons.h"

namespace {

class cButtonsForm : public cCustomForm {
public:
    cButtonsForm(cFormWindow& runner, std::vector<std::string>& clicks) : window(runner), log(clicks) {}

    void OnCreate() override
    {
        cCustomForm::OnCreate();
        cPanelChild* panel = GetClientPanel();
        panel->AddChild(&flat, 10, 10, 100, 26);
        panel->AddChild(&tab, 10, 50, 140, 25);
        panel->AddChild(&small_tab, 170, 50, 37, 25);
        flat.SetText(L"Next", -1, false);
        tab.SetText(L"Installed Packages", -1, false);
        small_tab.SetText(L"Tiny", -1, false);
    }
    bool OnStarted() override
    {
        window.Start();
        return true;
    }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (action->code == 0 && (sender == &flat || sender == &tab)) {
            log.push_back(sender == &flat ? "flat" : "tab");
            return true;
        }
        return cCustomForm::HandleAction(sender, action);
    }

    cWZIButton flat;
    cWZISelButton tab;
    cWZISelButton small_tab;

private:
    cFormWindow& window;
    std::vector<std::string>& log;
};

}  // namespace

TEST(ApplicationButtons, FacesAndTextsFollowTheMouseHidingAndSelection)
{
    cFormWindow window;
    window.step_gap_ms = cFormWindow::quick_step_gap_ms;
    std::vector<std::string> clicks;
    cButtonsForm* form = new cButtonsForm(window, clicks);
    uint32_t idle = 0, hover = 0, pressed = 0, hidden = 0, small_tab = 0;
    std::vector<uint32_t> flat_idle, flat_hidden, tab_idle, tab_hover, tab_selected;
    // Inside the focus cue, which the press brings.
    auto face = [form]() { return cFormWindow::PixelAt(&form->flat, 6, 6); };
    auto flat = [form]() { return cFormWindow::Pixels(&form->flat, 0, 0, 100, 26); };
    auto tab = [form]() { return cFormWindow::Pixels(&form->tab, 0, 0, 140, 25); };
    intptr_t result = window.Run(form, 300, 200,
                                 {
                                     [&]() { cFormWindow::MoveTo(form, 250, 150); },
                                     [&]() {
                                         idle = face();
                                         flat_idle = flat();
                                         tab_idle = tab();
                                         cFormWindow::MoveTo(&form->flat, 50, 13);
                                     },
                                     [&]() {
                                         hover = face();
                                         send_mouse_button(true, false);
                                     },
                                     [&]() {
                                         pressed = face();
                                         send_mouse_button(true, true);
                                         cFormWindow::MoveTo(&form->tab, 70, 12);
                                     },
                                     [&]() {
                                         tab_hover = tab();
                                         form->tab.SetSelected(true, true);
                                         form->flat.Hide(true);
                                         cFormWindow::MoveTo(form, 250, 150);
                                     },
                                     [&]() {
                                         hidden = face();
                                         flat_hidden = flat();
                                         tab_selected = tab();
                                         small_tab = cFormWindow::PixelAt(&form->small_tab, 18, 12);
                                     },
                                 });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(clicks, std::vector<std::string>{"flat"});
    // 0xE7 face, 0xFF highlight: 231 * 159 / 255 + 255 * 96 / 255 = 240 on
    // hover (and hidden), 231 * 63 / 255 + 255 * 192 / 255 = 249 pressed.
    EXPECT_EQ(idle, 0xE7E7E7u);
    EXPECT_EQ(hover, 0xF0F0F0u);
    EXPECT_EQ(pressed, 0xF9F9F9u);
    EXPECT_EQ(hidden, 0xF0F0F0u);
    EXPECT_TRUE(cFormWindow::Shows(flat_idle, 0x655654)) << "text colour";
    // 127/255 of 0x655654 and 128/255 of the face, channel by channel.
    EXPECT_TRUE(cFormWindow::Shows(flat_hidden, 0xA59D9C)) << "greyed text colour";
    EXPECT_FALSE(cFormWindow::Shows(flat_hidden, 0x655654));

    EXPECT_EQ(tab_idle[size_t(12) * 140 + 2], 0xFFFFFFu) << "white background";
    EXPECT_EQ(tab_idle[0], 0xEBEBEBu) << "frame";
    EXPECT_TRUE(cFormWindow::Shows(tab_idle, 0x9A8A7E));
    EXPECT_TRUE(cFormWindow::Shows(tab_hover, 0xA29389));
    EXPECT_TRUE(cFormWindow::Shows(tab_selected, 0x5C5CDA));
    EXPECT_FALSE(cFormWindow::Shows(tab_selected, 0x9A8A7E));
    EXPECT_NE(small_tab, 0xFFFFFFu) << "a tab button 37 wide paints nothing";
}
