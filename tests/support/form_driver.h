#ifndef TESTS_SUPPORT_FORM_DRIVER_H
#define TESTS_SUPPORT_FORM_DRIVER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/gui/gui_test_elements.h"
#include "tests/support/process_windows.h"

// Answers the forms of another process as a user does: with real key
// presses on the form that is up. The program's forms run modally, so the
// one that takes input is the process's only visible top-level window that
// is enabled; its title tells which form it is ("Confirm" for a yes/no
// question, "Information" and "Error" for messages, the form's own title,
// an empty one for the language choice). On a message or question, Enter
// takes the first button (Ok, Yes) and Escape the second (No).

namespace form_driver {

inline std::wstring title_of(HWND window)
{
    wchar_t title[512] = {};
    GetWindowTextW(window, title, 512);
    return title;
}

}  // namespace form_driver

// The form of the process that takes input now (see above), or null.
inline HWND active_form_of(DWORD process_id)
{
    std::vector<HWND> enabled;
    for (HWND window : process_windows(process_id))
        if (IsWindowEnabled(window))
            enabled.push_back(window);
    return enabled.size() == 1 ? enabled[0] : nullptr;
}

// How long the drivers wait at most for what a form needs (to come up, to
// come to the front, to take a key): generous, so that only a form that
// never comes fails, however slow and busy the machine is.
const DWORD form_wait_ms = 60000;

// True once the window's thread is back in its message loop: a message
// sent to the window is answered (false when it is not within the time, or
// the window is gone). A key that the thread took before is handled by
// then.
inline bool answers_messages(HWND window, DWORD timeout_ms = form_wait_ms)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
}

// Brings the window to the front, where the user's keys go, and waits
// until it is there and its thread takes input; false when it does not
// come within the time.
inline bool take_front(HWND window, DWORD timeout_ms = form_wait_ms)
{
    for (DWORD start = GetTickCount(); GetForegroundWindow() != window; Sleep(50)) {
        if (!IsWindow(window) || GetTickCount() - start >= timeout_ms)
            return false;
        SetForegroundWindow(window);
    }
    return answers_messages(window, timeout_ms);
}

// Waits up to timeout_ms for the process's form with that title to take
// input, and for the process to be idle in its message loop; the form, or
// null when it did not come (or the process ended).
inline HWND wait_for_form(HANDLE process, const std::wstring& title, DWORD timeout_ms = form_wait_ms)
{
    DWORD process_id = GetProcessId(process);
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms;) {
        HWND form = active_form_of(process_id);
        if (form && form_driver::title_of(form) == title && answers_messages(form, timeout_ms))
            return form;
        if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

// True when the form comes to the front by itself (the program activates
// it) within timeout_ms, as it must for the user's keys to reach it.
inline bool comes_to_front(HWND form, DWORD timeout_ms = form_wait_ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeout_ms && GetForegroundWindow() != form;)
        Sleep(20);
    return GetForegroundWindow() == form;
}

// True while the form is up as it was: the same window, taking input,
// with that title.
inline bool form_still_up(HWND form, const std::wstring& title)
{
    return IsWindow(form) && IsWindowEnabled(form) && IsWindowVisible(form) && form_driver::title_of(form) == title;
}

// Brings the form to the front and presses the key on it once it takes
// input; again only when the form's thread handled the key and what the
// key set off, and the form stayed up as it was (the key came before the
// form was ready for it). False when the form would not come to the front
// or answer, or never took the key.
inline bool press_key_on(HWND form, WORD key)
{
    std::wstring title = form_driver::title_of(form);
    for (int press = 0; press < 5; ++press) {
        if (!form_still_up(form, title))
            return true;
        if (!take_front(form))
            return !form_still_up(form, title);
        send_key_press(key);
        // The thread back in its loop ten times over: the key is handled,
        // and what its handling posted to the thread in turn; then a
        // moment more for a form that closes in its own time.
        for (int round = 0; round < 10 && form_still_up(form, title); ++round)
            answers_messages(form);
        for (int i = 0; i < 100 && form_still_up(form, title); ++i)
            Sleep(20);
    }
    return !form_still_up(form, title);
}

// One form a test expects and how it answers it.
struct FormAnswer {
    std::wstring title;           // the form's window title
    WORD key;                     // the key pressed once it is up
    std::function<void(HWND)> first;  // runs with the form once it is up, before the key (may be empty)
};

// Answers the process's forms one after the other, in the order given.
// Answers the titles of the forms met: every one answered, and after them,
// when a form did not come as expected, the title of the form that was up
// instead ("<none>" when none was, "<ended>" when the process had ended).
inline std::vector<std::wstring> answer_forms(HANDLE process, const std::vector<FormAnswer>& answers)
{
    std::vector<std::wstring> met;
    for (const FormAnswer& answer : answers) {
        HWND form = wait_for_form(process, answer.title);
        if (!form) {
            HWND other = active_form_of(GetProcessId(process));
            bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
            met.push_back(ended ? L"<ended>" : other ? form_driver::title_of(other) : L"<none>");
            return met;
        }
        if (answer.first)
            answer.first(form);
        if (!press_key_on(form, answer.key)) {
            met.push_back(L"<key not taken>");
            return met;
        }
        met.push_back(answer.title);
    }
    return met;
}

#endif
