// The progress form over a form on the virtual screen: a job that reports
// every millisecond for 3 s while the UI repaints, and the ways of stopping
// a job that takes its time to end (the button, Escape, closing the
// window), after which the form waits for the job and answers its result.

#include <gtest/gtest.h>
#include <windows.h>

#include <wchar.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "gui/dialogs/progress_form.h"
#include "tests/gui/dialogs/dialog_runs.h"

namespace {

const uint32_t cleanup_ms = 500;
const uint32_t stopped_result = 42;
const uint32_t finished_result = 5;
const double last_report = 12.5;

// What a form's job and its end left behind, kept beyond the form.
struct cRecord {
    std::atomic<DWORD> stop_seen{0};
    std::atomic<DWORD> run_ended{0};
    std::atomic<DWORD> destroyed{0};
    std::wstring final_status;
};

// Reporting: reports every millisecond for 3 s, rising, then after a pause
// once more with last_report, and ends. Otherwise: reports until asked to
// stop, then takes cleanup_ms before it ends.
class cTestProgressForm : public cStdBasicProgressForm {
public:
    cTestProgressForm(cRecord& run_record, bool reporting_job) : record(run_record), reporting(reporting_job) {}

    ~cTestProgressForm() override
    {
        Stop(4000);
        const wchar_t* shown = status.GetTextPtr();
        record.final_status = shown ? shown : L"";
        record.destroyed = GetTickCount();
    }

    uint32_t Run() override
    {
        if (reporting) {
            DWORD start = GetTickCount();
            for (int32_t n = 0; GetTickCount() - start < 3000; ++n) {
                Notify(double(n % 800) / 10.0);
                Sleep(1);
            }
            Sleep(600);
            Notify(last_report);
            return finished_result;
        }
        while (Notify(10.0))
            Sleep(5);
        record.stop_seen = GetTickCount();
        Sleep(cleanup_ms);
        record.run_ended = GetTickCount();
        return stopped_result;
    }

    cChildElement* StopButtonRow() { return &buttons; }
    cChildElement* Status() { return &status; }
    cChildElement* Bar() { return &bar; }

private:
    cRecord& record;
    bool reporting;
};

using ProgressFormTest = DialogTest;

TEST_F(ProgressFormTest, ReportsEveryMillisecondWhileTheUIRepaints)
{
    cRecord record;
    cTestProgressForm* form = nullptr;
    std::atomic<int> repaints(0);
    std::function<void()> repaint = [&]() {
        if (record.destroyed)
            return;
        form->Status()->Redraw(nullptr);
        form->Bar()->Redraw(nullptr);
        UpdateWindow(host_of(form));
        ++repaints;
        run_later(1, repaint);
    };
    std::vector<cOutcome> outcomes = RunDialogs(
        1,
        [&](cChildElement* owner, size_t) {
            form = new cTestProgressForm(record, true);
            return run_progress_form(owner, form, L"Downloading");
        },
        [&](HWND, size_t) { repaint(); });
    EXPECT_EQ(outcomes[0].result, int(finished_result));
    EXPECT_EQ(outcomes[0].shown.title, L"Downloading");
    EXPECT_EQ(outcomes[0].shown.width, 600);
    EXPECT_EQ(outcomes[0].shown.height, 106);
    EXPECT_GT(repaints.load(), 0);
    // The last report, 12.5 percent after a little over 3.6 s: the time left
    // is 87.5 / 12.5 of the time elapsed.
    int elapsed[3] = {-1, -1, -1}, left[3] = {-1, -1, -1};
    double percent = -1.0;
    ASSERT_EQ(swscanf(record.final_status.c_str(),
                      L"Operation progress: %lf%%. Elapsed time: %d:%d:%d. Estimated time left: %d:%d:%d.", &percent,
                      &elapsed[0], &elapsed[1], &elapsed[2], &left[0], &left[1], &left[2]),
              7)
        << std::string(record.final_status.begin(), record.final_status.end());
    wchar_t expected[256];
    swprintf(expected, 256,
             L"Operation progress: 12.5%%. Elapsed time: %02d:%02d:%02d. Estimated time left: %02d:%02d:%02d.",
             elapsed[0], elapsed[1], elapsed[2], left[0], left[1], left[2]);
    EXPECT_EQ(record.final_status, expected);
    int elapsed_s = elapsed[0] * 3600 + elapsed[1] * 60 + elapsed[2];
    int left_s = left[0] * 3600 + left[1] * 60 + left[2];
    EXPECT_GE(elapsed_s, 3);
    EXPECT_LE(elapsed_s, 8);
    EXPECT_GE(left_s, elapsed_s * 7);
    EXPECT_LE(left_s, (elapsed_s + 1) * 7);
}

struct cStopCase {
    const char* name;
    std::function<void(HWND, cTestProgressForm*)> ask;
};

TEST_F(ProgressFormTest, StoppingWaitsForTheJobAndAnswersItsResult)
{
    const cStopCase cases[] = {
        {"the Stop button",
         [](HWND, cTestProgressForm* form) {
             cChildElement* row = form->StopButtonRow();
             cFormWindow::ClickAt(row, row->GetWidth() / 2, row->GetHeight() / 2);
         }},
        {"Escape", [](HWND, cTestProgressForm*) { cFormWindow::Press(VK_ESCAPE); }},
        {"closing the window", [](HWND dialog, cTestProgressForm*) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
    };
    const size_t count = sizeof(cases) / sizeof(cases[0]);
    std::vector<cRecord> records(count);
    std::vector<bool> open_while_stopping(count, false);
    cTestProgressForm* form = nullptr;
    std::vector<cOutcome> outcomes = RunDialogs(
        count,
        [&](cChildElement* owner, size_t i) {
            form = new cTestProgressForm(records[i], false);
            return run_progress_form(owner, form, L"Downloading");
        },
        [&](HWND dialog, size_t i) {
            cases[i].ask(dialog, form);
            // Half-way through the job's clean-up.
            run_later(cleanup_ms / 2, [&, dialog, i]() { open_while_stopping[i] = IsWindowVisible(dialog) != 0; });
        });
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(outcomes[i].result, int(stopped_result));
        EXPECT_TRUE(open_while_stopping[i]);
        EXPECT_NE(records[i].stop_seen.load(), 0u);
        EXPECT_GE(records[i].destroyed.load(), records[i].run_ended.load());
    }
}

TEST_F(ProgressFormTest, NothingRunsWithoutAHostWindow)
{
    cRecord record;
    cStaticElement orphan;
    EXPECT_EQ(run_progress_form(&orphan, new cTestProgressForm(record, false), L"Downloading"), -1);
    EXPECT_NE(record.destroyed.load(), 0u);
    EXPECT_EQ(record.stop_seen.load(), 0u);
    EXPECT_EQ(run_progress_form(nullptr, nullptr, nullptr), 0);
}

}  // namespace
