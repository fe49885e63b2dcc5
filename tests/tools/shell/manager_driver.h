#ifndef TESTS_TOOLS_SHELL_MANAGER_DRIVER_H
#define TESTS_TOOLS_SHELL_MANAGER_DRIVER_H

// Drives the manager's windows the way a user does, from a thread of its
// own (the windows may belong to another thread or another process): finds
// them by their titles, clicks and types through real input, and reads
// what they show (screenshots with wizard::save_screenshot).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/gui/gui_test_elements.h"
#include "tests/tools/install/wizard_driver.h"

namespace manager {

// The main window's client layout (770 x 480).
const int client_width = 770;
const int client_height = 480;
const POINT update_button = {45 + 435 + 57, 255 + 15};
const POINT uninstall_button = {45 + 565 + 57, 255 + 15};
const POINT refresh_button = {610 + 57, 441 + 15};
const POINT remove_link = {55, 448};
const RECT list_area = {50, 75, 720, 245};
const RECT details_area = {45, 255, 725, 440};
const RECT remove_area = {40, 425, 400, 475};
// The main window's link colour, as window pixels give it (0x00RRGGBB).
const uint32_t link_colour = 0x2F8CC9;
// The text colour of the "Update available" column.
const uint32_t offer_colour = 0x6CA7D4;
// Where the note on products left to their user shows while the list is
// empty.
const RECT empty_list_note_area = {45, 150, 725, 195};

inline void pause_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls every 50 ms until the condition holds or the time is out.
inline bool wait_for(const std::function<bool()>& condition, int timeout_ms = form_wait_ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        pause_ms(50);
    }
    return true;
}

// The visible top-level window of that title; null when there is none.
inline HWND window_titled(const wchar_t* title)
{
    HWND window = FindWindowW(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

inline HWND wait_window(const wchar_t* title, int timeout_ms = form_wait_ms)
{
    HWND found = nullptr;
    wait_for([&]() { return (found = window_titled(title)) != nullptr; }, timeout_ms);
    if (found) {
        // In front and taking input, and painted, before anything is read
        // or sent.
        take_front(found);
        pause_ms(300);
    }
    return found;
}

inline bool wait_gone(const wchar_t* title, int timeout_ms = form_wait_ms)
{
    return wait_for([&]() { return window_titled(title) == nullptr; }, timeout_ms);
}

inline std::wstring active_title()
{
    wchar_t title[256] = {};
    GetWindowTextW(GetForegroundWindow(), title, 256);
    return title;
}

inline void click_client(HWND window, POINT at)
{
    ClientToScreen(window, &at);
    send_click_at(at.x, at.y);
    wizard::input_handled(window);
    pause_ms(150);
}

inline void press(WORD key)
{
    send_key_press(key);
    wizard::input_handled(GetForegroundWindow());
    pause_ms(150);
}

inline RECT client_rect(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client;
}

inline std::vector<uint32_t> client_pixels(HWND window)
{
    RECT client = client_rect(window);
    return window_pixels(window, 0, 0, client.right, client.bottom);
}

// Where the image (0xAARRGGBB, rows bottom-up) shows whole in the window,
// pixel for pixel; {-1, -1} when nowhere.
inline POINT find_image(HWND window, const std::vector<uint32_t>& image, int size)
{
    RECT client = client_rect(window);
    int w = client.right, h = client.bottom;
    std::vector<uint32_t> shown = window_pixels(window, 0, 0, w, h);
    for (int y = 0; y + size <= h; ++y)
        for (int x = 0; x + size <= w; ++x) {
            bool all = true;
            for (int row = 0; row < size && all; ++row)
                for (int column = 0; column < size && all; ++column)
                    all = shown[size_t(y + row) * w + x + column] ==
                          (image[size_t(size - 1 - row) * size + column] & 0xFFFFFF);
            if (all)
                return POINT{x, y};
        }
    return POINT{-1, -1};
}

// Pixels of exactly that colour in the window's rectangle.
inline int count_colour(HWND window, const RECT& area, uint32_t colour)
{
    std::vector<uint32_t> shown =
        window_pixels(window, area.left, area.top, area.right - area.left, area.bottom - area.top);
    int count = 0;
    for (uint32_t pixel : shown)
        count += pixel == colour;
    return count;
}

// The rows of the window's area (the whole client area when empty) that
// hold a run of at least 20 pixels of the colour (the underlines of links),
// top first; each row's first x, in client coordinates.
inline std::vector<POINT> colour_lines(HWND window, uint32_t colour, RECT area = RECT{0, 0, 0, 0})
{
    const int min_run = 20;
    if (area.right == 0)
        area = client_rect(window);
    int w = area.right - area.left;
    std::vector<uint32_t> shown = window_pixels(window, area.left, area.top, w, area.bottom - area.top);
    std::vector<POINT> lines;
    for (int y = 0; y < area.bottom - area.top; ++y) {
        int run = 0;
        for (int x = 0; x < w; ++x) {
            run = shown[size_t(y) * w + x] == colour ? run + 1 : 0;
            if (run == min_run) {
                lines.push_back(POINT{area.left + x - min_run + 1, area.top + y});
                break;
            }
        }
    }
    return lines;
}

// How many pixels of the area are darker than the light grey of the
// window's dates and status line, as the dark text of the names and of
// the note on products left to their user draws them.
inline size_t dark_pixels(HWND window, RECT area)
{
    std::vector<uint32_t> shown =
        window_pixels(window, area.left, area.top, area.right - area.left, area.bottom - area.top);
    return size_t(std::count_if(shown.begin(), shown.end(), [](uint32_t pixel) {
        return (pixel >> 16 & 0xFF) < 0x90 && (pixel >> 8 & 0xFF) < 0x90 && (pixel & 0xFF) < 0x90;
    }));
}

}  // namespace manager

#endif
