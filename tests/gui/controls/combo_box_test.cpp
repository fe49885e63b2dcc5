// The combo box and its popup list in a real dialog: real clicks and keys,
// the popup window's place on the screen and its pixels read back.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/controls/combo_box.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t combo_width = 150;
const int32_t combo_height = 22;
const int32_t item_count = 5;
const wchar_t* const item_texts[item_count] = {L"alpha", L"bravo", L"charlie", L"delta", L"echo"};

int32_t item_id(int32_t index)
{
    return (index + 1) * 10;
}

// A form with a combo of five items on its client panel, the second one
// selected, whose actions it logs.
class cComboForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&combo, 20, 20, combo_width, combo_height);
        for (int32_t i = 0; i < item_count; ++i)
            combo.SetItem(item_id(i), item_texts[i], uint32_t(100 + i), -1);
        combo.Select(item_id(1), false);
    }

    cComboBoxChild combo;

protected:
    bool Logs(cChildElement* sender) override { return sender == &combo; }
};

const int32_t form_width = 240;
const int32_t form_height = 140;

struct cPopupSearch {
    HWND form;
    HWND found;
};

BOOL CALLBACK find_popup(HWND window, LPARAM data)
{
    cPopupSearch* search = reinterpret_cast<cPopupSearch*>(data);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (window != search->form && IsWindowVisible(window) && wcscmp(name, L"#32770") == 0)
        search->found = window;
    return search->found == nullptr;
}

// The popup list's window while one is open: the thread's other dialog
// window beside the form's own.
HWND open_popup_window(cChildElement* form_element)
{
    cPopupSearch search = {GetParent(host_of(form_element)), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), find_popup, LPARAM(&search));
    return search.found;
}

RECT rect_of(HWND popup)
{
    RECT rect = {};
    if (popup)
        GetWindowRect(popup, &rect);
    return rect;
}

uint32_t screen_pixel(int32_t x, int32_t y)
{
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// A click on the list's item of that index; the items are equally high.
void click_item(HWND popup, int32_t index)
{
    RECT list = rect_of(popup);
    int32_t item_height = (list.bottom - list.top - 2) / item_count;
    send_click_at((list.left + list.right) / 2, list.top + 1 + index * item_height + item_height / 2);
}

size_t count_of(const std::vector<uint32_t>& codes, uint32_t code)
{
    return size_t(std::count(codes.begin(), codes.end(), code));
}

class ComboBox : public ::testing::Test {
protected:
    cFormWindow window;
    std::vector<uint32_t> log;
    cComboForm* form = new cComboForm(window, log);
    cComboBoxChild& combo = form->combo;
};

TEST_F(ComboBox, ClickOpensTheListBelowAndTheChoiceIsSelectedAndPosted)
{
    RECT below = {};
    POINT combo_at = {};
    uint32_t frame = 0;
    bool black_text = false;
    uint32_t data = 0;
    HWND other = nullptr;
    struct cState {
        int32_t selection;
        std::wstring text;
        size_t changes;
        bool open;
    };
    std::vector<cState> states;
    auto note = [&]() {
        states.push_back(
            {combo.GetSelection(), cFormWindow::Text(&combo), count_of(log, 6), open_popup_window(&combo) != nullptr});
        log.clear();
    };
    window.Run(form, form_width, form_height,
               {
                   [&]() { cFormWindow::ClickAt(&combo, combo_width - 8, combo_height / 2); },
                   [&]() {
                       HWND popup = open_popup_window(&combo);
                       below = rect_of(popup);
                       combo_at = cFormWindow::ScreenPoint(&combo, 0, 0);
                       frame = screen_pixel(below.left, below.top);
                       for (int32_t x = below.left; x < below.right; ++x)
                           for (int32_t y = below.top + 2; y < below.top + 20; ++y)
                               black_text = black_text || screen_pixel(x, y) == 0;
                       log.clear();
                       click_item(popup, 3);
                   },
                   note,
                   // Escape in an open list leaves the selection.
                   [&]() { cFormWindow::Press(VK_F4); },
                   note,
                   [&]() { cFormWindow::Press(VK_ESCAPE); },
                   note,
                   // Down and Up step through the items; past the last
                   // nothing moves.
                   [&]() { cFormWindow::Press(VK_DOWN); },
                   note,
                   [&]() { cFormWindow::Press(VK_DOWN); },
                   note,
                   [&]() { cFormWindow::Press(VK_UP); },
                   note,
                   // Another window taking the activation closes the list,
                   // although an item holds the focus.
                   [&]() { cFormWindow::Press(VK_F4); },
                   [&]() {
                       other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                               50, nullptr, nullptr, nullptr, nullptr);
                       SetForegroundWindow(other);
                   },
                   note,
                   [&]() {
                       DestroyWindow(other);
                       data = combo.GetItemData(item_id(3));
                   },
               });
    EXPECT_EQ(below.left, combo_at.x);
    EXPECT_EQ(below.top, combo_at.y + combo_height);
    EXPECT_EQ(below.right - below.left, combo_width);
    EXPECT_GT(below.bottom - below.top, item_count * 10);
    EXPECT_EQ(frame, theme_colour(21));
    EXPECT_TRUE(black_text);
    const std::vector<cState> expected = {
        {40, L"delta", 1, false}, {40, L"delta", 0, true}, {40, L"delta", 0, false},
        {50, L"echo", 1, false},  {50, L"echo", 0, false}, {40, L"delta", 1, false}, {40, L"delta", 0, false},
    };
    ASSERT_EQ(states.size(), expected.size());
    for (size_t i = 0; i < states.size(); ++i) {
        EXPECT_EQ(states[i].selection, expected[i].selection) << "state " << i;
        EXPECT_EQ(states[i].text, expected[i].text) << "state " << i;
        EXPECT_EQ(states[i].changes, expected[i].changes) << "state " << i;
        EXPECT_EQ(states[i].open, expected[i].open) << "state " << i;
    }
    EXPECT_EQ(data, 103u);
}

TEST_F(ComboBox, ListNearTheBottomRightCornerOpensUpwardInsideTheWorkArea)
{
    combo.SetReadOnly(true);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT list = {};
    POINT combo_at = {};
    bool opened_by_drag_out = true;
    int32_t selection = -1;
    window.Run(form, form_width, form_height,
               {
                   // The combo's right part beyond the right edge, its bottom
                   // a few pixels above the bottom edge.
                   [&]() {
                       POINT at = cFormWindow::ScreenPoint(&combo, 0, 0);
                       RECT frame;
                       HWND dialog = GetParent(host_of(&combo));
                       GetWindowRect(dialog, &frame);
                       SetWindowPos(dialog, nullptr, frame.left + (work.right + 20 - combo_width) - at.x,
                                    frame.top + (work.bottom - 6 - combo_height) - at.y, 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER);
                   },
                   // A press inside and a release outside open nothing.
                   [&]() { cFormWindow::MoveTo(&combo, 10, 10); },
                   [&]() { send_mouse_button(true, false); },
                   [&]() { cFormWindow::MoveTo(&combo, 10, -40); },
                   [&]() { send_mouse_button(true, true); },
                   [&]() { opened_by_drag_out = open_popup_window(&combo) != nullptr; },
                   [&]() { cFormWindow::ClickAt(&combo, 10, 10); },
                   [&]() {
                       combo_at = cFormWindow::ScreenPoint(&combo, 0, 0);
                       list = rect_of(open_popup_window(&combo));
                       cFormWindow::Press(VK_ESCAPE);
                   },
                   [&]() { selection = combo.GetSelection(); },
               });
    EXPECT_FALSE(opened_by_drag_out);
    ASSERT_GT(list.bottom, list.top);
    EXPECT_EQ(list.right, work.right);
    EXPECT_EQ(list.right - list.left, combo_width);
    EXPECT_GE(list.top, work.top);
    // The list ends where it would have started, at the combo's bottom; the
    // window is two pixels higher than the list.
    EXPECT_EQ(list.bottom - 2, combo_at.y + combo_height);
    EXPECT_EQ(selection, item_id(1));
}

}  // namespace
