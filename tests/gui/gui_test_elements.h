#ifndef TESTS_GUI_GUI_TEST_ELEMENTS_H
#define TESTS_GUI_GUI_TEST_ELEMENTS_H

#include <windows.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gui/child_element.h"
#include "gui/request_target.h"
#include "gui/wnd_translator.h"

// One line of a recorded call: its parts separated by spaces.
template <typename... Parts>
std::string line_of(const Parts&... parts)
{
    std::ostringstream line;
    int at = 0;
    ((line << (at++ ? " " : "") << parts), ...);
    return line.str();
}

// A root element that records what its host window calls on it and runs a
// caller's step whenever an action reaches it. Input is recorded as lines:
// "char <code>", "key <code> <shift> <ctrl> <alt>", "button <x> <y> <button>
// <pressed> <ctrl> <shift>" and "wheel <x> <y> <up> <ctrl> <steps>".
class cRecordingRoot : public cChildElement {
public:
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
        input.push_back(line_of("char", int(c)));
        return cChildElement::DispatchChar(c, shift, ctrl, alt);
    }
    bool DispatchKeyDown(uint32_t key, bool shift, bool ctrl, bool alt) override
    {
        input.push_back(line_of("key", key, shift, ctrl, alt));
        return cChildElement::DispatchKeyDown(key, shift, ctrl, alt);
    }
    void DispatchMouseButton(int32_t x, int32_t y, int32_t button, bool pressed, bool ctrl, bool shift) override
    {
        input.push_back(line_of("button", x, y, button, pressed, ctrl, shift));
        cChildElement::DispatchMouseButton(x, y, button, pressed, ctrl, shift);
    }
    bool DispatchMouseWheel(int32_t x, int32_t y, bool up, bool ctrl, int32_t steps) override
    {
        input.push_back(line_of("wheel", x, y, up, ctrl, steps));
        return cChildElement::DispatchMouseWheel(x, y, up, ctrl, steps);
    }
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
    void OnWindowDeactivated() override
    {
        ++deactivations;
        if (on_deactivated)
            on_deactivated(this);
    }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (!on_action)
            return cChildElement::HandleAction(sender, action);
        on_action(this, action->code);
        return true;
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
    int creates = 0, queries = 0, close_asks = 0, focus_saves = 0, focus_restores = 0, deactivations = 0;
    std::vector<std::pair<int32_t, int32_t>> sizes;
    std::vector<std::string> input;
    std::function<void(cRecordingRoot*)> on_create;
    std::function<void(cRecordingRoot*, uint32_t)> on_action;
    std::function<void(cRecordingRoot*)> on_deactivated;
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

// The window's client pixels in the rectangle as it shows them now, top
// row first, as 0x00RRGGBB.
inline std::vector<uint32_t> window_pixels(HWND window, int x, int y, int w, int h)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC window_dc = GetDC(window);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, w, h, window_dc, x, y, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    const uint32_t* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = source[i] & 0xFFFFFF;
    SelectObject(memory_dc, old);
    DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(window, window_dc);
    return pixels;
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
