// The edit field in a real dialog, driven by real keys and mouse clicks; its
// text read back, the clipboard read through Windows, its colours read from
// the screen.

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "gui/controls/edit_child.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t edit_width = 160;
const int32_t edit_height = 22;

// A form with two fields on its client panel, whose actions it logs.
class cEditForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&top, 10, 10, edit_width, edit_height);
        GetClientPanel()->AddChild(&bottom, 10, 40, edit_width, edit_height);
    }

    cEditChild top;
    cEditChild bottom;

protected:
    bool Logs(cChildElement* sender) override { return sender == &top || sender == &bottom; }
};

const int32_t form_width = 220;
const int32_t form_height = 150;

// Input words: key names with C- (Ctrl) and S- (Shift) prefixes, t:<letters>
// typed, "dbl" a double click right of the text, "max5" the program setting
// a maximum length of 5.
void act(cEditChild& edit, const std::string& word)
{
    struct cKeyName {
        const char* name;
        WORD key;
    };
    static const cKeyName keys[] = {
        {"End", VK_END}, {"Home", VK_HOME},   {"Left", VK_LEFT},     {"Right", VK_RIGHT}, {"Del", VK_DELETE},
        {"BS", VK_BACK}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},   {"Ins", VK_INSERT},  {"A", 'A'},
        {"C", 'C'},      {"V", 'V'},           {"X", 'X'},
    };
    if (word.rfind("t:", 0) == 0) {
        cFormWindow::Type(word.c_str() + 2);
        return;
    }
    if (word == "dbl") {
        // The second press comes a few ticks after the first click.
        cFormWindow::ClickAt(&edit, edit_width - 6, edit_height / 2);
        run_later(15, []() { send_mouse_button(true, false); });
        run_later(40, []() { send_mouse_button(true, true); });
        return;
    }
    if (word == "max5") {
        edit.SetMaxLength(5);
        return;
    }
    std::string name = word;
    bool ctrl = false, shift = false;
    while (name.size() > 2 && name[1] == '-') {
        ctrl = ctrl || name[0] == 'C';
        shift = shift || name[0] == 'S';
        name = name.substr(2);
    }
    for (const cKeyName& key : keys)
        if (name == key.name) {
            cFormWindow::Press(key.key, ctrl ? VK_CONTROL : 0, shift ? VK_SHIFT : 0);
            return;
        }
    ADD_FAILURE() << "unknown input word " << word;
}

// A fresh form of two fields per test, stepped quickly: its steps are keys
// and clicks inside it.
class EditChild : public ::testing::Test {
protected:
    EditChild() { window.step_gap_ms = 60; }

    cFormWindow window;
    std::vector<uint32_t> log;
    cEditForm* form = new cEditForm(window, log);
};

struct cTypingCase {
    const wchar_t* start;
    const char* input;
    const wchar_t* expected;
    std::vector<uint32_t> actions;
};

TEST_F(EditChild, KeysAndClicksEditTheTextWithTheCaretInside)
{
    const std::vector<cTypingCase> cases = {
        {L"", "t:hello", L"hello", {}},
        // Word steps and Delete at either end do nothing; typing goes on.
        {L"ab cd", "End C-Right t:x", L"ab cdx", {}},
        {L"ab cd", "Home C-Left t:y", L"yab cd", {}},
        {L"ab cd", "Home C-Right C-Right C-Right C-Right t:w", L"ab cdw", {}},
        {L"ab  cd", "End C-Left C-Left t:q", L"abq  cd", {}},
        {L"ab cd", "dbl t:z", L"ab z", {}},
        {L"abc", "End Del t:d", L"abcd", {}},
        {L"ab", "Home BS t:c", L"cab", {}},
        {L"", "dbl t:e", L"e", {}},
        {L"abcd", "End S-Left S-Left t:x", L"abx", {}},
        {L"abcd", "End S-Left S-Left S-Right BS", L"abc", {}},
        {L"ab cd", "End C-S-Left t:k", L"ab k", {}},
        {L"ab", "C-A Esc Esc Enter", L"ab", {7, 6}},
        // A new maximum empties the field and starts again at its beginning.
        {L"hello world", "End max5 t:ab", L"ab", {}},
        {L"", "t:abcdefg", L"abcde", {}},
        {L"abcde", "C-A t:z", L"z", {}},
    };
    cEditChild& edit = form->top;
    std::vector<std::wstring> texts;
    std::vector<std::vector<uint32_t>> actions;
    cSteps steps = {[&]() { cFormWindow::ClickAt(&edit, 4, 4); }};
    for (const cTypingCase& row : cases) {
        steps.push_back([&, row]() {
            edit.SetText(row.start, -1);
            log.clear();
        });
        std::istringstream words(row.input);
        for (std::string word; words >> word;)
            steps.push_back([&, word]() { act(edit, word); });
        steps.push_back([&]() {
            texts.push_back(cFormWindow::Text(&edit));
            actions.push_back(log);
        });
    }
    ASSERT_EQ(window.Run(form, form_width, form_height, steps), 1);
    ASSERT_EQ(texts.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(texts[i], cases[i].expected) << cases[i].input;
        EXPECT_EQ(actions[i], cases[i].actions) << cases[i].input;
    }
}

std::wstring clipboard_text()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return L"(closed)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void put_clipboard_text(HWND owner, const wchar_t* text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    size_t size = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

TEST_F(EditChild, CopyCutAndPasteGoThroughTheSystemClipboard)
{
    cEditChild& top = form->top;
    cEditChild& bottom = form->bottom;
    top.SetText(L"copy me", -1);
    std::vector<std::wstring> seen;
    auto note = [&]() {
        seen.push_back(cFormWindow::Text(&top));
        seen.push_back(cFormWindow::Text(&bottom));
        seen.push_back(clipboard_text());
    };
    window.Run(form, form_width, form_height,
               {
                   // A click into a field selects all of it.
                   [&]() { cFormWindow::ClickAt(&top, 4, 4); },
                   [&]() { cFormWindow::Press('C', VK_CONTROL); },
                   [&]() { cFormWindow::ClickAt(&bottom, 4, 4); },
                   [&]() { cFormWindow::Press('V', VK_CONTROL); },
                   note,
                   [&]() { put_clipboard_text(host_of(&top), L"from outside"); },
                   [&]() { cFormWindow::ClickAt(&top, 4, 4); },
                   [&]() { cFormWindow::Press(VK_INSERT, VK_SHIFT); },
                   [&]() { cFormWindow::Press(VK_HOME); },
                   [&]() { cFormWindow::Press(VK_END, VK_SHIFT); },
                   [&]() { cFormWindow::Press('X', VK_CONTROL); },
                   note,
                   // A cut of text that the clipboard does not hold yet.
                   [&]() {
                       top.SetText(L"keep cut", -1);
                       cFormWindow::ClickAt(&top, 4, 4);
                   },
                   [&]() { cFormWindow::Press(VK_END); },
                   [&]() {
                       for (int i = 0; i < 3; ++i)
                           cFormWindow::Press(VK_LEFT, VK_SHIFT);
                   },
                   [&]() { cFormWindow::Press('X', VK_CONTROL); },
                   note,
               });
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"copy me", L"copy me", L"copy me", L"", L"copy me",
                                               L"from outside", L"keep ", L"copy me", L"cut"}));
}

// Some pixel leans to red: text in pure red drawn smoothed over a light grey
// ground. Grey text never does.
bool shows_red_text(const std::vector<uint32_t>& pixels)
{
    for (uint32_t pixel : pixels)
        if (int(GetRValue(pixel)) - int(GetGValue(pixel)) > 40 && int(GetRValue(pixel)) - int(GetBValue(pixel)) > 40)
            return true;
    return false;
}

TEST_F(EditChild, StatesSelectionAndCueTextShowTheirColours)
{
    // The cue colour made pure red, to tell the cue from other text.
    uint32_t colours[theme_colour_count];
    for (int32_t i = 0; i < theme_colour_count; ++i)
        colours[i] = builtin_theme.colours[i];
    colours[8] = 0x0000FF;
    const cThemeDescriptor red_cue = {builtin_theme.metrics, colours, builtin_theme.images};
    ASSERT_TRUE(cCITheme::Install(&red_cue));
    cEditChild& field = form->top;
    cEditChild& empty = form->bottom;
    field.SetText(L"select me", -1);
    empty.SetCueText(L"cue");
    const uint32_t frames[] = {0x0000C0, 0x00C000, 0xC00000, 0x00C0C0};
    field.SetColours(0xE0E0F8, 0x202020, frames[0]);
    for (int32_t state = 1; state < 4; ++state)
        field.SetStateFrame(state, frames[state]);
    struct cSeen {
        uint32_t corner;
        uint32_t inside;
        bool selection;
        bool cue;
    };
    std::vector<cSeen> seen;
    auto look = [&]() {
        seen.push_back({cFormWindow::PixelAt(&field, 0, 0), cFormWindow::PixelAt(&empty, edit_width - 3, 3),
                        cFormWindow::Shows(cFormWindow::Pixels(&field, 1, 1, 60, edit_height - 2), theme_colour(17)),
                        shows_red_text(cFormWindow::Pixels(&empty, 1, 1, 40, edit_height - 2))});
    };
    window.Run(form, form_width, form_height,
               {
                   [&]() { cFormWindow::MoveTo(&field, edit_width + 20, 50); },
                   look,
                   [&]() { field.TakeFocus(); },
                   look,
                   [&]() { cFormWindow::MoveTo(&field, 40, 5); },
                   look,
                   [&]() { field.Hide(true); },
                   look,
                   [&]() {
                       field.Show();
                       cFormWindow::ClickAt(&empty, 4, 4);
                       cFormWindow::Type("x");
                   },
                   look,
               });
    cCITheme::Install(&builtin_theme);
    // The first field normal; focused with all selected; hovered (over
    // focused); hidden; then the focus and a typed letter in the other one,
    // whose background shows its own theme states.
    struct cExpected {
        int frame;
        int inside;
        bool selection;
        bool cue;
    };
    const std::vector<cExpected> expected = {
        {0, 27, false, true}, {1, 27, true, true}, {2, 27, true, true}, {3, 27, true, true}, {0, 29, false, false},
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].corner, frames[expected[i].frame]) << "view " << i;
        EXPECT_EQ(seen[i].inside, theme_colour(expected[i].inside)) << "view " << i;
        EXPECT_EQ(seen[i].selection, expected[i].selection) << "view " << i;
        EXPECT_EQ(seen[i].cue, expected[i].cue) << "view " << i;
    }
}

}  // namespace
