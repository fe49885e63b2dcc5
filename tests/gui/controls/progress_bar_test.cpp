// Progress bars in a real dialog, read back from the screen: where the fill
// ends once the animation has settled (positions set on the UI thread and
// from a worker), the plain bar after a stop, and a bar whose animation
// thread never ran.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "gui/controls/progress_child.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t bar_height = 20;
// The fill gradient's flat middle (0x84DD69 as red, green, blue) and the
// border of the drawn bar (0xF1D5C6), both as the screen gives them,
// 0x00BBGGRR.
const uint32_t fill_middle = 0x69DD84;
const uint32_t drawn_border = 0xC6D5F1;
// How long the fade-in and a move take at most, with room to spare.
const int32_t settle_steps = 8;

struct cBarCase {
    int32_t maximum;
    int32_t position;
    int32_t width;
    bool from_worker;
};

const cBarCase bar_cases[] = {
    {100, 50, 203, false},   // columns 1 to 100 filled
    {1000, 333, 150, true},  // set from another thread
    {7, 7, 60, false},       // full
    {40, 0, 90, false},      // empty
};
const size_t bar_count = sizeof(bar_cases) / sizeof(bar_cases[0]);

class cBarsForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        for (size_t i = 0; i < bar_count; ++i)
            GetClientPanel()->AddChild(&bars[i], 10, 10 + 30 * int32_t(i), bar_cases[i].width, bar_height);
    }

    cProgressChild bars[bar_count];

protected:
    bool Logs(cChildElement*) override { return false; }
};

class ProgressBarTest : public ::testing::Test {
protected:
    // Runs the form with the steps it makes, after settle_steps pauses
    // each, then the last step.
    void Run(std::function<cSteps(cBarsForm*)> script)
    {
        cBarsForm* form = new cBarsForm(window, log);
        EXPECT_EQ(window.Run(form, 300, 220, script(form)), 1);
    }

    cFormWindow window;
    std::vector<uint32_t> log;
};

cSteps with_pause(cSteps before, cFormWindow::cStep after)
{
    for (int32_t i = 0; i < settle_steps; ++i)
        before.push_back([]() {});
    before.push_back(after);
    return before;
}

TEST_F(ProgressBarTest, FillEndsAtTheColumnOfThePosition)
{
    std::vector<std::vector<uint32_t>> rows(bar_count);
    Run([&](cBarsForm* form) {
        return with_pause({[form]() {
                              for (size_t i = 0; i < bar_count; ++i) {
                                  cProgressChild* bar = &form->bars[i];
                                  const cBarCase& c = bar_cases[i];
                                  auto set = [bar, c]() {
                                      bar->SetRange(c.maximum);
                                      bar->SetPosition(c.position, false);
                                  };
                                  if (c.from_worker)
                                      std::thread(set).join();
                                  else
                                      set();
                              }
                          }},
                          [&, form]() {
                              for (size_t i = 0; i < bar_count; ++i)
                                  rows[i] = cFormWindow::Pixels(&form->bars[i], 0, bar_height / 2,
                                                                bar_cases[i].width, 1);
                          });
    });
    for (size_t i = 0; i < bar_count; ++i) {
        SCOPED_TRACE(i);
        const cBarCase& c = bar_cases[i];
        // The fill covers the columns left of value x width / maximum; the
        // border is column 0.
        int32_t filled = int32_t(double(c.position) * c.width / c.maximum);
        const std::vector<uint32_t>& row = rows[i];
        ASSERT_EQ(row.size(), size_t(c.width));
        EXPECT_EQ(row[0], drawn_border);
        EXPECT_EQ(row[c.width - 1], drawn_border);
        uint32_t track = row[c.width - 2];
        if (filled < c.width - 1) {
            EXPECT_NE(track, fill_middle);
        }
        for (int32_t x = 1; x < c.width - 1; ++x) {
            if (x < filled)
                ASSERT_EQ(row[x], fill_middle) << x;
            else
                ASSERT_EQ(row[x], track) << x;
        }
    }
}

// A bar taken back to 0, from the UI thread or another, shows no fill.
TEST_F(ProgressBarTest, ABarTakenBackToZeroIsEmpty)
{
    std::vector<std::vector<uint32_t>> rows(2);
    Run([&](cBarsForm* form) {
        cSteps steps = with_pause({[form]() {
                                      for (int i = 0; i < 2; ++i) {
                                          form->bars[i].SetRange(100);
                                          form->bars[i].SetPosition(60, false);
                                      }
                                  }},
                                  [form]() {
                                      form->bars[0].SetPosition(0, false);
                                      std::thread([form]() { form->bars[1].SetPosition(0, false); }).join();
                                  });
        return with_pause(steps, [&, form]() {
            for (int i = 0; i < 2; ++i)
                rows[size_t(i)] = cFormWindow::Pixels(&form->bars[i], 0, bar_height / 2, bar_cases[i].width, 1);
        });
    });
    for (const std::vector<uint32_t>& row : rows)
        for (size_t x = 1; x + 1 < row.size(); ++x)
            ASSERT_NE(row[x], fill_middle) << x;
}

TEST_F(ProgressBarTest, StoppedBarTurnsPlainWithinASecond)
{
    // The plain bar: the background inside an outline of theme colour 21.
    DWORD stopped_for = 0;
    uint32_t border = 0, inside = 0;
    Run([&](cBarsForm* form) {
        cProgressChild* bar = &form->bars[0];
        return with_pause({[bar]() {
                              bar->SetRange(100);
                              bar->SetPosition(60, false);
                          }},
                          [&, bar]() {
                              // Fills, holds 200 ms, then fades out.
                              bar->Stop(false);
                              DWORD start = GetTickCount();
                              do {
                                  pump_messages();
                                  border = cFormWindow::PixelAt(bar, 0, bar_height / 2);
                                  inside = cFormWindow::PixelAt(bar, 150, bar_height / 2);
                                  stopped_for = GetTickCount() - start;
                                  Sleep(10);
                              } while (border != theme_colour(21) && stopped_for < 1000);
                          });
    });
    EXPECT_EQ(border, theme_colour(21));
    EXPECT_EQ(inside, theme_colour(14));
    EXPECT_LT(stopped_for, 1000u);
}

TEST(ProgressBarWithoutWindow, PositionReturnsWhenNoAnimationRuns)
{
    // Never inserted, so its animation thread never started: nothing would
    // ever take the fade-in that the move waits behind.
    cProgressChild* bar = new cProgressChild;
    std::atomic<bool> returned(false);
    std::thread setter([bar, &returned]() {
        bar->SetRange(10);
        bar->SetPosition(5, false);
        bar->Stop(true);
        returned = true;
    });
    for (int i = 0; i < 200 && !returned; ++i)
        Sleep(10);
    if (!returned) {
        // Left hanging, with its bar, for the process's end.
        setter.detach();
        FAIL() << "the position did not return";
    }
    setter.join();
    delete bar;
}

}  // namespace
