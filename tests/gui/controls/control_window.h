#ifndef TESTS_GUI_CONTROLS_CONTROL_WINDOW_H
#define TESTS_GUI_CONTROLS_CONTROL_WINDOW_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "gui/window_maker.h"
#include "tests/gui/gui_test_elements.h"

// A modal dialog holding controls, driven by real input: the steps run one
// after the other from the dialog's message loop, each once the input of the
// one before has been delivered. The run ends with 1 after the last step, or
// with -1 when it takes longer than the time-out.
class cControlWindow {
public:
    using cStep = std::function<void()>;

    static const UINT step_gap_ms = 60;
    static const UINT time_out_ms = 20000;

    cControlWindow() { EXPECT_TRUE(maker.Init(nullptr, 0, 101)); }

    // place adds the controls to the root; the root is destroyed with the
    // run, the controls belong to the caller.
    intptr_t Run(int32_t width, int32_t height, std::function<void(cRecordingRoot*)> place, std::vector<cStep> steps)
    {
        script = std::move(steps);
        root = new cRecordingRoot;
        root->on_create = [this, place](cRecordingRoot* r) {
            place(r);
            host = host_of(r);
            SetForegroundWindow(GetParent(host));
            SetFocus(host);
            run_later(time_out_ms, [r]() { r->EndModal(-1); });
            run_later(step_gap_ms, [this]() { Next(0); });
        };
        root->on_action = [this](cRecordingRoot*, uint32_t code) { actions.push_back(code); };
        intptr_t result = maker.RunDialog(L"controls", width, height, root, nullptr, false);
        root = nullptr;
        // Steps still waiting would reach into the ended run.
        for (auto& waiting : later_steps())
            KillTimer(nullptr, waiting.first);
        later_steps().clear();
        return result;
    }

    // A point of the element in screen coordinates.
    static POINT ScreenPoint(cChildElement* element, int32_t x, int32_t y)
    {
        cPoint origin{0, 0};
        element->GetScreenPosition(&origin);
        return POINT{origin.x + x, origin.y + y};
    }

    static void ClickAt(cChildElement* element, int32_t x, int32_t y)
    {
        POINT at = ScreenPoint(element, x, y);
        send_click_at(at.x, at.y);
    }

    static void MoveTo(cChildElement* element, int32_t x, int32_t y)
    {
        POINT at = ScreenPoint(element, x, y);
        send_mouse_move_to(at.x, at.y);
    }

    // A key pressed and released while the modifiers are held.
    static void Press(WORD key, bool ctrl = false, bool shift = false)
    {
        if (ctrl)
            send_key(VK_CONTROL, false);
        if (shift)
            send_key(VK_SHIFT, false);
        send_key_press(key);
        if (shift)
            send_key(VK_SHIFT, true);
        if (ctrl)
            send_key(VK_CONTROL, true);
    }

    // Lower-case letters, digits and blanks, typed on the keyboard.
    static void Type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            send_key_press(WORD(*c >= 'a' && *c <= 'z' ? *c - 'a' + 'A' : *c));
    }

    // The colours of a rectangle of the element as its host window shows
    // them, row by row, as 0x00BBGGRR.
    static std::vector<COLORREF> PixelsIn(cChildElement* element, int32_t x, int32_t y, int32_t w, int32_t h)
    {
        HWND window = host_of(element);
        POINT at = ScreenPoint(element, x, y);
        ScreenToClient(window, &at);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(window);
        for (int32_t row = 0; row < h; ++row)
            for (int32_t column = 0; column < w; ++column)
                pixels.push_back(GetPixel(dc, at.x + column, at.y + row));
        ReleaseDC(window, dc);
        return pixels;
    }

    static COLORREF PixelAt(cChildElement* element, int32_t x, int32_t y) { return PixelsIn(element, x, y, 1, 1)[0]; }

    static bool Shows(const std::vector<COLORREF>& pixels, COLORREF colour)
    {
        for (COLORREF pixel : pixels)
            if (pixel == colour)
                return true;
        return false;
    }

    cWWMaker maker;
    cRecordingRoot* root = nullptr;
    HWND host = nullptr;
    std::vector<uint32_t> actions;  // codes of the actions that reached the root

private:
    void Next(size_t index)
    {
        if (index >= script.size()) {
            root->EndModal(1);
            return;
        }
        script[index]();
        run_later(step_gap_ms, [this, index]() { Next(index + 1); });
    }

    std::vector<cStep> script;
};

#endif
