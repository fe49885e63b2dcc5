// The message form over a form on the virtual screen: the answers that real
// keys, a click and closing the window give, its size against text widths
// measured by GDI, and an owner that no window hosts.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui/dialogs/message_form.h"
#include "gui/catalog.h"
#include "gui/font.h"
#include "gui/language.h"
#include "gui/ui_font.h"
#include "tests/gui/controls/form_window.h"

namespace {

// The time the message window gets to come up, and the bound of its run.
const UINT answer_delay_ms = 400;
const UINT give_up_ms = 5000;

// A form whose client panel owns the messages.
class cOwnerForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

protected:
    bool Logs(cChildElement*) override { return false; }
};

// What a message window showed while it ran.
struct cShown {
    std::wstring title;
    int width = 0;
    int height = 0;
};

// Runs the message through `show`, answering it with `answer` once its
// window is up (closed after give_up_ms whatever happens); returns what
// show answered.
int run_message(cChildElement* owner, const std::function<int()>& show,
                const std::function<void(HWND)>& answer, cShown* shown)
{
    static int serial = 0;
    int this_run = ++serial;
    HWND owner_window = GetAncestor(host_of(owner), GA_ROOT);
    auto message_window = [owner_window]() {
        HWND active = GetActiveWindow();
        return active != owner_window ? active : nullptr;
    };
    run_later(answer_delay_ms, [=]() {
        HWND dialog = message_window();
        if (!dialog)
            return;
        wchar_t title[100] = {};
        GetWindowTextW(dialog, title, 100);
        RECT client = {};
        GetClientRect(dialog, &client);
        *shown = cShown{title, int(client.right), int(client.bottom)};
        answer(dialog);
    });
    run_later(give_up_ms, [=]() {
        if (serial == this_run && message_window())
            PostMessageW(message_window(), WM_CLOSE, 0, 0);
    });
    int result = show();
    ++serial;
    return result;
}

// Width and height of the text in a font of the cache, measured by GDI.
SIZE gdi_extent(const std::wstring& text, bool bold)
{
    cWinFont* font = dynamic_cast<cWinFont*>(
        font_get_cached(bold ? 6 : 5, 13, get_ui_font_face_name(), bold, false, false));
    SIZE size = {0, 0};
    if (!font)
        return size;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->GetHandle());
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

// The captions come from the English catalog.
class MessageFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(set_language(0));
        window.maker.SetCatalog(get_global_catalog());
    }

    struct cOutcome {
        int answer = -1;
        cShown shown;
    };

    // One message per case, in turn, over the panel of a running form:
    // shown by show, answered by answer once its window is up.
    std::vector<cOutcome> RunMessages(size_t count, const std::function<int(cChildElement*, size_t)>& show,
                                      const std::function<void(HWND, size_t)>& answer)
    {
        std::vector<cOutcome> outcomes(count);
        std::vector<uint32_t> log;
        cOwnerForm* form = new cOwnerForm(window, log);
        std::vector<cFormWindow::cStep> steps;
        for (size_t i = 0; i < count; ++i) {
            steps.push_back([&, i, form]() {
                cChildElement* owner = form->GetClientPanel();
                outcomes[i].answer = run_message(
                    owner, [&, owner, i]() { return show(owner, i); }, [&, i](HWND dialog) { answer(dialog, i); },
                    &outcomes[i].shown);
            });
        }
        EXPECT_EQ(window.Run(form, 320, 200, steps), 1);
        return outcomes;
    }

    cCIOMLang framework_texts;
    cFormWindow window;
};

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
    std::vector<cOutcome> outcomes = RunMessages(
        count, [](cChildElement* owner, size_t) { return int(ask_yes_no_kind1(owner, L"Remove the product?", nullptr)); },
        [&](HWND dialog, size_t i) { cases[i].answer(dialog); });
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(outcomes[i].answer, cases[i].yes ? 1 : 0);
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
    std::vector<cOutcome> outcomes = RunMessages(
        count, [&](cChildElement* owner, size_t i) { return show_message_kind0(owner, cases[i].text.c_str(), nullptr); },
        [](HWND, size_t) { cFormWindow::Press(VK_ESCAPE); });
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        // The first line is bold beside the icon (37 pixels); the form adds
        // 30 to the widest line, and 1.5 line heights per further line to
        // 115.
        const std::vector<std::wstring>& lines = cases[i].lines;
        int widest = 0, tallest = 0;
        for (size_t n = 0; n < lines.size(); ++n) {
            SIZE extent = gdi_extent(lines[n], n == 0);
            widest = std::max(widest, int(extent.cx) + (n == 0 ? 37 : 0));
            tallest = std::max(tallest, int(extent.cy));
        }
        EXPECT_EQ(outcomes[i].answer, 0);
        EXPECT_EQ(outcomes[i].shown.title, L"Information");
        EXPECT_EQ(outcomes[i].shown.width, widest + 30);
        EXPECT_EQ(outcomes[i].shown.height, 115 + int(1.5 * double(lines.size() - 1) * tallest));
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
