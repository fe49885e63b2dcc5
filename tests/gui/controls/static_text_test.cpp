// The static text of the controls form: texts set from a worker thread
// while the UI thread repaints, texts set on the UI thread at once, and the
// faded look while its input is off.

#include <gtest/gtest.h>

#include <wchar.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/gui/controls/controls_form.h"

namespace {

const int set_count = 10000;

using StaticTextTest = ControlsFormTest;

TEST_F(StaticTextTest, WorkerSetsTheTextTenThousandTimesWhileTheUIRepaints)
{
    std::thread worker;
    std::atomic<bool> done(false);
    std::atomic<int> repaints(0);
    std::wstring final_text;
    std::function<void(cControlsForm*)> repaint_until_done;
    repaint_until_done = [&](cControlsForm* f) {
        if (done)
            return;
        f->label.Redraw(nullptr);
        UpdateWindow(host_of(f));
        ++repaints;
        run_later(1, [&, f]() { repaint_until_done(f); });
    };
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [&, f]() {
                          worker = std::thread([&, f]() {
                              wchar_t line[32];
                              for (int i = 0; i < set_count; ++i) {
                                  swprintf(line, 32, L"line %d", i);
                                  f->label.SetTextEx(line, i % 3, true);
                                  if (i % 500 == 0)
                                      Sleep(1);
                              }
                              done = true;
                          });
                          repaint_until_done(f);
                      },
                      // The worker's last text arrives with a later drain.
                      [&]() {
                          while (!done)
                              Sleep(10);
                          worker.join();
                      },
                      [&, f]() {
                          const wchar_t* shown = f->label.GetTextPtr();
                          final_text = shown ? shown : L"";
                      },
                  };
              }),
              1);
    if (worker.joinable())
        worker.join();
    EXPECT_EQ(final_text, L"line 9999");
    EXPECT_GT(repaints.load(), 0);
}

TEST_F(StaticTextTest, TextSetOnTheUIThreadIsThereAtOnceAndBeatsAnOlderPostedOne)
{
    cSize narrow{0, 0}, wide{0, 0};
    std::wstring after_drain;
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [&, f]() {
                          f->label.SetTextEx(L"a", 0, true);
                          f->label.GetPreferredSize(&narrow);
                          std::thread([f]() { f->label.SetTextEx(L"posted before", 0, true); }).join();
                          f->label.SetTextEx(L"a much longer status line", 0, true);
                          f->label.GetPreferredSize(&wide);
                      },
                      [&, f]() { after_drain = f->label.GetTextPtr(); },
                  };
              }),
              1);
    EXPECT_GT(wide.width, narrow.width);
    EXPECT_EQ(after_drain, L"a much longer status line");
}

TEST_F(StaticTextTest, TextOfAnElementWithoutInputIsFaded)
{
    // 0x40 of each channel becomes (0x40 + 196) / 2 = 0x82.
    std::vector<uint32_t> shown;
    EXPECT_EQ(Run([&](cControlsForm* f) {
                  return cSteps{
                      [f]() {
                          f->label.SetFont(f->GetFont(8, 20, L"Tahoma", true, false, false));
                          f->label.SetTextColour(0x404040);
                          f->label.Hide(true);
                      },
                      [&, f]() { shown = cFormWindow::Pixels(&f->label, 0, 0, 190, 20); },
                  };
              }),
              1);
    EXPECT_GT(std::count(shown.begin(), shown.end(), 0x828282u), 0);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 0x404040u), 0);
}

}  // namespace
