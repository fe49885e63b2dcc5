// The message form over a form on the virtual screen: the answers that real
// keys, a click and closing the window give, its size against text widths
// measured by GDI, and an owner that no window hosts.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/dialogs/message_form.h"
#include "tests/gui/dialogs/dialog_runs.h"
#include "tests/support/message_form_size.h"

namespace {

using MessageFormTest = DialogTest;

struct cAnswerCase {
    const char* name;
    std::function<void(HWND)> answer;
    bool yes;
};

TEST_F(MessageFormTest, EnterAnswersYesAndEverythingElseNo)
{
    const cAnswerCase cases[] = {
        {"Enter", [](HWND) { cFormWindow::Press(VK_RETURN); }, true},
        {"Escape", [](HWND) { cFormWindow::Press(VK_ESCAPE); }, false},
        {"closing the window", [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }, false},
        // "No" is the last button of the row, 10 pixels from the right edge,
        // in the bottom band.
        {"a click on No",
         [](HWND dialog) {
             RECT client;
             GetClientRect(dialog, &client);
             POINT at = {client.right - 16, client.bottom - 30};
             ClientToScreen(dialog, &at);
             send_click_at(at.x, at.y);
         },
         false},
    };
    const size_t count = sizeof(cases) / sizeof(cases[0]);
    std::vector<cOutcome> outcomes = RunDialogs(
        count, [](cChildElement* owner, size_t) { return int(ask_yes_no_kind1(owner, L"Remove the product?", nullptr)); },
        [&](HWND dialog, size_t i) { cases[i].answer(dialog); });
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(outcomes[i].result, cases[i].yes ? 1 : 0);
        EXPECT_EQ(outcomes[i].shown.title, L"Confirm");
    }
}

TEST_F(MessageFormTest, FormIsAsWideAsItsWidestLineAndGrowsByLine)
{
    struct cSizeCase {
        std::wstring text;
        std::vector<std::wstring> lines;  // as the form should cut it
    };
    const cSizeCase cases[] = {
        {L"The product was installed.", {L"The product was installed."}},
        {L"Copy finished\n\nRestart the computer now", {L"Copy finished", L"", L"Restart the computer now"}},
        {L"One line ending in a line feed\n", {L"One line ending in a line feed"}},
    };
    const size_t count = sizeof(cases) / sizeof(cases[0]);
    std::vector<cOutcome> outcomes = RunDialogs(
        count, [&](cChildElement* owner, size_t i) { return show_message_kind0(owner, cases[i].text.c_str(), nullptr); },
        [](HWND, size_t) { cFormWindow::Press(VK_ESCAPE); });
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        SIZE size = message_form_size(cases[i].lines);
        EXPECT_EQ(outcomes[i].result, 0);
        EXPECT_EQ(outcomes[i].shown.title, L"Information");
        EXPECT_EQ(outcomes[i].shown.width, int(size.cx));
        EXPECT_EQ(outcomes[i].shown.height, int(size.cy));
    }
}

TEST_F(MessageFormTest, NothingShownAnswersNo)
{
    // An owner that no window hosts, and no text.
    cStaticElement orphan;
    EXPECT_FALSE(ask_yes_no_kind1(&orphan, L"Remove the product?", nullptr));
    EXPECT_FALSE(ask_yes_no_kind2(&orphan, L"Remove the product?", L"Title"));
    EXPECT_EQ(show_message_kind3(&orphan, L"Failed", nullptr), 0);
    EXPECT_EQ(show_message(nullptr, L"Failed", nullptr, 5, 3, 0), 0);
    EXPECT_EQ(show_message(&orphan, nullptr, nullptr, 5, 3, 0), 0);
}

}  // namespace
