#ifndef TESTS_GUI_GUI_TEST_ELEMENTS_H
#define TESTS_GUI_GUI_TEST_ELEMENTS_H

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "gui/child_element.h"
#include "gui/request_target.h"
#include "gui/wnd_translator.h"

// A root element that records what its host window calls on it and runs a
// caller's step whenever an action reaches it.
class cRecordingRoot : public cChildElement {
public:
    struct Key {
        uint32_t key;
        bool shift, ctrl, alt;
    };
    struct Button {
        int32_t x, y, button;
        bool pressed, ctrl, shift;
    };
    struct Wheel {
        int32_t x, y;
        bool up, ctrl;
        int32_t steps;
    };

    explicit cRecordingRoot(bool* destroyed_flag = nullptr) : destroyed(destroyed_flag) {}
    ~cRecordingRoot() override
    {
        if (destroyed)
            *destroyed = true;
    }

    bool Create() override
    {
        ++creates;
        bool created_now = cChildElement::Create();
        if (on_create)
            on_create(this);
        return created_now;
    }
    void SetSize(int32_t w, int32_t h, bool force) override
    {
        sizes.push_back({w, h});
        cChildElement::SetSize(w, h, force);
    }
    bool QueryChildren() override
    {
        ++queries;
        return cChildElement::QueryChildren();
    }
    bool CanClose() override
    {
        ++close_asks;
        return can_close;
    }
    bool DispatchChar(wchar_t c, bool shift, bool ctrl, bool alt) override
    {
        chars.push_back(c);
        return cChildElement::DispatchChar(c, shift, ctrl, alt);
    }
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override
    {
        keys.push_back({key, shift, ctrl, alt});
        return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
    }
    void DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift) override
    {
        buttons.push_back({x, y, button, pressed, ctrl, shift});
        cChildElement::DispatchMouseButton(x, y, button, pressed, ctrl, shift);
    }
    bool DispatchMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override
    {
        wheels.push_back({x, y, up, ctrl, steps});
        return cChildElement::DispatchMouseWheel(x, y, up, ctrl, steps);
    }
    void OnKeyDown(uint32_t key, bool, bool, bool) override { own_keys.push_back(key); }
    void SaveFocus() override
    {
        ++focus_saves;
        cChildElement::SaveFocus();
    }
    void RestoreFocus() override
    {
        ++focus_restores;
        cChildElement::RestoreFocus();
    }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        action_codes.push_back(action->code);
        if (on_action) {
            on_action(this, action->code);
            return true;
        }
        return cChildElement::HandleAction(sender, action);
    }

    // Posts an action of that code to itself; its step then runs inside the
    // message loop that is running.
    bool PostStep(uint32_t code)
    {
        cChildAction* action = new cChildAction(code);
        return action && PostAction(action);
    }

    bool* destroyed;
    bool can_close = true;
    int creates = 0, queries = 0, close_asks = 0, focus_saves = 0, focus_restores = 0;
    std::vector<std::pair<int32_t, int32_t>> sizes;
    std::vector<wchar_t> chars;
    std::vector<Key> keys;
    std::vector<Button> buttons;
    std::vector<Wheel> wheels;
    std::vector<uint32_t> own_keys;
    std::vector<uint32_t> action_codes;
    std::function<void(cRecordingRoot*)> on_create;
    std::function<void(cRecordingRoot*, uint32_t)> on_action;
};

// Runs the step once after delay_ms from the thread's message loop. Timer
// messages come after posted messages and input, so the step sees the
// input sent before it was scheduled.
inline std::map<UINT_PTR, std::function<void()>>& later_steps()
{
    static std::map<UINT_PTR, std::function<void()>> steps;
    return steps;
}

inline VOID CALLBACK run_later_step(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    std::function<void()> step = later_steps()[id];
    later_steps().erase(id);
    step();
}

inline void run_later(UINT delay_ms, std::function<void()> step)
{
    UINT_PTR id = SetTimer(nullptr, 0, delay_ms, run_later_step);
    later_steps()[id] = step;
}

// Handles what is queued for the thread's windows without waiting.
inline void pump_messages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The native host window of an element's tree.
inline HWND host_of(cChildElement* element)
{
    return element->GetRequestTarget()->GetWindow()->GetHandle();
}

inline COLORREF pixel_of(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Real input through the platform's input queue.
inline void send_key(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = WORD(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

inline void send_key_press(WORD key)
{
    send_key(key, false);
    send_key(key, true);
}

// Wheel data turns in units of 120 per notch; positive turns away from the user.
inline void send_mouse(DWORD flags, LONG dx = 0, LONG dy = 0, int wheel = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = DWORD(wheel);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

inline void send_mouse_button(bool left, bool up)
{
    send_mouse(left ? (up ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN)
                    : (up ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN));
}

inline void send_mouse_move_to(int x, int y)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    send_mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, LONG((x * 65535 + w / 2) / (w - 1)),
               LONG((y * 65535 + h / 2) / (h - 1)));
}

inline void send_click_at(int x, int y)
{
    send_mouse_move_to(x, y);
    send_mouse_button(true, false);
    send_mouse_button(true, true);
}

#endif
