#ifndef TESTS_GUI_CONTROLS_CONTROLS_FORM_H
#define TESTS_GUI_CONTROLS_CONTROLS_FORM_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/canvas.h"
#include "gui/controls/button.h"
#include "gui/controls/check_box.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/scrollable_element.h"
#include "gui/controls/static_element.h"
#include "tests/gui/controls/form_window.h"

// Content of a scrollable view: bands 10 pixels high, each of the colour
// band_colour(its index), so that the shown pixels tell the offset.
class cBandedContent : public cScrollableElement {
public:
    static uint32_t band_colour(int32_t band) { return 0x102030 + uint32_t(band % 200) * 0x010101; }

    void PaintContent(cCanvas* canvas) override
    {
        for (int32_t band = GetScrollOffsetY() / 10; band * 10 - GetScrollOffsetY() < GetHeight(); ++band) {
            cRect area{0, band * 10 - GetScrollOffsetY(), GetWidth(), 10};
            canvas->FillRect(&area, band_colour(band), band_colour(band));
        }
    }
};

// What reached the form, kept beyond its life: actions other than focus
// notices as "<control> <code>", and "accept" for each OnAccept.
struct cFormLog {
    std::vector<std::string> events;
    bool accept_answer = true;
};

// One form holding every control of the package, placed on its client
// panel (at 5, 30 in a form of the built-in theme). Escape ends the run
// with 0.
class cControlsForm : public cCustomForm {
public:
    cControlsForm(cFormWindow& runner, cFormLog& form_log) : window(runner), log(form_log) {}

    void OnCreate() override
    {
        cCustomForm::OnCreate();
        cPanelChild* panel = GetClientPanel();
        panel->AddChild(&button, 10, 10, 90, 26);
        panel->AddChild(&disabled_button, 110, 10, 90, 26);
        panel->AddChild(&check, 10, 50, 140, 20);
        panel->AddChild(&label, 10, 80, 190, 20);
        panel->AddChild(&link, 10, 110, 120, 20);
        panel->AddChild(&view, 220, 10, 200, 150);
        view.AddChild(&low_in_view, 20, 200, 60, 30);
        panel->AddChild(&lone_horizontal, 10, 180, 200, 14);
        panel->AddChild(&lone_vertical, 440, 10, 14, 200);
        button.SetCaption(L"Apply");
        disabled_button.SetCaption(L"Never");
        disabled_button.Hide(true);
        check.SetText(L"Remember", -1, true);
        label.SetTextEx(L"Status", 0, true);
        link.SetText(L"Details", -1, true);
        view.SetContentWidth(150);
        view.SetContentHeight(2000);
        view.SetScrollSteps(0, 7);
    }

    bool OnStarted() override
    {
        window.Start();
        return true;
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        const std::pair<cChildElement*, const char*> named[] = {
            {&button, "button"}, {&disabled_button, "disabled"}, {&check, "check"}, {&link, "link"}};
        for (const auto& control : named) {
            if (sender == control.first && action->code != 1) {
                log.events.push_back(std::string(control.second) + " " + std::to_string(action->code));
                return true;
            }
        }
        return cCustomForm::HandleAction(sender, action);
    }

    bool OnAccept() override
    {
        log.events.push_back("accept");
        return log.accept_answer;
    }

    bool OnCancel() override
    {
        EndModal(0);
        return true;
    }

    cButtonChild button;
    cButtonChild disabled_button;
    cCheckBoxChild check;
    cStaticElement label;
    cLinkElement link;
    cBandedContent view;
    cChildElement low_in_view;  // in the view's content, below what it shows
    cHScroll lone_horizontal;
    cVScroll lone_vertical;

private:
    cFormWindow& window;
    cFormLog& log;
};

// The steps of a run, made for the form that runs.
using cFormScript = std::function<cSteps(cControlsForm*)>;

// Runs a fresh controls form (480 x 300) per call with the steps the
// script makes for it.
class ControlsFormTest : public ::testing::Test {
protected:
    ControlsFormTest() { window.step_gap_ms = cFormWindow::quick_step_gap_ms; }

    intptr_t Run(cFormScript script, bool resizable = false)
    {
        cControlsForm* form = new cControlsForm(window, log);
        return window.Run(form, form_width, form_height, script(form), resizable);
    }

    static const int32_t form_width = 480;
    static const int32_t form_height = 300;

    cFormWindow window;
    cFormLog log;
};

#endif
