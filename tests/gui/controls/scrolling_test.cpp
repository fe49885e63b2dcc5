// Scroll bars and a scrollable view of the controls form under the real
// wheel and mouse; the content's and the thumbs' pixels read back.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/theme.h"
#include "tests/gui/controls/controls_form.h"

namespace {

// The view is 200 x 150 with content 150 x 2000 and a line step of 7: only
// the vertical bar shows, along its right edge.
const int32_t view_height = 150;
const int32_t content_height = 2000;
const int32_t line_step = 7;
const int32_t bar_x = 200 - 14;

// What the view shows after a script: the bar's position, the offset, and
// whether the content's bands lie where the offset puts them.
struct cViewReading {
    uint64_t position = 0;
    int32_t offset = -1;
    bool content_at_offset = false;
};

class ScrollingTest : public ControlsFormTest {
protected:
    cViewReading RunThenRead(cFormScript script)
    {
        cViewReading reading;
        EXPECT_EQ(Run([&](cControlsForm* f) {
                      cSteps steps = script(f);
                      steps.push_back([&reading, f]() { reading = Read(f->view); });
                      return steps;
                  }),
                  1);
        return reading;
    }

    static cViewReading Read(cBandedContent& view)
    {
        cViewReading reading;
        reading.position = view.GetVScroll()->GetPosition();
        reading.offset = view.GetScrollOffsetY();
        // Content row offset + y shows at view row y.
        int32_t band = reading.offset / 10;
        reading.content_at_offset =
            cFormWindow::PixelAt(&view, 50, 0) == cBandedContent::band_colour(band) &&
            cFormWindow::PixelAt(&view, 50, 10 - reading.offset % 10) == cBandedContent::band_colour(band + 1);
        return reading;
    }

    static void ExpectOffset(const cViewReading& reading, int32_t offset)
    {
        EXPECT_EQ(reading.position, uint64_t(offset));
        EXPECT_EQ(reading.offset, offset);
        EXPECT_TRUE(reading.content_at_offset);
    }
};

struct cScrollCase {
    const char* name;
    cFormScript script;
    int32_t offset;
};

TEST_F(ScrollingTest, WheelArrowAndFocusMoveTheViewByTheirSteps)
{
    const cScrollCase cases[] = {
        {"three wheel notches: three line steps",
         [](cControlsForm* f) {
             return cSteps{
                 [f]() { cFormWindow::MoveTo(&f->view, 50, 50); },
                 []() {
                     for (int notch = 0; notch < 3; ++notch)
                         send_mouse(MOUSEEVENTF_WHEEL, 0, 0, -120);
                 },
             };
         },
         3 * line_step},
        {"one click on the forward arrow (the bar's last 10 pixels): one line step",
         [](cControlsForm* f) {
             return cSteps{[f]() {
                 POINT at = cFormWindow::ScreenPoint(&f->view, bar_x + 7, view_height - 5);
                 send_click_at(at.x, at.y);
             }};
         },
         line_step},
        {"a child below the view gains the focus: its bottom edge (200 + 30) reaches the view's",
         [](cControlsForm* f) { return cSteps{[f]() { f->low_in_view.TakeFocus(); }}; },
         200 + 30 - view_height},
        {"content shrunk below the offset, with no new position: the bar's range clamps it and the view follows",
         [](cControlsForm* f) {
             return cSteps{[f]() { f->view.GetVScroll()->SetPosition(1800, true); },
                           [f]() { f->view.SetContentHeight(500); }};
         },
         500 - view_height},
    };
    for (const cScrollCase& test : cases) {
        SCOPED_TRACE(test.name);
        ExpectOffset(RunThenRead(test.script), test.offset);
    }
}

TEST_F(ScrollingTest, ThumbDragMovesTheContentByTheTrackScale)
{
    POINT pressed_at{}, released_at{};
    cViewReading reading = RunThenRead([&](cControlsForm* f) {
        return cSteps{
            // Inside the thumb, which starts after the 4-pixel cap.
            [f]() { cFormWindow::MoveTo(&f->view, bar_x + 7, 10); },
            [&]() {
                GetCursorPos(&pressed_at);
                send_mouse_button(true, false);
            },
            [&]() { send_mouse_move_to(pressed_at.x, pressed_at.y + 20); },
            [&]() {
                GetCursorPos(&released_at);
                send_mouse_button(true, true);
            },
        };
    });
    // The drag's scale: positions per pixel of the track that the thumb
    // does not cover.
    int64_t track = view_height - 35;
    int64_t range = content_height - view_height;
    int64_t thumb = std::max<int64_t>(12, track * track / (track + range));
    double scale = double(range) / double(track - thumb);
    int64_t expected = int64_t(scale * double(released_at.y - pressed_at.y) + 0.5);
    ASSERT_GT(expected, 0);
    ExpectOffset(reading, int32_t(expected));
}

struct cThumbCase {
    bool vertical;
    uint64_t range;
    uint64_t position;
};

TEST_F(ScrollingTest, ThumbSpanFollowsTheTrackRangeAndPosition)
{
    // Both bars are 200 long; the thumb shows in the body colour along the
    // middle line.
    const cThumbCase cases[] = {{false, 100, 50}, {false, 100, 0}, {false, 5000, 4000}, {true, 100, 100},
                                {true, 0, 0}};
    cSize body_size{0, 0};
    const uint32_t* body = get_theme()->GetPixels(91, &body_size);
    ASSERT_NE(body, nullptr);
    const uint32_t thumb_colour = cFormWindow::swap_red_blue(body[7]);
    std::vector<std::vector<uint32_t>> lines;
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  cSteps steps{[f]() { cFormWindow::MoveTo(f, 240, 10); }};
                  for (const cThumbCase& test : cases) {
                      steps.push_back([&test, f]() {
                          if (test.vertical) {
                              f->lone_vertical.SetRange(test.range);
                              f->lone_vertical.SetPosition(test.position, false);
                          } else {
                              f->lone_horizontal.SetRange(test.range);
                              f->lone_horizontal.SetPosition(test.position);
                          }
                      });
                      steps.push_back([&lines, &test, f]() {
                          lines.push_back(test.vertical ? cFormWindow::Pixels(&f->lone_vertical, 7, 0, 1, 200)
                                                        : cFormWindow::Pixels(&f->lone_horizontal, 0, 7, 200, 1));
                      });
                  }
                  return steps;
              }),
              1);
    ASSERT_EQ(lines.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t n = 0; n < lines.size(); ++n) {
        const cThumbCase& test = cases[n];
        SCOPED_TRACE(std::to_string(test.vertical) + " " + std::to_string(test.range) + " " +
                     std::to_string(test.position));
        // Length t = max(12, L * L / (L + range)) over the track L = 200 - 35
        // after the 4-pixel cap; start = cap + round(position / scale), and
        // a range of 0 leaves the thumb at the cap.
        int64_t track = 200 - 35;
        int64_t thumb = std::max<int64_t>(12, track * track / (track + int64_t(test.range)));
        double scale = track > thumb ? double(test.range) / double(track - thumb) : 1.0;
        int64_t start = 4 + (test.range ? int64_t(double(test.position) / scale + 0.5) : 0);
        int64_t first = -1, last = -1;
        for (size_t i = 0; i < lines[n].size(); ++i) {
            if (lines[n][i] == thumb_colour) {
                first = first < 0 ? int64_t(i) : first;
                last = int64_t(i);
            }
        }
        EXPECT_EQ(first, start);
        EXPECT_EQ(last, start + thumb - 1);
    }
}

}  // namespace
