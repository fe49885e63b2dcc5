// The property display area in a real dialog: short and long notes, the
// height it reports to its owner, its scroll bar read back from the screen
// and scrolled with the real wheel.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/controls/prop_disp_area.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t area_width = 200;
const int32_t area_height = 100;
const uint32_t white = 0xFFFFFF;

// The area, whose resize actions it logs with their heights.
class cNotesForm : public cScriptForm {
public:
    cNotesForm(cFormWindow& runner, std::vector<int32_t>& height_log) : cScriptForm(runner, codes), heights(height_log)
    {
    }

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&area, 10, 10, area_width, area_height);
        area.SetColours(0xE4E0DC, white, 0x734D32);
        area.SetTextSpacing(10);
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &area && action->code == 6) {
            heights.push_back(static_cast<cPropDispAreaChild::cPropDispResizeAction*>(action)->height);
            return true;
        }
        return cScriptForm::HandleAction(sender, action);
    }

    cPropDispAreaChild area;

protected:
    bool Logs(cChildElement*) override { return false; }

private:
    std::vector<uint32_t> codes;
    std::vector<int32_t>& heights;
};

std::wstring repeated(const wchar_t* sentence, int times)
{
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += sentence;
    return text;
}

TEST(PropDispArea, LongContentGetsAScrollBarThatReachesItsEnd)
{
    struct cNotes {
        const char* name;
        std::wstring body;
        bool bar;
    };
    const cNotes notes[] = {
        {"one line", L"Fixes a crash.", false},
        {"release notes", repeated(L"This version downloads updates faster and keeps your settings. ", 12), true},
    };
    for (const cNotes& note : notes) {
        cFormWindow window;
        std::vector<int32_t> heights;
        cNotesForm* form = new cNotesForm(window, heights);
        cPropDispAreaChild& area = form->area;
        int32_t content = 0, offset = -1;
        bool displayed = false;
        uint32_t bar_pixel = 0;
        std::vector<uint32_t> top, scrolled;
        EXPECT_EQ(window.Run(form, 260, 200,
                             {
                                 [&]() { area.SetTexts(L"Version 2.4", note.body.c_str()); },
                                 [&]() {
                                     content = area.GetContentHeight();
                                     displayed = area.GetVScroll()->IsDisplayed();
                                     bar_pixel = cFormWindow::PixelAt(&area, area_width - 8, area_height / 2);
                                     top = cFormWindow::Pixels(&area, 0, 0, area_width, area_height);
                                     cFormWindow::MoveTo(&area, 50, 50);
                                 },
                                 // A notch scrolls one pixel: more notches than
                                 // the content is high (a turn's delta is a
                                 // 16-bit value).
                                 []() {
                                     for (int turn = 0; turn < 4; ++turn)
                                         send_mouse(MOUSEEVENTF_WHEEL, 0, 0, -120 * 250);
                                 },
                                 [&]() {
                                     offset = area.GetScrollOffsetY();
                                     scrolled = cFormWindow::Pixels(&area, 0, 0, area_width, area_height);
                                 },
                             }),
                  1);
        ASSERT_FALSE(heights.empty()) << note.name;
        EXPECT_EQ(heights.back(), content) << note.name << ": the owner hears the area's own height";
        EXPECT_EQ(displayed, note.bar) << note.name;
        EXPECT_EQ(content > area_height, note.bar) << note.name;
        EXPECT_EQ(bar_pixel != white, note.bar) << note.name;
        // The view is the area less its bar; the end of the content shows
        // at the bottom.
        EXPECT_EQ(offset, note.bar ? content - area_height : 0) << note.name;
        EXPECT_EQ(top != scrolled, note.bar) << note.name;
    }
}

}  // namespace
