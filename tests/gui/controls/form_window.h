#ifndef TESTS_GUI_CONTROLS_FORM_WINDOW_H
#define TESTS_GUI_CONTROLS_FORM_WINDOW_H

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/controls/custom_form.h"
#include "gui/image_buffer.h"
#include "gui/window_maker.h"
#include "tests/gui/gui_test_elements.h"

// A form run modally on the virtual screen and driven by real input: the
// steps run one after the other from the dialog's message loop, each once
// the input of the step before has been delivered and painted. The run ends
// with 1 after the last step, or -1 when it outlasts the time-out. The form
// is destroyed by the run: steps check it while it runs.
class cFormWindow {
public:
    using cStep = std::function<void()>;

    static const UINT time_out_ms = 30000;
    // Steps of plain input inside the form's own window may follow faster:
    // the input is queued at once, handled and painted before the next
    // step's timer comes due. Steps that open or activate other windows wait
    // for the window system.
    static const UINT quick_step_gap_ms = 75;
    UINT step_gap_ms = 150;

    cFormWindow() { EXPECT_TRUE(maker.Init(nullptr, 0, 101)); }

    // The form's OnStarted should call Start.
    intptr_t Run(cCustomForm* form, int32_t width, int32_t height, std::vector<cStep> steps, bool resizable = false)
    {
        script = std::move(steps);
        root = form;
        intptr_t result = maker.RunDialog(L"controls", width, height, form, nullptr, resizable);
        root = nullptr;
        // Steps still waiting would reach into the ended run.
        for (auto& waiting : later_steps())
            KillTimer(nullptr, waiting.first);
        later_steps().clear();
        return result;
    }

    // Runs the steps one after the other from the message loop of whatever
    // modal run is active, each gap_ms after the one before.
    static void RunSteps(std::vector<cStep> steps, UINT gap_ms, size_t next = 0)
    {
        if (next < steps.size())
            run_later(gap_ms, [steps, gap_ms, next]() {
                steps[next]();
                RunSteps(steps, gap_ms, next + 1);
            });
    }

    // Called by the form once its window runs.
    void Start()
    {
        HWND host = host_of(root);
        SetForegroundWindow(GetParent(host));
        SetFocus(host);
        cCustomForm* form = root;
        run_later(time_out_ms, [form]() { form->EndModal(-1); });
        run_later(step_gap_ms, [this]() { Next(0); });
    }

    // A step that holds the script until the condition holds (bounded by
    // the run's time-out), for input whose handling takes a varying time.
    cStep WaitUntil(std::function<bool()> condition)
    {
        return [this, condition]() {
            if (!condition())
                repeat_step = true;
        };
    }

    // A point of the element in screen coordinates.
    static POINT ScreenPoint(cChildElement* element, int32_t x, int32_t y)
    {
        cPoint origin{0, 0};
        element->GetScreenPosition(&origin);
        return POINT{origin.x + x, origin.y + y};
    }

    static void MoveTo(cChildElement* element, int32_t x, int32_t y)
    {
        POINT at = ScreenPoint(element, x, y);
        send_mouse_move_to(at.x, at.y);
    }

    static void ClickAt(cChildElement* element, int32_t x, int32_t y)
    {
        POINT at = ScreenPoint(element, x, y);
        send_click_at(at.x, at.y);
    }

    // A key pressed and released while the modifier keys given (0 = none)
    // are held.
    static void Press(WORD key, WORD modifier = 0, WORD second_modifier = 0)
    {
        for (WORD held : {modifier, second_modifier})
            if (held)
                send_key(held, false);
        send_key_press(key);
        for (WORD held : {second_modifier, modifier})
            if (held)
                send_key(held, true);
    }

    // Lower-case letters, digits and blanks, typed on the keyboard.
    static void Type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            send_key_press(WORD(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c));
    }

    // Any text the keyboard layout can type, each character pressed with
    // the shift state the layout needs for it.
    static void TypeText(const wchar_t* text)
    {
        for (const wchar_t* c = text; *c; ++c) {
            SHORT scan = VkKeyScanW(*c);
            Press(WORD(scan & 0xFF), (scan & 0x100) ? VK_SHIFT : 0);
        }
    }

    // The element's text as GetText gives it.
    static std::wstring Text(cChildElement* element)
    {
        wchar_t out[300];
        element->GetText(out, 300);
        return out;
    }

    // The element's pixels as its host window shows them now, top row first,
    // as 0x00BBGGRR.
    static std::vector<uint32_t> Pixels(cChildElement* element, int32_t x, int32_t y, int32_t w, int32_t h)
    {
        HWND window = host_of(element);
        POINT at = ScreenPoint(element, x, y);
        ScreenToClient(window, &at);
        std::vector<uint32_t> pixels = window_pixels(window, at.x, at.y, w, h);
        for (uint32_t& pixel : pixels)
            pixel = swap_red_blue(pixel);
        return pixels;
    }

    static uint32_t PixelAt(cChildElement* element, int32_t x, int32_t y) { return Pixels(element, x, y, 1, 1)[0]; }

    // The runs of one colour along a line of pixels: each one's colour,
    // where it starts and how long it is.
    struct cRun {
        uint32_t colour;
        int32_t start;
        int32_t length;
    };
    static std::vector<cRun> Runs(const std::vector<uint32_t>& line)
    {
        std::vector<cRun> runs;
        for (int32_t x = 0; x < int32_t(line.size()); ++x) {
            if (!runs.empty() && runs.back().colour == line[size_t(x)])
                ++runs.back().length;
            else
                runs.push_back(cRun{line[size_t(x)], x, 1});
        }
        return runs;
    }

    static bool Shows(const std::vector<uint32_t>& pixels, uint32_t colour)
    {
        return std::find(pixels.begin(), pixels.end(), colour) != pixels.end();
    }

    // 0xAARRGGBB to 0x00BBGGRR and back (the alpha byte dropped).
    static uint32_t swap_red_blue(uint32_t pixel)
    {
        return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
    }

    // The pixels where the element does not show the image drawn at (x, y):
    // all of them for an image drawn opaque, only its fully opaque ones for
    // one drawn blended.
    static int32_t ImageMismatches(cChildElement* element, int32_t x, int32_t y, const cImageBuffer* image,
                                   bool blended)
    {
        int32_t w = image->GetWidth(), h = image->GetHeight();
        std::vector<uint32_t> shown = Pixels(element, x, y, w, h);
        int32_t mismatches = 0;
        for (int32_t row = 0; row < h; ++row) {
            for (int32_t column = 0; column < w; ++column) {
                // Image rows are stored bottom-up.
                uint32_t pixel = image->GetPixels()[size_t(h - 1 - row) * size_t(w) + size_t(column)];
                if ((!blended || pixel >> 24 == 0xFF) &&
                    shown[size_t(row) * size_t(w) + size_t(column)] != swap_red_blue(pixel))
                    ++mismatches;
            }
        }
        return mismatches;
    }

    cWWMaker maker;
    cCustomForm* root = nullptr;

private:
    void Next(size_t index)
    {
        if (index >= script.size()) {
            root->EndModal(1);
            return;
        }
        repeat_step = false;
        script[index]();
        size_t next = repeat_step ? index : index + 1;
        run_later(step_gap_ms, [this, next]() { Next(next); });
    }

    std::vector<cStep> script;
    bool repeat_step = false;
};

using cSteps = std::vector<cFormWindow::cStep>;

// A form that starts its window's script once it runs and logs the codes of
// the actions that its logged controls post (focus notices left out).
// Subclasses place the controls in OnCreate.
class cScriptForm : public cCustomForm {
public:
    cScriptForm(cFormWindow& runner, std::vector<uint32_t>& action_log) : window(runner), log(action_log) {}

    bool OnStarted() override
    {
        window.Start();
        return true;
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (Logs(sender) && action->code != 1) {
            log.push_back(action->code);
            return true;
        }
        return cCustomForm::HandleAction(sender, action);
    }

protected:
    virtual bool Logs(cChildElement* sender) = 0;

private:
    cFormWindow& window;
    std::vector<uint32_t>& log;
};

#endif
