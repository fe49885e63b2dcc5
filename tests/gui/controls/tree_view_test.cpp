// The tree view in a real dialog: real clicks on its boxes and labels, real
// arrow keys, the reported actions and the painted rows read back.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gui/controls/button.h"
#include "gui/controls/tree_view.h"
#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

using cItem = cTreeViewChild::cTreeViewItem;

// The rows, parents first; B starts collapsed.
//   A (A1, A2 (A2a)), B (B1), C
const std::pair<const char*, const char*> rows[] = {
    {"A", nullptr}, {"A1", "A"}, {"A2", "A"}, {"A2a", "A2"}, {"B", nullptr}, {"B1", "B"}, {"C", nullptr},
};

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A form with the tree and a button beside it. The tree's item actions are
// logged as "<code> <item text>".
class cTreeForm : public cScriptForm {
public:
    cTreeForm(cFormWindow& runner, std::vector<std::string>& event_log) : cScriptForm(runner, codes), events(event_log)
    {
    }

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&tree, 10, 10, 200, 180);
        GetClientPanel()->AddChild(&button, 220, 10, 80, 26);
        button.SetCaption(L"Elsewhere");
        Build();
    }

    // Empties the tree and adds every row again as new items.
    void Build()
    {
        tree.Clear();
        items.clear();
        for (const auto& row : rows) {
            cItem* item = new cItem;
            item->text.Assign(wide(row.first).c_str());
            EXPECT_TRUE(tree.AddItem(row.second ? items[row.second] : nullptr, item));
            items[row.first] = item;
            // Laid out so when its child is added.
            if (std::string(row.first) == "B")
                item->collapsed = 1;
        }
    }

    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &tree && action->code >= 6 && action->code <= 9) {
            const cItem* item = static_cast<cTreeViewChild::cTreeItemAction*>(action)->item;
            std::string text;
            for (const wchar_t* c = item->text.Text(); c && *c; ++c)
                text += char(*c);
            events.push_back(std::to_string(action->code) + " " + text);
            return true;
        }
        return cScriptForm::HandleAction(sender, action);
    }

    // The item of the last selection change.
    std::string Current() const
    {
        for (auto event = events.rbegin(); event != events.rend(); ++event)
            if (event->rfind("7 ", 0) == 0)
                return event->substr(2);
        return "";
    }

    cTreeViewChild tree;
    cButtonChild button;
    std::map<std::string, cItem*> items;

protected:
    bool Logs(cChildElement* sender) override { return sender == &button; }

private:
    std::vector<uint32_t> codes;
    std::vector<std::string>& events;
};

const int32_t form_width = 330;
const int32_t form_height = 260;

void click_label(cItem* item, int32_t nth_click)
{
    // Clicks apart by a few pixels never make a double click.
    cFormWindow::ClickAt(item->label, 3 + (nth_click % 2) * 6,
                         item->label->GetHeight() / 2);
}

TEST(TreeView, ArrowKeysWalkTheTree)
{
    struct cWalk {
        const char* start;
        std::vector<std::pair<WORD, WORD>> keys;  // key, modifier
        const char* end;
    };
    const cWalk walks[] = {
        {"A", {{VK_DOWN, 0}, {VK_DOWN, 0}}, "A2"},
        {"A2", {{VK_DOWN, 0}, {VK_DOWN, 0}}, "B"},  // out of A2's last child to A's sibling
        {"A", {{VK_UP, 0}}, "A"},                     // the first root stays
        {"A", {{VK_LEFT, 0}}, "A"},                   // a root has no parent
        {"B", {{VK_UP, 0}}, "A2a"},                   // the deepest last row of the sibling above
        {"C", {{VK_UP, 0}}, "B"},                     // a collapsed sibling is not entered
        {"B", {{VK_DOWN, 0}}, "C"},
        {"A2a", {{VK_LEFT, 0}}, "A2"},
        {"A", {{VK_DOWN, VK_CONTROL}}, "B"},
        {"B", {{VK_UP, VK_CONTROL}}, "A"},
        {"A1", {{VK_RIGHT, 0}}, "A1"},  // nothing to expand
        {"B", {{VK_RIGHT, 0}}, "B1"},   // expands B without a code-9 action
    };
    cFormWindow window;
    std::vector<std::string> events;
    cTreeForm* form = new cTreeForm(window, events);
    std::vector<std::string> reached(std::size(walks));
    std::vector<bool> focused(std::size(walks));
    std::vector<cFormWindow::cStep> steps;
    for (size_t i = 0; i < std::size(walks); ++i) {
        const cWalk& walk = walks[i];
        steps.push_back([form, &walk, i]() { click_label(form->items[walk.start], int32_t(i)); });
        for (const auto& key : walk.keys)
            steps.push_back([key]() { cFormWindow::Press(key.first, key.second); });
        steps.push_back([&, form, i]() {
            reached[i] = form->Current();
            cItem* item = form->items[reached[i]];
            focused[i] = item && item->label->HasFocus();
        });
    }
    EXPECT_EQ(window.Run(form, form_width, form_height, steps), 1);
    for (size_t i = 0; i < std::size(walks); ++i) {
        EXPECT_EQ(reached[i], walks[i].end) << "walk " << i << " from " << walks[i].start;
        EXPECT_TRUE(focused[i]) << "walk " << i;
    }
    EXPECT_EQ(std::count(events.begin(), events.end(), "9 B"), 0) << "Right expands without notice";
}

// The box image as the screen shows it: the control element draws it
// blended, vertically centred, 3 pixels from its left edge.
int32_t box_mismatches(cItem* item, uint32_t image_index)
{
    const cImageBuffer* image = theme_image(image_index);
    cChildElement* box = item->control;
    return cFormWindow::ImageMismatches(box, 3, (box->GetHeight() - image->GetHeight() + 1) / 2, image, true);
}

TEST(TreeView, ClickingABoxTogglesItAndPostsItsActionAndALineDoesNothing)
{
    struct cClick {
        const char* row;
        std::vector<std::string> new_events;
        bool a_collapsed;
        uint32_t a_image;
    };
    // A is current before the first click, so the box's selection of A
    // changes nothing.
    const cClick clicks[] = {
        {"A", {"9 A"}, true, 68},
        {"A", {"9 A"}, false, 69},
        {"A1", {}, false, 69},   // a line to a sibling
        {"A2a", {}, false, 69},  // the line of a last child
    };
    cFormWindow window;
    std::vector<std::string> events;
    cTreeForm* form = new cTreeForm(window, events);
    struct cSeen {
        std::vector<std::string> events;
        bool a_collapsed = false;
        bool a1_shown = false;
        int32_t mismatches = -1;
    };
    std::vector<cSeen> seen(std::size(clicks));
    size_t before = 0;
    std::vector<cFormWindow::cStep> steps = {[form]() { click_label(form->items["A"], 0); }};
    for (size_t i = 0; i < std::size(clicks); ++i) {
        const cClick& click = clicks[i];
        steps.push_back([&, form, i]() {
            before = events.size();
            cItem* item = form->items[click.row];
            // Apart from the click before, so that Windows makes no double
            // click of the two.
            cFormWindow::ClickAt(item->control, i % 2 ? 11 : 5, item->control->GetHeight() / 2);
        });
        steps.push_back([&, form, i]() {
            seen[i].events.assign(events.begin() + before, events.end());
            seen[i].a_collapsed = form->items["A"]->collapsed != 0;
            seen[i].a1_shown = form->items["A1"]->label->IsPaintable();
            seen[i].mismatches = box_mismatches(form->items["A"], clicks[i].a_image);
        });
    }
    EXPECT_EQ(window.Run(form, form_width, form_height, steps), 1);
    for (size_t i = 0; i < std::size(clicks); ++i) {
        EXPECT_EQ(seen[i].events, clicks[i].new_events) << "click " << i;
        EXPECT_EQ(seen[i].a_collapsed, clicks[i].a_collapsed) << "click " << i;
        EXPECT_EQ(seen[i].a1_shown, !clicks[i].a_collapsed) << "click " << i;
        EXPECT_EQ(seen[i].mismatches, 0) << "click " << i;
    }
}

TEST(TreeView, CurrentItemShowsMarkColoursWhileTheTreeHasNoFocus)
{
    // A label's outline is its frame colour; inside it, left of the text,
    // its fill.
    struct cLook {
        const char* name;
        std::function<void(cTreeForm*)> act;
        const char* row;
        int32_t frame;  // theme colour indexes
        int32_t fill;
    };
    const cLook looks[] = {
        {"clicked: selected", [](cTreeForm* f) { click_label(f->items["A2"], 0); }, "A2", 25, 16},
        {"focus elsewhere: marked",
         [](cTreeForm* f) { cFormWindow::ClickAt(&f->button, 10, 10); }, "A2", 26, 18},
        {"focus back on another row: the mark goes", [](cTreeForm* f) { click_label(f->items["C"], 0); }, "A2", 14,
         14},
        {"the new row is selected", [](cTreeForm*) {}, "C", 25, 16},
        {"focus elsewhere again", [](cTreeForm* f) { cFormWindow::ClickAt(&f->button, 10, 10); }, "C", 26, 18},
        {"chosen without focus: marked", [](cTreeForm* f) { f->tree.SelectItem(f->items["A1"], false); }, "A1", 26,
         18},
        {"and the mark left the old row", [](cTreeForm*) {}, "C", 14, 14},
    };
    cFormWindow window;
    std::vector<std::string> events;
    cTreeForm* form = new cTreeForm(window, events);
    std::vector<std::pair<uint32_t, uint32_t>> shown(std::size(looks));
    std::vector<cFormWindow::cStep> steps;
    for (size_t i = 0; i < std::size(looks); ++i) {
        steps.push_back([&, form, i]() { looks[i].act(form); });
        steps.push_back([&, form, i]() {
            cChildElement* label = form->items[looks[i].row]->label;
            shown[i] = {cFormWindow::PixelAt(label, 0, 0), cFormWindow::PixelAt(label, 1, 1)};
        });
    }
    EXPECT_EQ(window.Run(form, form_width, form_height, steps), 1);
    for (size_t i = 0; i < std::size(looks); ++i) {
        EXPECT_EQ(shown[i].first, theme_colour(looks[i].frame)) << looks[i].name;
        EXPECT_EQ(shown[i].second, theme_colour(looks[i].fill)) << looks[i].name;
    }
}

TEST(TreeView, ActionQueuedForAnItemThatARefillDeletedIsDropped)
{
    cFormWindow window;
    std::vector<std::string> events;
    cTreeForm* form = new cTreeForm(window, events);
    std::vector<std::string> kept, after_refill, after_click;
    EXPECT_EQ(window.Run(form, form_width, form_height,
                         {
                             [form]() { form->tree.Expand(form->items["B"], true); },
                             [&, form]() {
                                 kept = events;
                                 events.clear();
                                 // A notice queued, then its item deleted; the
                                 // new items may take the old addresses.
                                 form->Build();
                                 form->tree.Expand(form->items["B"], true);
                                 form->Build();
                             },
                             [&, form]() {
                                 after_refill = events;
                                 click_label(form->items["A1"], 0);
                             },
                             [&]() { after_click = events; },
                         }),
              1);
    EXPECT_EQ(kept, std::vector<std::string>{"9 B"});
    EXPECT_TRUE(after_refill.empty());
    EXPECT_EQ(after_click, std::vector<std::string>{"7 A1"});
}

}  // namespace
