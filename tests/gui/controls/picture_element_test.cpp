// The picture element in a real dialog: an image whose source is freed
// and overwritten after it was handed over, read back from the screen, and
// real clicks and moves over its active zones.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui/controls/picture_element.h"
#include "gui/image_buffer.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t picture_width = 60;
const int32_t picture_height = 40;
const int32_t form_width = 180;
const int32_t form_height = 170;

// Opaque pixels that differ from their neighbours, rows bottom-up.
void paint_pattern(cImageBuffer& image)
{
    ASSERT_TRUE(image.Resize(picture_width, picture_height));
    for (int32_t y = 0; y < picture_height; ++y)
        for (int32_t x = 0; x < picture_width; ++x)
            image.GetPixels()[y * picture_width + x] = 0xFF000000 | uint32_t(x * 4) << 16 | uint32_t(y * 6) << 8 | 0x55;
}

// A picture whose zone actions it logs as "zone <id>".
class cPictureForm : public cScriptForm {
public:
    cPictureForm(cFormWindow& runner, std::vector<std::string>& event_log) : cScriptForm(runner, codes), events(event_log)
    {
    }

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&picture, 20, 20, picture_width + 20, picture_height);
        picture.SetActiveZone(1, cRectEdges{0, 0, 19, 19});
        picture.SetActiveZone(2, cRectEdges{10, 10, 39, 29});
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &picture && action->code == 6) {
            events.push_back("zone " + std::to_string(static_cast<cPictureElement::cActiveZoneAction*>(action)->zone));
            return true;
        }
        return cScriptForm::HandleAction(sender, action);
    }

    cPictureElement picture;

protected:
    bool Logs(cChildElement* sender) override { return sender == &picture; }

private:
    std::vector<uint32_t> codes;
    std::vector<std::string>& events;
};

TEST(PictureElement, ImageStillPaintsAfterItsSourceWasFreed)
{
    cFormWindow window;
    std::vector<std::string> events;
    cPictureForm* form = new cPictureForm(window, events);
    cImageBuffer expected;
    paint_pattern(expected);
    bool taken = false, null_refused = false, empty_refused = false;
    int32_t mismatches = -1;
    EXPECT_EQ(window.Run(form, form_width, form_height,
                         {
                             [&, form]() {
                                 cImageBuffer* source = new cImageBuffer;
                                 paint_pattern(*source);
                                 taken = form->picture.SetImage(source);
                                 source->Fill(0xFFFF00FF, picture_width, picture_height);
                                 delete source;
                                 cImageBuffer empty;
                                 null_refused = !form->picture.SetImage(nullptr);
                                 empty_refused = !form->picture.SetImage(&empty);
                                 form->picture.Redraw(nullptr);
                             },
                             [&, form]() {
                                 mismatches = cFormWindow::ImageMismatches(&form->picture, 0, 0, &expected, false);
                             },
                         }),
              1);
    EXPECT_TRUE(taken);
    EXPECT_TRUE(null_refused);
    EXPECT_TRUE(empty_refused);
    EXPECT_EQ(mismatches, 0);
}

TEST(PictureElement, ReleaseInAnActiveZonePostsTheLowestIdAndTheHandShowsOverZones)
{
    struct cClick {
        POINT point;
        const char* event;  // null: nothing posted
        bool hand;
    };
    const cClick clicks[] = {
        {{5, 5}, "zone 1", true},
        {{15, 15}, "zone 1", true},   // both zones: the lower id
        {{30, 25}, "zone 2", true},
        {{39, 29}, "zone 2", true},   // the inclusive corner
        {{45, 5}, nullptr, false},
        {{40, 30}, nullptr, false},   // just past the corner
    };
    cFormWindow window;
    std::vector<std::string> events;
    cPictureForm* form = new cPictureForm(window, events);
    std::vector<std::vector<std::string>> posted(std::size(clicks));
    std::vector<bool> hand(std::size(clicks));
    std::vector<cFormWindow::cStep> steps;
    for (size_t i = 0; i < std::size(clicks); ++i) {
        const POINT at = clicks[i].point;
        // The window shows the element's cursor from the move after the one
        // that set it (moves in one step would make one message); one pixel
        // left of each point lies in the same zones.
        steps.push_back([form, at]() { cFormWindow::MoveTo(&form->picture, at.x - 1, at.y); });
        steps.push_back([form, at]() { cFormWindow::MoveTo(&form->picture, at.x, at.y); });
        steps.push_back([&, form, at, i]() {
            hand[i] = GetCursor() == LoadCursorA(nullptr, IDC_HAND);
            events.clear();
            cFormWindow::ClickAt(&form->picture, at.x, at.y);
        });
        steps.push_back([&, i]() { posted[i] = events; });
        // Off the picture and a pause, so that the next click makes no
        // double click.
        steps.push_back([]() { send_mouse_move_to(0, 0); });
    }
    EXPECT_EQ(window.Run(form, form_width, form_height, steps), 1);
    for (size_t i = 0; i < std::size(clicks); ++i) {
        std::vector<std::string> wanted;
        if (clicks[i].event)
            wanted.push_back(clicks[i].event);
        EXPECT_EQ(posted[i], wanted) << "click " << i;
        EXPECT_EQ(hand[i], clicks[i].hand) << "click " << i;
    }
}

}  // namespace
