#include "gui/dialogs/progress_form.h"

#include <windows.h>

#include "base/format.h"
#include "gui/theme.h"

namespace {

const uint32_t button_row_action = 6;
const uint32_t run_end_action = 7;
const int32_t stop_button = 1;
const int32_t stop_image = 1;
const int32_t bar_range = 1000;
const int32_t row_height = 18;
const uint32_t report_interval_ms = 500;

// Strings of "ciom::progress".
const int32_t stop_text = 0;
const int32_t starting_text = 1;
const int32_t estimate_format = 2;
const int32_t operation_text = 3;
const int32_t elapsed_format = 4;

struct cClock {
    int32_t hours;
    int32_t minutes;
    int32_t seconds;
};

cClock clock_of(uint32_t ms)
{
    uint32_t seconds = ms / 1000;
    return cClock{int32_t(seconds / 3600), int32_t(seconds % 3600 / 60), int32_t(seconds % 60)};
}

}  // namespace

cImageCache cStdBasicProgressForm::shared_images;

cStdBasicProgressForm::cStdBasicProgressForm()
    : cJob(nullptr), stage_names(512), show_estimate(true), start_time(0), last_update(0), operation_name(nullptr)
{
}

// The job reports into the status line and the bar: it ends before they go.
cStdBasicProgressForm::~cStdBasicProgressForm()
{
    Stop(4000);
}

void cStdBasicProgressForm::InitDefaults()
{
    cCustomForm::InitDefaults();
    shared_images.Put(stop_image, theme_image(78));
    show_estimate = true;
}

void cStdBasicProgressForm::OnCreate()
{
    InitDefaults();
    cCustomForm::OnCreate();
    cPanelChild* panel = GetClientPanel();
    int32_t panel_width = panel->GetClientRect().width;
    panel->AddChild(&bar, 5, 0, panel_width - 10, row_height);
    bar.SetRange(bar_range);

    bar.AddChild(&buttons, 0, 0, 1, row_height);
    buttons.SetTransparent(true);
    buttons.SetStateImageCache(0, &shared_images);
    buttons.SetButton(stop_button, LookupString(stop_text), stop_image);
    int32_t row_width = buttons.GetTotalButtonsWidth();
    bar.AddChild(&buttons, -(row_width + 1), 0, row_width, row_height);

    panel->AddChild(&status, 5, 20, panel_width - 10, 16);
    uint32_t plain = theme_colour(0);
    status.SetFillColour(plain);
    status.SetFrameColour(plain);
    status.SetTextEx(LookupString(starting_text), 0, true);

    operation_name = LookupString(operation_text);
    // Set before the thread can read them.
    start_time = GetTickCount();
    last_update = 0;
    Start();
}

bool cStdBasicProgressForm::HandleAction(cChildElement* sender, cChildAction* action)
{
    if (sender == this && action->code == run_end_action) {
        EndModal(intptr_t(static_cast<cProgressAction*>(action)->result));
        return true;
    }
    if (sender == &buttons && action->code == button_row_action) {
        if (static_cast<cToolBarChild::cTbButtonAction*>(action)->id == stop_button)
            OnCancel();
        return true;
    }
    return cCustomForm::HandleAction(sender, action);
}

bool cStdBasicProgressForm::CanClose()
{
    if (!IsRunning())
        return true;
    RequestStop();
    return false;
}

bool cStdBasicProgressForm::OnCancel()
{
    if (IsRunning())
        RequestStop();
    else
        EndModal(0);
    return true;
}

void cStdBasicProgressForm::OnFinish(uint32_t exit_code)
{
    if (cChildAction* end = new cProgressAction(exit_code))
        PostAction(end);
}

bool cStdBasicProgressForm::Notify(double percent_done)
{
    double percent = percent_done < 0.0 ? 0.0 : percent_done > 100.0 ? 100.0 : percent_done;
    uint32_t now = GetTickCount();
    if (now - last_update > report_interval_ms && percent != 0.0) {
        last_update = now;
        int32_t position = int32_t(percent * 10);
        bar.SetPosition(position, false);
        uint32_t elapsed_ms = last_update - start_time;
        uint32_t left_ms = uint32_t((100.0 - percent) * (elapsed_ms / percent));
        cClock elapsed = clock_of(elapsed_ms);
        cClock left = clock_of(left_ms);
        const wchar_t* name = operation_name ? operation_name : L"";
        // Made here and handed over: the UI thread paints the status.
        wchar_t text[256];
        text[0] = 0;
        if (show_estimate) {
            if (const wchar_t* format = LookupString(estimate_format))
                wstr_format(text, 256, format, name, position * 0.1, elapsed.hours, elapsed.minutes,
                            elapsed.seconds, left.hours, left.minutes, left.seconds);
        } else if (const wchar_t* format = LookupString(elapsed_format)) {
            wstr_format(text, 256, format, name, elapsed.hours, elapsed.minutes, elapsed.seconds);
        }
        status.SetTextEx(text, 0, true);
    }
    return !IsStopRequested();
}

void cStdBasicProgressForm::SelectStep(int stage)
{
    _guardchar<wchar_t>* name = tree_find_value(stage_names, int32_t(stage));
    operation_name = name && name->Text() ? name->Text() : LookupString(operation_text);
    bar.Stop(false);
    start_time = GetTickCount();
}

int32_t run_progress_form(cChildElement* owner, cStdBasicProgressForm* form, const wchar_t* caption)
{
    if (!owner || !form || !owner->GetRequestTarget()) {
        delete form;
        return owner && form ? -1 : 0;
    }
    return int32_t(owner->ShowModal(caption, 600, 106, form, false));
}
