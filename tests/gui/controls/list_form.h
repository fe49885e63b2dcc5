#ifndef TESTS_GUI_CONTROLS_LIST_FORM_H
#define TESTS_GUI_CONTROLS_LIST_FORM_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/controls/button.h"
#include "gui/controls/custom_form.h"
#include "gui/controls/list_view.h"
#include "gui/controls/list_view_sort.h"
#include "gui/image_cache.h"
#include "tests/gui/controls/form_window.h"

// Column placement of the test lists: column 0 (icon), 1 and 2, with the
// header's 3-pixel bars between them, inside the list's 1-pixel frame.
const int32_t icon_column_width = 60;
const int32_t text_column_width = 120;
const int32_t data_column_width = 80;
const int32_t bar = cSplitterChild::bar_width;
const int32_t icon_size = 8;

// Each row's icon is a solid square of its own colour, so the pixels a
// strip down the icon column shows tell which rows are painted where.
inline uint32_t icon_argb(int32_t row)
{
    return 0xFF000000u | uint32_t(30 + row * 11) << 16 | uint32_t(220 - row * 9) << 8 | uint32_t(60 + row * 7);
}

// A row as the screen shows it: its id and its icon's first and last
// pixel rows in the list's coordinates.
struct cShownRow {
    int32_t row;
    int32_t top;
    int32_t bottom;
    int32_t middle() const { return (top + bottom) / 2; }
};

// What reached the form from the list: "6 <row>", "7 <new> <old> <ctrl>
// <shift>", "8", "9", "10 <row> <state>", "11 <column>".
using cListLog = std::vector<std::string>;

// A form with one list view (at 10, 10 of the client panel) and a button
// that can take the focus away from it. Escape ends the run with 0.
class cListForm : public cCustomForm {
public:
    static const int32_t list_width = 400;
    static const int32_t list_height = 320;

    cListForm(cFormWindow& runner, cListLog& form_log, std::function<void(cListForm*)> form_setup)
        : window(runner), log(form_log), setup(std::move(form_setup))
    {
    }

    void OnCreate() override
    {
        cCustomForm::OnCreate();
        GetClientPanel()->AddChild(&list, 10, 10, list_width, list_height);
        GetClientPanel()->AddChild(&other, 420, 10, 60, 26);
        for (int32_t row = 0; row < 20; ++row) {
            std::vector<uint32_t> square(icon_size * icon_size, icon_argb(row));
            icons.PutPixels(row, square.data(), icon_size, icon_size, false);
        }
        list.SetIconCaches(&icons, nullptr, nullptr);
        list.SetColumn(0, L"Icon", icon_column_width, 0);
        list.SetColumn(1, L"Name", text_column_width, 0);
        list.SetColumn(2, L"Data", data_column_width, 2);
        setup(this);
    }

    bool OnStarted() override
    {
        window.Start();
        return true;
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender != &list)
            return cCustomForm::HandleAction(sender, action);
        std::string line = std::to_string(action->code);
        if (action->code == 6 || action->code == 11)
            line += " " + std::to_string(static_cast<cListViewChild::cListViewItemAction*>(action)->id);
        if (action->code == 7) {
            auto* change = static_cast<cListViewChild::cListViewItemChangeAction*>(action);
            line += " " + std::to_string(change->new_row) + " " + std::to_string(change->old_row) + " " +
                    std::to_string(change->ctrl) + " " + std::to_string(change->shift);
        }
        if (action->code == 10) {
            auto* checked = static_cast<cListViewChild::cListViewItemChecked*>(action);
            line += " " + std::to_string(checked->row) + " " + std::to_string(checked->state);
        }
        if (action->code != 1)
            log.push_back(line);
        return true;
    }

    bool OnCancel() override
    {
        EndModal(0);
        return true;
    }

    // Rows with ids 0 .. count - 1 in that order: the icon of the row in
    // column 0, the text in column 1.
    void AddRows(const std::vector<std::wstring>& names)
    {
        for (size_t row = 0; row < names.size(); ++row) {
            list.SetCell(int32_t(row), 0, nullptr, int16_t(row), 0);
            list.SetCell(int32_t(row), 1, names[row].c_str(), -1, 0);
        }
    }

    // The rows whose icons a strip down the list at x shows, top to bottom.
    std::vector<cShownRow> ShownRows(int32_t x)
    {
        std::vector<uint32_t> strip = cFormWindow::Pixels(&list, x, 0, 1, list.GetHeight());
        std::vector<cShownRow> shown;
        for (int32_t y = 0; y < int32_t(strip.size()); ++y) {
            for (int32_t row = 0; row < 20; ++row) {
                if (strip[size_t(y)] != cFormWindow::swap_red_blue(icon_argb(row)))
                    continue;
                if (!shown.empty() && shown.back().row == row && shown.back().bottom == y - 1)
                    shown.back().bottom = y;
                else
                    shown.push_back(cShownRow{row, y, y});
            }
        }
        return shown;
    }

    // The rows shown in the icon column, top to bottom: the icons sit 2
    // pixels into the first column, or behind the check box when the list
    // shows check boxes.
    std::vector<cShownRow> ShownIcons()
    {
        std::vector<cShownRow> shown = ShownRows(1 + 2 + icon_size / 2);
        return shown.empty() ? ShownRows(1 + 14 + 2 + icon_size / 2) : shown;
    }

    std::vector<int32_t> ShownOrder()
    {
        std::vector<int32_t> order;
        for (const cShownRow& shown : ShownIcons())
            order.push_back(shown.row);
        return order;
    }

    // The list's y of the row's middle; -1 when it is not shown.
    int32_t RowMiddle(int32_t row)
    {
        for (const cShownRow& shown : ShownIcons()) {
            if (shown.row == row)
                return shown.middle();
        }
        return -1;
    }

    std::vector<int32_t> SelectedRows()
    {
        std::vector<int32_t> selected;
        for (int32_t row = list.GetNextSelectedRow(-1); row >= 0; row = list.GetNextSelectedRow(row))
            selected.push_back(row);
        return selected;
    }

    cListViewChild list;
    cButtonChild other;
    cImageCache icons;

private:
    cFormWindow& window;
    cListLog& log;
    std::function<void(cListForm*)> setup;
};

using cListScript = std::function<cSteps(cListForm*)>;

// Runs a fresh list form per call: the setup fills the list inside the
// form's creation, the script's steps then run against the window.
class ListFormTest : public ::testing::Test {
protected:
    ListFormTest() { window.step_gap_ms = cFormWindow::quick_step_gap_ms; }

    intptr_t Run(std::function<void(cListForm*)> setup, cListScript script)
    {
        cListForm* form = new cListForm(window, log, std::move(setup));
        return window.Run(form, 500, 420, script(form));
    }

    // A click of the left button at (x, y) of the element, with a modifier
    // key held when one is given.
    static cFormWindow::cStep ClickAt(cChildElement* element, int32_t x, int32_t y, WORD modifier = 0)
    {
        return [=]() {
            if (modifier)
                send_key(modifier, false);
            cFormWindow::MoveTo(element, x, y);
            send_mouse_button(true, false);
            send_mouse_button(true, true);
            if (modifier)
                send_key(modifier, true);
        };
    }

    // The left button pressed or released on the middle of the row's icon
    // line, wherever it is shown.
    static cFormWindow::cStep PressRow(cListForm* form, int32_t row, bool up)
    {
        return [=]() {
            cFormWindow::MoveTo(&form->list, 100, form->RowMiddle(row));
            send_mouse_button(true, up);
        };
    }

    // A click on the middle of the row's icon line, wherever it is shown.
    static cFormWindow::cStep ClickRow(cListForm* form, int32_t row, WORD modifier = 0, int32_t x = 100)
    {
        return [=]() {
            int32_t y = form->RowMiddle(row);
            EXPECT_GE(y, 0) << "row " << row << " is not shown";
            if (y >= 0)
                ClickAt(&form->list, x, y, modifier)();
        };
    }

    cFormWindow window;
    cListLog log;
};

#endif
