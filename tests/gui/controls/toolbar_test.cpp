// The toolbar in a real dialog: clicks on its buttons report their ids, and
// a bar one pixel narrower than its buttons moves the ones that no longer
// fit beside the more button into the popup, whose entries report theirs.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/controls/toolbar.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const wchar_t* const captions[] = {L"Open", L"Details", L"Update", L"Remove", L"Quit"};
const int32_t button_count = 5;
const int32_t bar_height = 24;

int32_t id_of(int32_t index)
{
    return (index + 1) * 10;
}

class cToolbarForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&bar, 10, 10, 100, bar_height);
        bar.SetOverflowMode(cToolBarChild::overflow_cut_end);
        for (int32_t i = 0; i < button_count; ++i)
            bar.SetButton(id_of(i), captions[i], -1);
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &bar && action->code == 6)
            ids.push_back(static_cast<cToolBarChild::cTbButtonAction*>(action)->id);
        return cScriptForm::HandleAction(sender, action);
    }

    // Where each button starts when nothing overflows, and the more
    // button's width, as the buttons measure themselves.
    std::vector<int32_t> Starts()
    {
        std::vector<int32_t> starts{0};
        for (int32_t i = 0; i < button_count; ++i)
            starts.push_back(starts.back() + cButtonChild::MeasureWidth(&bar, captions[i], nullptr, 0, nullptr));
        return starts;
    }
    int32_t MoreWidth() { return cButtonChild::MeasureWidth(&bar, nullptr, theme_image(72), 0, nullptr); }

    cToolBarChild bar;
    std::vector<int32_t> ids;

protected:
    bool Logs(cChildElement* sender) override { return sender == &bar; }
};

TEST(ToolbarTest, ButtonsReportTheirIdsAndOverflowIntoThePopup)
{
    cFormWindow window;
    window.step_gap_ms = cFormWindow::quick_step_gap_ms;
    std::vector<uint32_t> log;
    cToolbarForm* form = new cToolbarForm(window, log);
    std::vector<int32_t> starts;
    int32_t more_width = 0, first_cut = -1;
    RECT popup = {};
    std::vector<int32_t> ids;
    auto click_bar = [form](std::function<int32_t()> x) {
        return [form, x]() { cFormWindow::ClickAt(&form->bar, x(), bar_height / 2); };
    };
    EXPECT_EQ(
        window.Run(
            form, 500, 200,
            {[&, form]() {
                 // Exactly as wide as the buttons: all of them show.
                 starts = form->Starts();
                 more_width = form->MoreWidth();
                 form->GetClientPanel()->AddChild(&form->bar, 10, 10, starts.back(), bar_height);
             },
             click_bar([&]() { return starts[button_count] - 3; }),
             click_bar([&]() { return starts[0] + 3; }),
             [&, form]() {
                 // One pixel narrower: cut before the first button that no
                 // longer fits together with the more button.
                 int32_t width = starts.back() - 1;
                 form->GetClientPanel()->AddChild(&form->bar, 10, 10, width, bar_height);
                 for (first_cut = 0; starts[first_cut + 1] + more_width <= width; ++first_cut) {
                 }
             },
             // The more button, where the first cut button stood.
             click_bar([&]() { return starts[first_cut] + more_width / 2; }),
             [&, form]() {
                 HWND active = GetActiveWindow();
                 if (active == GetAncestor(host_of(form), GA_ROOT))
                     return;
                 GetWindowRect(active, &popup);
                 // The last entry.
                 send_click_at((popup.left + popup.right) / 2, popup.bottom - bar_height / 2);
             },
             [&, form]() { ids = form->ids; }}),
        1);
    ASSERT_GE(first_cut, 1);
    ASSERT_LT(first_cut, button_count);
    // One entry per cut button, each as high as the bar, in the list's
    // frame of a pixel above and below.
    EXPECT_EQ(popup.bottom - popup.top, (button_count - first_cut) * bar_height + 2);
    EXPECT_EQ(ids, (std::vector<int32_t>{id_of(button_count - 1), id_of(0), id_of(button_count - 1)}));
}

}  // namespace
